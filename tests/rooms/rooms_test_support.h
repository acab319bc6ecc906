#pragma once
// Shared pieces of the rooms tests: a scratch folder, file helpers, a hand
// sink that records what it receives, and profiles that count the hands they
// create while reading PokerStars text whatever room they stand for.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hands/hand_poker_stars.h"
#include "rooms/hand_sink.h"

namespace rooms_test {

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "seatwatch-rooms-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

inline void AppendFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::app) << text;
}

// Sets the file's last write time (seconds since 1970).
inline void SetLastWrite(const std::string& path, std::int64_t t) {
    struct timespec times[2] = {{static_cast<time_t>(t), 0}, {static_cast<time_t>(t), 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

inline std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

class RecordingSink : public HandSink {
  public:
    bool KnowsHand(std::uint64_t number) const override { return hands.count(number) != 0; }
    void AddHand(std::unique_ptr<CHand> hand, LoadPass) override {
        added.push_back(hand->handNumber);
        hands[hand->handNumber] = std::move(hand);
    }
    void UpdateTable(const CHand& hand) override { tableUpdates.push_back(hand.handNumber); }
    void Process(LoadPass pass) override { processCalls.push_back(pass); }
    std::int64_t EarliestHandDate() const override { return earliest; }

    // The numbers added since the last call.
    std::vector<std::uint64_t> TakeAdded() {
        std::vector<std::uint64_t> result;
        result.swap(added);
        return result;
    }

    std::map<std::uint64_t, std::unique_ptr<CHand>> hands;
    std::vector<std::uint64_t> added;
    std::vector<std::uint64_t> tableUpdates;
    std::vector<LoadPass> processCalls;
    std::int64_t earliest = 0;
};

// A room profile that keeps every rule of Base but reads PokerStars text and
// counts the hands it creates (one per read attempt).
template <class Base>
class CountingProfile : public Base {
  public:
    using Base::Base;
    std::unique_ptr<CHand> CreateHand(const std::string& nickname,
                                      const std::string&) const override {
        ++created;
        return std::make_unique<CHandPokerStars>(nickname);
    }
    mutable int created = 0;
};

}  // namespace rooms_test
