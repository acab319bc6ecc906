#include "tools/history_simulator.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "tools/absolute_poker_history_writer.h"
#include "tools/full_tilt_history_writer.h"
#include "tools/inter_poker_history_writer.h"
#include "tools/party_poker_history_writer.h"
#include "tools/poker_stars_history_writer.h"
#include "tools/true_poker_history_writer.h"

namespace sim {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::optional<HistoryFamily> FindHistoryFamily(std::string_view name) {
    std::string lower;
    for (char c : name) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == "pokerstars") return HistoryFamily::kPokerStars;
    if (lower == "fulltilt") return HistoryFamily::kFullTilt;
    if (lower == "absolute") return HistoryFamily::kAbsolutePoker;
    if (lower == "partypoker") return HistoryFamily::kPartyPoker;
    if (lower == "interpoker") return HistoryFamily::kInterPoker;
    if (lower == "truepoker") return HistoryFamily::kTruePoker;
    return std::nullopt;
}

const std::vector<std::string>& HistoryFamilyNames() {
    static const std::vector<std::string> kNames{"pokerstars", "fulltilt",   "absolute",
                                                 "partypoker", "interpoker", "truepoker"};
    return kNames;
}

std::string HistoryFileName(HistoryFamily family, const PlayedHand& hand) {
    switch (family) {
        case HistoryFamily::kFullTilt:
            return FullTiltFileName(hand);
        case HistoryFamily::kAbsolutePoker:
            return AbsolutePokerFileName(hand);
        case HistoryFamily::kPartyPoker:
            return PartyPokerFileName(hand);
        case HistoryFamily::kInterPoker:
            return InterPokerFileName(hand);
        case HistoryFamily::kTruePoker:
            return TruePokerFileName(hand);
        case HistoryFamily::kPokerStars:
            break;
    }
    return PokerStarsFileName(hand);
}

std::string HistoryText(HistoryFamily family, const PlayedHand& hand) {
    switch (family) {
        case HistoryFamily::kFullTilt:
            return WriteFullTiltHand(hand);
        case HistoryFamily::kAbsolutePoker:
            return WriteAbsolutePokerHand(hand);
        case HistoryFamily::kPartyPoker:
            return WritePartyPokerHand(hand);
        case HistoryFamily::kInterPoker:
            return WriteInterPokerHand(hand);
        case HistoryFamily::kTruePoker:
            return WriteTruePokerHand(hand);
        case HistoryFamily::kPokerStars:
            break;
    }
    return WritePokerStarsHand(hand);
}

const std::vector<std::string>& TableNames() {
    static const std::vector<std::string> kNames{
        "Alcyone III", "Maia IV",   "Celaeno II",  "Taygeta V",
        "Electra VI",  "Merope II", "Asterope IV", "Pleione III",
    };
    return kNames;
}

const std::vector<std::string>& PlayerNames() {
    // A few carry the characters that pages must escape and file names
    // must never take in.
    static const std::vector<std::string> kNames{
        "RiverRat77",  "maple_leaf",  "Dr. Fold",        "K'nine <3",  "zed0",        "FishFinder",
        "nutz4u",      "Quad&Queens", "Sven.Larsen",     "lucky_lou",  "ChipDaddy",   "polarbear22",
        "tilt_proof",  "Monsieur X",  "bluff\"n\"stuff", "AcesUp_99",  "donkey kong", "slowroll",
        "Rounder_Ray", "mrs.grinder", "NitWit",          "Cbet_Carla", "Ol' Sal",     "sharkbait",
    };
    return kNames;
}

HistorySimulator::HistorySimulator(SimulatorOptions options)
    : options_(std::move(options)), rng_(options_.seed) {
    assert(options_.tables >= 1 && options_.tables <= static_cast<int>(TableNames().size()));
    assert(options_.players >= 2 && options_.players <= 9);
    nextNumber_ = 41000000000ull + rng_.Below(1000000) * 100ull;
    std::vector<std::string> pool = PlayerNames();
    pool.erase(std::remove(pool.begin(), pool.end(), options_.hero), pool.end());
    for (int t = 0; t < options_.tables; ++t) {
        // Each table seats the hero and players drawn from the pool, so
        // some opponents meet the hero at more than one table.
        for (std::size_t i = pool.size() - 1; i > 0; --i) {
            std::swap(pool[i], pool[rng_.Below(static_cast<std::uint32_t>(i + 1))]);
        }
        TableConfig config;
        config.name = TableNames()[static_cast<std::size_t>(t)];
        config.maxSeats = options_.players <= 6 ? 6 : 9;
        config.hero = options_.hero;
        config.players.push_back(options_.hero);
        for (int p = 1; p < options_.players; ++p) {
            config.players.push_back(pool[static_cast<std::size_t>(p - 1)]);
        }
        config.seed = rng_.Next();
        tables_.push_back(std::make_unique<TableSimulator>(std::move(config)));
    }
}

PlayedHand HistorySimulator::Play(std::int64_t startTime) {
    TableSimulator& table = *tables_[rng_.Below(static_cast<std::uint32_t>(tables_.size()))];
    PlayedHand hand = table.PlayHand(nextNumber_, startTime);
    // Hand numbers count the whole site's hands, so they leap between ours.
    nextNumber_ += 1 + rng_.Below(5000);
    return hand;
}

void HistorySimulator::SkipNext(std::int64_t startTime) { Play(startTime); }

bool HistorySimulator::PlayNext(std::int64_t startTime, WrittenHand& written, std::string& error) {
    written.hand = Play(startTime);
    written.file = options_.folder / HistoryFileName(options_.family, written.hand);
    std::error_code ec;
    std::filesystem::create_directories(options_.folder, ec);
    if (ec) {
        error = "cannot create " + options_.folder.string() + ": " + ec.message();
        return false;
    }
    // The PokerStars client starts its files with a UTF-8 byte-order mark.
    const ByteOrderMark mark =
        options_.family == HistoryFamily::kPokerStars ? ByteOrderMark::kUtf8 : ByteOrderMark::kNone;
    return AppendWhole(written.file, HistoryText(options_.family, written.hand), mark, error);
}

bool AppendWhole(const std::filesystem::path& file, const std::string& text, ByteOrderMark mark,
                 std::string& error) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot open " + file.string() + ": " + std::strerror(errno);
        return false;
    }
    std::string data;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (size == 0 && mark == ByteOrderMark::kUtf8) data = kByteOrderMark;
    data += text;
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = "cannot write " + file.string() + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        error = "cannot write " + file.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace sim
