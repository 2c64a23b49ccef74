#include "platform/connectivity/config_manager.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/hardware/hardware.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

// ---------------------------------------------------------------------------
// A small reader of the documents' XML: elements with attributes, text
// between them ignored, declarations and comments skipped.

struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::vector<Element> children;
};

class XmlReader {
public:
    explicit XmlReader(std::string text) : text_(std::move(text)) {}

    // The document's one root element; false when it is not well formed.
    bool ReadDocument(Element* root) {
        SkipMisc();
        if (!ReadElement(root)) return false;
        SkipMisc();
        return pos_ == text_.size();
    }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    void SkipSpace() {
        while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n'))
            ++pos_;
    }
    // Text, declarations and comments between elements.
    void SkipMisc() {
        while (!AtEnd()) {
            if (text_.compare(pos_, 4, "<!--") == 0) {
                size_t end = text_.find("-->", pos_ + 4);
                pos_ = end == std::string::npos ? text_.size() : end + 3;
            } else if (text_.compare(pos_, 2, "<?") == 0) {
                size_t end = text_.find("?>", pos_ + 2);
                pos_ = end == std::string::npos ? text_.size() : end + 2;
            } else if (text_[pos_] != '<') {
                ++pos_;
            } else {
                return;
            }
        }
    }
    static bool NameChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               c == ':' || c == '.';
    }
    bool ReadName(std::string* name) {
        size_t start = pos_;
        while (!AtEnd() && NameChar(text_[pos_])) ++pos_;
        *name = text_.substr(start, pos_ - start);
        return !name->empty();
    }
    bool ReadElement(Element* e) {
        if (AtEnd() || text_[pos_] != '<') return false;
        ++pos_;
        if (!ReadName(&e->name)) return false;
        while (true) {
            SkipSpace();
            if (AtEnd()) return false;
            if (text_.compare(pos_, 2, "/>") == 0) {
                pos_ += 2;
                return true;
            }
            if (text_[pos_] == '>') {
                ++pos_;
                break;
            }
            std::string attribute, value;
            if (!ReadName(&attribute)) return false;
            SkipSpace();
            if (AtEnd() || text_[pos_] != '=') return false;
            ++pos_;
            SkipSpace();
            if (AtEnd() || (text_[pos_] != '"' && text_[pos_] != '\'')) return false;
            char quote = text_[pos_++];
            size_t end = text_.find(quote, pos_);
            if (end == std::string::npos) return false;
            value = text_.substr(pos_, end - pos_);
            pos_ = end + 1;
            if (e->attributes.count(attribute)) return false;
            e->attributes[attribute] = value;
        }
        while (true) {
            SkipMisc();
            if (AtEnd()) return false;
            if (text_.compare(pos_, 2, "</") == 0) {
                pos_ += 2;
                std::string name;
                if (!ReadName(&name) || name != e->name) return false;
                SkipSpace();
                if (AtEnd() || text_[pos_] != '>') return false;
                ++pos_;
                return true;
            }
            Element child;
            if (!ReadElement(&child)) return false;
            e->children.push_back(std::move(child));
        }
    }

    std::string text_;
    size_t pos_ = 0;
};

std::string Attribute(const Element& e, const char* name) {
    auto it = e.attributes.find(name);
    return it == e.attributes.end() ? std::string() : it->second;
}

bool ParseFrequency(const std::string& text, int32_t* out) {
    int32_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < -1 || v > 1440) return false;
    *out = v;
    return true;
}

// ---------------------------------------------------------------------------
// Checking a document and collecting its changes.

struct Changes {
    bool queryPeak = false;                  // answer PeakFrequency
    int32_t peak = INT32_MIN;                // new value, INT32_MIN: unchanged
    int32_t offPeak = INT32_MIN;
    std::vector<std::function<bool()>> proxyChanges;  // registry changes, in document order
};

int32_t CheckSync(const Element& sync, Changes* changes) {
    for (const Element& settings : sync.children) {
        if (settings.name != "characteristic" || Attribute(settings, "type") != "Settings")
            return kConfigErrorUnknownCharacteristic;
        for (const Element& parm : settings.children) {
            std::string name = Attribute(parm, "name");
            if (name != "PeakFrequency" && name != "OffPeakFrequency") return kConfigErrorBadParameter;
            if (parm.name == "parm-query") {
                if (name != "PeakFrequency") return kConfigErrorBadParameter;
                changes->queryPeak = true;
            } else if (parm.name == "parm") {
                int32_t v = 0;
                if (!ParseFrequency(Attribute(parm, "value"), &v)) return kConfigErrorBadParameter;
                (name == "PeakFrequency" ? changes->peak : changes->offPeak) = v;
            } else {
                return kConfigErrorBadParameter;
            }
        }
    }
    return kConfigOk;
}

