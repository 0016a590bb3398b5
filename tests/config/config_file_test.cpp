// The configuration reader: what reaches the registry, and exactly one report per bad line with
// its line number, for text in memory and for files on disk.
#include "config/config_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/hash_name.h"
#include "config_test_arena.h"

using namespace std::string_literals;

namespace {

// Payload bytes of the blocks in use in the engine arena.
uint32_t BytesInUse() {
    uint32_t bytes = 0;
    for (const ArenaBlockView& block : ArenaBlocks(ActiveArena())) {
        bytes += block.inUse ? block.size : 0;
    }
    return bytes;
}

int32_t Int(const char* name, int32_t fallback = -999) {
    return ReadInt(HashName(name), fallback);
}

bool Bool(const char* name, bool fallback) {
    return ReadBool(HashName(name), fallback);
}

// A scratch folder per test, removed afterwards.
class ConfigFileTest : public ConfigTest {
protected:
    ConfigFileTest() {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  (std::string("taspo_config_") + info->name() + "_" +
                   std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::create_directories(folder_);
    }
    ~ConfigFileTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        std::filesystem::path path = folder_ / name;
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    std::string PathOf(const std::string& name) { return (folder_ / name).string(); }

    // The problem count of a file that could be read; a failure fails the test.
    uint32_t LoadFile(const std::string& path) {
        ConfigFileResult result = LoadConfigFile(path.c_str(), &ConfigTest::Collect, this);
        EXPECT_FALSE(result.failed) << result.failure;
        EXPECT_STREQ(result.failure, "");
        return result.problems;
    }

    std::filesystem::path folder_;
};

class ConfigText : public ConfigTest {
protected:
    uint32_t Load(const std::string& text) {
        return LoadConfigText("taspo.cfg", text.data(), static_cast<uint32_t>(text.size()),
                              &ConfigTest::Collect, this);
    }
};

}  // namespace

TEST_F(ConfigText, SettingsReachTheRegistryWithTheirTypes) {
    EXPECT_EQ(Load("# display\n"
                   "Fullscreen = true\n"
                   "DisplayWidth = 640\n"
                   "\n"
                   "  DisplayHeight=480   ; the height\n"
                   "DisplayDepth = -16\n"
                   "Vsync = false\n"),
              0u);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(Bool("Fullscreen", false));
    EXPECT_EQ(Int("DisplayWidth"), 640);
    EXPECT_EQ(Int("DisplayHeight"), 480);
    EXPECT_EQ(Int("DisplayDepth"), -16);
    EXPECT_FALSE(Bool("Vsync", true));
    EXPECT_EQ(Int("DisplayRate", 60), 60);
    EXPECT_EQ(GetRegistry()->contextCount, 1u);
}

TEST_F(ConfigText, TheLastOfRepeatedSettingsWins) {
    Load("DisplayWidth = 640\nDisplayWidth = 800\nFullscreen = 1\nFullscreen = true\n");
    EXPECT_EQ(Int("DisplayWidth"), 800);
    EXPECT_TRUE(Bool("Fullscreen", false));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ConfigText, ContextLinesChooseWhereValuesGo) {
    Load(
        "DisplayWidth = 1\n"
        "[Editor]\n"
        "DisplayWidth = 2\n"
        "[ ]\n"
        "DisplayHeight = 3\n"
        "[Editor]\n"
        "Fullscreen = true\n");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(GetRegistry()->contextCount, 2u);
    EXPECT_EQ(Int("DisplayWidth"), 1);
    EXPECT_EQ(Int("DisplayHeight"), 3);
    EXPECT_FALSE(Bool("Fullscreen", false));
    currentContext = HashName("Editor");
    EXPECT_EQ(Int("DisplayWidth"), 2);
    EXPECT_TRUE(Bool("Fullscreen", false));
}

// Checked against what a program reads, a value of the wrong kind is reported and not stored, and
// a setting under a named context, which is stored but never read, is reported too; so is an
// unknown name in the unnamed context, with the known name it is closest to, if any. The other
// lines apply.
TEST_F(ConfigText, AgainstASchemaWrongKindsUnknownNamesAndNamedContextsAreReported) {
    const ConfigSetting settings[] = {{"Fullscreen", ET_Bool},
                                      {"DisplayWidth", ET_Int},
                                      {"DisplayHeight", ET_Int},
                                      {"DisplayRate", ET_Int}};
    const ConfigSchema schema = {settings, 4};
    std::string text =
        "Fullscreen = 1\n"
        "DisplayWidth = true\n"
        "DisplayHeight = 480\n"
        "Vsync = 3\n"
        "fullscreen = true\n"
        "FULLSCREEN = true\n"
        "Fulscreen = true\n"
        "DisplayWidht = 640\n"
        "DisplayHieght = 480\n"
        "DisplayR = 50\n"
        "Rate = 50\n"
        "[Video]\n"
        "DisplayRate = 75\n"
        "Colour = 2\n"
        "[]\n"
        "DisplayRate = 50\n"
        "Fullsize = 1\n"       // four edits from Fullscreen, two of them added letters
        "XFuXlXscreen = 1\n"   // three, two of them dropped letters
        "XXXDisplayRat = 1\n"  // four from DisplayRate, three of them at the front
        "Fulscteen = 1\n"      // two: one letter lost, one changed
        "isplayRdt = 1\n";     // three from DisplayRate, one of them at the front
    EXPECT_EQ(LoadConfigText("taspo.cfg", text.data(), static_cast<uint32_t>(text.size()),
                             &ConfigTest::Collect, this, &schema),
              17u);
    EXPECT_EQ(messages,
              (std::vector<std::string>{
                  "taspo.cfg:1: Fullscreen expects true or false",
                  "taspo.cfg:2: DisplayWidth expects a whole number",
                  "taspo.cfg:4: unknown setting \"Vsync\"",
                  "taspo.cfg:5: unknown setting \"fullscreen\"; did you mean \"Fullscreen\"?",
                  "taspo.cfg:6: unknown setting \"FULLSCREEN\"; did you mean \"Fullscreen\"?",
                  "taspo.cfg:7: unknown setting \"Fulscreen\"; did you mean \"Fullscreen\"?",
                  "taspo.cfg:8: unknown setting \"DisplayWidht\"; did you mean \"DisplayWidth\"?",
                  "taspo.cfg:9: unknown setting \"DisplayHieght\"; did you mean "
                  "\"DisplayHeight\"?",
                  "taspo.cfg:10: unknown setting \"DisplayR\"",
                  "taspo.cfg:11: unknown setting \"Rate\"",
                  "taspo.cfg:13: \"DisplayRate\" under \"[Video]\" is never read; settings "
                  "go before any named [Context]",
                  "taspo.cfg:14: \"Colour\" under \"[Video]\" is never read; settings "
                  "go before any named [Context]",
                  "taspo.cfg:17: unknown setting \"Fullsize\"",
                  "taspo.cfg:18: unknown setting \"XFuXlXscreen\"",
                  "taspo.cfg:19: unknown setting \"XXXDisplayRat\"",
                  "taspo.cfg:20: unknown setting \"Fulscteen\"; did you mean \"Fullscreen\"?",
                  "taspo.cfg:21: unknown setting \"isplayRdt\"",
              }));
    // A value of the wrong kind is not stored, as either kind.
    EXPECT_EQ(Int("DisplayWidth"), -999);
    EXPECT_FALSE(Bool("DisplayWidth", false));
    EXPECT_FALSE(Bool("Fullscreen", false));
    EXPECT_EQ(Int("Fullscreen"), -999);
    EXPECT_EQ(Int("DisplayHeight"), 480);
    EXPECT_EQ(Int("Vsync"), 3);
    EXPECT_EQ(Int("DisplayRate"), 50);
    currentContext = HashName("Video");
    EXPECT_EQ(Int("DisplayRate"), 75);
}

// An unknown name of up to 40 bytes is compared with the known ones for a suggestion; a longer
// one, or a known name longer than that, is not.
TEST_F(ConfigText, NamesOfUpTo40BytesAreComparedForASuggestion) {
    const std::string known40(40, 'k');
    const std::string known41(41, 'w');
    const ConfigSetting settings[] = {{known40.c_str(), ET_Int}, {known41.c_str(), ET_Int}};
    const ConfigSchema schema = {settings, 2};
    const std::string unknown40 = std::string(39, 'k') + "x";
    const std::string unknown41 = std::string(40, 'w') + "x";
    std::string text = unknown40 + " = 1\n" + unknown41 + " = 1\n";
    EXPECT_EQ(LoadConfigText("taspo.cfg", text.data(), static_cast<uint32_t>(text.size()),
                             &ConfigTest::Collect, this, &schema),
              2u);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "taspo.cfg:1: unknown setting \"" + std::string(32, 'k') +
                                "...\"; did you mean \"" + known40 + "\"?",
                            "taspo.cfg:2: unknown setting \"" + std::string(32, 'w') + "...\"",
                        }));
}

