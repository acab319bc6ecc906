#pragma once
// Finds the file a request names below a served folder, the way pages written
// for a case-insensitive file system expect: names are matched without regard
// to letter case, backslashes are read as slashes, ".." never climbs above the
// folder, and a symlink whose target lies outside the folder is refused. Also
// names the content type (and the charset of text) of what is sent.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace web {

enum class Lookup { kFound, kNotFound, kForbidden };

struct Resolved {
    Lookup lookup = Lookup::kNotFound;
    std::filesystem::path path;  // the canonical path of the file when found
};

// urlPath is the request's path after percent-decoding.
Resolved ResolveBelow(const std::filesystem::path& root, std::string_view urlPath);

// The Content-Type header for a file of that name and content; text types
// carry the charset the text is written in.
std::string ContentTypeFor(const std::filesystem::path& path, std::string_view content);

// The charset a page is written in: the one its <meta> names, else "utf-8"
// when the bytes are valid UTF-8, else "windows-1252".
std::string DetectCharset(std::string_view page);

bool IsHtmlFile(const std::filesystem::path& path);

// The path as a URL path, every byte but unreserved ones and "/" escaped.
std::string EncodeUrlPath(std::string_view path);

}  // namespace web
