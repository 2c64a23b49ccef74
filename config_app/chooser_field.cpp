// The chooser's fields: painting, typing and the back key.
#include "config_app/chooser_field.h"

#include <map>
#include <memory>

#include "common/graphics/screen_scale.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace tlw {

namespace {

struct FieldState {
    std::u16string text;       // what the field holds
    bool editable = false;     // takes typing
    bool allSelected = false;  // the whole text is selected: typing replaces it
    std::size_t limit = 0;     // most characters typing may give
};

std::map<uint64_t, std::unique_ptr<FieldState>>& Fields() {
    static std::map<uint64_t, std::unique_ptr<FieldState>> fields;
    return fields;
}

FieldState* StateOf(plat::Hwnd hwnd) {
    auto it = Fields().find(hwnd.value);
    return it == Fields().end() ? nullptr : it->second.get();
}

plat::HFont FieldFont() {
    static plat::HFont font;
    static int32_t madeFor = 0;
    int32_t height = ScaleY(12);
    if (madeFor != height) {
        if (font) plat::DeleteObject(font);
        plat::LogFont f;
        f.height = -height;
        font = plat::CreateFontIndirect(f);
        madeFor = height;
    }
    return font;
}

void Fill(plat::Hdc hdc, const plat::Rect& r, plat::ColorRef colour) {
    plat::HBrush brush = plat::CreateSolidBrush(colour);
    plat::FillRect(hdc, r, brush);
    plat::DeleteObject(brush);
}

void Paint(plat::Hwnd hwnd, const FieldState& s) {
    plat::PaintStruct ps;
    plat::Hdc hdc = plat::BeginPaint(hwnd, &ps);
    plat::Rect client;
    plat::GetClientRect(hwnd, &client);
    bool focused = plat::GetFocus() == hwnd;
    Fill(hdc, client, s.editable ? plat::Rgb(0xFF, 0xFF, 0xFF) : plat::Rgb(0xEE, 0xEE, 0xEE));
    plat::HBrush frame = plat::CreateSolidBrush(focused && s.editable ? plat::Rgb(0x31, 0x6A, 0xC5) : plat::Rgb(0x80, 0x80, 0x80));
    plat::FrameRect(hdc, client, frame);
    plat::DeleteObject(frame);

    plat::SelectObject(hdc, FieldFont());
    plat::SetBkMode(hdc, plat::kTransparent);
    plat::Rect text{client.left + ScaleX(3), client.top, client.right - ScaleX(3), client.bottom};
    plat::Size extent;
    plat::GetTextExtentPoint(hdc, s.text, &extent);
    // A long text shows its end, where typing goes on.
    uint32_t align = extent.cx > text.right - text.left ? plat::kDtRight : plat::kDtLeft;
    if (s.allSelected && focused && !s.text.empty()) {
        int32_t left = align == plat::kDtRight ? text.right - extent.cx : text.left;
        Fill(hdc, {std::max(left, text.left), text.top + ScaleY(3), std::min(left + extent.cx, text.right), text.bottom - ScaleY(3)},
             plat::Rgb(0x31, 0x6A, 0xC5));
        plat::SetTextColor(hdc, plat::Rgb(0xFF, 0xFF, 0xFF));
    } else {
        plat::SetTextColor(hdc, plat::Rgb(0, 0, 0));
    }
    plat::DrawText(hdc, s.text, &text, align | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtNoPrefix);
    if (focused && s.editable && !s.allSelected) {  // the caret after the text
        int32_t x = std::min(text.left + extent.cx + 1, text.right - 1);
        Fill(hdc, {x, text.top + ScaleY(4), x + std::max(1, ScaleX(1)), text.bottom - ScaleY(4)}, plat::Rgb(0, 0, 0));
    }
    plat::EndPaint(hwnd, &ps);
}

void Changed(plat::Hwnd hwnd, const FieldState& s) {
    plat::SetWindowText(hwnd, s.text);
    plat::InvalidateRect(hwnd, nullptr, false);
}

plat::LResult FieldProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    FieldState* s = StateOf(hwnd);
    switch (message) {
    case plat::WM_CREATE:
        Fields()[hwnd.value] = std::make_unique<FieldState>();
        return 0;
    case plat::WM_DESTROY:
        Fields().erase(hwnd.value);
        return 0;
    case plat::WM_PAINT:
        if (s) Paint(hwnd, *s);
        return 0;
    case plat::WM_ERASEBKGND:
        return 1;
    case plat::WM_SETFOCUS:
    case plat::WM_KILLFOCUS:
        plat::InvalidateRect(hwnd, nullptr, false);
        return 0;
    case plat::WM_LBUTTONDOWN:
        if (s && s->editable) {
            plat::SetFocus(hwnd);
            s->allSelected = false;  // a tap puts the caret at the end
            plat::InvalidateRect(hwnd, nullptr, false);
        }
        return 0;
    case plat::WM_KEYDOWN:
        if (s && s->editable && wParam == plat::VK_BACK) {
            if (s->allSelected) s->text.clear();
            else if (!s->text.empty()) s->text.pop_back();
            s->allSelected = false;
            Changed(hwnd, *s);
            return 0;
        }
        // Other keys (the soft keys, the arrows) belong to the dialog.
        return plat::SendMessage(plat::GetParent(hwnd), message, wParam, lParam);
    case plat::WM_CHAR: {
        if (!s || !s->editable) return 0;
        char16_t c = static_cast<char16_t>(wParam);
        if (c == 8) {  // back as a character
            if (s->allSelected) s->text.clear();
            else if (!s->text.empty()) s->text.pop_back();
        } else if (c >= 0x20) {
            if (s->allSelected) s->text.clear();
            if (s->text.size() < s->limit) s->text.push_back(c);
        } else {
            return 0;
        }
        s->allSelected = false;
        Changed(hwnd, *s);
        return 0;
    }
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterChooserField() {
    static bool registered = false;
    if (registered) return true;
    plat::WndClass c;
    c.className = kChooserFieldClass;
    c.proc = FieldProc;
    registered = plat::RegisterClass(c);
    return registered;
}

plat::Hwnd CreateChooserField(plat::Hwnd parent, bool editable, std::size_t limit) {
    if (!RegisterChooserField()) return {};
    plat::Hwnd field = plat::CreateWindow(kChooserFieldClass, u"", plat::WS_CHILD | plat::WS_VISIBLE, 0, 0, 10, 10, parent);
    if (FieldState* s = StateOf(field)) {
        s->editable = editable;
        s->limit = limit;
    }
    return field;
}

void SetChooserFieldText(plat::Hwnd field, std::u16string_view text) {
    FieldState* s = StateOf(field);
    if (!s) return;
    s->text.assign(text);
    s->allSelected = s->editable;
    Changed(field, *s);
}

std::u16string ChooserFieldText(plat::Hwnd field) {
    FieldState* s = StateOf(field);
    return s ? s->text : std::u16string();
}

}  // namespace tlw