// However deep the folder a file is in, the line number and the reason survive; a name of more
// than 1024 bytes keeps its last 1024, with the file's own name.
TEST_F(ConfigText, ALongSourceNameNeverCutsTheReason) {
    const std::string text = "DisplayWidth 640\n";
    for (size_t length : {1024u, 1025u, 1600u}) {
        std::string source;
        while (source.size() + 18 < length) {
            source += "/folder" + std::to_string(source.size() % 10);
        }
        source += std::string(length - 10 - source.size(), 'x') + "/taspo.cfg";
        ASSERT_EQ(source.size(), length);
        messages.clear();
        LoadConfigText(source.c_str(), text.data(), static_cast<uint32_t>(text.size()),
                       &ConfigTest::Collect, this);
        ASSERT_EQ(messages.size(), 1u);
        const std::string reason = ":1: expected \"=\" after \"DisplayWidth\"";
        if (length == 1024) {
            EXPECT_EQ(messages[0], source + reason);
        } else {
            EXPECT_EQ(messages[0], "..." + source.substr(length - 1024) + reason) << length;
        }
    }
}

// A name or value is quoted up to 32 bytes; a longer one is cut there and ends in "...".
TEST_F(ConfigText, ReportsQuoteAtMost32BytesOfAToken) {
    const std::string name32(32, 'n');
    const std::string digits32 = "1." + std::string(30, '5');
    const struct {
        std::string line;
        std::string message;
    } cases[] = {
        {name32 + " 1", "expected \"=\" after \"" + name32 + "\""},
        {name32 + "m 1", "expected \"=\" after \"" + name32 + "...\""},
        {"A = " + digits32,
         "unsupported value type for \"A\": floating-point number \"" + digits32 + "\""},
        {"A = " + digits32 + "5",
         "unsupported value type for \"A\": floating-point number \"" + digits32 + "...\""},
    };
    for (const auto& c : cases) {
        messages.clear();
        EXPECT_EQ(Load(c.line), 1u) << c.line;
        EXPECT_EQ(messages, std::vector<std::string>{"taspo.cfg:1: " + c.message});
    }
}

