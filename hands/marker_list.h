#pragma once
// CMarkerList: a fixed list of marker texts a room parser tests lines
// against (its skip list, its end list). Entries are plain texts; empty
// entries are ignored and their order does not matter.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

class CMarkerList {
  public:
    static constexpr std::size_t kCapacity = 12;

    // Keeps the non-empty entries of `markers` (at most kCapacity; the
    // texts must outlive the list, string literals in practice).
    CMarkerList(std::initializer_list<std::string_view> markers);

    // Whether the line contains any entry anywhere.
    bool ContainedIn(std::string_view line) const {
        return FindFirst(line) != std::string_view::npos;
    }
    // Position of the earliest occurrence of any entry at or after `from`;
    // npos when there is none.
    std::size_t FindFirst(std::string_view line, std::size_t from = 0) const;
    // Whether the line begins with any entry.
    bool Begins(std::string_view line) const;
    std::size_t Size() const { return size_; }
    std::string_view At(std::size_t i) const { return markers_[i]; }

    // For a caller that folds the list's first look into a scan of its own:
    // whether every entry has two or more bytes and begins with `c`; whether
    // some entry has `c` for its second byte; and the different second
    // bytes, each repeated sixteen times (blocks not needed repeat the
    // first), valid while SecondBytesFit().
    static constexpr int kSecondScanBytes = 8;
    using ScanBlocks = std::array<std::array<char, 16>, kSecondScanBytes>;
    bool AllBeginWith(char c) const {
        return size_ > 0 && singles_ == 0 && firstByteCount_ == 1 &&
               firstBytes_[static_cast<unsigned char>(c)];
    }
    bool IsSecondByte(char c) const { return secondBytes_[static_cast<unsigned char>(c)]; }
    bool SecondBytesFit() const {
        return secondByteCount_ > 0 && secondByteCount_ <= kSecondScanBytes;
    }
    const ScanBlocks& SecondByteBlocks() const { return secondBlocks_; }

  private:
    std::array<std::string_view, kCapacity> markers_{};
    static std::size_t PairSlot(unsigned char a, unsigned char b) { return (a * 31u + b) & 1023u; }

    // Bit i of pairs_[slot] is set when entry i begins with a byte pair of
    // that slot, so a line is scanned once for all entries and most
    // positions are rejected by one table look-up. Entries of one byte are
    // kept in singles_.
    std::array<std::uint16_t, 1024> pairs_{};
    std::array<bool, 256> firstBytes_{};  // bytes some entry begins with
    int firstByteCount_ = 0;              // how many different ones
    // The different first bytes, while there are at most four of them, each
    // repeated sixteen times: a line is scanned for all of them sixteen
    // bytes at a time.
    static constexpr int kScanBytes = 4;
    alignas(16) std::array<std::array<char, 16>, kScanBytes> scanBlocks_{};
    // The same for the different second bytes of entries of two or more
    // bytes, while there are at most eight: a place is then looked at only
    // when both its bytes begin some entry, which rules out nearly every
    // place of a line without any entry.
    alignas(16) ScanBlocks secondBlocks_{};
    std::array<bool, 256> secondBytes_{};
    int secondByteCount_ = 0;
    std::uint16_t singles_ = 0;
    std::size_t size_ = 0;
};
