// tlwsim config: reads the device's configuration the way the programs do
// and prints it in the current file format.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "common/config/config_file.h"
#include "common/config/legacy_config.h"
#include "base/text.h"
#include "platform/storage/code_page.h"
#include "platform/storage/device.h"
#include "platform/storage/file.h"
#include "platform/storage/paths.h"
#include "sim/command.h"

namespace sim {
namespace {

constexpr char kHelp[] =
    "config DIR read          reads \\My Documents\\Korvel\\Tallowd.ini (or its backup)\n"
    "config DIR read FILE     reads FILE as an import: a device path (\"\\My Documents\\x.tlw\")\n"
    "                         or a file of the host\n"
    "\n"
    "The model is read exactly as the programs read it (defaults first, then the\n"
    "file, default names from the language file) and printed as the writer would\n"
    "write it, in UTF-8 with LF line ends; a default name (written \"-\") is followed\n"
    "by a comment line with the name it stands for. A file without the version marker is\n"
    "read in the older layout, as Tlwconfig reads it; a note on standard error says so.";

int RunConfig(const CommandArgs& args) {
    if (args.size() < 2 || args.size() > 3 || args[1] != "read") return Usage("config");
    if (!OpenDevice(args)) return 1;

    auto language = std::make_unique<tlw::LanguageTable>();
    auto model = std::make_unique<tlw::ConfigModel>();

    bool import = args.size() == 3;
    std::u16string importPath;
    bool hostCopy = false;
    if (import) {
        const std::string& file = args[2];
        if (!file.empty() && (file[0] == '\\')) {
            importPath = tlw::Utf8ToUtf16(file);
            if (!plat::FileExists(importPath)) return Fail("no file " + file + " on the device");
        } else {
            // A host file is copied into the device's temporary folder first.
            std::error_code ec;
            if (!std::filesystem::is_regular_file(file, ec)) return Fail("cannot read " + file);
            importPath = u"\\Temp\\tlwsim-import.ini";
            plat::CreateDirectory(u"\\Temp");
            std::filesystem::copy_file(file, plat::HostPath(importPath), std::filesystem::copy_options::overwrite_existing, ec);
            if (ec) return Fail("cannot copy " + file + " into the device: " + ec.message());
            hostCopy = true;
        }
    }
    bool current = tlw::ReadAnyConfigurationAndLanguage(*model, *language, import, importPath);
    if (hostCopy) plat::DeleteFile(importPath);
    if (!current)
        std::fprintf(stderr, "tlwsim: the file has no version marker: it was read in the older layout\n");

    std::string bytes = tlw::FormatConfiguration(*model, *language);
    std::u16string text = plat::AnsiToWide(bytes);
    // A default name is written as "-"; a comment line after it (which any
    // reader skips) shows the name it stands for.
    std::string out;
    int profile = -1;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        std::u16string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        out += tlw::Utf16ToUtf8(line) + "\n";
        if (tlw::StartsWith(line, u"[profile")) profile = tlw::ParseInt(line.substr(8));
        if (line == u"name=-" && profile >= 0 && profile < model->profiles.count)
            out += ";  default name: " + tlw::Utf16ToUtf8(model->profiles.profiles[profile].name.View()) + "\n";
        start = end + 1;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace

TLW_SIM_COMMAND("config", "DIR read [FILE]", kHelp, RunConfig);

}  // namespace sim