TEST_F(ConfigText, EachBadLineGivesOneMessageAndTheRestApplies) {
    std::string text =
        "DisplayWidth 640\n"            // 1
        "Fullscreen = true\n"           // 2
        "= 5\n"                         // 3
        "DisplayHeight =\n"             // 4
        "FOV = 90.5\n"                  // 5
        "Title = \"Taspo\"\n"           // 6
        "Fullscreen = yes\n"            // 7
        "DisplayRate = 60 Hz\n"         // 8
        "DisplayDepth = 99999999999\n"  // 9
        "DisplayDepth = 12abc\n"        // 10
        "[Display\n"                    // 11
        "[Display] extra\n"             // 12
        "Name = \"open\n"               // 13
        "Display-Width = 3\n"           // 14
        "42 = 1\n"                      // 15
        "DisplayWidth = 800\n";         // 16
    EXPECT_EQ(Load(text), 14u);
    std::vector<std::string> expected = {
        "taspo.cfg:1: expected \"=\" after \"DisplayWidth\"",
        "taspo.cfg:3: expected a setting name, found \"=\"",
        "taspo.cfg:4: missing value for \"DisplayHeight\"",
        "taspo.cfg:5: unsupported value type for \"FOV\": floating-point number \"90.5\"",
        "taspo.cfg:6: unsupported value type for \"Title\": string",
        "taspo.cfg:7: expected true, false or a whole number for \"Fullscreen\", found \"yes\"",
        "taspo.cfg:8: unexpected \"Hz\" after the value of \"DisplayRate\"",
        "taspo.cfg:9: number \"99999999999\" does not fit in 32 bits",
        "taspo.cfg:10: malformed number \"12abc\"",
        "taspo.cfg:11: missing \"]\"",
        "taspo.cfg:12: unexpected \"extra\" after \"[Display]\"",
        "taspo.cfg:13: missing closing quote",
        "taspo.cfg:14: unexpected character \"-\"",
        "taspo.cfg:15: expected a setting name, found \"42\"",
    };
    EXPECT_EQ(messages, expected);
    EXPECT_TRUE(Bool("Fullscreen", false));
    EXPECT_EQ(Int("DisplayWidth"), 800);
    EXPECT_EQ(Int("DisplayHeight"), -999);
    EXPECT_EQ(Int("DisplayRate"), -999) << "a bad line applies nothing";
    EXPECT_EQ(Int("DisplayDepth"), -999);
}

