// Notification-area icons kept in the device's window database.
#include "platform/shell/notify_icon.h"


#include <cstring>

#include "base/text.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "platform/process/process_liveness.h"
#include "platform/storage/journal.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_db.h"
#include "platform/window/window_state.h"

namespace plat {
namespace {

// The icon's pixels as 0xAARRGGBB: its own alpha when it has one, else
// opaque where the mask is black.
bool IconPixels(HIcon icon, int32_t* width, int32_t* height, std::vector<uint32_t>* argb) {
    Size size = GetIconSize(icon);
    if (size.cx <= 0 || size.cy <= 0 || size.cx > kNotifyIconMaxSide || size.cy > kNotifyIconMaxSide) return false;
    IconInfo info;
    if (!GetIconInfo(icon, &info)) return false;
    DibHeader dib;
    dib.width = size.cx;
    dib.height = -size.cy;
    dib.bitCount = 32;
    size_t count = static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy);
    std::vector<uint32_t> color(count, 0), mask(count, 0xFFFFFFu);
    bool ok = true;
    if (info.color) ok = GetDiBits(info.color, 0, size.cy, reinterpret_cast<uint8_t*>(color.data()), dib) == size.cy;
    BitmapDesc colorDesc;
    bool alphaKnown = false;
    if (ok && info.color && GetDibSectionPixels(info.color, &colorDesc) && colorDesc.bitCount == 32) {
        // GetDiBits leaves the fourth byte alone; read the alpha directly.
        for (int32_t y = 0; y < size.cy; ++y) {
            int32_t row = colorDesc.topDown ? y : size.cy - 1 - y;
            const uint8_t* p = colorDesc.bits + static_cast<size_t>(row) * colorDesc.stride;
            for (int32_t x = 0; x < size.cx; ++x) {
                uint8_t a = p[x * 4 + 3];
                color[static_cast<size_t>(y) * size.cx + x] =
                    (color[static_cast<size_t>(y) * size.cx + x] & 0xFFFFFFu) | (uint32_t(a) << 24);
                alphaKnown = alphaKnown || a != 0;
            }
        }
    }
    if (ok && info.mask) ok = GetDiBits(info.mask, 0, size.cy, reinterpret_cast<uint8_t*>(mask.data()), dib) == size.cy;
    if (info.color) DeleteObject(info.color);
    if (info.mask) DeleteObject(info.mask);
    if (!ok) return false;
    argb->resize(count);
    for (size_t i = 0; i < count; ++i) {
        uint32_t rgb = color[i] & 0xFFFFFFu;
        uint32_t alpha = alphaKnown ? (color[i] >> 24) : ((mask[i] & 0xFFFFFFu) ? 0u : 255u);
        (*argb)[i] = (alpha << 24) | rgb;
    }
    *width = size.cx;
    *height = size.cy;
    return true;
}

std::u16string CutTip(const std::u16string& tip) {
    return tip.size() > kNotifyTipCapacity ? tip.substr(0, kNotifyTipCapacity) : tip;
}

bool OwnWindow(Hwnd hwnd) {
    win::ProcessState& s = win::State();
    std::lock_guard<std::mutex> guard(s.lock);
    return win::FindLocked(s, hwnd) != nullptr;
}

void TellTaskBar() {
    Hwnd taskBar = FindWindow(u"HHTaskBar", nullptr);
    if (taskBar) PostMessage(taskBar, WM_SHELLCHANGED, 0, 0);
}

}  // namespace

