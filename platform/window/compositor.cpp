// Composing the screen from the window table and the window surfaces.
#include "platform/window/compositor.h"

#include <algorithm>
#include <unordered_map>

#include "platform/gdi/gdi.h"
#include "platform/gdi/png_save.h"
#include "platform/hardware/device_model.h"
#include "platform/hardware/display.h"
#include "platform/power/power_state.h"
#include "platform/shell/input_panel.h"
#include "platform/window/cursor.h"
#include "platform/window/window_db.h"
#include "platform/window/window_order.h"

namespace plat {
namespace {

constexpr char16_t kTaskBarClass[] = u"HHTaskBar";

// One window as the compositor places it.
struct Placed {
    const windb::WindowRow* row = nullptr;  // its table row
    Rect screen;                            // its rectangle on the screen
    Rect clip;                              // the part of the screen it may show (inside its parents)
};

Rect Intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Contains(const Rect& r, Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The visible windows in drawing order (bottom first), with their places.
class Scene {
public:
    Scene() {
        layout_ = CurrentScreenLayout();
        rows_ = windb::AllRows();
        std::unordered_map<uint64_t, std::vector<const windb::WindowRow*>> children;
        std::vector<const windb::WindowRow*> desktops, normal, bars, popups;
        for (const windb::WindowRow& row : rows_) {
            if (!row.visible) continue;
            if (!row.topLevel) {
                children[row.parent.value].push_back(&row);
                continue;
            }
            if (row.shellFlags & kShellDesktop) desktops.push_back(&row);
            else if (row.shellFlags & kShellPopup) popups.push_back(&row);
            else if (row.shellFlags & kShellBar) bars.push_back(&row);
            else normal.push_back(&row);
        }
        // A full-screen window in front hides the bars it asks to hide.
        Hwnd front = GetForegroundWindow();
        uint32_t hidden = 0;
        for (const windb::WindowRow& row : rows_)
            if (row.hwnd == front) hidden = row.shellFlags & (kShellHideTaskBar | kShellHideMenuBar);
        Rect screen{0, 0, layout_.screen.cx, layout_.screen.cy};
        auto add = [&](const windb::WindowRow* top) {
            Place(top, Rect{0, 0, 0, 0}, screen, children, 0);
        };
        for (const windb::WindowRow* row : desktops) add(row);
        for (const windb::WindowRow* row : normal) add(row);
        for (const windb::WindowRow* row : bars) {
            bool isTaskBar = row->className == kTaskBarClass;
            if (isTaskBar && (hidden & kShellHideTaskBar)) continue;
            if (!isTaskBar && (hidden & kShellHideMenuBar)) continue;
            add(row);
        }
        for (const windb::WindowRow* row : popups) add(row);
    }

    const ScreenLayout& layout() const { return layout_; }
    const std::vector<Placed>& placed() const { return placed_; }

private:
    // Places a window (rectangle relative to its parent's origin) and, over
    // it, its visible children in stacking order.
    void Place(const windb::WindowRow* row, Rect origin, Rect clip,
               const std::unordered_map<uint64_t, std::vector<const windb::WindowRow*>>& children, int depth) {
        if (depth > 16) return;  // a parent chain that loops
        Placed p;
        p.row = row;
        p.screen = {row->rect.left + origin.left, row->rect.top + origin.top, row->rect.right + origin.left,
                    row->rect.bottom + origin.top};
        p.clip = Intersect(p.screen, clip);
        if (Empty(p.clip)) return;
        placed_.push_back(p);
        auto it = children.find(row->hwnd.value);
        if (it == children.end()) return;
        for (const windb::WindowRow* child : it->second)  // rows come bottom to top
            Place(child, p.screen, p.clip, children, depth + 1);
    }

    ScreenLayout layout_;
    std::vector<windb::WindowRow> rows_;  // every window, bottom to top
    std::vector<Placed> placed_;          // the visible ones, in drawing order
};

}  // namespace

ScreenLayout CurrentScreenLayout() {
    DeviceModel model = CurrentDeviceModel();
    ScreenLayout layout{};
    int32_t width = model.screenWidth > 0 ? model.screenWidth : 240;
    int32_t height = model.screenHeight > 0 ? model.screenHeight : 320;
    uint32_t orientation = GetDisplayOrientation();
    if (orientation == kDmdo90 || orientation == kDmdo270) std::swap(width, height);
    layout.screen = {width, height};
    int32_t dpi = model.dpiY > 0 ? model.dpiY : 96;
    int32_t bar = (kBarHeightUnits * dpi + 48) / 96;
    layout.taskBarHeight = bar;
    layout.menuBarHeight = bar;
    layout.taskBar = {0, 0, width, bar};
    layout.menuBar = {0, height - bar, width, height};
    layout.work = {0, bar, width, height - bar};
    return layout;
}

std::vector<StackEntry> ListWindowStack() {
    std::vector<windb::WindowRow> rows = windb::AllRows();
    std::unordered_map<uint64_t, std::vector<const windb::WindowRow*>> children;
    std::vector<const windb::WindowRow*> layers[4];  // desktop, normal, bars, popups
    for (const windb::WindowRow& row : rows) {
        if (!row.topLevel) children[row.parent.value].push_back(&row);
        else
            layers[(row.shellFlags & kShellDesktop) ? 0
                   : (row.shellFlags & kShellPopup) ? 3
                   : (row.shellFlags & kShellBar)   ? 2
                                                    : 1]
                .push_back(&row);
    }
    std::vector<StackEntry> bottomUp;
    // Depth-first, bottom to top: a window, then its children over it.
    auto add = [&](auto& self, const windb::WindowRow* row, Point origin, bool shown, int depth) -> void {
        if (depth > 16) return;
        StackEntry e;
        e.hwnd = row->hwnd;
        e.parent = row->topLevel ? Hwnd{} : row->parent;
        e.pid = row->pid;
        e.className = row->className;
        e.title = row->title;
        e.screen = {row->rect.left + origin.x, row->rect.top + origin.y, row->rect.right + origin.x,
                    row->rect.bottom + origin.y};
        e.visible = shown && row->visible;
        e.shellFlags = row->shellFlags;
        bottomUp.push_back(e);
        auto it = children.find(row->hwnd.value);
        if (it == children.end()) return;
        for (const windb::WindowRow* child : it->second)
            self(self, child, Point{e.screen.left, e.screen.top}, e.visible, depth + 1);
    };
    for (const auto& layer : layers)
        for (const windb::WindowRow* row : layer) add(add, row, Point{0, 0}, true, 0);
    return std::vector<StackEntry>(bottomUp.rbegin(), bottomUp.rend());
}

bool ScreenIsOn() {
    PowerState state;
    if (!ReadPowerState(&state)) return true;
    return state.power == DevicePower::kOn;
}

void ComposeScreen(SurfaceImage* out) {
    Scene scene;
    const ScreenLayout& layout = scene.layout();
    out->width = layout.screen.cx;
    out->height = layout.screen.cy;
    out->pixels.assign(static_cast<size_t>(out->width) * static_cast<size_t>(out->height), 0);
    if (!ScreenIsOn()) return;
    SurfaceImage surface;
    for (const Placed& p : scene.placed()) {
        if (!ReadSurface(p.row->hwnd, &surface)) continue;
        for (int32_t y = p.clip.top; y < p.clip.bottom; ++y) {
            int32_t sy = y - p.screen.top;
            if (sy < 0 || sy >= surface.height) continue;
            for (int32_t x = p.clip.left; x < p.clip.right; ++x) {
                int32_t sx = x - p.screen.left;
                if (sx < 0 || sx >= surface.width) continue;
                out->pixels[static_cast<size_t>(y) * out->width + x] =
                    surface.pixels[static_cast<size_t>(sy) * surface.width + sx];
            }
        }
    }
    // Over the windows: the input panel above the menu bar, the wait cursor in the middle.
    if (SipIsShown()) DrawInputPanel(out->pixels.data(), out->width, out->height);
    if (WaitCursorShown()) DrawWaitCursor(out->pixels.data(), out->width, out->height, out->width / 2, out->height / 2);
}

bool SaveScreenPng(const std::filesystem::path& hostPath) {
    SurfaceImage screen;
    ComposeScreen(&screen);
    return SaveRgbPng(screen.width, screen.height, screen.pixels.data(), hostPath);
}

HitResult WindowFromPoint(Point screenPoint) {
    HitResult hit;
    if (!ScreenIsOn()) return hit;
    if (PointOnInputPanel(screenPoint)) return hit;  // the keyboard takes it
    Scene scene;
    const std::vector<Placed>& placed = scene.placed();
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
        if (!Contains(it->clip, screenPoint)) continue;
        hit.hwnd = it->row->hwnd;
        hit.client = {screenPoint.x - it->screen.left, screenPoint.y - it->screen.top};
        break;
    }
    return hit;
}

}  // namespace plat
