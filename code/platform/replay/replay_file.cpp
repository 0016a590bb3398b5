// Writing and reading replay files. A frame is one header byte saying what follows, then only
// what it says: usually one counter delta, so a frame takes about four bytes. Every count read is
// checked against the bytes left before anything is reserved for it, as the BMP loader does.
#include "platform/replay/replay_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include "random/mersenne_twister.h"

namespace portable {
namespace {

// The frame header byte: bits 0-1 the number of counter reads (3: a varint count follows), then
// one bit per kind of change present. The top two bits are 0.
constexpr uint8_t CounterReadsMask = 0x03;
constexpr uint8_t HasKeys = 0x04;
constexpr uint8_t HasFocus = 0x08;
constexpr uint8_t HasMessages = 0x10;
constexpr uint8_t HasQuits = 0x20;
constexpr uint8_t UnknownBits = 0xC0;
constexpr char TrailerMagic[4] = {'T', 'E', 'N', 'D'};
constexpr int MaxClientSide = 1 << 16;

void PutByte(std::vector<uint8_t>* out, uint8_t byte) {
    out->push_back(byte);
}

void PutLittle(std::vector<uint8_t>* out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out->push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void PutVarint(std::vector<uint8_t>* out, uint64_t value) {
    while (value >= 0x80) {
        out->push_back(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    out->push_back(static_cast<uint8_t>(value));
}

uint64_t ZigZag(int64_t value) {
    return (static_cast<uint64_t>(value) << 1) ^ (value < 0 ? ~uint64_t{0} : 0);
}

int64_t UnZigZag(uint64_t value) {
    return static_cast<int64_t>((value >> 1) ^ (~(value & 1) + 1));
}

void PutMode(std::vector<uint8_t>* out, const DisplayMode& mode) {
    for (int value : {mode.width, mode.height, mode.bitsPerPixel, mode.refreshRate}) {
        PutLittle(out, static_cast<uint32_t>(value), 4);
    }
}

// Reads what the file holds, remembering the first thing that was wrong; after that every read
// gives 0, so decoding can go on to a natural stop and report only the first fault.
class Reader {
public:
    Reader(const uint8_t* bytes, size_t size) : at_(bytes), end_(bytes + size) {}

    bool Ok() const { return problem_.empty(); }
    const std::string& Problem() const { return problem_; }
    size_t Left() const { return static_cast<size_t>(end_ - at_); }

    bool Fail(const std::string& problem) {
        if (problem_.empty()) {
            problem_ = problem;
        }
        at_ = end_;
        return false;
    }

    uint64_t Little(int bytes) {
        if (Left() < static_cast<size_t>(bytes)) {
            Fail("the file is truncated");
            return 0;
        }
        uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            value |= uint64_t{at_[i]} << (8 * i);
        }
        at_ += bytes;
        return value;
    }

    uint8_t Byte() { return static_cast<uint8_t>(Little(1)); }

    uint64_t Varint() {
        uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at_ == end_) {
                Fail("the file is truncated");
                return 0;
            }
            uint8_t byte = *at_++;
            if (shift == 63 && byte > 1) {
                break;
            }
            value |= uint64_t{byte & 0x7Fu} << shift;
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        Fail("a number is longer than 64 bits");
        return 0;
    }

    // A count of items that take at least one byte each, so it cannot exceed what is left.
    uint32_t Count(const char* what) {
        uint64_t count = Varint();
        if (count > Left() || count > std::numeric_limits<uint32_t>::max()) {
            Fail(std::string("the ") + what + " count is larger than the file could hold");
            return 0;
        }
        return static_cast<uint32_t>(count);
    }

    bool Bytes(void* out, size_t size) {
        if (Left() < size) {
            return Fail("the file is truncated");
        }
        std::memcpy(out, at_, size);
        at_ += size;
        return true;
    }

private:
    const uint8_t* at_;
    const uint8_t* end_;
    std::string problem_;
};

DisplayMode ReadMode(Reader* in) {
    DisplayMode mode{};
    for (int* value : {&mode.width, &mode.height, &mode.bitsPerPixel, &mode.refreshRate}) {
        *value = static_cast<int>(static_cast<int32_t>(in->Little(4)));
    }
    return mode;
}

bool ReadHeader(Reader* in, uint64_t buttonHash, ReplayHeader* header) {
    char magic[4] = {};
    if (in->Left() < sizeof(magic) || !in->Bytes(magic, sizeof(magic)) ||
        std::memcmp(magic, ReplayMagic, 4) != 0) {
        return in->Fail("not a Taspo replay (no TSPR magic word)");
    }
    uint64_t version = in->Little(4);
    if (in->Ok() && version == 0) {
        return in->Fail("format version 0 does not exist (versions start at 1)");
    }
    if (in->Ok() && version > ReplayFormatVersion) {
        return in->Fail("format version " + std::to_string(version) +
                        " is newer than this program reads (" +
                        std::to_string(ReplayFormatVersion) + ")");
    }
    // A text the format once kept for the game's version; nothing reads it.
    size_t length = in->Byte();
    if (length > ReplayMaxVersionLength) {
        return in->Fail("the game version is longer than " +
                        std::to_string(ReplayMaxVersionLength) + " bytes");
    }
    std::string unused(length, '\0');
    in->Bytes(&unused[0], length);
    header->counterFrequency = static_cast<int64_t>(in->Little(8));
    if (in->Ok() && header->counterFrequency <= 0) {
        return in->Fail("the counter frequency is not positive");
    }
    header->seed = static_cast<uint32_t>(in->Little(4));
    if (in->Ok() && header->seed != RandomSeed) {
        return in->Fail("recorded with generator seed " + std::to_string(header->seed) +
                        ", this game starts from " + std::to_string(RandomSeed));
    }
    uint8_t desktopKnown = in->Byte();
    header->desktopKnown = desktopKnown == 1;
    header->desktop = ReadMode(in);
    header->clientWidth = static_cast<int32_t>(in->Little(4));
    header->clientHeight = static_cast<int32_t>(in->Little(4));
    uint8_t fullscreen = in->Byte();  // once a note of full screen, now 0 or 1 unread
    header->modeAnswerCount = in->Byte();
    header->modeAnswers = static_cast<uint32_t>(in->Little(4));
    header->buttonHash = in->Little(8);
    if (!in->Ok()) {
        return false;
    }
    if (desktopKnown > 1 || fullscreen > 1 || header->modeAnswerCount > ReplayMaxModeAnswers ||
        header->clientWidth < 0 || header->clientWidth > MaxClientSide ||
        header->clientHeight < 0 || header->clientHeight > MaxClientSide) {
        return in->Fail("the display settings hold impossible values");
    }
    if (header->buttonHash != buttonHash) {
        return in->Fail("recorded with a different button.bmp");
    }
    return true;
}

// Call numbers within a frame only grow: one answer per call.
bool Increasing(Reader* in, bool first, uint32_t previous, uint64_t call, bool strictly) {
    if (call > std::numeric_limits<uint32_t>::max() ||
        (!first && (strictly ? call <= previous : call < previous))) {
        return in->Fail("the calls of a frame are out of order");
    }
    return true;
}

void ReadCounters(Reader* in, uint8_t head, int64_t* last, Replay* replay) {
    uint32_t reads = head & CounterReadsMask;
    if (reads == CounterReadsMask) {
        reads = in->Count("counter read");
    }
    for (uint32_t i = 0; i < reads && in->Ok(); ++i) {
        uint64_t delta = in->Varint();
        if (delta > static_cast<uint64_t>(std::numeric_limits<int64_t>::max() - *last)) {
            in->Fail("the counter runs past its largest value");
            return;
        }
        *last += static_cast<int64_t>(delta);
        replay->counters.push_back(*last);
    }
}

// Call numbers restart at 0 in every frame, so each list is compared only within its frame: item
// i of the frame follows item i - 1.
void ReadKeys(Reader* in, Replay* replay) {
    uint32_t count = in->Count("key change");
    for (uint32_t i = 0; i < count && in->Ok(); ++i) {
        uint64_t call = in->Varint();
        uint64_t change = in->Varint();
        if (change > 0x1FF) {
            in->Fail("a key code is larger than 255");
        } else if (Increasing(in, i == 0, i == 0 ? 0 : replay->keys.back().call, call, true)) {
            replay->keys.push_back(ReplayKeyChange{
                static_cast<uint32_t>(call), static_cast<uint8_t>(change >> 1), (change & 1) != 0});
        }
    }
}

void ReadFocus(Reader* in, Replay* replay) {
    uint32_t count = in->Count("focus change");
    for (uint32_t i = 0; i < count && in->Ok(); ++i) {
        uint64_t change = in->Varint();
        uint64_t call = change >> 1;
        if (Increasing(in, i == 0, i == 0 ? 0 : replay->focus.back().call, call, true)) {
            replay->focus.push_back(
                ReplayFocusChange{static_cast<uint32_t>(call), (change & 1) != 0});
        }
    }
}

void ReadMessages(Reader* in, Replay* replay) {
    uint32_t count = in->Count("message");
    for (uint32_t i = 0; i < count && in->Ok(); ++i) {
        uint64_t pump = in->Varint();
        uint64_t message = in->Varint();
        uint64_t wParam = in->Varint();
        int64_t lParam = UnZigZag(in->Varint());
        if (message > std::numeric_limits<uint32_t>::max()) {
            in->Fail("a message number is larger than 32 bits");
        } else if (Increasing(in, i == 0, i == 0 ? 0 : replay->messages.back().pump, pump, false)) {
            replay->messages.push_back(ReplayMessage{
                static_cast<uint32_t>(pump), static_cast<uint32_t>(message), wParam, lParam});
        }
    }
}

void ReadQuits(Reader* in, Replay* replay) {
    uint32_t count = in->Count("quit request");
    for (uint32_t i = 0; i < count && in->Ok(); ++i) {
        uint64_t pump = in->Varint();
        if (Increasing(in, i == 0, i == 0 ? 0 : replay->quits.back(), pump, true)) {
            replay->quits.push_back(static_cast<uint32_t>(pump));
        }
    }
}

void ReadFrame(Reader* in, int64_t* lastCounter, Replay* replay) {
    uint8_t head = in->Byte();
    if ((head & UnknownBits) != 0) {
        in->Fail("a frame uses a feature this program does not know");
        return;
    }
    ReadCounters(in, head, lastCounter, replay);
    if ((head & HasKeys) != 0) {
        ReadKeys(in, replay);
    }
    if ((head & HasFocus) != 0) {
        ReadFocus(in, replay);
    }
    if ((head & HasMessages) != 0) {
        ReadMessages(in, replay);
    }
    if ((head & HasQuits) != 0) {
        ReadQuits(in, replay);
    }
    replay->frames.push_back(ReplayFrame{
        static_cast<uint32_t>(replay->counters.size()), static_cast<uint32_t>(replay->keys.size()),
        static_cast<uint32_t>(replay->focus.size()), static_cast<uint32_t>(replay->messages.size()),
        static_cast<uint32_t>(replay->quits.size())});
}

void ReadCheckpoints(Reader* in, Replay* replay) {
    uint32_t count = in->Count("checkpoint");
    replay->checkpoints.reserve(count);
    uint64_t present = 0;
    for (uint32_t i = 0; i < count && in->Ok(); ++i) {
        uint64_t delta = in->Varint();
        uint64_t hash = in->Little(8);
        if ((i > 0 && delta == 0) || delta > std::numeric_limits<uint32_t>::max() - present) {
            in->Fail("the checkpoints are out of order");
            return;
        }
        present += delta;
        replay->checkpoints.push_back(ReplayCheckpoint{static_cast<uint32_t>(present), hash});
    }
}

// A whole file's bytes: an empty string, or why they cannot be had, without the file's name.
std::string ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return std::string("cannot open (") + std::strerror(errno) + ")";
    }
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? "cannot read" : "";
}

}  // namespace

