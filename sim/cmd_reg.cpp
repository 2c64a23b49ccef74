// tlwsim reg DIR get|set|del|list KEY [VALUE [dword:N|sz:TEXT|hex:BYTES]]:
// reads and changes the device registry from the console.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/registry.h"
#include "sim/command.h"

namespace {

// A value as typed on the command line.
struct TypedValue {
    uint32_t type = plat::kRegNone;  // kRegDword, kRegSz or kRegBinary
    std::vector<uint8_t> bytes;      // the data as stored
};

std::string ErrorText(uint32_t code) {
    switch (code) {
    case plat::kErrorFileNotFound: return "not found";
    case plat::kErrorPathNotFound: return "the device has no registry";
    case plat::kErrorAccessDenied: return "access denied";
    case plat::kErrorSharingViolation: return "the registry stays busy";
    case plat::kErrorInvalidParameter: return "invalid name or value";
    case plat::kErrorDiskFull: return "disk full";
    case plat::kErrorIoDevice: return "the disk failed to write or read the device store";
    default: return "error " + std::to_string(code);
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "dword:N" (decimal or 0x hexadecimal, 0 ... 4294967295), "sz:TEXT" or
// "hex:BYTES" (pairs of hex digits, optionally separated by ',', ':' or blanks).
bool ParseTypedValue(const std::string& text, TypedValue* out, std::string* problem) {
    if (text.rfind("dword:", 0) == 0) {
        std::string digits = text.substr(6);
        bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
        bool ok = !digits.empty() && std::isdigit(static_cast<unsigned char>(digits[0]));
        char* end = nullptr;
        errno = 0;
        unsigned long long n = ok ? std::strtoull(digits.c_str(), &end, hex ? 16 : 10) : 0;
        if (!ok || errno != 0 || *end != '\0' || n > 0xFFFFFFFFull) {
            *problem = "'" + digits + "' is no DWORD (0 to 4294967295, or 0x hexadecimal)";
            return false;
        }
        uint32_t value = static_cast<uint32_t>(n);
        out->type = plat::kRegDword;
        out->bytes.assign(reinterpret_cast<const uint8_t*>(&value), reinterpret_cast<const uint8_t*>(&value) + 4);
        return true;
    }
    if (text.rfind("sz:", 0) == 0) {
        std::u16string s = tlw::Utf8ToUtf16(text.substr(3));
        s.push_back(u'\0');
        out->type = plat::kRegSz;
        out->bytes.assign(reinterpret_cast<const uint8_t*>(s.data()),
                          reinterpret_cast<const uint8_t*>(s.data()) + s.size() * sizeof(char16_t));
        return true;
    }
    if (text.rfind("hex:", 0) == 0) {
        out->type = plat::kRegBinary;
        out->bytes.clear();
        int high = -1;
        for (char c : text.substr(4)) {
            if (c == ',' || c == ':' || c == ' ') {
                if (high >= 0) break;
                continue;
            }
            int digit = HexDigit(c);
            if (digit < 0) {
                *problem = "'" + text.substr(4) + "' is no list of hex bytes (like 01,a0,ff)";
                return false;
            }
            if (high < 0) {
                high = digit;
            } else {
                out->bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
                high = -1;
            }
        }
        if (high >= 0) {
            *problem = "'" + text.substr(4) + "' has an odd number of hex digits (bytes are two digits each)";
            return false;
        }
        return true;
    }
    *problem = "a value is written as dword:N, sz:TEXT or hex:BYTES, not '" + text + "'";
    return false;
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
    std::string text;
    char pair[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, "%s%02x", i ? "," : "", bytes[i]);
        text += pair;
    }
    return text;
}

// The value alone: a DWORD in decimal, a string as its text (up to its
// terminator), anything else as hex bytes.
std::string ValueText(uint32_t type, const std::vector<uint8_t>& bytes) {
    if (type == plat::kRegDword && bytes.size() == 4) {
        uint32_t value;
        std::memcpy(&value, bytes.data(), 4);
        return std::to_string(value);
    }
    if (type == plat::kRegSz) {
        std::u16string s(bytes.size() / 2, u'\0');
        if (!s.empty()) std::memcpy(s.data(), bytes.data(), s.size() * 2);
        size_t end = s.find(u'\0');
        if (end != std::u16string::npos) s.resize(end);
        return tlw::Utf16ToUtf8(s);
    }
    return HexBytes(bytes);
}

const char* TypeName(uint32_t type) {
    switch (type) {
    case plat::kRegDword: return "dword";
    case plat::kRegSz: return "sz";
    case plat::kRegBinary: return "hex";
    default: return "none";
    }
}

int Get(plat::HKey root, const std::string& keyText, const std::u16string& subKey, const std::string& name) {
    plat::HKey key = 0;
    uint32_t error = plat::RegOpenKey(root, subKey, &key);
    if (error != plat::kErrorSuccess) return sim::Fail("key " + keyText + ": " + ErrorText(error));
    uint32_t type = 0;
    std::vector<uint8_t> bytes;
    error = plat::RegQueryValue(key, tlw::Utf8ToUtf16(name), &type, &bytes);
    plat::RegCloseKey(key);
    if (error != plat::kErrorSuccess) return sim::Fail("value '" + name + "' of " + keyText + ": " + ErrorText(error));
    std::printf("%s\n", ValueText(type, bytes).c_str());
    return 0;
}

int Set(plat::HKey root, const std::string& keyText, const std::u16string& subKey, const std::string* name,
        const TypedValue* value) {
    plat::HKey key = 0;
    uint32_t error = plat::RegCreateKey(root, subKey, &key);
    if (error != plat::kErrorSuccess) return sim::Fail("cannot create key " + keyText + ": " + ErrorText(error));
    if (name) {
        error = plat::RegSetValue(key, tlw::Utf8ToUtf16(*name), value->type, value->bytes.data(),
                                  static_cast<uint32_t>(value->bytes.size()));
    }
    plat::RegCloseKey(key);
    if (error != plat::kErrorSuccess) return sim::Fail("cannot write '" + *name + "' of " + keyText + ": " + ErrorText(error));
    return 0;
}

int Delete(plat::HKey root, const std::string& keyText, const std::u16string& subKey, const std::string* name) {
    uint32_t error;
    if (!name) {
        if (subKey.find_first_not_of(u'\\') == std::u16string::npos) {
            return sim::Fail(keyText + " is a root of the registry; it cannot be deleted");
        }
        error = plat::RegDeleteKey(root, subKey);
        if (error != plat::kErrorSuccess) return sim::Fail("cannot delete key " + keyText + ": " + ErrorText(error));
        return 0;
    }
    plat::HKey key = 0;
    error = plat::RegOpenKey(root, subKey, &key);
    if (error != plat::kErrorSuccess) return sim::Fail("key " + keyText + ": " + ErrorText(error));
    error = plat::RegDeleteValue(key, tlw::Utf8ToUtf16(*name));
    plat::RegCloseKey(key);
    if (error != plat::kErrorSuccess) return sim::Fail("cannot delete '" + *name + "' of " + keyText + ": " + ErrorText(error));
    return 0;
}

int List(plat::HKey root, const std::string& keyText, const std::u16string& subKey) {
    plat::HKey key = 0;
    uint32_t error = plat::RegOpenKey(root, subKey, &key);
    if (error != plat::kErrorSuccess) return sim::Fail("key " + keyText + ": " + ErrorText(error));
    std::u16string name;
    for (uint32_t i = 0; (error = plat::RegEnumKey(key, i, &name)) == plat::kErrorSuccess; ++i) {
        std::printf("%s\\\n", tlw::Utf16ToUtf8(name).c_str());
    }
    uint32_t type = 0;
    if (error == plat::kErrorNoMoreItems) {
        for (uint32_t i = 0; (error = plat::RegEnumValue(key, i, &name, &type)) == plat::kErrorSuccess; ++i) {
            std::vector<uint8_t> bytes;
            if (plat::RegQueryValue(key, name, &type, &bytes) != plat::kErrorSuccess) continue;  // deleted meanwhile
            std::printf("%s=%s:%s\n", tlw::Utf16ToUtf8(name).c_str(), TypeName(type), ValueText(type, bytes).c_str());
        }
    }
    plat::RegCloseKey(key);
    if (error != plat::kErrorNoMoreItems) return sim::Fail("cannot list " + keyText + ": " + ErrorText(error));
    return 0;
}

int RunReg(const sim::CommandArgs& args) {
    if (args.size() < 3) return sim::Usage("reg");
    const std::string& action = args[1];
    const std::string& keyText = args[2];
    size_t extra = args.size() - 3;
    bool fits = (action == "get" && extra == 1) || (action == "set" && (extra == 0 || extra == 2)) ||
                (action == "del" && extra <= 1) || (action == "list" && extra == 0);
    if (!fits) return sim::Usage("reg");

    // Check everything typed before touching the device.
    plat::HKey root = 0;
    std::u16string subKey;
    if (!plat::ParseRegistryPath(tlw::Utf8ToUtf16(keyText), &root, &subKey)) {
        return sim::Fail("'" + keyText + "' is no registry key (it starts with HKCU\\ or HKLM\\)");
    }
    TypedValue value;
    std::string problem;
    if (action == "set" && extra == 2 && !ParseTypedValue(args[4], &value, &problem)) return sim::Fail(problem);
    if (!sim::OpenDevice(args)) return 1;

    const std::string* name = extra >= 1 ? &args[3] : nullptr;
    if (action == "get") return Get(root, keyText, subKey, *name);
    if (action == "set") return Set(root, keyText, subKey, name, &value);
    if (action == "del") return Delete(root, keyText, subKey, name);
    return List(root, keyText, subKey);
}

}  // namespace

TLW_SIM_COMMAND("reg", "DIR get|set|del|list KEY [VALUE [dword:N|sz:TEXT|hex:BYTES]]",
                "Reads and changes the device registry. KEY is a full key path such as\n"
                "HKCU\\Software\\Korvel\\Tallowin (roots HKCU or HKEY_CURRENT_USER, HKLM or\n"
                "HKEY_LOCAL_MACHINE); key and value names match without regard to case.\n"
                "Quote KEY in the shell because of its backslashes.\n"
                "  get KEY VALUE        prints the value alone: a DWORD in decimal, a string as\n"
                "                       its text, binary data as hex bytes (01,a0,ff); exits 1\n"
                "                       when the key or the value is missing\n"
                "  set KEY              creates the key (and every missing key above it)\n"
                "  set KEY VALUE DATA   writes a value, creating the key when missing; DATA is\n"
                "                       dword:N (decimal or 0x hex), sz:TEXT or hex:BYTES\n"
                "  del KEY              deletes the key with all its subkeys and values\n"
                "  del KEY VALUE        deletes one value\n"
                "  list KEY             prints the subkeys, one per line as \"NAME\\\", then the\n"
                "                       values as \"NAME=TYPE:VALUE\" (TYPE dword, sz or hex)\n"
                "An empty VALUE (\"\") is the key's default value.",
                RunReg);
