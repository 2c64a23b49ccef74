// The chooser's dialog window: its layout, painting, the up button, the
// listing's notifications, the soft keys and the modal loop.
#include "config_app/chooser_dialog.h"

#include <algorithm>
#include <span>

#include "common/graphics/screen_scale.h"
#include "config_app/chooser_field.h"
#include "config_app/chooser_list.h"
#include "config_app/chooser_listing.h"
#include "config_app/config_app_state.h"
#include "config_app/wait_cursor.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/resources.h"
#include "platform/shell/menu_bar.h"
#include "platform/window/compositor.h"
#include "platform/controls/message_box.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace tlw {

namespace {

// The transparent colour of the up button's bitmap.
const plat::ColorRef kUpTransparent = plat::Rgb(0x00, 0xFF, 0x00);

}  // namespace

struct ChooserDialog {
    FileChooser* chooser = nullptr;  // the caller's record
    std::u16string folder;           // the folder shown, ending in "\"
    plat::Hwnd window;               // the dialog
    plat::Hwnd nameEdit;             // save mode: the name
    plat::Hwnd extensionEdit;        // save mode: the type text (read-only)
    plat::Hwnd folderEdit;           // the folder (read-only)
    plat::Hwnd list;                 // the listing
    plat::HBitmap upBitmap;          // the up button's picture; none: drawn
    plat::HFont font;                // the labels' font
    ChooserLayout layout;            // where the parts are now
    bool done = false;               // the modal loop ends
    bool accepted = false;           // ... with a result
};

