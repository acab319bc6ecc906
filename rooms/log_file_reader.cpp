#include "rooms/log_file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

// Bytes kept of the last hand taken: enough to hold its header line with the
// hand number and date, which tells a rewritten file from the one read
// before; small enough to read on every changed pass.
constexpr std::size_t kFingerprintBytes = 160;

// Reads up to size bytes at offset; the bytes actually read.
std::string ReadAt(const std::string& path, std::uint64_t offset, std::size_t size) {
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return bytes;
    bytes.resize(size);
    const ssize_t got = ::pread(fd, bytes.data(), size, static_cast<off_t>(offset));
    ::close(fd);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

}  // namespace

LogFileStatus QueryLogFileStatus(const std::string& path) {
    return QueryLogFileStatusAt(AT_FDCWD, path.c_str());
}

LogFileStatus QueryLogFileStatusAt(int folderFd, const char* name) {
    LogFileStatus status;
    struct statx sx;
    if (::statx(folderFd, name, 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return status;
    status.exists = true;
    status.isFolder = S_ISDIR(sx.stx_mode);
    status.length = sx.stx_size;
    status.lastWrite = sx.stx_mtime.tv_sec;
    status.lastWriteNs = sx.stx_mtime.tv_nsec;
    status.created = (sx.stx_mask & STATX_BTIME) != 0 ? sx.stx_btime.tv_sec : sx.stx_mtime.tv_sec;
    return status;
}

LogFileReader::LogFileReader(std::string path) : Path(std::move(path)) {}

bool LogFileReader::HasChanged() const { return HasChanged(QueryLogFileStatus(Path)); }

bool LogFileReader::HasChanged(const LogFileStatus& status) const {
    if (forgotten_ || !status.exists) return false;
    if (static_cast<std::int64_t>(status.length) != SavedLength) return true;
    return status.lastWrite != savedWrite_ || status.lastWriteNs != savedWriteNs_;
}

bool LogFileReader::Resume() {
    if (forgotten_) return false;
    if (!File.IsOpen() && !File.Open(Path)) return false;
    const std::uint64_t length = File.GetLength();
    bool restart = static_cast<std::uint64_t>(SavedPosition) > length;
    if (!restart && !fingerprint_.empty()) {
        restart = ReadAt(Path, fingerprintAt_, fingerprint_.size()) != fingerprint_;
    }
    if (restart) {
        // The text before the remembered point is gone: read the file again
        // from its start; hands already stored are recognised by number.
        SavedPosition = 0;
        fingerprint_.clear();
        tailPending = false;
    }
    File.Seek(static_cast<std::uint64_t>(SavedPosition));
    return true;
}

void LogFileReader::Remember(std::uint64_t lengthSeen, std::int64_t lastWrite,
                             std::int64_t lastWriteNs) {
    SavedPosition = static_cast<std::int64_t>(File.GetPosition());
    MarkSeen(lengthSeen, lastWrite, lastWriteNs);
}

void LogFileReader::MarkSeen(std::uint64_t lengthSeen, std::int64_t lastWrite,
                             std::int64_t lastWriteNs) {
    SavedLength = static_cast<std::int64_t>(lengthSeen);
    savedWrite_ = lastWrite;
    savedWriteNs_ = lastWriteNs;
}

void LogFileReader::TakeFingerprint(std::uint64_t handStart) {
    const auto position = static_cast<std::uint64_t>(SavedPosition);
    fingerprint_.clear();
    if (handStart >= position) return;
    const auto size =
        static_cast<std::size_t>(std::min<std::uint64_t>(position - handStart, kFingerprintBytes));
    fingerprint_ = ReadAt(Path, handStart, size);
    fingerprintAt_ = handStart;
    if (fingerprint_.size() != size) fingerprint_.clear();
}

void LogFileReader::Forget() {
    SavedLength = 0;
    SavedPosition = 0;
    forgotten_ = true;
    tailPending = false;
    fingerprint_.clear();
    File.Close();
}
