#pragma once
// LogFileReader: what the log reader remembers about one hand-history file
// for the whole session — how far it has read and how long the file was
// then — so that each pass reads only what the client appended since.
//
// Besides the remembered point it keeps what makes live reading safe while
// the client writes: the file's last write time, the first bytes of the last
// hand taken (to notice a file that was rewritten), and whether a
// last hand is being held back until the file stops growing.

#include <cstdint>
#include <string>

#include "hands/stdio_file_custom.h"

// Size, times and kind of a file, as one status query gives them.
struct LogFileStatus {
    bool exists = false;
    bool isFolder = false;
    std::uint64_t length = 0;
    std::int64_t lastWrite = 0;    // seconds since 1970
    std::int64_t lastWriteNs = 0;  // nanoseconds within that second
    std::int64_t created = 0;      // birth time where the file system records it, else lastWrite
};

// The status of path (following links); exists is false when it cannot be read.
LogFileStatus QueryLogFileStatus(const std::string& path);
// The same for `name` inside the open folder `folderFd`, which spares the
// walk of the whole path on every query.
LogFileStatus QueryLogFileStatusAt(int folderFd, const char* name);

class LogFileReader {
  public:
    explicit LogFileReader(std::string path);

    // False for a forgotten reader and when the file cannot be queried;
    // otherwise true when the file's length differs from the remembered
    // length, or its last write time differs from the one remembered with it.
    bool HasChanged() const;
    // The same test against a status the caller already has.
    bool HasChanged(const LogFileStatus& status) const;
    // Opens the file when needed and moves to the remembered position. When
    // the file became shorter than that position, or the bytes just before it
    // are no longer those seen when it was remembered (the client rewrote the
    // file), the position goes back to the start of the file. False when the
    // file cannot be opened.
    bool Resume();
    // Remembers the current read position and `lengthSeen`, the file length
    // the pass started from, with the last write time the pass saw.
    void Remember(std::uint64_t lengthSeen, std::int64_t lastWrite, std::int64_t lastWriteNs);
    // Notes that the file was looked at up to `lengthSeen` without moving the
    // remembered position, so that unchanged text is not read again until
    // the file changes.
    void MarkSeen(std::uint64_t lengthSeen, std::int64_t lastWrite, std::int64_t lastWriteNs);
    // Stores the first bytes of the last hand taken, which starts at
    // `handStart` (its header holds the hand number), to recognise a
    // rewritten file later.
    void TakeFingerprint(std::uint64_t handStart);
    // Drops the remembered point and closes the file for good: the file is
    // never read again this session.
    void Forget();
    // Whether Forget() was called.
    bool IsForgotten() const { return forgotten_; }
    // Closes the file between passes (reopened by Resume()).
    void Close() { File.Close(); }

    std::string Path;
    CStdioFileCustom File;
    std::int64_t SavedLength = -1;
    std::int64_t SavedPosition = 0;

    // A hand that ran into the end of the file is held back while the file
    // may still grow; tailLength is the length at which it was held.
    bool tailPending = false;
    std::uint64_t tailLength = 0;

  private:
    bool forgotten_ = false;
    std::int64_t savedWrite_ = 0;
    std::int64_t savedWriteNs_ = 0;
    std::uint64_t fingerprintAt_ = 0;
    std::string fingerprint_;  // bytes at fingerprintAt_, before SavedPosition
};
