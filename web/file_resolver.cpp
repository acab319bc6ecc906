#include "web/file_resolver.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

namespace web {

namespace fs = std::filesystem;

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}

bool IsInside(const fs::path& root, const fs::path& path) {
    auto r = root.begin();
    auto p = path.begin();
    for (; r != root.end(); ++r, ++p) {
        if (p == path.end() || *r != *p) return false;
    }
    return true;
}

// The entry of dir named name, exactly or else without regard to ASCII
// letter case (the smallest such name, so the answer does not depend on the
// directory's order); nothing when there is none.
std::optional<fs::path> FindEntry(const fs::path& dir, const std::string& name) {
    std::error_code error;
    const fs::path exact = dir / name;
    if (fs::symlink_status(exact, error).type() != fs::file_type::not_found && !error) return exact;
    const std::string wanted = LowerAscii(name);
    std::optional<std::string> best;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (LowerAscii(entry) == wanted && (!best || entry < *best)) best = entry;
    }
    if (!best) return std::nullopt;
    return dir / *best;
}

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// The charset named by a <meta charset=...> or a <meta http-equiv ...
// content="...; charset=..."> within the first 2 KB; "" when none.
std::string MetaCharset(std::string_view page) {
    const std::string head = LowerAscii(page.substr(0, 2048));
    std::size_t at = 0;
    while ((at = head.find("<meta", at)) != std::string::npos) {
        const std::size_t end = head.find('>', at);
        const std::string tag =
            head.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at += 5;
        const std::size_t cs = tag.find("charset=");
        if (cs == std::string::npos) continue;
        std::size_t b = cs + 8;
        while (b < tag.size() && (tag[b] == '"' || tag[b] == '\'' || tag[b] == ' ')) ++b;
        std::size_t e = b;
        while (e < tag.size() && (std::isalnum(static_cast<unsigned char>(tag[e])) ||
                                  tag[e] == '-' || tag[e] == '_' || tag[e] == ':' || tag[e] == '.'))
            ++e;
        if (e > b) return tag.substr(b, e - b);
    }
    return {};
}

}  // namespace

Resolved ResolveBelow(const fs::path& root, std::string_view urlPath) {
    if (urlPath.find('\0') != std::string_view::npos) return {Lookup::kForbidden, {}};
    std::vector<std::string> parts;
    std::string part;
    const auto flush = [&]() -> bool {
        if (part == "..") {
            if (parts.empty()) return false;  // would climb above the folder
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
        return true;
    };
    for (char c : urlPath) {
        if (c == '/' || c == '\\') {
            if (!flush()) return {Lookup::kForbidden, {}};
        } else {
            part += c;
        }
    }
    if (!flush()) return {Lookup::kForbidden, {}};
    if (parts.empty()) return {Lookup::kNotFound, {}};

    std::error_code error;
    const fs::path base = fs::canonical(root, error);
    if (error) return {Lookup::kNotFound, {}};
    fs::path current = base;
    for (const std::string& name : parts) {
        const std::optional<fs::path> next = FindEntry(current, name);
        if (!next) return {Lookup::kNotFound, {}};
        // Following a symlink is fine while it stays inside the folder.
        current = fs::canonical(*next, error);
        if (error) return {Lookup::kNotFound, {}};
        if (!IsInside(base, current)) return {Lookup::kForbidden, {}};
    }
    if (!fs::is_regular_file(current, error)) return {Lookup::kNotFound, {}};
    return {Lookup::kFound, current};
}

bool IsHtmlFile(const fs::path& path) {
    const std::string ext = LowerAscii(path.extension().string());
    return ext == ".htm" || ext == ".html";
}

std::string DetectCharset(std::string_view page) {
    std::string meta = MetaCharset(page);
    if (!meta.empty()) return meta;
    return ValidUtf8(page) ? "utf-8" : "windows-1252";
}

std::string ContentTypeFor(const fs::path& path, std::string_view content) {
    struct Type {
        const char* ext;
        const char* type;
        bool text;
    };
    static constexpr Type kTypes[] = {
        {".htm", "text/html", true},       {".html", "text/html", true},
        {".css", "text/css", true},        {".js", "text/javascript", true},
        {".mjs", "text/javascript", true}, {".json", "application/json", false},
        {".txt", "text/plain", true},      {".ini", "text/plain", true},
        {".log", "text/plain", true},      {".svg", "image/svg+xml", false},
        {".png", "image/png", false},      {".gif", "image/gif", false},
        {".jpg", "image/jpeg", false},     {".jpeg", "image/jpeg", false},
        {".bmp", "image/bmp", false},      {".ico", "image/x-icon", false},
        {".woff2", "font/woff2", false},   {".woff", "font/woff", false},
    };
    const std::string ext = LowerAscii(path.extension().string());
    for (const Type& t : kTypes) {
        if (ext != t.ext) continue;
        if (!t.text) return t.type;
        const std::string charset = IsHtmlFile(path)
                                        ? DetectCharset(content)
                                        : (ValidUtf8(content) ? "utf-8" : "windows-1252");
        return std::string(t.type) + "; charset=" + charset;
    }
    return "application/octet-stream";
}

std::string EncodeUrlPath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : path) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

}  // namespace web
