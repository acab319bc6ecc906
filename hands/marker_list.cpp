#include "hands/marker_list.h"

#include <cassert>

#include "hands/parse_text.h"

CMarkerList::CMarkerList(std::initializer_list<std::string_view> markers) {
    assert(markers.size() <= kCapacity);
    for (std::string_view marker : markers) {
        if (marker.empty() || size_ == kCapacity) continue;
        auto bit = static_cast<std::uint16_t>(1u << size_);
        if (!firstBytes_[static_cast<unsigned char>(marker[0])]) {
            firstBytes_[static_cast<unsigned char>(marker[0])] = true;
            ++firstByteCount_;
            onlyFirstByte_ = marker[0];
        }
        if (marker.size() == 1) {
            singles_ |= bit;
        } else {
            pairs_[PairSlot(static_cast<unsigned char>(marker[0]), static_cast<unsigned char>(marker[1]))] |= bit;
        }
        markers_[size_++] = marker;
    }
}

bool CMarkerList::ContainedIn(std::string_view line) const {
    for (std::size_t i = 0, bits = singles_; bits != 0; ++i, bits >>= 1) {
        if ((bits & 1u) != 0 && line.find(markers_[i][0]) != std::string_view::npos) return true;
    }
    // With one first byte for all entries (a blank, for lists of phrases) the
    // library's byte search jumps between the candidates.
    bool single = firstByteCount_ == 1;
    for (std::size_t at = 0; at + 1 < line.size(); ++at) {
        if (single) {
            at = line.find(onlyFirstByte_, at);
            if (at == std::string_view::npos || at + 1 >= line.size()) return false;
        } else if (!firstBytes_[static_cast<unsigned char>(line[at])]) {
            continue;
        }
        unsigned bits = pairs_[PairSlot(static_cast<unsigned char>(line[at]), static_cast<unsigned char>(line[at + 1]))];
        for (std::size_t i = 0; bits != 0; ++i, bits >>= 1) {
            if ((bits & 1u) != 0 && hands::StartsWith(line.substr(at), markers_[i])) return true;
        }
    }
    return false;
}

bool CMarkerList::Begins(std::string_view line) const {
    for (std::size_t i = 0; i < size_; ++i) {
        if (hands::StartsWith(line, markers_[i])) return true;
    }
    return false;
}
