#include "html/escape.h"

#include <array>

namespace html {

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

std::string EscapeNameForScript(std::string_view name) {
    std::string out;
    out.reserve(name.size() + 4);
    for (char c : name) {
        switch (c) {
            case '\'': out += "/1"; break;
            case '"': out += "/2"; break;
            case '`': out += "/3"; break;
            case '/': out += "//"; break;
            case '<': out += "/4"; break;
            case '>': out += "/5"; break;
            case '=': out += "/6"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

std::string UnescapeNameFromScript(std::string_view escaped) {
    std::string out;
    out.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        char c = escaped[i];
        if (c != '/' || i + 1 >= escaped.size()) {
            out.push_back(c);
            continue;
        }
        char next = escaped[i + 1];
        static constexpr std::string_view kCodes = "123456";
        static constexpr std::string_view kChars = "'\"`<>=";
        if (next == '/') {
            out.push_back('/');
            ++i;
        } else if (auto at = kCodes.find(next); at != std::string_view::npos) {
            out.push_back(kChars[at]);
            ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string_view CutGameTypeTag(std::string_view key) {
    for (std::string_view tag : {" (T-L)", " (T-NL)", " (NL)", " (PM)"}) {
        if (key.size() >= tag.size() && key.substr(key.size() - tag.size()) == tag) {
            return key.substr(0, key.size() - tag.size());
        }
    }
    return key;
}

std::string SafeFileNamePart(std::string_view name, std::size_t maxBytes) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) continue;
        switch (c) {
            case '/': case '\\': case ':': case '*': case '?': case '"':
            case '<': case '>': case '|':
                continue;
            default: out.push_back(c);
        }
    }
    // Dots alone cannot climb out once separators are gone, but a name of only
    // dots ("." or "..") still means a folder, and runs of dots are removed
    // so that no ".." survives anywhere.
    std::string cleaned;
    cleaned.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '.' && ((i + 1 < out.size() && out[i + 1] == '.') ||
                              (!cleaned.empty() && cleaned.back() == '.'))) {
            continue;
        }
        cleaned.push_back(out[i]);
    }
    if (cleaned.size() > maxBytes) {
        std::size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(cleaned[cut]) & 0xC0) == 0x80) --cut;
        cleaned.resize(cut);
    }
    // Leading and trailing blanks and dots make names that look alike or hide.
    std::string_view trimmed = cleaned;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '.')) {
        trimmed.remove_suffix(1);
    }
    while (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '.')) {
        trimmed.remove_prefix(1);
    }
    if (trimmed.empty()) return std::string(1, '_');
    return std::string(trimmed);
}

}  // namespace html
