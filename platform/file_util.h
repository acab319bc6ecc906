#pragma once
// Whole-file reads and crash-safe whole-file writes, used for the settings
// file and the registry store.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Largest file ReadWholeFile accepts; settings, registry and image files are
// far smaller, and the bound keeps a hostile file from exhausting memory.
inline constexpr std::size_t kMaxReadFileSize = 256u * 1024u * 1024u;

// The file's bytes, or nothing when it cannot be read or exceeds maxSize.
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         std::size_t maxSize = kMaxReadFileSize);

// Replaces the file at path with content so that a reader (or a process
// started after a crash) sees either the old file or the new one whole: the
// bytes go to a temporary file in the same folder, are synced, and the
// temporary file is renamed over path. Returns false (leaving the old file
// untouched) on any error.
bool WriteFileAtomically(const std::string& path, std::string_view content);

// Replaces a generated page, which is written again whenever it is next
// shown: a reader sees the old page or the new one whole, and a write that
// fails leaves the old page. Nothing is forced to the disk, and the
// temporary file beside the page ("PAGE.tmp~") is kept: the two swap
// places, so the old page becomes the next write's temporary file and no
// file is created or deleted for each write (creating files is what such
// writes cost most on a busy folder).
bool ReplacePage(const std::string& path, std::string_view content);

}  // namespace platform