TEST_F(ConfigText, ByteOrderMarkAndCarriageReturnsAreAccepted) {
    EXPECT_EQ(Load("\xEF\xBB\xBF"
                   "Fullscreen = true\r\nDisplayWidth = 640\r\n[Ctx]\r\n"),
              0u);
    EXPECT_TRUE(messages.empty()) << ::testing::PrintToString(messages);
    EXPECT_TRUE(Bool("Fullscreen", false));
    EXPECT_EQ(Int("DisplayWidth"), 640);
    EXPECT_EQ(Load("\xEF\xBB\xBF"), 0u) << "a file that is only the mark is an empty one";
    EXPECT_TRUE(messages.empty()) << ::testing::PrintToString(messages);
}

TEST_F(ConfigText, AByteOrderMarkCountsOnlyAtTheStart) {
    EXPECT_EQ(Load("A = 1\n\xEF\xBB\xBF"
                   "B = 2\n"),
              1u);
    EXPECT_EQ(messages, std::vector<std::string>{"taspo.cfg:2: unexpected byte 0xEF"});
    EXPECT_EQ(Int("A"), 1);
}

TEST_F(ConfigText, NulBytesAreOrdinaryBadBytes) {
    std::string text = "A = 1\n\0\nB\0 = 2\nC = 3"s;
    EXPECT_EQ(Load(text), 2u);
    std::vector<std::string> expected = {"taspo.cfg:2: unexpected byte 0x00",
                                         "taspo.cfg:3: unexpected byte 0x00"};
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(Int("A"), 1);
    EXPECT_EQ(Int("C"), 3) << "the text goes on after a NUL and has no terminating zero";
}

TEST_F(ConfigText, AMegabyteLineIsOneProblemWithAShortMessage) {
    std::string text = "A = 1\n" + std::string(1 << 20, 'x') + " 5\nB = 2\n";
    EXPECT_EQ(Load(text), 1u);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "taspo.cfg:2: expected \"=\" after \"" + std::string(32, 'x') + "...\"");
    EXPECT_EQ(Int("A"), 1);
    EXPECT_EQ(Int("B"), 2);
    EXPECT_EQ(ReadInt(HashNameBytes(text.data() + 6, 1 << 20), -1), -1);
}

TEST_F(ConfigText, StrayBytesAreNamedPrintableOrInHex) {
    Load("A = 1 \x01\nB = 1 @\nC = \xE9\n");
    std::vector<std::string> expected = {"taspo.cfg:1: unexpected byte 0x01",
                                         "taspo.cfg:2: unexpected character \"@\"",
                                         "taspo.cfg:3: unexpected byte 0xE9"};
    EXPECT_EQ(messages, expected);
}

// Twenty problems are reported one by one; from the twenty-first on they are only counted.
TEST_F(ConfigText, TwentyProblemsAreShownAndTheRestCounted) {
    for (uint32_t bad : {20u, 21u, 25u}) {
        messages.clear();
        std::string text;
        for (uint32_t i = 1; i <= bad; ++i) {
            text += "Bad" + std::to_string(i) + "\n";
        }
        EXPECT_EQ(Load(text), bad);
        ASSERT_EQ(messages.size(), bad == 20 ? 20u : 21u) << bad;
        EXPECT_EQ(messages[19], "taspo.cfg:20: expected \"=\" after \"Bad20\"");
        if (bad > 20) {
            EXPECT_EQ(messages[20],
                      "taspo.cfg: " + std::to_string(bad - 20) + " more problems not shown");
        }
    }
}

