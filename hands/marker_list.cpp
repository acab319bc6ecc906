#include "hands/marker_list.h"

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
            if (firstByteCount_ < kScanBytes) scanBytes_[static_cast<std::size_t>(firstByteCount_)] = marker[0];
            ++firstByteCount_;
        }
        if (marker.size() == 1) {
            singles_ |= bit;
        } else {
            pairs_[PairSlot(static_cast<unsigned char>(marker[0]), static_cast<unsigned char>(marker[1]))] |= bit;
        }
        markers_[size_++] = marker;
    }
    for (int k = 0; k < kScanBytes; ++k) {
        scanBlocks_[static_cast<std::size_t>(k)].fill(scanBytes_[static_cast<std::size_t>(k < firstByteCount_ ? k : 0)]);
    }
}

bool CMarkerList::ContainedIn(std::string_view line) const {
    for (std::size_t i = 0, bits = singles_; bits != 0; ++i, bits >>= 1) {
        if ((bits & 1u) != 0 && line.find(markers_[i][0]) != std::string_view::npos) return true;
    }
    const std::size_t n = line.size();
    if (n < 2) return false;
    const char* data = line.data();
    // An entry of two or more bytes can begin at places 0 .. n - 2; the byte
    // pair there selects the few entries worth comparing.
    auto entryAt = [&](std::size_t at) {
        unsigned bits = pairs_[PairSlot(static_cast<unsigned char>(data[at]), static_cast<unsigned char>(data[at + 1]))];
        for (; bits != 0; bits &= bits - 1) {
            std::string_view marker = markers_[static_cast<std::size_t>(__builtin_ctz(bits))];
            if (marker.size() <= n - at && std::memcmp(data + at, marker.data(), marker.size()) == 0) return true;
        }
        return false;
    };
    std::size_t at = 0;
#if defined(__SSE2__)
    if (firstByteCount_ <= kScanBytes) {
        // Sixteen places at a time: only places holding a first byte of some
        // entry are looked at. A block reads bytes at .. at + 15, all before
        // the last byte of the line.
        const std::size_t places = n - 1;
        if (places >= 16) {
            auto scan = [&](int k) {
                return _mm_load_si128(reinterpret_cast<const __m128i*>(scanBlocks_[static_cast<std::size_t>(k)].data()));
            };
            auto blockHits = [&](std::size_t from) {
                __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
                __m128i hits = _mm_cmpeq_epi8(block, scan(0));
                for (int k = 1; k < firstByteCount_; ++k) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, scan(k)));
                return static_cast<unsigned>(_mm_movemask_epi8(hits));
            };
            for (; at + 16 <= places; at += 16) {
                for (unsigned mask = blockHits(at); mask != 0; mask &= mask - 1) {
                    if (entryAt(at + static_cast<std::size_t>(__builtin_ctz(mask)))) return true;
                }
            }
            if (at < places) {
                // The rest as one block ending at the last place, its places
                // before `at` (already looked at) masked off.
                std::size_t from = places - 16;
                for (unsigned mask = blockHits(from) >> (at - from) << (at - from); mask != 0; mask &= mask - 1) {
                    if (entryAt(from + static_cast<std::size_t>(__builtin_ctz(mask)))) return true;
                }
                return false;
            }
            return false;
        }
    }
#endif
    for (; at + 1 < n; ++at) {
        if (firstBytes_[static_cast<unsigned char>(data[at])] && entryAt(at)) return true;
    }
    return false;
}

bool CMarkerList::Begins(std::string_view line) const {
    for (std::size_t i = 0; i < size_; ++i) {
        if (hands::StartsWith(line, markers_[i])) return true;
    }
    return false;
}
