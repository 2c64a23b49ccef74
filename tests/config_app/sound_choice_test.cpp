// The sound files the editor offers: the device's default first, then the
// device's ring tones or notification sounds, each name once.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "config_app/sound_choice.h"
#include "device/device_fixture.h"

namespace tlw {
namespace {

class SoundChoiceTest : public ModelDevice {};

TEST_F(SoundChoiceTest, DefaultFirstThenTheDevicesSoundsEachOnce) {
    UseModel("generic-qvga");
    // The same ring tone in two folders is offered once.
    std::filesystem::create_directories(device_.Root() / "Windows" / "Rings");
    std::ofstream(device_.Root() / "Windows" / "Twice.mid") << "x";
    std::ofstream(device_.Root() / "Windows" / "Rings" / "Twice.mid") << "x";

    SoundChoices rings = ListSoundChoices(0);
    ASSERT_GT(rings.names.size(), 2u);
    EXPECT_EQ(rings.names[0], kDefaultSoundName);
    EXPECT_EQ(std::count(rings.names.begin(), rings.names.end(), u"Twice.mid"), 1);
    std::set<std::u16string> unique(rings.names.begin(), rings.names.end());
    EXPECT_EQ(unique.size(), rings.names.size());

    SoundChoices notes = ListSoundChoices(2);
    EXPECT_EQ(notes.names[0], kDefaultSoundName);
    EXPECT_EQ(std::count(notes.names.begin(), notes.names.end(), u"Twice.mid"), 0);  // not a notification sound
    ASSERT_GT(notes.names.size(), 1u);
    EXPECT_EQ(SelectedSoundChoice(notes, notes.names[1]), 1);
    EXPECT_EQ(SelectedSoundChoice(notes, u"Not on this phone.wav"), 0);
}

TEST_F(SoundChoiceTest, ChoiceNeverHoldsMoreThanARowTakes) {
    UseModel("generic-qvga");
    std::filesystem::create_directories(device_.Root() / "Windows");
    for (int i = 0; i < 300; ++i) std::ofstream(device_.Root() / "Windows" / ("n" + std::to_string(i) + ".wav")) << "x";
    EXPECT_EQ(ListSoundChoices(1).names.size(), static_cast<size_t>(kMaxSoundChoices));
}

}  // namespace
}  // namespace tlw
