// The message box's layout and painting.
#include "platform/controls/message_box_layout.h"

#include <algorithm>

#include "platform/controls/control_support.h"
#include "platform/controls/message_box.h"
#include "platform/gdi/gdi.h"
#include "platform/window/compositor.h"

namespace plat::mbox {
namespace {

// Lengths in 96-dpi units.
constexpr int32_t kScreenMargin = 6;    // between the box and the work area's sides
constexpr int32_t kMaxWidth = 300;      // widest box (a turned or large screen)
constexpr int32_t kCaption = 22;        // the caption strip
constexpr int32_t kPadding = 8;         // inside the box, around its parts
constexpr int32_t kIconGap = 8;         // between the icon and the text
constexpr int32_t kButtonGapAbove = 12; // between the text and the buttons
constexpr int32_t kButtonHeight = 24;
constexpr int32_t kButtonMinWidth = 64;
constexpr int32_t kButtonGap = 10;      // between two buttons

HFont BoldFont() {
    LogFont lf;
    if (!GetFontInfo(ctl::ControlFont(HFont{}), &lf)) lf = LogFont{};
    lf.weight = kFwBold;
    return CreateFontIndirect(lf);
}

constexpr uint32_t kTextFormat = kDtLeft | kDtWordBreak | kDtNoPrefix | kDtExpandTabs;

// The height the text takes when wrapped to `width` pixels.
int32_t TextHeight(std::u16string_view text, int32_t width) {
    Hdc probe = CreateCompatibleDC(Hdc{});
    HFont old = SelectObject(probe, ctl::ControlFont(HFont{}));
    Rect r{0, 0, std::max(1, width), 0};
    DrawText(probe, text, &r, kTextFormat | kDtCalcRect);
    SelectObject(probe, old);
    DeleteDC(probe);
    return std::max(r.bottom - r.top, ctl::LineHeight(HFont{}));
}

}  // namespace

std::u16string ButtonLabel(int32_t id) {
    switch (id) {
    case kIdCancel: return u"Cancel";
    case kIdYes: return u"Yes";
    case kIdNo: return u"No";
    default: return u"OK";
    }
}

MessageBoxLayout LayOutMessageBox(std::u16string_view text, int32_t iconSize, const int32_t* ids, int count) {
    MessageBoxLayout l;
    Rect work = CurrentScreenLayout().work;
    int32_t workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    int32_t width = std::min(workWidth - 2 * ctl::ScaleX(kScreenMargin), ctl::ScaleX(kMaxWidth));
    width = std::max(width, ctl::ScaleX(120));
    int32_t pad = ctl::ScaleX(kPadding);
    l.captionHeight = ctl::ScaleY(kCaption);

    int32_t bodyTop = l.captionHeight + ctl::ScaleY(kPadding);
    int32_t textLeft = pad;
    if (iconSize > 0) {
        l.icon = Rect{pad, bodyTop, pad + iconSize, bodyTop + iconSize};
        textLeft = l.icon.right + ctl::ScaleX(kIconGap);
    }
    int32_t textHeight = TextHeight(text, width - pad - textLeft);
    // A text shorter than the icon stands in the middle of it.
    int32_t textTop = bodyTop + std::max(0, (iconSize - textHeight) / 2);
    l.text = Rect{textLeft, textTop, width - pad, textTop + textHeight};
    int32_t bodyBottom = std::max(l.text.bottom, bodyTop + iconSize);

    // The buttons, centred in a row below.
    l.buttonCount = std::clamp(count, 0, kMaxButtons);
    int32_t buttonHeight = ctl::ScaleY(kButtonHeight), gap = ctl::ScaleX(kButtonGap);
    int32_t rowWidth = 0;
    int32_t widths[kMaxButtons] = {};
    for (int i = 0; i < l.buttonCount; ++i) {
        l.buttons[i].id = ids[i];
        l.buttons[i].label = ButtonLabel(ids[i]);
        widths[i] = std::max(ctl::ScaleX(kButtonMinWidth), ctl::TextWidth(HFont{}, l.buttons[i].label) + ctl::ScaleX(16));
        rowWidth += widths[i] + (i > 0 ? gap : 0);
    }
    int32_t height = bodyBottom + ctl::ScaleY(kButtonGapAbove) + buttonHeight + ctl::ScaleY(kPadding);
    // A text too long for the screen is cut at the bottom of the work area.
    if (height > workHeight) {
        int32_t excess = height - workHeight;
        l.text.bottom = std::max(l.text.top + ctl::LineHeight(HFont{}), l.text.bottom - excess);
        height = workHeight;
    }
    int32_t buttonTop = height - ctl::ScaleY(kPadding) - buttonHeight;
    int32_t x = (width - rowWidth) / 2;
    for (int i = 0; i < l.buttonCount; ++i) {
        l.buttons[i].rect = Rect{x, buttonTop, x + widths[i], buttonTop + buttonHeight};
        x += widths[i] + gap;
    }
    int32_t left = work.left + (workWidth - width) / 2, top = work.top + (workHeight - height) / 2;
    l.screen = Rect{left, top, left + width, top + height};
    return l;
}

void PaintMessageBox(Hdc hdc, const MessageBoxLayout& l, std::u16string_view caption, std::u16string_view text,
                     HIcon icon) {
    Rect client{0, 0, l.screen.right - l.screen.left, l.screen.bottom - l.screen.top};
    ctl::FillSolid(hdc, client, GetSysColor(kColorWindow));
    // The caption strip: the title in bold on the caption colour.
    Rect strip{0, 0, client.right, l.captionHeight};
    ctl::FillSolid(hdc, strip, GetSysColor(kColorActiveCaption));
    HFont bold = BoldFont();
    Rect title{ctl::ScaleX(6), 0, client.right - ctl::ScaleX(6), l.captionHeight};
    ctl::DrawLabel(hdc, bold, caption, title, kDtLeft | kDtVCenter | kDtSingleLine | kDtEndEllipsis | kDtNoPrefix,
                   GetSysColor(kColorCaptionText));
    DeleteObject(bold);
    if (icon && l.icon.right > l.icon.left)
        DrawIconEx(hdc, l.icon.left, l.icon.top, icon, l.icon.right - l.icon.left, l.icon.bottom - l.icon.top, kDiNormal);
    HFont old = SelectObject(hdc, ctl::ControlFont(HFont{}));
    SetBkMode(hdc, kTransparent);
    SetTextColor(hdc, GetSysColor(kColorWindowText));
    Rect r = l.text;
    DrawText(hdc, text, &r, kTextFormat);
    SelectObject(hdc, old);
    ctl::FrameSolid(hdc, client, GetSysColor(kColorWindowFrame));
}

}  // namespace plat::mbox