namespace {

// The dialog open now (the program runs one at a time).
ChooserDialog*& OpenDialog() { return App().openChooser; }

bool SaveMode(const ChooserDialog& d) { return d.chooser->mode == kChooserSave; }

plat::HBitmap LoadUpBitmap(const FileChooser& chooser) {
    std::u16string_view name = IsHighResolution() && !chooser.upBitmapLarge.empty() ? chooser.upBitmapLarge
                                                                                     : chooser.upBitmap;
    if (name.empty()) return {};
    std::span<const uint8_t> bytes;
    if (!plat::LoadResourceBytes(plat::kResourceBitmap, name, &bytes)) return {};
    return plat::CreateBitmapFromBmp(bytes.data(), bytes.size());
}

void Place(plat::Hwnd child, const plat::Rect& r) {
    if (child) plat::MoveWindow(child, r.left, r.top, r.right - r.left, r.bottom - r.top, true);
}

void ApplyLayout(ChooserDialog& d) {
    plat::Rect client;
    plat::GetClientRect(d.window, &client);
    d.layout = LayOutChooser(client.right - client.left, client.bottom - client.top, SaveMode(d));
    Place(d.nameEdit, d.layout.nameField);
    Place(d.extensionEdit, d.layout.extensionField);
    Place(d.folderEdit, d.layout.folderField);
    Place(d.list, d.layout.listing);
    plat::InvalidateRect(d.window, nullptr, true);
}

void FitToWorkArea(ChooserDialog& d) {
    plat::Rect work = plat::CurrentScreenLayout().work;
    plat::MoveWindow(d.window, work.left, work.top, work.right - work.left, work.bottom - work.top, true);
    ApplyLayout(d);
}

void FillListing(ChooserDialog& d) {
    WaitCursor wait;  // a folder of many images takes a while to sort out
    SetChooserFieldText(d.folderEdit, d.folder);
    SetChooserListEntries(d.list, ListChooserFolder(d.folder, d.chooser->mode, d.chooser->iconMode));
}

void Finish(ChooserDialog& d, bool accepted) {
    d.accepted = accepted;
    d.done = true;
}

void NameError(ChooserDialog& d, std::u16string_view message) {
    plat::MessageBox(message, ChooserNameErrorCaption(*d.chooser), plat::kMbOk | plat::kMbIconExclamation);
    if (d.nameEdit) plat::SetFocus(d.nameEdit);
}

void Select(ChooserDialog& d) {
    FileChooser& c = *d.chooser;
    switch (c.mode) {
    case kChooserSave: {
        std::u16string name = ChooserFieldText(d.nameEdit).substr(0, kChooserNameLength);
        switch (CheckSaveName(name)) {
        case SaveNameCheck::kMissing: NameError(d, ChooserMissingNameMessage(c)); return;
        case SaveNameCheck::kIllegal: NameError(d, ChooserIllegalNameMessage(c)); return;
        case SaveNameCheck::kOk: break;
        }
        if (!SavePath(d.folder, name, c.extension, &c.result)) {
            NameError(d, ChooserLongNameMessage(c));
            return;
        }
        Finish(d, true);
        return;
    }
    case kChooserFolder:
        c.result.Assign(d.folder);
        Finish(d, true);
        return;
    default: {
        int32_t i = ChooserListSelection(d.list);
        const auto& entries = ChooserListEntries(d.list);
        if (i < 0 || i >= static_cast<int32_t>(entries.size()) || entries[static_cast<std::size_t>(i)].folder) return;
        std::u16string path = d.folder + entries[static_cast<std::size_t>(i)].name;
        if (path.size() >= kChooserPathCapacity) {
            plat::MessageBox(ChooserLongNameMessage(c), ChooserNameErrorCaption(c), plat::kMbOk | plat::kMbIconExclamation);
            return;
        }
        c.result.Assign(path);
        Finish(d, true);
        return;
    }
    }
}

void GoUp(ChooserDialog& d) {
    if (ChooserFolderUp(&d.folder)) FillListing(d);
}

void EnterFolder(ChooserDialog& d, int32_t index) {
    const auto& entries = ChooserListEntries(d.list);
    if (index < 0 || index >= static_cast<int32_t>(entries.size())) return;
    const ChooserEntry& e = entries[static_cast<std::size_t>(index)];
    if (!e.folder) return;
    std::u16string name = e.name;  // the listing is replaced below
    if (ChooserFolderDown(&d.folder, name)) FillListing(d);
}

void DrawUpButton(ChooserDialog& d, plat::Hdc hdc) {
    const plat::Rect& r = d.layout.upButton;
    int32_t w = r.right - r.left, h = r.bottom - r.top;
    if (d.upBitmap) {
        plat::BitmapDesc desc;
        plat::GetBitmapInfo(d.upBitmap, &desc);
        plat::Hdc source = plat::CreateCompatibleDC(hdc);
        plat::HBitmap old = plat::SelectObject(source, d.upBitmap);
        plat::TransparentBlt(hdc, r.left, r.top, w, h, source, 0, 0, desc.width, desc.height, kUpTransparent);
        plat::SelectObject(source, old);
        plat::DeleteDC(source);
        return;
    }
    // Without the caller's bitmap: an arrow pointing up in a frame.
    plat::HPen pen = plat::CreatePen(plat::kPsSolid, std::max(1, w / 10), plat::Rgb(0x20, 0x40, 0xA0));
    plat::HPen oldPen = plat::SelectObject(hdc, pen);
    int32_t cx = r.left + w / 2;
    plat::MoveToEx(hdc, cx, r.top + h / 5);
    plat::LineTo(hdc, cx, r.bottom - h / 5);
    plat::MoveToEx(hdc, r.left + w / 4, r.top + h / 2);
    plat::LineTo(hdc, cx, r.top + h / 5);
    plat::LineTo(hdc, r.right - w / 4, r.top + h / 2);
    plat::SelectObject(hdc, oldPen);
    plat::DeleteObject(pen);
}

void Paint(ChooserDialog& d) {
    plat::PaintStruct ps;
    plat::Hdc hdc = plat::BeginPaint(d.window, &ps);
    plat::Rect client;
    plat::GetClientRect(d.window, &client);
    plat::HBrush white = plat::CreateSolidBrush(plat::Rgb(0xFF, 0xFF, 0xFF));
    plat::FillRect(hdc, client, white);
    plat::DeleteObject(white);
    if (SaveMode(d)) {
        plat::SelectObject(hdc, d.font);
        plat::SetBkMode(hdc, plat::kTransparent);
        plat::SetTextColor(hdc, plat::Rgb(0, 0, 0));
        plat::Rect name = d.layout.nameLabel, extension = d.layout.extensionLabel;
        uint32_t format = plat::kDtLeft | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtEndEllipsis | plat::kDtNoPrefix;
        plat::DrawText(hdc, ChooserFileNameLabel(*d.chooser), &name, format);
        plat::DrawText(hdc, ChooserExtensionLabel(*d.chooser), &extension, format);
    }
    DrawUpButton(d, hdc);
    plat::EndPaint(d.window, &ps);
}

bool Inside(const plat::Rect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

plat::LResult DialogProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    ChooserDialog* d = OpenDialog();
    if (!d || (d->window && hwnd != d->window)) return plat::DefWindowProc(hwnd, message, wParam, lParam);
    switch (message) {
    case plat::WM_PAINT:
        Paint(*d);
        return 0;
    case plat::WM_ERASEBKGND:
        return 1;
    case plat::WM_SIZE:
        if (d->window) ApplyLayout(*d);
        return 0;
    case plat::WM_SETTINGCHANGE:
        FitToWorkArea(*d);
        return 0;
    case plat::WM_LBUTTONDOWN:
        if (Inside(d->layout.upButton, plat::PointParamX(lParam), plat::PointParamY(lParam))) GoUp(*d);
        return 0;
    case kChooserListNotify: {
        int32_t index = static_cast<int32_t>(lParam);
        if (ChooserListEntries(d->list).size() > static_cast<std::size_t>(std::max(index, 0)) &&
            ChooserListEntries(d->list)[static_cast<std::size_t>(index)].folder) {
            EnterFolder(*d, index);
        } else if (wParam == kChooserListOpened && d->chooser->mode == kChooserLoad) {
            Select(*d);
        }
        return 0;
    }
    case plat::WM_KEYDOWN:
        if (wParam == plat::VK_ESCAPE) Finish(*d, false);
        return 0;
    case plat::WM_COMMAND:
        switch (wParam & 0xFFFF) {
        case kChooserCmdSelect: Select(*d); break;
        case kChooserCmdCancel: Finish(*d, false); break;
        default: break;
        }
        return 0;
    case plat::WM_CLOSE:
        Finish(*d, false);
        return 0;
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

bool RegisterDialogClass() {
    static bool registered = false;
    if (registered) return true;
    plat::WndClass c;
    c.className = kChooserClass;
    c.proc = DialogProc;
    registered = plat::RegisterClass(c) && RegisterChooserList() && RegisterChooserField();
    return registered;
}

}  // namespace

ChooserLayout LayOutChooser(int32_t width, int32_t height, bool saveMode) {
    ChooserLayout l;
    int32_t y = ScaleY(4);
    auto row = [&](plat::Rect* label, plat::Rect* field) {
        *label = {ScaleX(10), y + ScaleY(2), ScaleX(60), y + ScaleY(22)};
        *field = {ScaleX(60), y + ScaleY(2), width - ScaleX(10), y + ScaleY(22)};
        y += ScaleY(24);
    };
    if (saveMode) {
        row(&l.nameLabel, &l.nameField);
        row(&l.extensionLabel, &l.extensionField);
    }
    l.folderField = {ScaleX(10), y + ScaleY(2), width - ScaleX(44), y + ScaleY(22)};
    l.upButton = {width - ScaleX(30), y + ScaleY(2), width - ScaleX(10), y + ScaleY(22)};
    y += ScaleY(24);
    l.listing = {ScaleX(10), y + ScaleY(2), width - ScaleX(10), std::max(y + ScaleY(2), height - ScaleY(10))};
    return l;
}

ChooserWindows OpenChooserWindows() {
    ChooserWindows w;
    if (!OpenDialog()) return w;
    w.dialog = OpenDialog()->window;
    w.nameEdit = OpenDialog()->nameEdit;
    w.folderField = OpenDialog()->folderEdit;
    w.list = OpenDialog()->list;
    w.upButton = OpenDialog()->layout.upButton;
    return w;
}

bool OpenFileChooser(plat::Hwnd owner, FileChooser* chooser) {
    if (OpenDialog() || !chooser || !RegisterDialogClass()) return false;
    ChooserDialog d;
    d.chooser = chooser;
    d.folder = ChooserStartFolder();
    d.upBitmap = LoadUpBitmap(*chooser);
    plat::LogFont f;
    f.height = -ScaleY(12);
    d.font = plat::CreateFontIndirect(f);
    OpenDialog() = &d;

    plat::Rect work = plat::CurrentScreenLayout().work;
    d.window = plat::CreateWindow(kChooserClass, ChooserTitle(*chooser), 0, work.left, work.top,
                                  work.right - work.left, work.bottom - work.top, owner);
    if (!d.window) {
        OpenDialog() = nullptr;
        plat::DeleteObject(d.font);
        if (d.upBitmap) plat::DeleteObject(d.upBitmap);
        return false;
    }
    if (chooser->mode == kChooserSave) {
        d.nameEdit = CreateChooserField(d.window, true, kChooserNameLength);
        SetChooserFieldText(d.nameEdit, chooser->fileName);
        d.extensionEdit = CreateChooserField(d.window, false, 0);
        SetChooserFieldText(d.extensionEdit, chooser->typeText);
    }
    d.folderEdit = CreateChooserField(d.window, false, 0);
    d.list = plat::CreateWindow(kChooserListClass, u"List Column", plat::WS_CHILD | plat::WS_VISIBLE, 0, 0, 10, 10, d.window);
    ApplyLayout(d);
    FillListing(d);

    plat::MenuBarInfo keys;
    keys.left = {std::u16string(ChooserCancelLabel(*chooser)), kChooserCmdCancel, {}};
    keys.right = {std::u16string(ChooserSelectLabel(*chooser)), kChooserCmdSelect, {}};
    plat::SHCreateMenuBar(d.window, keys);
    plat::ShowWindow(d.window, plat::SW_SHOW);
    plat::SetForegroundWindow(d.window);
    if (d.nameEdit) {
        plat::SetFocus(d.nameEdit);  // the offered name is selected: typing replaces it
    } else {
        plat::SetFocus(d.list);
    }

    // The modal loop: the dialog's and every other window's messages until
    // a soft key ends it. A quit request ends it too and is passed on.
    while (!d.done) {
        plat::Msg msg;
        int32_t got = plat::GetMessage(&msg, {}, 0, 0);
        if (got <= 0) {
            plat::PostQuitMessage(static_cast<int32_t>(msg.wParam));
            break;
        }
        plat::TranslateMessage(&msg);
        plat::DispatchMessage(&msg);
    }

    SetChooserFolder(d.folder);
    plat::SHDestroyMenuBar(d.window);
    plat::DestroyWindow(d.window);
    OpenDialog() = nullptr;
    plat::DeleteObject(d.font);
    if (d.upBitmap) plat::DeleteObject(d.upBitmap);
    if (owner) plat::SetForegroundWindow(owner);
    return d.accepted;
}

}  // namespace tlw
