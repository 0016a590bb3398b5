// The game's command line: what --help and --version print, the one line and exit code 2 for
// anything else, and no answer at all (play) without arguments.
#include "projects/taspo/shell/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Answer {
    int code;
    std::string out;
    std::string err;
};

std::string Contents(FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        text += static_cast<char>(c);
    }
    std::fclose(file);
    return text;
}

Answer Ask(std::vector<const char*> arguments, const char* dataDirectory = nullptr) {
    arguments.insert(arguments.begin(), "taspo");
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    int code = AnswerCommandLine(static_cast<int>(arguments.size()), arguments.data(),
                                 dataDirectory, out, err);
    return Answer{code, Contents(out), Contents(err)};
}

TEST(CommandLine, NoArgumentsMeansPlayWithNothingPrinted) {
    Answer answer = Ask({});
    EXPECT_EQ(answer.code, CommandLinePlay);
    EXPECT_EQ(answer.out + answer.err, "");
}

TEST(CommandLine, HelpTellsTheGameTheKeysAndWhereEachFileIsRead) {
    for (const char* option : {"--help", "-h"}) {
        Answer answer = Ask({option});
        EXPECT_EQ(answer.code, 0);
        EXPECT_EQ(answer.err, "");
        for (const char* part :
             {"Usage: taspo", "reaction game", "space", "Escape", "button.bmp",
              "/usr/share/games/taspo/", "taspo.cfg", "$XDG_CONFIG_HOME/taspo/", "~/.config/taspo/",
              "--record FILE", "--replay FILE", "--check FILE", "--report FILE", "Exit status"}) {
            EXPECT_NE(answer.out.find(part), std::string::npos) << option << " lacks " << part;
        }
        EXPECT_EQ(answer.out.find("installed data"), std::string::npos);
    }
}

TEST(CommandLine, HelpNamesWhereThisProgramFindsItsData) {
    Answer answer = Ask({"--help"}, "/opt/x/share/games/taspo/");
    EXPECT_NE(answer.out.find("\nThis program's installed data: /opt/x/share/games/taspo/\n"),
              std::string::npos)
        << answer.out;
    EXPECT_NE(answer.out.find("Exit status"), std::string::npos);
}

TEST(CommandLine, VersionIsTheProjectsOwn) {
    Answer answer = Ask({"--version"});
    EXPECT_EQ(answer.code, 0);
    EXPECT_TRUE(std::regex_match(answer.out, std::regex("taspo [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << answer.out;
}

// An answer that cannot be written is no answer: exit code 1, and why on stderr if it can be.
TEST(CommandLine, AnswersLostOnAFullDeviceAreFailures) {
    for (const char* option : {"--help", "--version"}) {
        FILE* full = std::fopen("/dev/full", "w");
        ASSERT_NE(full, nullptr);
        FILE* err = std::tmpfile();
        const char* arguments[] = {"taspo", option};
        EXPECT_EQ(AnswerCommandLine(2, arguments, nullptr, full, err), 1) << option;
        std::fclose(full);
        const std::string what = option == std::string("--help") ? "help" : "version";
        EXPECT_EQ(Contents(err), "taspo: cannot write the " + what +
                                     " to standard output (No space left on device)\n");
    }
}

TEST(CommandLine, AnythingElseIsOneLineAndExitCodeTwo) {
    const std::vector<std::vector<const char*>> cases = {
        {"--fullscreen"}, {"-x"}, {"button.bmp"}, {"--help", "extra"}, {"--version", "--help"}};
    for (const auto& arguments : cases) {
        Answer answer = Ask(arguments);
        EXPECT_EQ(answer.code, 2) << arguments[0];
        EXPECT_EQ(answer.out, "");
        const std::string offending = arguments.back();
        EXPECT_EQ(answer.err,
                  "taspo: unknown option \"" + offending + "\" (taspo --help lists the options)\n");
    }
}

// Each replay option names one file, and then the game goes on; without exactly one it is refused.
TEST(CommandLine, ReplayOptionsTakeOneFile) {
    const std::pair<const char*, SessionMode> options[] = {{"--record", SessionMode::Record},
                                                           {"--replay", SessionMode::Replay},
                                                           {"--check", SessionMode::Check},
                                                           {"--report", SessionMode::Report}};
    for (const auto& [option, mode] : options) {
        const char* arguments[] = {"taspo", option, "game.taspo-replay", "more"};
        SessionRequest request;
        EXPECT_EQ(AnswerCommandLine(3, arguments, nullptr, stdout, stderr, &request),
                  CommandLinePlay);
        EXPECT_EQ(request.mode, mode) << option;
        EXPECT_STREQ(request.file, "game.taspo-replay");
        Answer missing = Ask({option});
        EXPECT_EQ(missing.code, 2);
        EXPECT_EQ(missing.err, std::string("taspo: ") + option + " needs a file name\n");
        Answer extra = Ask({option, "a", "b"});
        EXPECT_EQ(extra.err, std::string("taspo: ") + option + " takes one file name\n");
    }
}

}  // namespace
