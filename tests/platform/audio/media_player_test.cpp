// The media player object: its class, playing once or over and over as the
// Repeat preference says, and the release that stops a repeating file.
#include <gtest/gtest.h>

#include "platform/audio/media_player.h"
#include "platform/storage/file.h"
#include "platform/storage/registry.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

class MediaPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectory(u"\\Windows"));
        File f;
        ASSERT_TRUE(f.Open(u"\\Windows\\Tune.wma", kGenericWrite, kShareNone, kCreateAlways));
    }
    void SetRepeat(uint32_t repeat) {
        ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kMediaPlayerPreferencesKey, kMediaPlayerRepeatValue, repeat));
    }
    TempDevice device_;
};

TEST_F(MediaPlayerTest, PlaysOnceOrRepeatingAsThePreferenceStoodAtTheStart) {
    MediaPlayerHandle player = 0;
    ASSERT_EQ(CreateMediaPlayer(u"{6bf52a4f-394a-11d3-b153-00c04f79faa6}", &player), kMediaPlayerOk);
    EXPECT_EQ(MediaPlayerPlay(player, u"\\Windows\\Tune.wma"), kMediaPlayerOk);  // no preference: once
    EXPECT_FALSE(MediaPlayerIsRepeating(player));
    SetRepeat(1);
    EXPECT_EQ(MediaPlayerPlay(player, u"\\Windows\\Tune.wma"), kMediaPlayerOk);
    EXPECT_TRUE(MediaPlayerIsRepeating(player));
    SetRepeat(0);  // a later change does not stop the file already playing
    EXPECT_TRUE(MediaPlayerIsRepeating(player));
    EXPECT_EQ(MediaPlayerAddRef(player), 2u);
    EXPECT_EQ(MediaPlayerRelease(player), 1u);
    EXPECT_EQ(MediaPlayerRelease(player), 0u);  // freed: the repeating file stops
    EXPECT_EQ(MediaPlayerRelease(player), 0u);
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"media player play \\Windows\\Tune.wma",
                                                          "media player play \\Windows\\Tune.wma repeating",
                                                          "media player stop"}));
}

TEST_F(MediaPlayerTest, RefusesOtherClassesMissingFilesAndFreedPlayers) {
    MediaPlayerHandle player = 7;
    EXPECT_EQ(CreateMediaPlayer(u"{00000000-0000-0000-0000-000000000000}", &player), kMediaPlayerClassNotRegistered);
    EXPECT_EQ(player, 0u);
    EXPECT_EQ(CreateMediaPlayer(kMediaPlayerClassId, nullptr), kMediaPlayerInvalidArg);
    ASSERT_EQ(CreateMediaPlayer(kMediaPlayerClassId, &player), kMediaPlayerOk);
    EXPECT_EQ(MediaPlayerPlay(player, u"\\Windows\\Gone.wma"), kMediaPlayerFileNotFound);
    File f;
    ASSERT_TRUE(f.Open(u"\\Windows\\notes.txt", kGenericWrite, kShareNone, kCreateAlways));
    EXPECT_EQ(MediaPlayerPlay(player, u"\\Windows\\notes.txt"), kMediaPlayerUnsupported);
    EXPECT_EQ(MediaPlayerRelease(player), 0u);
    EXPECT_EQ(MediaPlayerPlay(player, u"\\Windows\\Tune.wma"), kMediaPlayerInvalidArg);
    EXPECT_TRUE(JournalEffects().empty());
}

}  // namespace
