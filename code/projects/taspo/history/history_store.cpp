// The history's folder on disk.
#include "projects/taspo/history/history_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char* const RecordExtension = ".taspo-game";
const char* const ReplayExtension = ".taspo-replay";

// The time as a file name: 20261211T172005Z.
std::string StemOf(int64_t playedAt) {
    std::time_t time = static_cast<std::time_t>(playedAt);
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &time);
#else
    gmtime_r(&time, &parts);
#endif
    char stem[32];
    std::strftime(stem, sizeof(stem), "%Y%m%dT%H%M%SZ", &parts);
    return stem;
}

}  // namespace

std::string WriteFileWhole(const std::string& path, const void* bytes, size_t size) {
    std::string temporary = path + ".tmp";
    errno = 0;
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return std::strerror(errno != 0 ? errno : EIO);
    }
    bool written = std::fwrite(bytes, 1, size, file) == size && std::fflush(file) == 0;
    int error = errno != 0 ? errno : EIO;
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno != 0 ? errno : EIO;
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno != 0 ? errno : EIO;
    }
    if (!written) {
        std::remove(temporary.c_str());
        return std::strerror(error);
    }
    return "";
}

namespace {

// The whole file, or false with the reason.
bool ReadWhole(const fs::path& path, std::string* text, std::string* problem) {
    std::error_code error;
    uintmax_t size = fs::file_size(path, error);
    if (error) {
        *problem = "cannot read (" + error.message() + ")";
        return false;
    }
    if (size > GameRecordMaxBytes) {
        *problem = "the record is larger than " + std::to_string(GameRecordMaxBytes >> 20) + " MiB";
        return false;
    }
    errno = 0;
    FILE* file = std::fopen(path.string().c_str(), "rb");
    if (file == nullptr) {
        *problem = std::string("cannot read (") + std::strerror(errno != 0 ? errno : EIO) + ")";
        return false;
    }
    text->assign(static_cast<size_t>(size), '\0');
    size_t read = std::fread(&(*text)[0], 1, text->size(), file);
    bool whole = read == text->size() && std::ferror(file) == 0;
    std::fclose(file);
    text->resize(read);
    if (!whole) {
        *problem = "cannot read it whole";
    }
    return whole;
}

}  // namespace

std::vector<std::string> HistoryStore::Stems() const {
    std::vector<std::string> stems;
    std::error_code error;
    for (fs::directory_iterator entry(folder_, error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path& path = entry->path();
        if (path.extension() == RecordExtension) {
            stems.push_back(path.stem().string());
        }
    }
    std::sort(stems.begin(), stems.end());
    return stems;
}

void HistoryStore::RemoveOldest() const {
    std::vector<std::string> stems = Stems();
    for (size_t i = 0; i + HistoryMaxGames < stems.size(); ++i) {
        std::error_code ignored;
        fs::remove(folder_ + stems[i] + RecordExtension, ignored);
        fs::remove(folder_ + stems[i] + ReplayExtension, ignored);
    }
}

std::string HistoryStore::Keep(const GameRecord& record, const std::vector<uint8_t>* replay) {
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error) {
        return "cannot make " + folder_ + " (" + error.message() + ")";
    }
    std::string stem = StemOf(record.playedAt);
    for (int second = 2; fs::exists(folder_ + stem + RecordExtension, error); ++second) {
        stem = StemOf(record.playedAt) + "-" + std::to_string(second);
    }
    std::string base = folder_ + stem;
    std::string problem;
    if (replay != nullptr) {
        problem = WriteFileWhole(base + ReplayExtension, replay->data(), replay->size());
    }
    std::string text = EncodeGameRecord(record);
    if (problem.empty()) {
        problem = WriteFileWhole(base + RecordExtension, text.data(), text.size());
        if (!problem.empty() && replay != nullptr) {
            std::remove((base + ReplayExtension).c_str());
        }
    }
    if (!problem.empty()) {
        return "cannot write in " + folder_ + " (" + problem + ")";
    }
    RemoveOldest();
    return "";
}

std::vector<KeptGame> HistoryStore::Load(std::vector<std::string>* problems) const {
    std::vector<KeptGame> games;
    for (const std::string& stem : Stems()) {
        fs::path path = folder_ + stem + RecordExtension;
        std::string text;
        std::string problem;
        KeptGame game{stem, {}};
        if (ReadWhole(path, &text, &problem)) {
            problem = DecodeGameRecord(text, &game.record);
        }
        if (problem.empty()) {
            games.push_back(std::move(game));
        } else {
            problems->push_back(path.string() + ": " + problem);
        }
    }
    return games;
}
