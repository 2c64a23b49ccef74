// Reading dialog templates written in the resource script's dialog syntax.
#include "platform/controls/dialog_template.h"

#include <cctype>
#include <cstdlib>
#include <span>

#include "base/text.h"
#include "platform/controls/button.h"
#include "platform/controls/date_time_picker.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_view.h"
#include "platform/controls/static_control.h"
#include "platform/controls/trackbar.h"
#include "platform/gdi/resources.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

struct NamedValue {
    const char* name;
    uint32_t value;
};

const NamedValue kStyles[] = {
    {"WS_OVERLAPPED", WS_OVERLAPPED}, {"WS_TABSTOP", WS_TABSTOP}, {"WS_GROUP", WS_GROUP},
    {"WS_THICKFRAME", WS_THICKFRAME}, {"WS_SYSMENU", WS_SYSMENU}, {"WS_HSCROLL", WS_HSCROLL},
    {"WS_VSCROLL", WS_VSCROLL}, {"WS_DLGFRAME", WS_DLGFRAME}, {"WS_BORDER", WS_BORDER},
    {"WS_CAPTION", WS_CAPTION}, {"WS_CLIPCHILDREN", WS_CLIPCHILDREN}, {"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS},
    {"WS_DISABLED", WS_DISABLED}, {"WS_VISIBLE", WS_VISIBLE}, {"WS_CHILD", WS_CHILD}, {"WS_POPUP", WS_POPUP},
    {"DS_SETFONT", DS_SETFONT}, {"DS_MODALFRAME", DS_MODALFRAME}, {"DS_CENTER", DS_CENTER},
    {"BS_PUSHBUTTON", BS_PUSHBUTTON}, {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON}, {"BS_CHECKBOX", BS_CHECKBOX},
    {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX}, {"BS_RADIOBUTTON", BS_RADIOBUTTON}, {"BS_3STATE", BS_3STATE},
    {"BS_AUTO3STATE", BS_AUTO3STATE}, {"BS_GROUPBOX", BS_GROUPBOX}, {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON},
    {"BS_OWNERDRAW", BS_OWNERDRAW}, {"BS_LEFTTEXT", BS_LEFTTEXT}, {"BS_NOTIFY", BS_NOTIFY},
    {"SS_LEFT", SS_LEFT}, {"SS_CENTER", SS_CENTER}, {"SS_RIGHT", SS_RIGHT}, {"SS_ICON", SS_ICON},
    {"SS_BLACKRECT", SS_BLACKRECT}, {"SS_LEFTNOWORDWRAP", SS_LEFTNOWORDWRAP}, {"SS_BITMAP", SS_BITMAP},
    {"SS_NOPREFIX", SS_NOPREFIX}, {"SS_NOTIFY", SS_NOTIFY}, {"SS_CENTERIMAGE", SS_CENTERIMAGE},
    {"ES_LEFT", ES_LEFT}, {"ES_CENTER", ES_CENTER}, {"ES_RIGHT", ES_RIGHT}, {"ES_MULTILINE", ES_MULTILINE},
    {"ES_UPPERCASE", ES_UPPERCASE}, {"ES_LOWERCASE", ES_LOWERCASE}, {"ES_PASSWORD", ES_PASSWORD},
    {"ES_AUTOHSCROLL", ES_AUTOHSCROLL}, {"ES_NOHIDESEL", ES_NOHIDESEL}, {"ES_READONLY", ES_READONLY},
    {"ES_NUMBER", ES_NUMBER},
    {"TBS_HORZ", TBS_HORZ}, {"TBS_AUTOTICKS", TBS_AUTOTICKS}, {"TBS_VERT", TBS_VERT}, {"TBS_NOTICKS", TBS_NOTICKS},
    {"TBS_PAGETAP", TBS_PAGETAP},
    {"DTS_SHORTDATEFORMAT", DTS_SHORTDATEFORMAT}, {"DTS_UPDOWN", DTS_UPDOWN}, {"DTS_SHOWNONE", DTS_SHOWNONE},
    {"DTS_LONGDATEFORMAT", DTS_LONGDATEFORMAT}, {"DTS_TIMEFORMAT", DTS_TIMEFORMAT},
    {"LVS_REPORT", LVS_REPORT}, {"LVS_SINGLESEL", LVS_SINGLESEL}, {"LVS_SHOWSELALWAYS", LVS_SHOWSELALWAYS},
    {"LVS_SORTASCENDING", LVS_SORTASCENDING}, {"LVS_EDITLABELS", LVS_EDITLABELS},
    {"LVS_NOCOLUMNHEADER", LVS_NOCOLUMNHEADER}, {"LVS_OWNERDRAWFIXED", LVS_OWNERDRAWFIXED},
    {"LVS_NOSCROLL", LVS_NOSCROLL}, {"LVS_NOSORTHEADER", LVS_NOSORTHEADER},
};

const NamedValue kIds[] = {
    {"IDOK", IDOK}, {"IDCANCEL", IDCANCEL}, {"IDYES", IDYES}, {"IDNO", IDNO},
    {"IDC_STATIC", static_cast<uint32_t>(IDC_STATIC)},
};

enum class TokenKind { kWord, kNumber, kString, kComma, kBar };

struct Token {
    TokenKind kind;
    std::u16string text;  // word or string
    int64_t number = 0;
};

// Splits one line; false with *error for an unterminated string or a
// character that has no place in a template.
bool Tokenize(std::u16string_view line, std::vector<Token>* out, std::string* error) {
    for (size_t i = 0; i < line.size();) {
        char16_t c = line[i];
        if (c == u' ' || c == u'\t' || c == u'\r') {
            ++i;
        } else if (c == u'/' && i + 1 < line.size() && line[i + 1] == u'/') {
            break;
        } else if (c == u',') {
            out->push_back({TokenKind::kComma, u""});
            ++i;
        } else if (c == u'|') {
            out->push_back({TokenKind::kBar, u""});
            ++i;
        } else if (c == u'"') {
            std::u16string text;
            size_t j = i + 1;
            bool closed = false;
            for (; j < line.size(); ++j) {
                if (line[j] == u'"') {
                    if (j + 1 < line.size() && line[j + 1] == u'"') {
                        text.push_back(u'"');
                        ++j;
                        continue;
                    }
                    closed = true;
                    break;
                }
                text.push_back(line[j]);
            }
            if (!closed) {
                *error = "a string is not closed";
                return false;
            }
            out->push_back({TokenKind::kString, text});
            i = j + 1;
        } else if (c == u'-' || (c >= u'0' && c <= u'9')) {
            size_t j = i + 1;
            while (j < line.size() && std::isalnum(static_cast<unsigned char>(line[j] < 128 ? line[j] : 0))) ++j;
            std::string digits = tlw::Utf16ToUtf8(line.substr(i, j - i));
            char* end = nullptr;
            long long v = std::strtoll(digits.c_str(), &end, 0);
            if (*end != '\0') {
                *error = "'" + digits + "' is not a number";
                return false;
            }
            Token t{TokenKind::kNumber, u""};
            t.number = v;
            out->push_back(t);
            i = j;
        } else if (c < 128 && (std::isalpha(static_cast<unsigned char>(c)) || c == u'_')) {
            size_t j = i + 1;
            while (j < line.size() && line[j] < 128 && (std::isalnum(static_cast<unsigned char>(line[j])) || line[j] == u'_'))
                ++j;
            out->push_back({TokenKind::kWord, std::u16string(line.substr(i, j - i))});
            i = j;
        } else {
            *error = "unexpected character '" + tlw::Utf16ToUtf8(line.substr(i, 1)) + "'";
            return false;
        }
    }
    return true;
}

// Reads the comma-separated arguments of a statement.
class Args {
public:
    Args(const std::vector<Token>& tokens, size_t start) : tokens_(tokens), at_(start) {}

    bool AtEnd() const { return at_ >= tokens_.size(); }

    bool String(std::u16string* out, std::string* error) {
        if (AtEnd() || tokens_[at_].kind != TokenKind::kString) return Fail("a text in quotes", error);
        *out = tokens_[at_++].text;
        return Comma();
    }

    bool Int(int32_t* out, std::string* error, bool idNames = false) {
        if (!AtEnd() && tokens_[at_].kind == TokenKind::kNumber) {
            *out = static_cast<int32_t>(tokens_[at_++].number);
            return Comma();
        }
        if (idNames && !AtEnd() && tokens_[at_].kind == TokenKind::kWord) {
            std::string name = tlw::Utf16ToUtf8(tokens_[at_].text);
            for (const NamedValue& id : kIds)
                if (name == id.name) {
                    *out = static_cast<int32_t>(id.value);
                    ++at_;
                    return Comma();
                }
            *error = "unknown id '" + name + "'";
            return false;
        }
        return Fail("a number", error);
    }

    // Styles joined by "|"; NOT name clears a bit.
    bool Style(uint32_t* set, uint32_t* cleared, std::string* error) {
        *set = 0;
        *cleared = 0;
        for (;;) {
            bool negate = false;
            if (!AtEnd() && tokens_[at_].kind == TokenKind::kWord && tokens_[at_].text == u"NOT") {
                negate = true;
                ++at_;
            }
            uint32_t value = 0;
            if (AtEnd()) return Fail("a style", error);
            const Token& t = tokens_[at_];
            if (t.kind == TokenKind::kNumber) {
                value = static_cast<uint32_t>(t.number);
            } else if (t.kind == TokenKind::kWord) {
                std::string name = tlw::Utf16ToUtf8(t.text);
                if (!StyleByName(name, &value)) {
                    *error = "unknown style name '" + name + "'";
                    return false;
                }
            } else {
                return Fail("a style", error);
            }
            ++at_;
            (negate ? *cleared : *set) |= value;
            if (AtEnd() || tokens_[at_].kind != TokenKind::kBar) break;
            ++at_;
        }
        return Comma();
    }

private:
    bool Comma() {
        if (!AtEnd() && tokens_[at_].kind == TokenKind::kComma) ++at_;
        return true;
    }
    bool Fail(const char* wanted, std::string* error) {
        *error = std::string("expected ") + wanted + (AtEnd() ? " at the end of the line" : "");
        return false;
    }

    const std::vector<Token>& tokens_;
    size_t at_;
};

struct Keyword {
    const char* word;
    const char16_t* className;
    uint32_t style;  // added to WS_CHILD | WS_VISIBLE
    bool hasText;
};

const Keyword kKeywords[] = {
    {"LTEXT", kStaticClass, SS_LEFT | WS_GROUP, true},
    {"RTEXT", kStaticClass, SS_RIGHT | WS_GROUP, true},
    {"CTEXT", kStaticClass, SS_CENTER | WS_GROUP, true},
    {"PUSHBUTTON", kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, true},
    {"DEFPUSHBUTTON", kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, true},
    {"CHECKBOX", kButtonClass, BS_CHECKBOX | WS_TABSTOP, true},
    {"AUTOCHECKBOX", kButtonClass, BS_AUTOCHECKBOX | WS_TABSTOP, true},
    {"RADIOBUTTON", kButtonClass, BS_RADIOBUTTON | WS_TABSTOP, true},
    {"AUTORADIOBUTTON", kButtonClass, BS_AUTORADIOBUTTON | WS_TABSTOP, true},
    {"GROUPBOX", kButtonClass, BS_GROUPBOX, true},
    {"EDITTEXT", kEditClass, ES_LEFT | WS_BORDER | WS_TABSTOP, false},
};

bool ParseItem(const std::vector<Token>& tokens, DialogItemTemplate* item, std::string* error) {
    std::string word = tlw::Utf16ToUtf8(tokens[0].text);
    Args args(tokens, 1);
    uint32_t set = 0, cleared = 0;
    if (word == "CONTROL") {
        if (!args.String(&item->text, error) || !args.Int(&item->id, error, true)) return false;
        if (!args.String(&item->className, error) || !args.Style(&set, &cleared, error)) return false;
        if (!args.Int(&item->x, error) || !args.Int(&item->y, error) || !args.Int(&item->cx, error) ||
            !args.Int(&item->cy, error))
            return false;
        item->style = ((WS_CHILD | WS_VISIBLE) | set) & ~cleared;
    } else {
        const Keyword* keyword = nullptr;
        for (const Keyword& k : kKeywords)
            if (word == k.word) keyword = &k;
        if (!keyword) {
            *error = "unknown statement '" + word + "'";
            return false;
        }
        if (keyword->hasText && !args.String(&item->text, error)) return false;
        if (!args.Int(&item->id, error, true) || !args.Int(&item->x, error) || !args.Int(&item->y, error) ||
            !args.Int(&item->cx, error) || !args.Int(&item->cy, error))
            return false;
        if (!args.AtEnd() && !args.Style(&set, &cleared, error)) return false;
        item->className = keyword->className;
        item->style = ((WS_CHILD | WS_VISIBLE | keyword->style) | set) & ~cleared;
    }
    if (!args.AtEnd()) {
        *error = "more arguments than " + word + " takes";
        return false;
    }
    if (item->cx < 0 || item->cy < 0) {
        *error = "a negative size";
        return false;
    }
    return true;
}

}  // namespace

