#include "hands/marker_list.h"

#include <algorithm>
#include <cassert>
#include <cstring>

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
            if (firstByteCount_ < kScanBytes) scanBlocks_[static_cast<std::size_t>(firstByteCount_)].fill(marker[0]);
            ++firstByteCount_;
        }
        if (marker.size() == 1) {
            singles_ |= bit;
        } else {
            pairs_[PairSlot(static_cast<unsigned char>(marker[0]), static_cast<unsigned char>(marker[1]))] |= bit;
        }
        markers_[size_++] = marker;
    }
}

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
        unsigned bits = pairs_[PairSlot(static_cast<unsigned char>(data[at]), static_cast<unsigned char>(data[at + 1]))];
        for (; bits != 0; bits &= bits - 1) {
            std::string_view marker = markers_[static_cast<std::size_t>(__builtin_ctz(bits))];
            if (marker.size() <= n - at && std::memcmp(data + at, marker.data(), marker.size()) == 0) return true;
        }
        return false;
    };
    std::size_t at = from;
#if defined(__SSE2__)
    if (firstByteCount_ <= kScanBytes && places - from >= 16) {
        // Sixteen places at a time: only places holding a first byte of some
        // entry are looked at. A block of places p .. p + 15 reads bytes up
        // to p + 15, before the last byte of the line.
        auto scan = [&](int k) {
            return _mm_load_si128(reinterpret_cast<const __m128i*>(scanBlocks_[static_cast<std::size_t>(k)].data()));
        };
        auto blockHits = [&](std::size_t block) {
            __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + block));
            __m128i hits = _mm_cmpeq_epi8(bytes, scan(0));
            for (int k = 1; k < firstByteCount_; ++k) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, scan(k)));
            return static_cast<unsigned>(_mm_movemask_epi8(hits));
        };
        for (; at + 16 <= places; at += 16) {
            for (unsigned mask = blockHits(at); mask != 0; mask &= mask - 1) {
                std::size_t place = at + static_cast<std::size_t>(__builtin_ctz(mask));
                if (entryAt(place)) return place;
            }
        }
        if (at < places) {
            // The rest as one block ending at the last place, its places
            // before `at` (already looked at) masked off.
            std::size_t block = places - 16;
            auto skip = static_cast<unsigned>(at - block);
            for (unsigned mask = blockHits(block) >> skip << skip; mask != 0; mask &= mask - 1) {
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