void ReplayFrameEvents::Clear() {
    counters.clear();
    keys.clear();
    focus.clear();
    messages.clear();
    quits.clear();
}

uint64_t ReplayHash(const uint8_t* bytes, size_t size, uint64_t hash) {
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

void ReplayFrameWriter::Append(const ReplayFrameEvents& events) {
    size_t reads = events.counters.size();
    uint8_t head = static_cast<uint8_t>(reads < CounterReadsMask ? reads : CounterReadsMask);
    head |= events.keys.empty() ? 0 : HasKeys;
    head |= events.focus.empty() ? 0 : HasFocus;
    head |= events.messages.empty() ? 0 : HasMessages;
    head |= events.quits.empty() ? 0 : HasQuits;
    PutByte(&bytes_, head);
    if (reads >= CounterReadsMask) {
        PutVarint(&bytes_, reads);
    }
    for (int64_t counter : events.counters) {
        PutVarint(&bytes_, static_cast<uint64_t>(counter - lastCounter_));
        lastCounter_ = counter;
    }
    if (!events.keys.empty()) {
        PutVarint(&bytes_, events.keys.size());
        for (const ReplayKeyChange& change : events.keys) {
            PutVarint(&bytes_, change.call);
            PutVarint(&bytes_, (uint32_t{change.key} << 1) | (change.down ? 1 : 0));
        }
    }
    if (!events.focus.empty()) {
        PutVarint(&bytes_, events.focus.size());
        for (const ReplayFocusChange& change : events.focus) {
            PutVarint(&bytes_, (uint64_t{change.call} << 1) | (change.focused ? 1 : 0));
        }
    }
    if (!events.messages.empty()) {
        PutVarint(&bytes_, events.messages.size());
        for (const ReplayMessage& message : events.messages) {
            PutVarint(&bytes_, message.pump);
            PutVarint(&bytes_, message.message);
            PutVarint(&bytes_, message.wParam);
            PutVarint(&bytes_, ZigZag(message.lParam));
        }
    }
    if (!events.quits.empty()) {
        PutVarint(&bytes_, events.quits.size());
        for (uint32_t pump : events.quits) {
            PutVarint(&bytes_, pump);
        }
    }
    ++frames_;
}

std::vector<uint8_t> EncodeReplay(const ReplayHeader& header, const ReplayFrameWriter& frames,
                                  const std::vector<ReplayCheckpoint>& checkpoints) {
    std::vector<uint8_t> out(ReplayMagic, ReplayMagic + 4);
    PutLittle(&out, ReplayFormatVersion, 4);
    PutByte(&out, 0);  // no version text
    PutLittle(&out, static_cast<uint64_t>(header.counterFrequency), 8);
    PutLittle(&out, header.seed, 4);
    PutByte(&out, header.desktopKnown ? 1 : 0);
    PutMode(&out, header.desktop);
    PutLittle(&out, static_cast<uint32_t>(header.clientWidth), 4);
    PutLittle(&out, static_cast<uint32_t>(header.clientHeight), 4);
    PutByte(&out, 0);  // no full-screen note
    PutByte(&out, static_cast<uint8_t>(header.modeAnswerCount));
    PutLittle(&out, header.modeAnswers, 4);
    PutLittle(&out, header.buttonHash, 8);

    PutVarint(&out, frames.FrameCount());
    out.insert(out.end(), frames.Bytes().begin(), frames.Bytes().end());
    PutVarint(&out, checkpoints.size());
    uint32_t present = 0;
    for (const ReplayCheckpoint& checkpoint : checkpoints) {
        PutVarint(&out, checkpoint.present - present);
        present = checkpoint.present;
        PutLittle(&out, checkpoint.hash, 8);
    }
    out.insert(out.end(), TrailerMagic, TrailerMagic + 4);
    PutLittle(&out, frames.FrameCount(), 4);
    PutLittle(&out, checkpoints.size(), 4);
    return out;
}

std::string DecodeReplay(const uint8_t* bytes, size_t size, uint64_t buttonHash, Replay* replay) {
    *replay = Replay{};
    Reader in(bytes, size);
    if (!ReadHeader(&in, buttonHash, &replay->header)) {
        return in.Problem();
    }
    uint32_t frameCount = in.Count("frame");
    replay->frames.reserve(frameCount);
    int64_t lastCounter = 0;
    for (uint32_t i = 0; i < frameCount && in.Ok(); ++i) {
        ReadFrame(&in, &lastCounter, replay);
    }
    ReadCheckpoints(&in, replay);
    char trailer[4] = {};
    if (in.Ok() && (!in.Bytes(trailer, 4) || std::memcmp(trailer, TrailerMagic, 4) != 0)) {
        in.Fail("the file is truncated (no end marker after the checkpoints)");
    }
    uint64_t trailerFrames = in.Little(4);
    uint64_t trailerCheckpoints = in.Little(4);
    if (in.Ok() &&
        (trailerFrames != frameCount || trailerCheckpoints != replay->checkpoints.size())) {
        in.Fail("the end marker's counts do not match the file");
    }
    if (in.Ok() && in.Left() != 0) {
        in.Fail("bytes follow the end marker");
    }
    if (in.Ok() && !replay->checkpoints.empty() && replay->frames.empty()) {
        in.Fail("checkpoints without frames");
    }
    if (!in.Ok()) {
        *replay = Replay{};
    }
    return in.Problem();
}

std::string ReadReplayFile(const char* path, uint64_t buttonHash, Replay* replay) {
    std::vector<uint8_t> bytes;
    std::string problem = ReadWholeFile(path, &bytes);
    if (problem.empty()) {
        problem = DecodeReplay(bytes.data(), bytes.size(), buttonHash, replay);
    }
    return problem.empty() ? problem : std::string(path) + ": " + problem;
}

std::string WriteReplayFile(const char* path, const std::vector<uint8_t>& bytes) {
    std::string temporary = std::string(path) + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return std::string(path) + ": cannot write (" + std::strerror(errno) + ")";
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = errno;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path) != 0) {
        error = errno != 0 ? errno : error;
        std::remove(temporary.c_str());
        return std::string(path) + ": cannot write (" + std::strerror(error != 0 ? error : EIO) +
               ")";
    }
    return std::string();
}

bool HashFile(const char* path, uint64_t* hash) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes).empty()) {
        return false;
    }
    *hash = ReplayHash(bytes.data(), bytes.size());
    return true;
}

}  // namespace portable