bool StyleByName(std::string_view name, uint32_t* value) {
    for (const NamedValue& s : kStyles)
        if (name == s.name) {
            *value = s.value;
            return true;
        }
    return false;
}

bool ParseDialogTemplate(std::u16string_view text, DialogTemplate* out, std::string* error) {
    DialogTemplate t;
    enum class Stage { kHeader, kOptions, kBody, kDone } stage = Stage::kHeader;
    size_t lineNumber = 0;
    std::string why;
    auto fail = [&](const std::string& message) {
        if (error) *error = "line " + std::to_string(lineNumber) + ": " + message;
        return false;
    };
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        std::vector<Token> tokens;
        if (!Tokenize(line, &tokens, &why)) return fail(why);
        if (tokens.empty()) {
            if (end == text.size()) break;
            continue;
        }
        if (tokens[0].kind != TokenKind::kWord && stage != Stage::kHeader)
            return fail("a statement starts with a keyword");
        std::string word = tokens[0].kind == TokenKind::kWord ? tlw::Utf16ToUtf8(tokens[0].text) : "";
        switch (stage) {
        case Stage::kHeader: {
            size_t at = 0;
            if (word != "DIALOG" && word != "DIALOGEX") at = 1;  // the template's name
            if (at >= tokens.size() || tokens[at].kind != TokenKind::kWord ||
                (tokens[at].text != u"DIALOG" && tokens[at].text != u"DIALOGEX"))
                return fail("the template starts with DIALOG x, y, cx, cy");
            Args args(tokens, at + 1);
            if (!args.Int(&t.x, &why) || !args.Int(&t.y, &why) || !args.Int(&t.cx, &why) || !args.Int(&t.cy, &why))
                return fail(why);
            if (t.cx < 0 || t.cy < 0) return fail("a negative size");
            stage = Stage::kOptions;
            break;
        }
        case Stage::kOptions: {
            Args args(tokens, 1);
            if (word == "STYLE") {
                uint32_t set = 0, cleared = 0;
                if (!args.Style(&set, &cleared, &why)) return fail(why);
                t.style = set & ~cleared;
            } else if (word == "CAPTION") {
                if (!args.String(&t.caption, &why)) return fail(why);
            } else if (word == "FONT") {
                if (!args.Int(&t.fontPoints, &why) || !args.String(&t.fontFace, &why)) return fail(why);
                if (t.fontPoints <= 0 || t.fontPoints > 72) return fail("a font size of 1 to 72 points");
            } else if (word == "EXSTYLE") {
                uint32_t set = 0, cleared = 0;
                if (!args.Style(&set, &cleared, &why)) return fail(why);
            } else if (word == "BEGIN") {
                stage = Stage::kBody;
                break;
            } else {
                return fail("unknown statement '" + word + "' before BEGIN");
            }
            break;
        }
        case Stage::kBody: {
            if (word == "END") {
                stage = Stage::kDone;
                break;
            }
            DialogItemTemplate item;
            if (!ParseItem(tokens, &item, &why)) return fail(why);
            t.items.push_back(std::move(item));
            break;
        }
        case Stage::kDone:
            return fail("text after END");
        }
        if (end == text.size()) break;
    }
    if (stage != Stage::kDone) {
        lineNumber = 0;
        if (error) *error = stage == Stage::kHeader ? "the template is empty" : "the template has no END";
        return false;
    }
    *out = std::move(t);
    return true;
}

bool ParseDialogTemplate(std::string_view bytes, DialogTemplate* out, std::string* error) {
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) {
        std::u16string text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
        return ParseDialogTemplate(std::u16string_view(text), out, error);
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::u16string text = tlw::Utf8ToUtf16(bytes);
    return ParseDialogTemplate(std::u16string_view(text), out, error);
}

bool LoadDialogTemplate(std::u16string_view module, std::u16string_view name, DialogTemplate* out,
                        std::string* error) {
    std::span<const uint8_t> bytes;
    bool found = module.empty() ? LoadResourceBytes(kResourceDialog, name, &bytes)
                                : LoadResourceBytes(module, kResourceDialog, name, &bytes);
    if (!found) return false;
    std::string why;
    if (!ParseDialogTemplate(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), out, &why)) {
        if (error) *error = why;
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    return true;
}

}  // namespace plat
