#include "hands/marker_list.h"

#include <algorithm>
#include <cassert>

#include "hands/parse_text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

CMarkerList::CMarkerList(std::initializer_list<std::string_view> markers) {
    assert(markers.size() <= kCapacity);
    for (std::string_view marker : markers) {
        if (marker.empty() || size_ == kCapacity) continue;
        auto bit = static_cast<std::uint16_t>(1u << size_);
        if (!firstBytes_[static_cast<unsigned char>(marker[0])]) {
            firstBytes_[static_cast<unsigned char>(marker[0])] = true;
            if (firstByteCount_ < kScanBytes)
                scanBlocks_[static_cast<std::size_t>(firstByteCount_)].fill(marker[0]);
            ++firstByteCount_;
        }
        if (marker.size() == 1) {
            singles_ |= bit;
        } else {
            auto second = static_cast<unsigned char>(marker[1]);
            if (!secondBytes_[second]) {
                secondBytes_[second] = true;
                if (secondByteCount_ < kSecondScanBytes) {
                    secondBlocks_[static_cast<std::size_t>(secondByteCount_)].fill(
                        static_cast<char>(second));
                }
                ++secondByteCount_;
            }
            pairs_[PairSlot(static_cast<unsigned char>(marker[0]),
                            static_cast<unsigned char>(marker[1]))] |= bit;
        }
        markers_[size_++] = marker;
    }
    // Unused blocks repeat the first one, so that a block of a line is
    // compared with all of them, without a loop whose length depends on
    // the list.
    for (int k = firstByteCount_; k < kScanBytes && firstByteCount_ > 0; ++k) {
        scanBlocks_[static_cast<std::size_t>(k)] = scanBlocks_[0];
    }
    for (int k = secondByteCount_; k < kSecondScanBytes && secondByteCount_ > 0; ++k) {
        secondBlocks_[static_cast<std::size_t>(k)] = secondBlocks_[0];
    }
}

#if defined(__SSE2__)
namespace {

template <std::size_t N>
__m128i Block(const std::array<std::array<char, 16>, N>& blocks, int k) {
    return _mm_load_si128(
        reinterpret_cast<const __m128i*>(blocks[static_cast<std::size_t>(k)].data()));
}

}  // namespace
#endif

std::size_t CMarkerList::FindFirst(std::string_view line, std::size_t from) const {
    constexpr std::size_t kNone = std::string_view::npos;
    std::size_t best = kNone;
    for (std::size_t i = 0, bits = singles_; bits != 0; ++i, bits >>= 1) {
        if ((bits & 1u) != 0) best = std::min(best, line.find(markers_[i][0], from));
    }
    const std::size_t n = line.size();
    // Entries of two or more bytes can begin at places from .. n - 2, and
    // only places before a single-byte entry found already matter.
    const std::size_t places = std::min(n > 0 ? n - 1 : 0, best);
    if (from >= places) return best;
    const char* data = line.data();
    // The byte pair at a place selects the few entries worth comparing.
    auto entryAt = [&](std::size_t at) {
        unsigned bits = pairs_[PairSlot(static_cast<unsigned char>(data[at]),
                                        static_cast<unsigned char>(data[at + 1]))];
        for (; bits != 0; bits &= bits - 1) {
            std::string_view marker = markers_[static_cast<std::size_t>(__builtin_ctz(bits))];
            if (marker.size() <= n - at &&
                hands::SameBytes(data + at, marker.data(), marker.size()))
                return true;
        }
        return false;
    };
    std::size_t at = from;
#if defined(__SSE2__)
    if (firstByteCount_ <= kScanBytes) {
        // Sixteen places at a time: a place is looked at only when it holds
        // a first byte of some entry and, while there are few different
        // second bytes, the place after it one of those.
        const bool bySecond = SecondBytesFit();
        const bool oneFirst = firstByteCount_ == 1;
        auto hitsAt = [&](const char* bytes) {
            __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
            __m128i hits = _mm_cmpeq_epi8(first, Block(scanBlocks_, 0));
            if (!oneFirst) {
#pragma GCC unroll 4
                for (int k = 1; k < kScanBytes; ++k)
                    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(first, Block(scanBlocks_, k)));
            }
            if (bySecond) {
                __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 1));
                __m128i seconds = _mm_cmpeq_epi8(next, Block(secondBlocks_, 0));
#pragma GCC unroll 8
                for (int k = 1; k < kSecondScanBytes; ++k) {
                    seconds = _mm_or_si128(seconds, _mm_cmpeq_epi8(next, Block(secondBlocks_, k)));
                }
                hits = _mm_and_si128(hits, seconds);
            }
            return static_cast<unsigned>(_mm_movemask_epi8(hits));
        };
        if (places < 16) {
            // Few places (a short line): all of them as one block of a
            // zero-padded copy. A padding byte never completes an entry,
            // since the candidates are compared within the line.
            alignas(16) char copy[32] = {};
            hands::CopyBytes(copy, data, std::min<std::size_t>(n, sizeof(copy)));
            unsigned mask = hitsAt(copy) & ((1u << places) - 1) >> from << from;
            for (; mask != 0; mask &= mask - 1) {
                auto place = static_cast<std::size_t>(__builtin_ctz(mask));
                if (entryAt(place)) return place;
            }
            return best;
        }
        // A block of places p .. p + 15 reads bytes up to p + 16, which is at
        // most the last byte of the line.
        for (; at + 16 <= places; at += 16) {
            for (unsigned mask = hitsAt(data + at); mask != 0; mask &= mask - 1) {
                std::size_t place = at + static_cast<std::size_t>(__builtin_ctz(mask));
                if (entryAt(place)) return place;
            }
        }
        if (at < places) {
            // The rest as one block ending at the last place, its places
            // before `at` (already looked at) masked off.
            std::size_t block = places - 16;
            auto skip = static_cast<unsigned>(at - block);
            for (unsigned mask = hitsAt(data + block) >> skip << skip; mask != 0;
                 mask &= mask - 1) {
                std::size_t place = block + static_cast<std::size_t>(__builtin_ctz(mask));
                if (entryAt(place)) return place;
            }
        }
        return best;
    }
#endif
    for (; at < places; ++at) {
        if (firstBytes_[static_cast<unsigned char>(data[at])] && entryAt(at)) return at;
    }
    return best;
}

bool CMarkerList::Begins(std::string_view line) const {
    for (std::size_t i = 0; i < size_; ++i) {
        if (hands::StartsWith(line, markers_[i])) return true;
    }
    return false;
}