TEST_F(ConfigText, BinaryNoiseIsBoundedInReportsAndSettings) {
    std::string noise;
    uint32_t state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1103515245u + 12345u;
        noise.push_back(static_cast<char>(state >> 24));
    }
    uint32_t problems = Load(noise);
    // Twenty one by one, then a line for the rest.
    EXPECT_GT(problems, 20u);
    ASSERT_EQ(messages.size(), 21u);
    EXPECT_EQ(messages.back(),
              "taspo.cfg: " + std::to_string(problems - 20) + " more problems not shown");
}

// 1024 settings apply; the 1025th line that would set one is reported and ends the reading.
TEST_F(ConfigText, AtMost1024SettingsAreApplied) {
    for (uint32_t count : {1024u, 1025u, 1030u}) {
        RestartWithArena(EngineArenaSize);
        messages.clear();
        std::string text;
        for (uint32_t i = 0; i < count; ++i) {
            text += "Key" + std::to_string(i) + " = " + std::to_string(i) + "\n";
        }
        if (count == 1024) {
            EXPECT_EQ(Load(text), 0u);
            EXPECT_TRUE(messages.empty()) << ::testing::PrintToString(messages);
        } else {
            EXPECT_EQ(Load(text), 1u) << count;
            EXPECT_EQ(messages,
                      std::vector<std::string>{
                          "taspo.cfg:1025: more than 1024 settings; the rest is ignored"});
        }
        EXPECT_EQ(Int("Key1023"), 1023);
        EXPECT_EQ(Int("Key1024"), -999);
    }
}

TEST_F(ConfigText, ANullSinkStillCountsAndApplies) {
    std::string text = "bad\nA = 4\n";
    EXPECT_EQ(
        LoadConfigText("x", text.data(), static_cast<uint32_t>(text.size()), nullptr, nullptr), 1u);
    EXPECT_EQ(Int("A"), 4);
}

TEST_F(ConfigText, OutOfMemoryIsReportedPerSetting) {
    RestartWithArena(4096);
    ASSERT_NE(GetRegistry(), nullptr);
    while (EngineAlloc(8) != nullptr) {
    }
    EXPECT_EQ(Load("A = 1\n"), 1u);
    EXPECT_EQ(messages, std::vector<std::string>{"taspo.cfg:1: out of memory storing \"A\""});
}

TEST_F(ConfigFileTest, AMissingFileIsSilentAndChangesNothing) {
    EXPECT_EQ(LoadFile(PathOf("absent.cfg")), 0u);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(GetRegistry()->contextRoot, nullptr);
}

TEST_F(ConfigFileTest, AFileIsReadAndApplied) {
    std::string path = Write("taspo.cfg", "Fullscreen = true\nDisplayWidth = 640\nDisplayHeight\n");
    EXPECT_EQ(LoadFile(path), 1u);
    EXPECT_EQ(messages,
              std::vector<std::string>{path + ":3: expected \"=\" after \"DisplayHeight\""});
    EXPECT_TRUE(Bool("Fullscreen", false));
    EXPECT_EQ(Int("DisplayWidth"), 640);
    EXPECT_LT(BytesInUse(), 1024u) << "the file's buffer is given back";
}

