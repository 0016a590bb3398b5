// Where the Windows build finds its files: the data in the folder of the running .exe, the
// settings in %APPDATA%\Taspo\, and nothing when the variable is missing.
#include "platform/file_places.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

// The 32-bit Linux build shares this folder for the arena's figures; these cases are Windows' own.
#ifdef _WIN32
namespace {

TEST(FilePlaces, DataDirectoryIsTheFolderOfTheExe) {
    char module[FilePathBytes];
    ASSERT_GT(GetModuleFileNameA(nullptr, module, sizeof(module)), 0u);
    std::string exe = module;
    char folder[FilePathBytes];
    ASSERT_TRUE(GetDataDirectory(folder, sizeof(folder)));
    EXPECT_EQ(folder, exe.substr(0, exe.rfind('\\') + 1));
    EXPECT_FALSE(GetDataDirectory(folder, 4)) << "a path cut short is no answer";
}

TEST(FilePlaces, ConfigDirectoryIsTaspoInTheRoamingAppData) {
    char previous[FilePathBytes];
    DWORD hadValue = GetEnvironmentVariableA("APPDATA", previous, sizeof(previous));
    char folder[FilePathBytes];
    SetEnvironmentVariableA("APPDATA", "C:\\Users\\Player\\AppData\\Roaming");
    ASSERT_TRUE(GetConfigDirectory(folder, sizeof(folder)));
    EXPECT_STREQ(folder, "C:\\Users\\Player\\AppData\\Roaming\\Taspo\\");
    SetEnvironmentVariableA("APPDATA", nullptr);
    EXPECT_FALSE(GetConfigDirectory(folder, sizeof(folder)));
    SetEnvironmentVariableA("APPDATA", hadValue > 0 ? previous : nullptr);
}

}  // namespace
#endif