bool Shell_NotifyIcon(uint32_t action, const NotifyIconData& data) {
    if (action > NIM_DELETE) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    if (!OwnWindow(data.hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    int32_t width = 0, height = 0;
    std::vector<uint32_t> argb;
    if (action != NIM_DELETE && (data.flags & NIF_ICON) && data.icon &&
        !IconPixels(data.icon, &width, &height, &argb)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    bool done = windb::Write([&](store::Transaction& t) -> uint32_t {
        store::Query find(t, "SELECT callback, width, height, pixels, tip FROM notify_icons WHERE hwnd = ?1 AND id = ?2");
        find.Bind(1, static_cast<int64_t>(data.hwnd.value)).Bind(2, static_cast<int64_t>(data.id));
        bool exists = find.Next();
        if (find.Error() != kErrorSuccess) return find.Error();
        if ((action == NIM_ADD) == exists) return kErrorInvalidParameter;
        if (action == NIM_DELETE) {
            store::Query del(t, "DELETE FROM notify_icons WHERE hwnd = ?1 AND id = ?2");
            del.Bind(1, static_cast<int64_t>(data.hwnd.value)).Bind(2, static_cast<int64_t>(data.id));
            return del.Run();
        }
        // Fields not given keep what the icon had (nothing for a new one).
        uint32_t callback = exists ? static_cast<uint32_t>(find.Int(0)) : 0;
        int32_t w = exists ? static_cast<int32_t>(find.Int(1)) : 0;
        int32_t h = exists ? static_cast<int32_t>(find.Int(2)) : 0;
        std::vector<uint8_t> pixels = exists ? find.Blob(3) : std::vector<uint8_t>();
        std::u16string tip = exists ? find.Text16(4) : std::u16string();
        if (data.flags & NIF_MESSAGE) callback = data.callbackMessage;
        if (data.flags & NIF_ICON) {
            w = width;
            h = height;
            pixels.assign(reinterpret_cast<const uint8_t*>(argb.data()),
                          reinterpret_cast<const uint8_t*>(argb.data()) + argb.size() * 4);
        }
        if (data.flags & NIF_TIP) tip = CutTip(data.tip);
        store::Query put(t,
                         "INSERT INTO notify_icons (hwnd, id, seq, pid, start_time, callback, width, height, "
                         "pixels, tip) VALUES (?1, ?2, COALESCE((SELECT seq FROM notify_icons WHERE hwnd = ?1 "
                         "AND id = ?2), (SELECT IFNULL(MAX(seq), 0) + 1 FROM notify_icons)), ?3, ?4, ?5, ?6, "
                         "?7, ?8, ?9) ON CONFLICT (hwnd, id) DO UPDATE SET callback = excluded.callback, "
                         "width = excluded.width, height = excluded.height, pixels = excluded.pixels, "
                         "tip = excluded.tip");
        put.Bind(1, static_cast<int64_t>(data.hwnd.value));
        put.Bind(2, static_cast<int64_t>(data.id));
        put.Bind(3, static_cast<int64_t>(win::OwnerPid(data.hwnd)));
        put.Bind(4, static_cast<int64_t>(OwnStartTime()));
        put.Bind(5, static_cast<int64_t>(callback));
        put.Bind(6, static_cast<int64_t>(w));
        put.Bind(7, static_cast<int64_t>(h));
        put.BindBlob(8, pixels.data(), pixels.size());
        put.Bind(9, std::u16string_view(tip));
        return put.Run();
    });
    if (!done) return false;
    static const char* const kVerbs[] = {"added", "changed", "removed"};
    JournalAppend("notification icon " + std::to_string(data.id) + " of " +
                  tlw::Utf16ToUtf8(GetClassName(data.hwnd)) + " " + kVerbs[action]);
    TellTaskBar();
    return true;
}

std::vector<NotifyIconEntry> ListNotifyIcons() {
    std::vector<NotifyIconEntry> icons;
    std::vector<std::pair<int64_t, uint64_t>> owners;
    windb::ReadExisting([&](store::Transaction& t) -> uint32_t {
        store::Query s(t,
                       "SELECT hwnd, id, callback, width, height, pixels, tip, pid, start_time FROM notify_icons "
                       "ORDER BY seq");
        while (s.Next()) {
            if (!ProcessAlive(static_cast<int32_t>(s.Int(7)), static_cast<uint64_t>(s.Int(8)))) continue;
            NotifyIconEntry e;
            e.hwnd.value = static_cast<uint64_t>(s.Int(0));
            e.id = static_cast<uint32_t>(s.Int(1));
            e.callbackMessage = static_cast<uint32_t>(s.Int(2));
            e.width = static_cast<int32_t>(s.Int(3));
            e.height = static_cast<int32_t>(s.Int(4));
            std::vector<uint8_t> pixels = s.Blob(5);
            if (e.width > 0 && e.height > 0 && pixels.size() == static_cast<size_t>(e.width) * e.height * 4) {
                e.argb.resize(pixels.size() / 4);
                std::memcpy(e.argb.data(), pixels.data(), pixels.size());
            } else {
                e.width = e.height = 0;
            }
            e.tip = s.Text16(6);
            icons.push_back(std::move(e));
        }
        return s.Error();
    });
    return icons;
}

}  // namespace plat
