// The message box's look: where its parts go at the screen's size and
// density, and how the box window paints itself. Internal to
// platform/controls (message_box.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gdi/gdi_types.h"

namespace plat::mbox {

// Most buttons a box has.
constexpr int kMaxButtons = 2;

// One button of the box.
struct ButtonPlace {
    int32_t id = 0;        // the answer it gives (kIdOk, ...)
    std::u16string label;  // its text
    Rect rect;             // in the box's client coordinates
};

// Everything placed, in the box's client coordinates unless said.
struct MessageBoxLayout {
    Rect screen;                       // the box on the screen
    int32_t captionHeight = 0;         // the caption strip at the top
    Rect icon;                         // the icon; empty when the box has none
    Rect text;                         // the wrapped text
    ButtonPlace buttons[kMaxButtons];  // the buttons, left to right
    int buttonCount = 0;               // how many of them there are
};

// Lays the box out in the work area of the screen as it stands: as wide as
// the work area less a margin (at most 300 units), as high as its text
// needs (at most the work area), centred. iconSize is 0 for no icon.
MessageBoxLayout LayOutMessageBox(std::u16string_view text, int32_t iconSize, const int32_t* ids, int count);

// The label of a button answer ("OK", "Cancel", "Yes", "No").
std::u16string ButtonLabel(int32_t id);

// Paints the box's own surface: frame, caption strip with the title, the
// icon (may be none) and the text. The buttons are child windows.
void PaintMessageBox(Hdc hdc, const MessageBoxLayout& layout, std::u16string_view caption, std::u16string_view text,
                     HIcon icon);

}  // namespace plat::mbox
