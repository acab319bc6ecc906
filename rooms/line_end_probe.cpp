#include "rooms/line_end_probe.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "hands/text_encoding.h"

namespace {

constexpr std::size_t kBlock = 4096;
// A line longer than this is not blank; bounding the look-back keeps the
// probe cheap on hostile files with huge lines.
constexpr std::size_t kBlankLookBack = 512;

}  // namespace

CLineEndProbe::CLineEndProbe(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;
    unsigned char head[2] = {0, 0};
    utf16_ = ::pread(fd_, head, 2, 0) == 2 && head[0] == 0xFF && head[1] == 0xFE;
    if (utf16_) return;
    // The line reader's rule: lines end in CR alone when its first block
    // holds carriage returns and no line feed.
    std::array<char, 1 << 16> block{};
    const ssize_t got = ::pread(fd_, block.data(), block.size(), 0);
    if (got > 0 &&
        text::EndsLinesWithCrAlone(std::string_view(block.data(), static_cast<std::size_t>(got)))) {
        lineEnd_ = '\r';
    }
}

CLineEndProbe::~CLineEndProbe() {
    if (fd_ >= 0) ::close(fd_);
}

std::uint64_t CLineEndProbe::EndOfCompleteText(std::uint64_t from, std::uint64_t length) const {
    if (fd_ < 0 || length <= from) return from;
    std::array<char, kBlock> block{};
    std::uint64_t end = length;
    // In UTF-16 the line end is the unit 0A 00 at an even offset; scan units.
    if (utf16_ && (end % 2) != 0) --end;
    while (end > from) {
        std::uint64_t start = std::max<std::uint64_t>(from, end >= kBlock ? end - kBlock : 0);
        // Keep UTF-16 blocks on unit boundaries (even offsets).
        if (utf16_ && (start % 2) != 0) ++start;
        if (start >= end) break;
        const auto size = static_cast<std::size_t>(end - start);
        const ssize_t got = ::pread(fd_, block.data(), size, static_cast<off_t>(start));
        if (got != static_cast<ssize_t>(size)) return from;
        if (!utf16_) {
            for (std::size_t i = size; i > 0; --i) {
                if (block[i - 1] == lineEnd_) return start + i;
            }
        } else {
            for (std::size_t i = size; i >= 2; i -= 2) {
                if (block[i - 2] == '\n' && block[i - 1] == '\0') return start + i;
            }
        }
        end = start;
    }
    return from;
}

bool CLineEndProbe::LineBeforeIsBlank(std::uint64_t end) const {
    if (fd_ < 0 || end == 0) return false;
    const std::uint64_t start = end > kBlankLookBack ? end - kBlankLookBack : 0;
    std::array<char, kBlankLookBack> block{};
    const auto size = static_cast<std::size_t>(end - start);
    if (::pread(fd_, block.data(), size, static_cast<off_t>(start)) != static_cast<ssize_t>(size))
        return false;
    const std::size_t unit = utf16_ ? 2 : 1;
    const char lineEnd = utf16_ ? '\n' : lineEnd_;
    if (size < unit || block[size - unit] != lineEnd) return false;
    // Walk back over the line's blanks to the previous line end.
    std::size_t i = size - unit;
    while (i >= unit) {
        const char c = block[i - unit];
        if (utf16_ && block[i - 1] != '\0') return false;
        if (c == lineEnd) return true;
        if (c != ' ' && c != '\t' && c != '\r') return false;
        i -= unit;
    }
    // The line starts the file (or the look-back window, then it is too long
    // to be taken for blank unless the window reaches the file's start).
    return start == 0 || (utf16_ && start <= 2);
}
