// The time-out dialog: a tap on the remaining time-out opens a time picker
// over it; OK stores the new end of the manual time-out and tells the
// engine.
#include "base/text.h"
#include "common/config/registry_state.h"
#include "common/graphics/screen_scale.h"
#include "platform/controls/date_time_picker.h"
#include "platform/controls/dialog.h"
#include "platform/kernel/clock.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr int32_t kPickerId = 1000;
constexpr int32_t kTimeOutStored = 720;

int32_t Digits(std::u16string_view text, size_t at) {
    if (text.size() < at + 2) return 0;
    return tlw::ParseInt(text.substr(at, 2));
}

void InitDialog(plat::Hwnd dialog) {
    TodayState& s = Plugin();
    const plat::Rect& area = s.layout.hits[kHitTimeOut].rect;
    plat::MoveWindow(dialog, s.screenRect.left + area.left, s.screenRect.top + area.top, tlw::ScaleX(78),
                     tlw::ScaleY(23), true);
    plat::Hwnd picker = plat::GetDlgItem(dialog, kPickerId);
    plat::SendMessage(picker, plat::DTM_SETFORMAT, 0, reinterpret_cast<plat::LParam>(u"HH:mm"));
    plat::SystemTime t{};
    plat::SendMessage(picker, plat::DTM_GETSYSTEMTIME, 0, reinterpret_cast<plat::LParam>(&t));
    std::u16string_view text = s.timeOutText.View();
    t.hour = static_cast<uint16_t>(Digits(text, 0));
    t.minute = static_cast<uint16_t>(Digits(text, 3));
    t.second = 0;
    // A time-out already reached shows 00:00; the picker starts at the
    // shortest time-out instead, so that OK right away cannot store an end
    // that has passed.
    if (t.hour == 0 && t.minute == 0) t.minute = 1;
    plat::SendMessage(picker, plat::DTM_SETSYSTEMTIME, plat::GDT_VALID, reinterpret_cast<plat::LParam>(&t));
}

// The shortest time-out is one minute: 00:00 becomes 00:01.
void OnTimeChange(plat::Hwnd dialog) {
    plat::Hwnd picker = plat::GetDlgItem(dialog, kPickerId);
    plat::SystemTime t{};
    plat::SendMessage(picker, plat::DTM_GETSYSTEMTIME, 0, reinterpret_cast<plat::LParam>(&t));
    if (t.hour == 0 && t.minute == 0) {
        t.minute = 1;
        plat::SendMessage(picker, plat::DTM_SETSYSTEMTIME, plat::GDT_VALID, reinterpret_cast<plat::LParam>(&t));
    }
}

void OnOk(plat::Hwnd dialog) {
    TodayState& s = Plugin();
    plat::Hwnd picker = plat::GetDlgItem(dialog, kPickerId);
    plat::SystemTime t{};
    plat::SendMessage(picker, plat::DTM_GETSYSTEMTIME, 0, reinterpret_cast<plat::LParam>(&t));
    int64_t seconds = int64_t{t.hour} * 3600 + int64_t{t.minute} * 60;
    uint32_t end = tlw::EncodeManualTimeOut(plat::AddSeconds(plat::GetLocalTime(), seconds));
    if (tlw::WriteManualTimeOut(end))
        s.timeOutText = tlw::Format(u"%02d:%02d", {static_cast<int>(t.hour), static_cast<int>(t.minute)});
    SendEngineCommand(kTimeOutStored);
    plat::EndDialog(dialog, plat::IDOK);
    if (s.parent) plat::SetFocus(s.parent);
    plat::InvalidateRect(s.window, nullptr, false);
}

plat::LResult TimeOutDialogProc(plat::Hwnd dialog, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    switch (message) {
    case plat::WM_INITDIALOG:
        InitDialog(dialog);
        return 1;
    case plat::WM_NOTIFY: {
        auto* header = reinterpret_cast<const plat::NmHdr*>(lParam);
        if (header && header->code == plat::DTN_DATETIMECHANGE) OnTimeChange(dialog);
        return 1;
    }
    case plat::WM_COMMAND:
        if ((wParam & 0xFFFF) == static_cast<plat::WParam>(plat::IDOK)) {
            OnOk(dialog);
            return 1;
        }
        return 0;
    case plat::WM_CLOSE:
        plat::EndDialog(dialog, plat::IDCANCEL);
        return 1;
    default:
        return 0;
    }
}

}  // namespace

void ShowTimeOutDialog() {
    TodayState& s = Plugin();
    plat::GetWindowRect(s.window, &s.screenRect);
    plat::DialogBoxParam(kResourceModule, u"102", s.window, &TimeOutDialogProc, 0);
}

}  // namespace today
