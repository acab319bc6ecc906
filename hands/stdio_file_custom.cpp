#include "hands/stdio_file_custom.h"

#include <sys/stat.h>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "hands/eastern_time.h"
#include "hands/text_encoding.h"
#include "platform/text_util.h"

namespace {

constexpr std::size_t kChunk = 1 << 16;
constexpr char kFormFeed = '\f';

// The read buffer of the last reader closed on this thread, kept for the
// next file opened: a loader reads thousands of files one after the other,
// and a fresh chunk for each would mostly be fresh pages for the kernel to
// clear, the last file's chunk having gone to other storage meanwhile.
// Null once the thread's spare is destroyed: a reader still open when the
// thread ends (a static one at exit) then just frees its chunk.
thread_local std::string* tSpare = nullptr;
struct SpareOwner {
    std::string buffer;
    SpareOwner() { tSpare = &buffer; }
    ~SpareOwner() { tSpare = nullptr; }
    SpareOwner(const SpareOwner&) = delete;
    SpareOwner& operator=(const SpareOwner&) = delete;
};
std::string* SpareBuffer() {
    thread_local SpareOwner owner;
    return tSpare;
}

}  // namespace

CStdioFileCustom::CStdioFileCustom() = default;

CStdioFileCustom::~CStdioFileCustom() { Close(); }

bool CStdioFileCustom::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) return false;
    // The reader reads whole chunks itself; a stdio buffer of its own for
    // every file would only be one more block allocated and freed.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    if (std::string* spare = SpareBuffer()) buffer_.swap(*spare);
    buffer_.clear();
    buffer_.reserve(kChunk + 1);
    struct stat st {};
    if (fstat(fileno(file_), &st) != 0 || S_ISDIR(st.st_mode)) {
        Close();
        return false;
    }
    SkipByteOrderMark();
    // Hand times of this file are converted in the machine's zone as it is now.
    ReloadTimeZone();
    return true;
}

void CStdioFileCustom::OpenText(std::string_view text) {
    Close();
    buffer_.assign(text.data(), text.size());
    fromMemory_ = true;
    SkipByteOrderMark();
    ReloadTimeZone();
}

void CStdioFileCustom::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    fromMemory_ = false;
    // The storage goes too: a loader keeps one reader per history file for
    // the whole session, and between passes a closed reader needs none. A
    // file's chunk waits for the next file instead (a whole text read from
    // memory is not kept).
    if (buffer_.capacity() > kChunk && buffer_.capacity() <= 2 * kChunk + 1) {
        std::string* spare = SpareBuffer();
        if (spare != nullptr && spare->capacity() <= kChunk) {
            buffer_.clear();
            spare->swap(buffer_);
        }
    }
    std::string().swap(buffer_);
    std::string().swap(utf16Buffer_);
    bufferPos_ = 0;
    bufferStart_ = 0;
    utf16_ = false;
    bomLength_ = 0;
    lastHadEnd_ = false;
    lineEnd_ = '\n';
}

std::uint64_t CStdioFileCustom::SkipByteOrderMark() {
    // Peek at the first bytes without disturbing the buffer logic: read them
    // through the normal path from offset 0, then position after the mark.
    Seek(0);
    char head[3] = {0, 0, 0};
    std::size_t got = 0;
    if (fromMemory_) {
        got = std::min<std::size_t>(3, buffer_.size());
        std::memcpy(head, buffer_.data(), got);
    } else {
        got = std::fread(head, 1, 3, file_);
        std::fseek(file_, 0, SEEK_SET);
    }
    bomLength_ = 0;
    utf16_ = false;
    if (got >= 3 && std::memcmp(head, "\xEF\xBB\xBF", 3) == 0) {
        bomLength_ = 3;
    } else if (got >= 2 && std::memcmp(head, "\xFF\xFE", 2) == 0) {
        bomLength_ = 2;
        utf16_ = true;
    }
    // Lines end in LF (or CR LF); a file whose first block holds carriage
    // returns and no line feed at all ends its lines in CR alone. Text
    // without a mark may still be UTF-16LE (one client writes it so). UTF-16
    // files keep the LF rule.
    lineEnd_ = '\n';
    if (bomLength_ == 0) {
        std::string_view first;
        // One byte past the first chunk, so that a CR ending the chunk shows
        // whether an LF follows it.
        if (fromMemory_) {
            first = std::string_view(buffer_).substr(
                0, std::min<std::size_t>(buffer_.size(), kChunk + 1));
        } else {
            // The sample stays as the first buffered chunk, so the start of
            // the file is neither stored twice nor read twice.
            buffer_.resize(kChunk + 1);
            buffer_.resize(std::fread(buffer_.data(), 1, buffer_.size(), file_));
            bufferStart_ = 0;
            bufferPos_ = 0;
            first = buffer_;
        }
        utf16_ = text::LooksLikeUtf16LeWithoutMark(first);
        if (!utf16_ && text::EndsLinesWithCrAlone(first)) lineEnd_ = '\r';
    }
    Seek(bomLength_);
    return bomLength_;
}

