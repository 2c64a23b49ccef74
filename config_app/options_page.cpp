// The options page (page 1): language, SIM PIN, voice-mail number,
// backlight levels and lowest level, skin folder, click sound and how
// places are sensed.
#include <algorithm>

#include "common/device/sim_pin.h"
#include "common/graphics/skin.h"
#include "config_app/pages.h"
#include "config_app/settings_rules.h"
#include "platform/controls/message_box.h"

namespace tlw {
namespace {

// Language texts.
constexpr int32_t kTextCaption = 1;
constexpr int32_t kTextRestart = 2;
constexpr int32_t kTextLanguage = 40;
constexpr int32_t kTextSimPin = 41;
constexpr int32_t kTextVoicemail = 42;
constexpr int32_t kTextBacklightLevels = 43;
constexpr int32_t kTextLowestLevel = 44;
constexpr int32_t kTextSkin = 45;
constexpr int32_t kTextClickSound = 46;
constexpr int32_t kTextLocationMode = 123;
constexpr int32_t kTextCellTowers = 124;  // + location_mode
constexpr int32_t kTextSimPinRefused = 126;
constexpr int32_t kTextChooseSkin = 820;
constexpr int32_t kTextLowestValue = 453;  // + bklmin

// Range of the backlight level count.
constexpr int32_t kMinBacklightLevels = 4;
constexpr int32_t kMaxBacklightLevels = 64;

// Rows of the page.
enum OptionRow : int32_t {
    kRowLanguage,
    kRowSimPin,
    kRowVoicemail,
    kRowBacklightLevels,
    kRowLowestLevel,
    kRowSkin,
    kRowClickSound,
    kRowLocationMode,
};

// The language, the lowest level and the location mode are ints in the
// record; the row list edits them in place.
void OpenOptions(ConfigAppState& app) {
    char16_t pin[kSimPinBufferSize] = {};
    DecodeSimPin(pin);
    app.simPin = pin;
}

std::vector<ChoiceEntry> Entries(const ConfigAppState& app, int32_t firstText, int32_t count) {
    std::vector<ChoiceEntry> entries;
    for (int32_t i = 0; i < count; ++i) entries.push_back({Text(app, firstText + i), i});
    return entries;
}

void BuildOptions(ConfigAppState& app, std::vector<Row>& rows) {
    Options& o = app.model.options;
    int32_t languages = std::max<int32_t>(1, std::min<int32_t>(app.language.languageCount, kLanguageSlots - kLanguageNameSlot));
    rows.push_back(ChoiceRow(Text(app, kTextLanguage), &o.language, Entries(app, kLanguageNameSlot, languages)));
    rows.push_back(TextRow(RowKind::kMasked, Text(app, kTextSimPin), app.simPin));
    rows.push_back(TextRow(RowKind::kText, Text(app, kTextVoicemail), o.voicemail));
    rows.push_back(NumberRow(Text(app, kTextBacklightLevels), &o.bklLevels, kMinBacklightLevels, kMaxBacklightLevels));
    rows.push_back(ChoiceRow(Text(app, kTextLowestLevel), &o.bklmin, Entries(app, kTextLowestValue, 2)));
    Row skin = TextRow(RowKind::kFolder, Text(app, kTextSkin), o.skin);
    skin.readOnly = Chooser() == nullptr;
    rows.push_back(std::move(skin));
    rows.push_back(CheckRow(Text(app, kTextClickSound), &o.tdy_sound));
    rows.push_back(ChoiceRow(Text(app, kTextLocationMode), &o.locationMode, Entries(app, kTextCellTowers, 2)));
}

void ChooseSkin(ConfigAppState& app) {
    ChooserFunction chooser = Chooser();
    if (!chooser) return;
    Options& o = app.model.options;
    ChooserRequest request;
    request.mode = ChooserMode::kFolder;
    request.startFolder = o.skin.Str();
    request.titleId = kTextChooseSkin;
    std::u16string chosen;
    if (chooser(app, request, &chosen) && !chosen.empty()) {
        if (chosen.back() != u'\\') chosen += u'\\';
        o.skin_enabled = true;
        o.skin = chosen;
    } else {
        o.skin_enabled = false;
        o.skin = DefaultSkinFolder(app.paths.skinsFolder.View());
    }
    RebuildPage(app, kRowSkin);
}

void OptionsRowEvent(ConfigAppState& app, const RowEvent& event) {
    if (event.row == kRowLanguage && event.code == kRowValueChanged) {
        plat::MessageBox(Text(app, kTextRestart), Text(app, kTextCaption), plat::kMbOk | plat::kMbIconAsterisk);
    } else if (event.row == kRowSkin && event.code == kRowActivated) {
        ChooseSkin(app);
    }
}

void AcceptOptions(ConfigAppState& app) {
    if (!SaveConfiguration(app)) return;
    bool refused = false;
    std::u16string pin = SimPinToStore(app.simPin.View(), &refused);
    if (refused) {
        plat::MessageBox(Text(app, kTextSimPinRefused), Text(app, kTextSimPin), plat::kMbOk | plat::kMbIconExclamation);
    }
    EncodeSimPin(pin);
    app.simPin = pin;
    NotifyConfigurationSaved();
    ShowPage(app, kPageMainMenu);
}

void BackOptions(ConfigAppState& app) {
    ReloadConfiguration(app);
    ShowPage(app, kPageMainMenu);
}

PageHandler MakeOptionsPage() {
    PageHandler h;
    h.page = kPageOptions;
    h.titleId = 20;
    h.open = OpenOptions;
    h.build = BuildOptions;
    h.rowEvent = OptionsRowEvent;
    h.accept = AcceptOptions;
    h.back = BackOptions;
    return h;
}

}  // namespace

TLW_CONFIG_PAGE(MakeOptionsPage);

}  // namespace tlw
