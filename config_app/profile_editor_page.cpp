// The profile editor page: builds the list rows of the tab on show from the
// editor rows, writes each change into the edited profile, moves between
// the tabs and sound events, captures the current place, picks the program
// and the icon, and accepts or goes back.
#include "config_app/profile_editor_page.h"

#include "base/text.h"
#include "common/config/config_paths.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/screen_scale.h"
#include "config_app/config_app_state.h"
#include "config_app/file_chooser.h"
#include "config_app/location_capture.h"
#include "config_app/pages.h"
#include "config_app/sound_choice.h"
#include "platform/hardware/library.h"
#include "platform/controls/message_box.h"
#include "platform/pim/categories.h"

namespace tlw {

namespace {

// Language-file identifiers of the page's own texts.
enum : int32_t {
    kTextProgramTitle = 818,
    kTextIconTitle = 819,
    kTextPlaceIn = 84,
    kTextPlaceOut = 85,
    kTextNoPlace = 88,
    kTextPlacesFull = 180,
    kTextCaption = 1,
};

ProfileEditorPage& PageOf(ConfigAppState& app) { return app.editorPage; }

// Whether the device has the radio interface library that reads the cell.
bool RadioInterfaceAvailable() {
    plat::HModule ril = plat::LoadLibrary(u"ril.dll");
    if (!ril) return false;
    plat::FreeLibrary(ril);
    return true;
}

// Reads what the rows need from outside the profile: the sound files of the
// event on show and, for a location profile, where the phone is now.
void RefreshSounds(ConfigAppState& app) {
    ProfileEditorPage& page = PageOf(app);
    page.sources.sounds = ListSoundChoices(page.editor.soundEvent);
}

void RefreshPlace(ConfigAppState& app) {
    ProfileEditorPage& page = PageOf(app);
    page.sources.place = ReadCurrentPlace(app.model.options.locationMode);
}

void EditorOpen(ConfigAppState& app) {
    ProfileEditorPage& page = PageOf(app);
    OpenProfileEditor(&page.editor, app.model, app.selectedProfile);
    page.editor.tab = app.editorTab;
    page.editor.soundEvent = app.editorSoundEvent;
    page.sources = EditorSources{};
    page.sources.locationOffered = RadioInterfaceAvailable();
    page.sources.anyCategory = Text(app, kTextAnyCategory);
    // The calendar's categories as the phone has them now: a category the
    // user added in the calendar since the program started is offered too.
    page.sources.categories = plat::CalendarCategories();
    RefreshSounds(app);
    if (page.editor.open && EditedProfile(page.editor, app.model).eventType == kEventLocation) RefreshPlace(app);
}

// The picture of the profile's icon file, loaded again only when the file
// changed; null when it cannot be read.
const RgbaImage* ProfileIcon(ProfileEditorPage& page, std::u16string_view path) {
    if (page.iconPath != path) {
        page.iconPath.assign(path);
        FreeImage(&page.icon);
        RgbaImage image;
        // Taller pictures would not fit the row; the chooser offers only
        // icons of the screen's icon size anyway.
        if (!path.empty() && LoadImageFile(&image, path) == kImageOk && image.height <= static_cast<uint32_t>(ScaleY(20)))
            SwapImages(&page.icon, &image);
    }
    return ImageHasPixels(page.icon) ? &page.icon : nullptr;
}

std::u16string ChoiceText(ConfigAppState& app, const EditorChoice& c) { return ChoiceName(c, app.language); }

// The names beside the current one in a header.
void HeaderNames(ConfigAppState& app, const EditorRow& e, Row* row) {
    int32_t count = static_cast<int32_t>(e.choices.size());
    row->label = ChoiceText(app, e.choices[static_cast<std::size_t>(e.index)]);
    row->second = ChoiceText(app, e.choices[static_cast<std::size_t>(NeighbourIndex(e.index, -1, count))]);
    row->secondNext = ChoiceText(app, e.choices[static_cast<std::size_t>(NeighbourIndex(e.index, +1, count))]);
}

void EditorBuild(ConfigAppState& app, std::vector<Row>& rows) {
    ProfileEditorPage& page = PageOf(app);
    if (!page.editor.open) return;
    const Profile& p = EditedProfile(page.editor, app.model);
    page.rows = BuildEditorRows(page.editor, app.model, page.sources);
    page.values.assign(page.rows.size(), EditorRowValues{});
    page.shownRow.clear();

    for (std::size_t i = 0; i < page.rows.size(); ++i) {
        const EditorRow& e = page.rows[i];
        EditorRowValues& v = page.values[i];
        EditorValue value = ReadEditorRow(p, app.model.locations, e, page.sources);
        v.number = value.value;
        v.check = value.check || ((e.kind == kRowCheck) && value.value != 0);
        if (e.kind == kRowTime) v.text = TimeTextOfMinutes(value.value < 0 ? 0 : value.value);
        else v.text = value.text;

        Row row;
        row.kind = static_cast<RowKind>(e.kind);
        row.label = Text(app, e.label);
        row.readOnly = e.readOnly;
        row.tag = static_cast<int32_t>(i);
        switch (e.kind) {
        case kRowTabHeader:
            HeaderNames(app, e, &row);
            break;
        case kRowChoice:
            row.number = &v.number;
            for (std::size_t c = 0; c < e.choices.size(); ++c)
                row.choices.push_back({ChoiceText(app, e.choices[c]), static_cast<int32_t>(c)});
            break;
        case kRowSlider:
            row.number = &v.number;
            row.minimum = e.minimum;
            row.maximum = e.maximum;
            break;
        case kRowCheck:
            row.check = &v.check;
            break;
        case kRowTime:
        case kRowText:
            row.text = v.text.text;
            row.textCapacity = e.field == EditorField::kProgramParams ? decltype(p.program_params)::kCapacity
                                                                      : decltype(v.text)::kCapacity;
            break;
        case kRowFile:
            row.check = &v.check;
            row.text = v.text.text;
            row.textCapacity = decltype(v.text)::kCapacity;
            if (e.field == EditorField::kIcon) row.icon = ProfileIcon(page, v.text.View());
            break;
        case kRowLocation:
            row.second = Text(app, !page.sources.place.found ? kTextNoPlace : value.value ? kTextPlaceIn : kTextPlaceOut);
            break;
        default:
            break;
        }
        // A value with a check of its own (volumes, flash, backlight) gets a
        // check row of the same label before it.
        if (e.hasCheck && (e.kind == kRowSlider || e.kind == kRowChoice)) {
            Row check = CheckRow(row.label, &v.check);
            check.readOnly = e.readOnly;
            check.tag = row.tag;
            rows.push_back(check);
            page.shownRow.push_back(static_cast<int32_t>(i));
        }
        rows.push_back(row);
        page.shownRow.push_back(static_cast<int32_t>(i));
    }
}

// Writes the working values of an editor row into the profile; a value
// the profile cannot take is dropped and the row shows the stored one again.
void Commit(ConfigAppState& app, int32_t editorRow) {
    ProfileEditorPage& page = PageOf(app);
    const EditorRow& e = page.rows[static_cast<std::size_t>(editorRow)];
    const EditorRowValues& v = page.values[static_cast<std::size_t>(editorRow)];
    EditorValue value;
    value.check = v.check;
    value.text = v.text.Str();
    switch (e.kind) {
    case kRowCheck: value.value = v.check ? 1 : 0; break;
    case kRowTime: value.value = MinutesOfTimeText(v.text.View()); break;
    default: value.value = v.number; break;
    }
    Profile& p = EditedProfile(page.editor, &app.model);
    int32_t typeBefore = p.eventType;
    WriteEditorRow(&p, e, value);
    if (p.eventType == kEventLocation && typeBefore != kEventLocation) RefreshPlace(app);
}

void ToggleCurrentPlace(ConfigAppState& app) {
    ProfileEditorPage& page = PageOf(app);
    RefreshPlace(app);  // where the phone is now, not where it was when the page opened
    const CurrentPlace& place = page.sources.place;
    std::u16string_view name = EditedProfile(page.editor, app.model).name.View();
    if (!place.found) {
        plat::MessageBox(Text(app, kTextNoPlace), Text(app, kTextCaption), plat::kMbOk | plat::kMbIconExclamation);
        return;
    }
    if (PlaceBelongsToProfile(app.model.locations, name, place)) {
        RemovePlaceFromProfile(&app.model.locations, name, place);
    } else if (AddPlaceToProfile(&app.model.locations, name, place) == AddPlaceResult::kFull) {
        plat::MessageBox(Text(app, kTextPlacesFull), Text(app, kTextCaption), plat::kMbOk | plat::kMbIconExclamation);
    }
}

// The program or icon row was opened: the chooser picks the file.
void PickFile(ConfigAppState& app, int32_t editorRow) {
    ProfileEditorPage& page = PageOf(app);
    const EditorRow& e = page.rows[static_cast<std::size_t>(editorRow)];
    ChooserFunction chooser = Chooser();
    if (!chooser) return;
    bool icon = e.field == EditorField::kIcon;
    ChooserRequest request;
    request.mode = ChooserMode::kLoad;
    request.iconMode = icon;
    request.titleId = icon ? kTextIconTitle : kTextProgramTitle;
    // The icon chooser starts among the icons of this screen unless the
    // user already went somewhere.
    if (icon && ChooserFolder().empty()) request.startFolder = app.model.options.iconStore.Str();
    std::u16string chosen;
    if (!chooser(app, request, &chosen)) return;
    EditorRowValues& v = page.values[static_cast<std::size_t>(editorRow)];
    v.text = chosen;
    v.check = true;  // picking a file means using it
    Commit(app, editorRow);
}

void EditorRowEvent(ConfigAppState& app, const RowEvent& event) {
    ProfileEditorPage& page = PageOf(app);
    if (event.row < 0 || event.row >= static_cast<int32_t>(page.shownRow.size())) return;
    int32_t editorRow = page.shownRow[static_cast<std::size_t>(event.row)];
    if (editorRow < 0) return;
    const EditorRow& e = page.rows[static_cast<std::size_t>(editorRow)];
    switch (e.field) {
    case EditorField::kTabHeader:
        if (event.code != kRowTabSide) return;
        StepEditorTab(&page.editor, event.flag ? +1 : -1);
        app.editorTab = page.editor.tab;
        RebuildPage(app, 0);
        return;
    case EditorField::kEventHeader:
        if (event.code != kRowTabSide) return;
        StepSoundEvent(&page.editor, event.flag ? +1 : -1);
        app.editorSoundEvent = page.editor.soundEvent;
        RefreshSounds(app);
        RebuildPage(app, event.row);
        return;
    case EditorField::kLocation:
        if (event.code == kRowToggled || event.code == kRowActivated) ToggleCurrentPlace(app);
        RebuildPage(app, event.row);
        return;
    case EditorField::kRunProgram:
    case EditorField::kIcon:
        if (event.code == kRowActivated) PickFile(app, editorRow);
        else Commit(app, editorRow);
        RebuildPage(app, event.row);
        return;
    case EditorField::kSoundFile:
        if (event.code == kRowValueChanged) {
            Commit(app, editorRow);
            // The user hears the file just chosen.
            int32_t chosen = page.values[static_cast<std::size_t>(editorRow)].number;
            if (chosen >= 0 && chosen < static_cast<int32_t>(e.choices.size()))
                PreviewSound(e.choices[static_cast<std::size_t>(chosen)].text);
        } else if (event.code == kRowToggled) {
            Commit(app, editorRow);
        }
        RebuildPage(app, event.row);
        return;
    default:
        if (event.code == kRowValueChanged || event.code == kRowToggled) Commit(app, editorRow);
        RebuildPage(app, event.row);
        return;
    }
}

void EditorAccept(ConfigAppState& app) {
    ProfileEditorPage& page = PageOf(app);
    StopSoundPreview();
    AcceptProfileEditor(&page.editor, app.model);
    app.profileChanged = true;
    ShowPage(app, kPageProfiles, app.selectedProfile);
}

void EditorBack(ConfigAppState& app) {
    StopSoundPreview();
    BackProfileEditor(&PageOf(app).editor, &app.model);
    ShowPage(app, kPageProfiles, app.selectedProfile);
}

std::u16string EditorTitle(ConfigAppState& app) {
    ProfileEditorPage& page = PageOf(app);
    if (!page.editor.open) return Text(app, kTextCaption);
    return Format(u"Tlw %s", {EditedProfile(page.editor, app.model).name.Str()});
}

PageHandler MakeProfileEditorPage() {
    PageHandler h;
    h.page = kPageProfileEditor;
    h.title = EditorTitle;
    h.open = EditorOpen;
    h.build = EditorBuild;
    h.rowEvent = EditorRowEvent;
    h.accept = EditorAccept;
    h.back = EditorBack;
    return h;
}

TLW_CONFIG_PAGE(MakeProfileEditorPage);

}  // namespace

}  // namespace tlw