bool CStdioFileCustom::FillBuffer() {
    // Precondition: everything in buffer_ has been consumed.
    if (fromMemory_) return false;
    if (file_ == nullptr) return false;
    bufferStart_ += buffer_.size();
    bufferPos_ = 0;
    buffer_.resize(kChunk);
    std::clearerr(file_);  // the file may have grown since the last end of file
    std::size_t n = std::fread(buffer_.data(), 1, kChunk, file_);
    buffer_.resize(n);
    return n > 0;
}

bool CStdioFileCustom::ReadRawLine(std::string& raw) {
    raw.clear();
    lastHadEnd_ = false;
    for (;;) {
        if (bufferPos_ >= buffer_.size() && !FillBuffer()) return !raw.empty();
        const char* start = buffer_.data() + bufferPos_;
        std::size_t avail = buffer_.size() - bufferPos_;
        if (!utf16_) {
            const void* nl = std::memchr(start, lineEnd_, avail);
            if (nl != nullptr) {
                std::size_t n = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
                raw.append(start, n);
                bufferPos_ += n + 1;
                lastHadEnd_ = true;
                return true;
            }
            raw.append(start, avail);
            bufferPos_ = buffer_.size();
            continue;
        }
        // UTF-16LE: the line end is the unit 0x000A, two bytes at an even
        // offset of the line. Copy unit by unit; a chunk may split a unit.
        while (bufferPos_ < buffer_.size()) {
            raw.push_back(buffer_[bufferPos_++]);
            if (raw.size() % 2 == 0 && raw[raw.size() - 2] == '\n' && raw.back() == '\0') {
                raw.resize(raw.size() - 2);
                lastHadEnd_ = true;
                return true;
            }
        }
    }
}

std::size_t CStdioFileCustom::KeptLength(std::string_view raw, std::uint64_t lineStart) {
    std::size_t n = raw.size();
    if (n > 0 && raw[n - 1] == '\r' && lastHadEnd_) --n;
    if (n > 2) {
        const void* ff = std::memchr(raw.data() + 2, kFormFeed, n - 2);
        if (ff != nullptr) {
            n = static_cast<std::size_t>(static_cast<const char*>(ff) - raw.data());
            Seek(lineStart + n + 1);
            lastHadEnd_ = true;
        }
    }
    return n;
}

bool CStdioFileCustom::ReadString(std::string& line) {
    line.clear();
    if (!IsOpen()) return false;
    std::uint64_t lineStart = GetPosition();

    if (!utf16_) {
        // The caller's string is reused as the buffer, so a warm reader
        // allocates nothing per line.
        if (!ReadRawLine(line)) return false;
        line.resize(KeptLength(line, lineStart));
        text::NormaliseLineToUtf8(line);
        return true;
    }

    // UTF-16LE: strip a CR unit before the LF, apply the form-feed rule on
    // code units, then convert.
    std::string& raw = utf16Buffer_;
    if (!ReadRawLine(raw)) return false;
    std::size_t units = raw.size() / 2;
    if (lastHadEnd_ && units > 0 && raw[2 * units - 2] == '\r' && raw[2 * units - 1] == '\0') {
        --units;
    }
    for (std::size_t i = 2; i < units; ++i) {
        if (raw[2 * i] == kFormFeed && raw[2 * i + 1] == '\0') {
            units = i;
            Seek(lineStart + 2 * (i + 1));
            lastHadEnd_ = true;
            break;
        }
    }
    line =
        platform::Utf16LeBytesToUtf8(reinterpret_cast<const std::uint8_t*>(raw.data()), 2 * units);
    return true;
}

