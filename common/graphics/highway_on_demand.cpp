// The two entry points of Highway's run-time dispatch that the blend kernels
// call (blend_rows.cpp), for the engine program alone (engine/CMakeLists.txt).
//
// Linked as a shared library, Highway is loaded when the program starts, and
// with it the shared C++ run-time the engine otherwise takes statically; its
// start-up then times the clock's resolution. Together that was some 40% of
// the CPU time of a second engine start, which only hands its command line to
// the running engine and draws nothing. Here the library is loaded the first
// time a kernel is dispatched: the CPU's targets are asked of it once, and
// the chosen target lives in this program.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>

#include "hwy/targets.h"

namespace hwy {

ChosenTarget& GetChosenTarget() {
    static ChosenTarget chosen;
    return chosen;
}

int64_t SupportedTargets() {
    using Query = int64_t (*)();
    static const Query query = []() -> Query {
        void* library = ::dlopen("libhwy.so.1", RTLD_NOW | RTLD_LOCAL);
        void* symbol = library ? ::dlsym(library, "_ZN3hwy16SupportedTargetsEv") : nullptr;
        if (!symbol) std::fprintf(stderr, "Highway cannot be loaded (%s): blending uses its plain kernels\n", ::dlerror());
        return reinterpret_cast<Query>(symbol);
    }();
    // Without the library only the plain kernels, which every target
    // table ends with, are chosen.
    return query ? query() : 0;
}

}  // namespace hwy
