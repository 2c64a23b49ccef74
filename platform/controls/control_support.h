// What the control classes share inside the platform: the table of their
// per-window records, telling the parent, the font and drawing helpers.
// Internal to platform/controls.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/controls/common_controls.h"
#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace plat::ctl {

// The records of one control class, by window. A record is made at
// WM_CREATE and dropped at WM_DESTROY; handlers hold a shared pointer so a
// record survives a message that destroys its window on the way.
template <class T>
class ControlTable {
public:
    std::shared_ptr<T> Get(Hwnd hwnd) {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = map_.find(hwnd);
        return it == map_.end() ? nullptr : it->second;
    }
    std::shared_ptr<T> Make(Hwnd hwnd) {
        auto record = std::make_shared<T>();
        std::lock_guard<std::mutex> guard(lock_);
        map_[hwnd] = record;
        return record;
    }
    void Drop(Hwnd hwnd) {
        std::lock_guard<std::mutex> guard(lock_);
        map_.erase(hwnd);
    }

private:
    std::mutex lock_;
    std::unordered_map<Hwnd, std::shared_ptr<T>> map_;
};

// The control's id (GWL_ID).
uint32_t ControlId(Hwnd hwnd);
// WM_COMMAND to the parent: the id and code in wParam, the control in lParam.
void CommandParent(Hwnd hwnd, uint32_t code);
// WM_NOTIFY to the parent; fills the header's sender fields. Returns the
// parent's answer.
LResult NotifyParent(Hwnd hwnd, NmHdr* header, uint32_t code);

// The font a control draws with: the one given by WM_SETFONT, else the
// system font.
HFont ControlFont(HFont chosen);
// Length in pixels of `units` 96-dpi units on this screen (rounded).
int32_t ScaleX(int32_t units);
int32_t ScaleY(int32_t units);

// The style bits of a window of this process.
uint32_t StyleOf(Hwnd hwnd);
bool Has(Hwnd hwnd, uint32_t styleBits);
bool IsEnabled(Hwnd hwnd);
bool HasFocus(Hwnd hwnd);

// Painting helpers.
void FillSolid(Hdc hdc, const Rect& rect, ColorRef color);
void FrameSolid(Hdc hdc, const Rect& rect, ColorRef color);
// A dotted frame around a focused element.
void DrawFocusFrame(Hdc hdc, const Rect& rect);
// Single-line text in the rectangle with DrawText flags, colour given.
void DrawLabel(Hdc hdc, HFont font, std::u16string_view text, Rect rect, uint32_t format, ColorRef color);
// Width of the text in the font.
int32_t TextWidth(HFont font, std::u16string_view text);
// Height of a line of the font.
int32_t LineHeight(HFont font);

// Handles the font messages for a control whose record holds `font`;
// true when the message was one of them (*result then holds the answer).
bool HandleFontMessage(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam, HFont* font, LResult* result);

// Registers a class, ignoring one already registered in this process.
void RegisterControlClass(const char16_t* name, WndProc proc);

}  // namespace plat::ctl