bool CStdioFileCustom::ReadLine(std::string_view& line, std::string& scratch) {
    line = {};
    if (!IsOpen()) return false;
    if (!utf16_) {
        if (bufferPos_ >= buffer_.size() && !FillBuffer()) {
            lastHadEnd_ = false;
            return false;
        }
        const char* start = buffer_.data() + bufferPos_;
        std::size_t avail = buffer_.size() - bufferPos_;
        // One pass finds the line end and tells whether the line is plain
        // (no byte above 0x7F, no form feed), which is most lines: those
        // need neither the form-feed rule nor a UTF-8 check.
        const void* nl = nullptr;
        bool plain = false;
#if defined(__SSE2__)
        {
            const __m128i newline = _mm_set1_epi8(lineEnd_);
            const __m128i formFeed = _mm_set1_epi8(kFormFeed);
            std::size_t i = 0;
            bool special = false;
            for (; i + 16 <= avail; i += 16) {
                __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(start + i));
                auto ends =
                    static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, newline)));
                auto odd =
                    static_cast<unsigned>(_mm_movemask_epi8(block)) |
                    static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, formFeed)));
                if (ends != 0) {
                    unsigned before = (ends & (0u - ends)) - 1;  // bytes before the first line end
                    special = special || (odd & before) != 0;
                    nl = start + i + static_cast<std::size_t>(__builtin_ctz(ends));
                    plain = !special;
                    break;
                }
                special = special || odd != 0;
            }
            if (nl == nullptr && i < avail) nl = std::memchr(start + i, lineEnd_, avail - i);
        }
#else
        nl = std::memchr(start, lineEnd_, avail);
#endif
        if (nl != nullptr) {
            // The whole line is in the buffer: hand it out in place unless it
            // must be re-encoded.
            std::uint64_t lineStart = GetPosition();
            auto n = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
            bufferPos_ += n + 1;
            lastHadEnd_ = true;
            std::string_view view(start, n);
            if (plain) {
                if (!view.empty() && view.back() == '\r') view.remove_suffix(1);
                line = view;
                return true;
            }
            view = view.substr(0, KeptLength(view, lineStart));
            if (text::IsValidUtf8(view)) {
                line = view;
            } else {
                scratch.assign(view);
                text::NormaliseLineToUtf8(scratch);
                line = scratch;
            }
            return true;
        }
    }
    // A line that runs past the buffered chunk, or a UTF-16 file.
    if (!ReadString(scratch)) return false;
    line = scratch;
    return true;
}

std::uint64_t CStdioFileCustom::Seek(std::uint64_t offset) {
    if (offset < bomLength_) offset = bomLength_;
    if (fromMemory_) {
        // The text is the buffer itself, starting at offset 0.
        if (offset > buffer_.size()) offset = buffer_.size();
        bufferPos_ = static_cast<std::size_t>(offset);
        return offset;
    }
    if (file_ == nullptr) return 0;
    if (offset >= bufferStart_ && offset <= bufferStart_ + buffer_.size()) {
        bufferPos_ = static_cast<std::size_t>(offset - bufferStart_);
        return offset;
    }
    std::uint64_t length = GetLength();
    if (offset > length) offset = length;
    fseeko(file_, static_cast<off_t>(offset), SEEK_SET);
    buffer_.clear();
    bufferStart_ = offset;
    bufferPos_ = 0;
    return offset;
}

std::uint64_t CStdioFileCustom::GetLength() const {
    if (fromMemory_) return buffer_.size();
    if (file_ == nullptr) return 0;
    struct stat st {};
    if (fstat(fileno(file_), &st) != 0) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}