int32_t CheckProxyEntries(const Element& entries, Changes* changes) {
    for (const Element& entry : entries.children) {
        std::string type = Attribute(entry, "type");
        if (type.empty() || type.find_first_of("\\/") != std::string::npos) return kConfigErrorBadParameter;
        std::u16string key = std::u16string(kProxyProvidersKey) + u"\\" + tlw::Utf8ToUtf16(type);
        if (entry.name == "nocharacteristic") {
            changes->proxyChanges.push_back([key] {
                uint32_t rc = RegDeleteKey(kHkeyLocalMachine, key);
                return rc == 0 || rc == kErrorFileNotFound;
            });
            continue;
        }
        if (entry.name != "characteristic") return kConfigErrorUnknownCharacteristic;
        std::vector<std::pair<std::u16string, std::string>> texts;
        std::vector<std::pair<std::u16string, uint32_t>> numbers;
        for (const Element& parm : entry.children) {
            if (parm.name != "parm") return kConfigErrorBadParameter;
            std::string name = Attribute(parm, "name"), value = Attribute(parm, "value");
            if (name == "SrcId" || name == "DestId" || name == "Proxy") {
                texts.emplace_back(tlw::Utf8ToUtf16(name), value);
            } else if (name == "Type" || name == "Enable") {
                uint32_t v = 0;
                auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
                if (value.empty() || ec != std::errc() || end != value.data() + value.size()) return kConfigErrorBadParameter;
                numbers.emplace_back(tlw::Utf8ToUtf16(name), v);
            } else {
                return kConfigErrorBadParameter;
            }
        }
        changes->proxyChanges.push_back([key, texts, numbers] {
            bool ok = true;
            for (const auto& [name, value] : texts) ok = RegWriteString(kHkeyLocalMachine, key, name, tlw::Utf8ToUtf16(value)) && ok;
            for (const auto& [name, value] : numbers) ok = RegWriteDword(kHkeyLocalMachine, key, name, value) && ok;
            return ok;
        });
    }
    return kConfigOk;
}

int32_t CheckDocument(const Element& root, Changes* changes) {
    if (root.name != "wap-provisioningdoc") return kConfigErrorBadXml;
    for (const Element& c : root.children) {
        if (c.name != "characteristic") return kConfigErrorUnknownCharacteristic;
        std::string type = Attribute(c, "type");
        int32_t rc = type == "Sync"              ? CheckSync(c, changes)
                     : type == "CM_ProxyEntries" ? CheckProxyEntries(c, changes)
                                                 : kConfigErrorUnknownCharacteristic;
        if (rc != kConfigOk) return rc;
    }
    return kConfigOk;
}

char16_t* CopyResult(const std::u16string& text) {
    auto* copy = new char16_t[text.size() + 1];
    std::copy(text.begin(), text.end(), copy);
    copy[text.size()] = 0;
    return copy;
}

}  // namespace

int32_t DMProcessConfigXML(const char16_t* document, uint32_t flags, char16_t** result) {
    if (!result) return kConfigErrorInvalidArg;
    *result = nullptr;
    if (!document || !(flags & kCfgFlagProcess)) return kConfigErrorInvalidArg;
    std::u16string text(document);
    JournalAppend("provisioning " + tlw::Utf16ToUtf8(text));
    Element root;
    XmlReader reader(tlw::Utf16ToUtf8(text));
    if (!reader.ReadDocument(&root)) return kConfigErrorBadXml;
    Changes changes;
    int32_t rc = CheckDocument(root, &changes);
    if (rc != kConfigOk) return rc;

    int32_t peak = 0;
    bool ok = ChangeHardwareState([&](HardwareState& s) {
        if (changes.peak != INT32_MIN) s.peakFrequency = changes.peak;
        if (changes.offPeak != INT32_MIN) s.offPeakFrequency = changes.offPeak;
        peak = s.peakFrequency;
    });
    if (!ok) return kConfigErrorInvalidArg;
    if (changes.peak != INT32_MIN) {
        uint32_t keepAlive = peak == -1 ? 1 : 0, stored = 0;
        if (!RegReadDword(kHkeyCurrentUser, u"SOFTWARE\\Microsoft\\ActiveSync", u"KeepAlive", &stored) || stored != keepAlive)
            RegWriteDword(kHkeyCurrentUser, u"SOFTWARE\\Microsoft\\ActiveSync", u"KeepAlive", keepAlive);
    }
    for (const auto& change : changes.proxyChanges) change();

    if (changes.queryPeak) {
        *result = CopyResult(u"<wap-provisioningdoc><characteristic type=\"Sync\"><characteristic type=\"Settings\">"
                             u"<parm name=\"PeakFrequency\" value=\"" +
                             tlw::Utf8ToUtf16(std::to_string(peak)) +
                             u"\"/></characteristic></characteristic></wap-provisioningdoc>");
    } else {
        *result = CopyResult(text);
    }
    return kConfigOk;
}

}  // namespace plat