// The caller stops on these; the sink hears nothing, since the lines were never read.
TEST_F(ConfigFileTest, AFileThatCannotBeUsedIsAFailureWithItsReason) {
    std::filesystem::create_directory(folder_ / "taspo.cfg");
    ConfigFileResult result = LoadConfigFile(PathOf("taspo.cfg").c_str(), &Collect, this);
    EXPECT_TRUE(result.failed);
#ifdef _WIN32
    // Windows will not open a directory at all; the C library says why in its own words.
    EXPECT_EQ(std::string(result.failure).rfind("cannot open the file (", 0), 0u) << result.failure;
#else
    EXPECT_STREQ(result.failure, "cannot read the file (Is a directory)");
#endif
    EXPECT_EQ(result.problems, 0u);

    std::string path = Write("small.cfg", "A = 1\n");
#ifndef _WIN32
    // Any reason but a missing file: here a file where a folder should be.
    result = LoadConfigFile((path + "/taspo.cfg").c_str(), &Collect, this);
    EXPECT_TRUE(result.failed);
    EXPECT_STREQ(result.failure, "cannot open the file (Not a directory)");
#endif
    RestartWithArena(ConfigFileMaxBytes / 2);
    result = LoadConfigFile(path.c_str(), &Collect, this);
    EXPECT_TRUE(result.failed);
    EXPECT_STREQ(result.failure, "out of engine memory for the file's contents");

    EXPECT_TRUE(messages.empty()) << ::testing::PrintToString(messages);
    EXPECT_EQ(Int("A"), -999) << "a failed file applies nothing";
}

TEST_F(ConfigFileTest, ALongerFileIsReadUpToTheCapInWholeLines) {
    // Line 1 sets A; filler comment lines take the file just past the cap; the line that
    // crosses the cap and everything after it are ignored, with one message naming it.
    std::string text = "A = 1\n";
    uint32_t lines = 1;
    while (text.size() + 20 < ConfigFileMaxBytes) {
        text += "# filler filler fil\n";
        ++lines;
    }
    text += "B = 2" + std::string(100, ' ') + "\nC = 3\n";
    std::string path = Write("taspo.cfg", text);
    EXPECT_EQ(LoadFile(path), 1u);
    EXPECT_EQ(messages,
              std::vector<std::string>{
                  path + ":" + std::to_string(lines + 1) +
                  ": the file is longer than 65536 bytes; this line and the rest are ignored"});
    EXPECT_EQ(Int("A"), 1);
    EXPECT_EQ(Int("B"), -999);
    EXPECT_EQ(Int("C"), -999);
}

TEST_F(ConfigFileTest, AMegabyteLineInAFileStopsTheReadingThere) {
    std::string path = Write("taspo.cfg", "A = 1\n" + std::string(1 << 20, '\0') + "\nB = 2\n");
    EXPECT_EQ(LoadFile(path), 1u);
    EXPECT_EQ(
        messages,
        std::vector<std::string>{
            path + ":2: the file is longer than 65536 bytes; this line and the rest are ignored"});
    EXPECT_EQ(Int("A"), 1);
    EXPECT_EQ(Int("B"), -999);
}

// A file of 64 KiB is read whole; one byte more and its last line, which crosses the cap, goes.
TEST_F(ConfigFileTest, AFileOf64KiBIsReadWholeAndOneByteMoreCutsItsLastLine) {
    for (size_t size : {size_t{64} << 10, (size_t{64} << 10) + 1}) {
        RestartWithArena(EngineArenaSize);
        messages.clear();
        std::string text = "A = 1\n";
        text += std::string(size - text.size() - 6, '#') + "\nB = 2";
        ASSERT_EQ(text.size(), size);
        std::string path = Write("taspo.cfg", text);
        if (size == 65536) {
            EXPECT_EQ(LoadFile(path), 0u);
            EXPECT_TRUE(messages.empty()) << ::testing::PrintToString(messages);
            EXPECT_EQ(Int("B"), 2);
        } else {
            EXPECT_EQ(LoadFile(path), 1u);
            EXPECT_EQ(messages, std::vector<std::string>{path + ":3: the file is longer than 65536 "
                                                                "bytes; this line and the rest are "
                                                                "ignored"});
            EXPECT_EQ(Int("B"), -999);
        }
        EXPECT_EQ(Int("A"), 1);
    }
}

TEST(PrintConfigMessage, WritesOneLineToStandardError) {
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "under node, GoogleTest cannot redirect the program's standard error";
#endif
    ::testing::internal::CaptureStderr();
    char prefix[] = "taspo";
    PrintConfigMessage(prefix, "taspo.cfg:3: expected \"=\" after \"DisplayWidth\"");
    PrintConfigMessage(nullptr, "bare");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "taspo: taspo.cfg:3: expected \"=\" after \"DisplayWidth\"\nbare\n");
}
