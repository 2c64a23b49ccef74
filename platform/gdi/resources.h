// Resources embedded in a deliverable and found by module, type and name,
// as the phone's find-resource / load-resource calls find them.
//
// A deliverable's resources are listed in its CMakeLists.txt with
// tlw_embed_resources (cmake/EmbedResources.cmake); the generated source
// holds the bytes and registers them at start-up (and takes them back when a
// shared library is unloaded) through ResourceRegistration below. Tests may
// register their own at run time the same way.
//
// Names and types compare without regard to ASCII case. A numeric resource
// identifier is written as its decimal text ("104"); "#104" means the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace plat {

// The last error of a missing resource.
constexpr uint32_t kErrorResourceNotFound = 1814;

// Resource types of the deliverables.
inline constexpr std::u16string_view kResourcePng = u"PNG";        // a PNG file
inline constexpr std::u16string_view kResourceTarga = u"TARGA";    // a TGA file
inline constexpr std::u16string_view kResourceBitmap = u"BITMAP";  // a .bmp file
inline constexpr std::u16string_view kResourceIcon = u"ICON";      // a .ico file

// One embedded resource as the generated source lists it.
struct EmbeddedResource {
    const char16_t* type;        // resource type, e.g. u"PNG"
    const char16_t* name;        // resource name or decimal identifier
    const uint8_t* data;         // the file's bytes (static storage)
    std::size_t size;            // number of bytes
};

// Adds a resource to a module. The bytes are not copied: they must stay
// valid until UnregisterResource. Fails (kErrorAlreadyExists) when the module
// already has a resource of that type and name, (kErrorInvalidParameter) for
// an empty module, type or name.
bool RegisterResource(std::u16string_view module, std::u16string_view type,
                      std::u16string_view name, std::span<const uint8_t> bytes);
// Removes a resource; false (kErrorResourceNotFound) when it is not there.
bool UnregisterResource(std::u16string_view module, std::u16string_view type,
                        std::u16string_view name);

// Finds a resource of the module; false with the last error
// kErrorResourceNotFound (1814) when the module has none of that type and name.
bool LoadResourceBytes(std::u16string_view module, std::u16string_view type,
                       std::u16string_view name, std::span<const uint8_t>* out);
// The same across every module registered, in the order they registered; for
// a process that has one module (each deliverable has its own).
bool LoadResourceBytes(std::u16string_view type, std::u16string_view name,
                       std::span<const uint8_t>* out);

// Registers a table of resources for as long as it lives: the generated
// source of tlw_embed_resources holds one as a static object.
class ResourceRegistration {
public:
    ResourceRegistration(const char16_t* module, const EmbeddedResource* table, std::size_t count);
    ~ResourceRegistration();
    ResourceRegistration(const ResourceRegistration&) = delete;
    ResourceRegistration& operator=(const ResourceRegistration&) = delete;

private:
    const char16_t* module_;         // module the table belongs to
    const EmbeddedResource* table_;  // the generated table
    std::size_t count_;              // entries in table_
};

}  // namespace plat
