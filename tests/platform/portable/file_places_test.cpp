// Where the data and the settings are on Linux when the paths are long: a path of up to 1023
// characters (1024 bytes with its terminator) is used whole, and one that does not fit gives no
// answer rather than a path cut short.
#include "platform/file_places.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "support/scoped_environment_variable.h"

namespace {

class FilePlacesTest : public ::testing::Test {
protected:
    // The data folder for a program at `program`, into a buffer of `size` bytes; "" for none.
    std::string DataDirectory(const std::string& program, uint32_t size) {
        backend.SetExecutablePath(program);
        std::vector<char> path(size, '?');
        return GetDataDirectory(path.data(), size) ? std::string(path.data()) : "";
    }
    std::string ConfigDirectory(uint32_t size) {
        std::vector<char> path(size, '?');
        return GetConfigDirectory(path.data(), size) ? std::string(path.data()) : "";
    }

    portable::HeadlessBackend backend;
    portable::ScopedBackend installed{&backend};
};

// A folder of n characters: "/" and n - 1 letters.
std::string Folder(size_t n) {
    return "/" + std::string(n - 1, 'f');
}

// The program's path is read into 1024 bytes: 1023 characters are its whole path, 1024 are none.
TEST_F(FilePlacesTest, AProgramPathOf1023CharactersFindsTheData) {
    // Where the build puts the data relative to a program in /s/a/b/c/d/.
    const std::string shortData = DataDirectory("/s/a/b/c/d/taspo", 4096);
    ASSERT_EQ(shortData.rfind("/s/", 0), 0u) << shortData;
    const std::string program = "/a/b/c/d/taspo";
    EXPECT_EQ(DataDirectory(Folder(1023 - program.size()) + program, 4096),
              Folder(1023 - program.size()) + shortData.substr(2));
    EXPECT_EQ(DataDirectory(Folder(1024 - program.size()) + program, 4096), "");

    // The answer itself fits its buffer with the terminator, or there is none.
    const uint32_t length = static_cast<uint32_t>(shortData.size());
    EXPECT_EQ(DataDirectory("/s/a/b/c/d/taspo", length + 1), shortData);
    EXPECT_EQ(DataDirectory("/s/a/b/c/d/taspo", length), "");
}

// $HOME/.config is put together in 1024 bytes: 1023 characters give the folder, 1024 none.
TEST_F(FilePlacesTest, AHomeWhoseConfigFolderHas1023CharactersIsUsed) {
    ScopedEnvironmentVariable noXdg{"XDG_CONFIG_HOME", ""};
    for (size_t length : {1023u, 1024u}) {
        std::string home = Folder(length - std::string("/.config").size());
        ScopedEnvironmentVariable setHome{"HOME", home.c_str()};
        EXPECT_EQ(ConfigDirectory(4096), length == 1023 ? home + "/.config/taspo/" : "") << length;
    }
    ScopedEnvironmentVariable setHome{"HOME", "/h"};
    EXPECT_EQ(ConfigDirectory(18), "/h/.config/taspo/");
    EXPECT_EQ(ConfigDirectory(17), "");
}

// The configuration folder fits the caller's 1024 bytes with 1023 characters, not with 1024.
TEST_F(FilePlacesTest, AConfigFolderOf1023CharactersFits1024Bytes) {
    for (size_t length : {1023u, 1024u}) {
        std::string xdg = Folder(length - std::string("/taspo/").size());
        ScopedEnvironmentVariable setXdg{"XDG_CONFIG_HOME", xdg.c_str()};
        EXPECT_EQ(ConfigDirectory(1024), length == 1023 ? xdg + "/taspo/" : "") << length;
    }
}

// The real machine's answer, /proc/self/exe: a path that fills the buffer but for the terminator
// is whole; a buffer a byte shorter gives none.
TEST(ExecutablePath, ThePathFitsItsBufferWithTheTerminatorOrThereIsNone) {
    portable::HeadlessBackend machine;
    char path[4096];
    ASSERT_TRUE(machine.portable::Backend::ExecutablePath(path, sizeof(path)));
    const std::string program = path;
    ASSERT_FALSE(program.empty());
    const uint32_t size = static_cast<uint32_t>(program.size()) + 1;
    std::vector<char> exact(size, '?');
    ASSERT_TRUE(machine.portable::Backend::ExecutablePath(exact.data(), size));
    EXPECT_EQ(std::string(exact.data()), program);
    EXPECT_FALSE(machine.portable::Backend::ExecutablePath(exact.data(), size - 1));
}

}  // namespace
