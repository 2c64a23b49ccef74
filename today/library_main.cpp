// The plug-in library's load and unload, and its one entry: the Today
// screen's item initialisation, by ordinal only.
#include "platform/hardware/library.h"
#include "platform/shell/today_item.h"
#include "today/today_plugin.h"

namespace {

// Attaches when the host loads the library and detaches when it unloads it.
struct LibraryLifetime {
    LibraryLifetime() { today::LibraryAttach(reinterpret_cast<plat::HModule>(&today::Plugin())); }
    ~LibraryLifetime() { today::LibraryDetach(); }
};
LibraryLifetime g_lifetime;

}  // namespace

// The library's ordinal table: the Today entry and nothing else.
extern "C" const plat::ExportOrdinal TlwExportOrdinals[] = {
    {plat::kTodayInitializeOrdinal, reinterpret_cast<void*>(&today::InitializeCustomItem)},
    {0, nullptr},
};
