// Where the game finds button.bmp and taspo.cfg: the working directory first, then the data
// directory beside the installed program and the user's configuration folder; every message
// names the path it read, and a missing image every place that was tried.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/game/game_harness.h"

namespace {

class GameFilesTest : public GameTest {
protected:
    GameFilesTest() {
        std::remove(TargetImageFile);
        // Installed as /usr/games/taspo would be, with its data in /usr/share/games/taspo/.
        backend.SetExecutablePath(scratch.Path() + "/usr/games/taspo");
    }

    std::string DataDirectory() const { return scratch.Path() + "/usr/share/games/taspo/"; }
    std::string ConfigDirectory() const { return scratch.Path() + "/config/taspo/"; }
};

TEST_F(GameFilesTest, ImageComesFromTheWorkingDirectoryFirstThenTheDataDirectory) {
    scratch.Write("usr/share/games/taspo/button.bmp", TestButtonBmp(30, 20, 0));
    ASSERT_TRUE(Start()) << failure.reason;
    EXPECT_EQ(targetImage->width, 30) << "the installed one, when the working directory has none";
    AppShutdown();

    scratch.Write(TargetImageFile, TestButtonBmp(40, 20, 0));
    ASSERT_TRUE(Start()) << failure.reason;
    EXPECT_EQ(targetImage->width, 40) << "the working directory's own comes first";
}

TEST_F(GameFilesTest, MessagesNameThePathTheImageWasReadFrom) {
    scratch.Write("usr/share/games/taspo/button.bmp", std::string("BM"));
    EXPECT_FALSE(Start());
    EXPECT_EQ(failure.reason, DataDirectory() + "button.bmp: file is too short");
    AppShutdown();

    // Something by that name in the working directory is reported, not passed over.
    mkdir(TargetImageFile, 0755);
    EXPECT_FALSE(Start());
    EXPECT_STREQ(failure.reason, "button.bmp: cannot read it (Is a directory)");
}

TEST_F(GameFilesTest, MissingImageNamesEveryPlaceTried) {
    EXPECT_FALSE(Start());
    EXPECT_EQ(failure.reason,
              "button.bmp: not found in the working directory or " + DataDirectory());
    AppShutdown();

    // Unknown, or a relative path whose folders run out before the data's: only the working
    // directory is tried.
    for (const char* program : {"", "games/taspo"}) {
        backend.SetExecutablePath(program);
        EXPECT_FALSE(Start());
        EXPECT_STREQ(failure.reason, "button.bmp: not found in the working directory") << program;
        AppShutdown();
    }
}

TEST_F(GameFilesTest, ConfigurationComesFromTheWorkingDirectoryFirstThenTheUsersFolder) {
    scratch.Write(TargetImageFile, TestButtonBmp(8, 8, 0));
    scratch.Write("config/taspo/taspo.cfg", std::string("DisplayWidth = 750\nDisplayHeight 480\n"));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(Start()) << failure.reason;
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "taspo: " + ConfigDirectory() + "taspo.cfg:2: expected \"=\" after \"DisplayHeight\"\n");
    EXPECT_EQ(displaySettings->displayWidth, 750u);
    AppShutdown();

    scratch.Write(ConfigFile, std::string("DisplayWidth = 500\n"));
    ASSERT_TRUE(Start()) << failure.reason;
    EXPECT_EQ(displaySettings->displayWidth, 500u) << "the working directory's own comes first";
}

// The home folder is the scratch folder's home/ for the test, and the caller's again afterwards,
// however the test ends.
class ConfigFolderTest : public GameFilesTest {
protected:
    ScopedEnvironmentVariable home{"HOME", (scratch.Path() + "/home").c_str()};
};

TEST_F(ConfigFolderTest, ConfigurationFolderFollowsXdgWithTheHomeAsDefault) {
    scratch.Write(TargetImageFile, TestButtonBmp(8, 8, 0));
    scratch.Write("home/.config/taspo/taspo.cfg", std::string("DisplayWidth = 850\n"));
    for (const char* configHome : {"", "relative/config"}) {
        // Unset, empty or relative: the XDG rules fall back to ~/.config.
        setenv("XDG_CONFIG_HOME", configHome, 1);
        ASSERT_TRUE(Start()) << failure.reason;
        EXPECT_EQ(displaySettings->displayWidth, 850u) << "XDG_CONFIG_HOME=" << configHome;
        AppShutdown();
    }
    std::string config = scratch.Path() + "/home/.config/taspo/taspo.cfg";
    std::remove(config.c_str());
    mkdir(config.c_str(), 0755);
    EXPECT_FALSE(Start());
    EXPECT_EQ(failure.reason, config + ": cannot read the file (Is a directory)");
    AppShutdown();

    // An absolute XDG_CONFIG_HOME wins, and the paths it gives have no doubled slashes.
    scratch.Write("xdg/taspo/taspo.cfg", std::string("DisplayWidth 1\n"));
    setenv("XDG_CONFIG_HOME", (scratch.Path() + "/xdg//").c_str(), 1);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(Start()) << failure.reason;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "taspo: " + scratch.Path() +
                  "/xdg/taspo/taspo.cfg:1: expected \"=\" after \"DisplayWidth\"\n");
}

// A link whose target is gone would open as "no such file": it is named, with its target, instead
// of being passed over for the next place or taken for no file at all.
TEST_F(GameFilesTest, ABrokenSymbolicLinkIsReportedWithItsMissingTarget) {
    scratch.Write("usr/share/games/taspo/button.bmp", TestButtonBmp(30, 20, 0));
    std::remove(TargetImageFile);
    ASSERT_EQ(symlink("gone.bmp", TargetImageFile), 0);
    EXPECT_FALSE(Start());
    EXPECT_STREQ(failure.reason,
                 "button.bmp: broken symbolic link (its target \"gone.bmp\" is missing)");
    AppShutdown();

    std::remove(TargetImageFile);
    scratch.Write(TargetImageFile, TestButtonBmp(8, 8, 0));
    ASSERT_EQ(symlink("settings/taspo.cfg", ConfigFile), 0);
    EXPECT_FALSE(Start());
    EXPECT_STREQ(failure.reason,
                 "taspo.cfg: broken symbolic link (its target \"settings/taspo.cfg\" is missing)");
}

// The variable is put back as it was, set or not, which the tests above rely on.
TEST(ScopedEnvironmentVariable, PutsBackTheValueOrTheAbsence) {
    const char* name = "TASPO_TEST_VARIABLE";
    unsetenv(name);
    {
        ScopedEnvironmentVariable set(name, "one");
        EXPECT_STREQ(std::getenv(name), "one");
        {
            ScopedEnvironmentVariable again(name, "two");
            EXPECT_STREQ(std::getenv(name), "two");
        }
        EXPECT_STREQ(std::getenv(name), "one");
    }
    EXPECT_EQ(std::getenv(name), nullptr);
}

}  // namespace
