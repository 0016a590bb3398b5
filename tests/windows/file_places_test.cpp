// Where the Windows build finds its files: the data in the folder of the running .exe, the
// settings in %APPDATA%\Taspo\, the history in %LOCALAPPDATA%\Taspo\, and nothing when the
// variable is missing.
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

// The settings in the roaming application data, what the game keeps in the local one.
TEST(FilePlaces, ConfigAndUserDataAreTaspoInTheirAppDataFolders) {
    struct Place {
        const char* variable;
        bool (*get)(char*, uint32_t);
    };
    for (Place place :
         {Place{"APPDATA", GetConfigDirectory}, Place{"LOCALAPPDATA", GetUserDataDirectory}}) {
        char previous[FilePathBytes];
        DWORD hadValue = GetEnvironmentVariableA(place.variable, previous, sizeof(previous));
        char folder[FilePathBytes];
        SetEnvironmentVariableA(place.variable, "C:\\Users\\Player\\AppData\\Here");
        ASSERT_TRUE(place.get(folder, sizeof(folder)));
        EXPECT_STREQ(folder, "C:\\Users\\Player\\AppData\\Here\\Taspo\\");
        SetEnvironmentVariableA(place.variable, nullptr);
        EXPECT_FALSE(place.get(folder, sizeof(folder))) << place.variable;
        SetEnvironmentVariableA(place.variable, hadValue > 0 ? previous : nullptr);
    }
}

}  // namespace
#endif
