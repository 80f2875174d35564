// The success chime through libcanberra, loaded when first needed.
#include "platform/linux/CanberraSoundPlayer.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vetorlan;

namespace {

TEST(SuccessSoundTest, WithoutLibcanberraTheChimeFailsQuietly) {
    QTemporaryDir folder;
    CanberraSoundPlayer player(":/sound/101.wav", folder.path(), {"vetorlan-no-such-canberra", 0});
    player.PlaySuccessSound(); // returns at once, reports nowhere
    EXPECT_TRUE(player.Start().get().startsWith("cannot load libcanberra"));
    EXPECT_FALSE(QFile::exists(player.SoundFile()));
}

TEST(SuccessSoundTest, LibcanberraPlaysACopyOfTheResource) {
    QTemporaryDir folder;
    CanberraSoundPlayer player(":/sound/101.wav", folder.filePath("sub"), {FAKE_CANBERRA});
    ASSERT_EQ(player.Start().get(), "");
    ASSERT_EQ(player.Start().get(), ""); // the second chime finds the copy in place
    QLibrary fake(FAKE_CANBERRA);
    auto played = reinterpret_cast<const char* (*)()>(fake.resolve("fake_canberra_played_file"));
    ASSERT_NE(played, nullptr);
    EXPECT_EQ(QString::fromLocal8Bit(played()), player.SoundFile());
    QFile copy(player.SoundFile()), wav(":/sound/101.wav");
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly) && wav.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), wav.readAll());
}

} // namespace
