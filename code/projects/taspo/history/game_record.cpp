// A kept game as text, and back.
#include "projects/taspo/history/game_record.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t MaxVersionLength = 64;

// A time or reaction time of the record: a plain decimal number from 0 up to the limit.
bool ReadSeconds(const char* text, double* value) {
    if (text[0] < '0' || text[0] > '9') {
        return false;
    }
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return *end == '\0' && std::isfinite(*value) && *value < GameRecordMaxSeconds;
}

bool ReadWhole(const char* text, int64_t* value) {
    if (text[0] < '0' || text[0] > '9' || std::strlen(text) > 18) {
        return false;
    }
    char* end = nullptr;
    *value = std::strtoll(text, &end, 10);
    return *end == '\0';
}

bool Printable(const std::string& text) {
    for (char c : text) {
        if (c <= ' ' || c > '~') {
            return false;
        }
    }
    return !text.empty() && text.size() <= MaxVersionLength;
}

// One line after the first: true when understood, with the record updated.
bool ReadLine(const std::string& line, GameRecord* record, std::string* problem) {
    char word[16] = {}, first[40] = {}, second[16] = {}, third[40] = {};
    int fields = std::sscanf(line.c_str(), "%15s %39s %15s %39s", word, first, second, third);
    KeptTarget target{0.0, false, 0.0};
    double when = 0.0;
    if (fields == 2 && std::strcmp(word, "played") == 0) {
        return ReadWhole(first, &record->playedAt);
    }
    if (fields == 2 && std::strcmp(word, "version") == 0) {
        record->version = line.substr(8);
        return Printable(record->version);
    }
    if (std::strcmp(word, "target") == 0 && ReadSeconds(first, &target.shownSeconds)) {
        target.hit = fields == 4 && std::strcmp(second, "hit") == 0 &&
                     ReadSeconds(third, &target.reactionMs);
        if (!target.hit && !(fields == 3 && std::strcmp(second, "miss") == 0)) {
            return false;
        }
        if (record->targets.size() >= GameRecordMaxEvents) {
            *problem = "more than " + std::to_string(GameRecordMaxEvents) + " targets";
            return false;
        }
        record->targets.push_back(target);
        return true;
    }
    if (fields == 2 && std::strcmp(word, "falsestart") == 0 && ReadSeconds(first, &when)) {
        if (record->falseStarts.size() >= GameRecordMaxEvents) {
            *problem = "more than " + std::to_string(GameRecordMaxEvents) + " false starts";
            return false;
        }
        record->falseStarts.push_back(when);
        return true;
    }
    return false;
}

std::string ReadHeading(const std::string& line) {
    const char* heading = "taspo game ";
    if (line.compare(0, std::strlen(heading), heading) != 0) {
        return "not a Taspo game record";
    }
    int64_t version = 0;
    if (!ReadWhole(line.c_str() + std::strlen(heading), &version)) {
        return "not a Taspo game record";
    }
    if (version == 0) {
        return "record version 0 does not exist (versions start at 1)";
    }
    if (version > GameRecordVersion) {
        return "record version " + std::to_string(version) + " is newer than this program reads (" +
               std::to_string(GameRecordVersion) + ")";
    }
    return "";
}

}  // namespace

std::string EncodeGameRecord(const GameRecord& record) {
    std::string text = "taspo game " + std::to_string(GameRecordVersion) + "\n";
    text += "played " + std::to_string(record.playedAt) + "\n";
    text += "version " + record.version + "\n";
    char line[96];
    for (const KeptTarget& target : record.targets) {
        if (target.hit) {
            std::snprintf(line, sizeof(line), "target %.3f hit %.3f\n", target.shownSeconds,
                          target.reactionMs);
        } else {
            std::snprintf(line, sizeof(line), "target %.3f miss\n", target.shownSeconds);
        }
        text += line;
    }
    for (double when : record.falseStarts) {
        std::snprintf(line, sizeof(line), "falsestart %.3f\n", when);
        text += line;
    }
    return text + "end\n";
}

namespace {

std::string Decode(const std::string& text, GameRecord* record) {
    if (text.size() > GameRecordMaxBytes) {
        return "the record is larger than " + std::to_string(GameRecordMaxBytes >> 20) + " MiB";
    }
    size_t start = 0;
    size_t number = 0;
    bool ended = false;
    std::string problem;
    while (start < text.size()) {
        size_t newline = text.find('\n', start);
        if (newline == std::string::npos) {
            return "the record is cut short (its last line is unfinished)";
        }
        // A record edited on Windows may end its lines with CR LF.
        size_t end = newline > start && text[newline - 1] == '\r' ? newline - 1 : newline;
        std::string line = text.substr(start, end - start);
        start = newline + 1;
        ++number;
        if (ended) {
            return "lines follow the end line";
        }
        if (number == 1) {
            problem = ReadHeading(line);
        } else if (line == "end") {
            ended = true;
        } else if (line.size() > 96 || !ReadLine(line, record, &problem)) {
            if (problem.empty()) {
                problem = "line " + std::to_string(number) + " is not understood";
            }
        }
        if (!problem.empty()) {
            return problem;
        }
    }
    if (number == 0) {
        return "not a Taspo game record";
    }
    if (!ended) {
        return "the record is cut short (no end line)";
    }
    if (record->version.empty()) {
        return "the record names no version";
    }
    return "";
}

}  // namespace

std::string DecodeGameRecord(const std::string& text, GameRecord* record) {
    *record = GameRecord{};
    std::string problem = Decode(text, record);
    if (!problem.empty()) {
        *record = GameRecord{};
    }
    return problem;
}
