#include "platform/ini_document.h"

#include <charconv>
#include <climits>

#include "platform/text_util.h"

namespace platform {

IniDocument::Line IniDocument::ParseLine(std::string text) {
    Line line;
    const std::string_view t = TrimSpace(text);
    if (!t.empty() && t.front() == '[') {
        const std::size_t close = t.find(']');
        if (close != std::string_view::npos) {
            line.kind = Line::kSection;
            line.name = std::string(TrimSpace(t.substr(1, close - 1)));
        }
    } else if (!t.empty() && t.front() != ';') {
        const std::size_t eq = t.find('=');
        if (eq != std::string_view::npos && eq > 0) {
            line.kind = Line::kEntry;
            line.name = std::string(TrimSpace(t.substr(0, eq)));
            line.value = std::string(TrimSpace(t.substr(eq + 1)));
            if (line.name.empty()) line.kind = Line::kOther;
        }
    }
    line.text = std::move(text);
    return line;
}

IniDocument::IniDocument(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        bom_ = true;
        text.remove_prefix(3);
    }
    const std::size_t firstLf = text.find('\n');
    crlf_ = firstLf != std::string_view::npos && firstLf > 0 && text[firstLf - 1] == '\r';
    finalNewline_ = text.empty() || text.back() == '\n';
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        // Only the CR of a CR LF pair is a line ending; a lone CR is text.
        std::string eol = end < text.size() ? "\n" : "";
        if (end < text.size() && !raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
            eol = "\r\n";
        }
        lines_.push_back(ParseLine(std::string(raw)));
        lines_.back().eol = std::move(eol);
        pos = end + 1;
    }
}

std::size_t IniDocument::FindSection(std::string_view section) const {
    const std::string_view wanted = TrimSpace(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Line::kSection && EqualsNoCase(lines_[i].name, wanted)) return i;
    }
    return std::string::npos;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Line::kSection) ++i;
    return i;
}

std::size_t IniDocument::FindEntry(std::size_t header, std::string_view key) const {
    const std::string_view wanted = TrimSpace(key);
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Line::kEntry && EqualsNoCase(lines_[i].name, wanted)) return i;
    }
    return std::string::npos;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) return std::nullopt;
    const std::size_t entry = FindEntry(header, key);
    if (entry == std::string::npos) return std::nullopt;
    std::string_view v = lines_[entry].value;
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const auto hasBreak = [](std::string_view s) {
        return s.find_first_of("\r\n") != std::string_view::npos;
    };
    const std::string_view cleanSection = TrimSpace(section);
    const std::string_view cleanKey = TrimSpace(key);
    if (hasBreak(section) || hasBreak(key) || hasBreak(value) ||
        cleanSection.find(']') != std::string_view::npos || cleanKey.empty() ||
        cleanKey.find('=') != std::string_view::npos || cleanKey.front() == '[' ||
        cleanKey.front() == ';') {
        return false;
    }
    std::string text = std::string(cleanKey) + "=" + std::string(value);
    std::size_t header = FindSection(cleanSection);
    if (header == std::string::npos) {
        if (!lines_.empty() && !TrimSpace(lines_.back().text).empty())
            lines_.push_back(ParseLine(""));
        lines_.push_back(ParseLine("[" + std::string(cleanSection) + "]"));
        lines_.push_back(ParseLine(std::move(text)));
        return true;
    }
    const std::size_t entry = FindEntry(header, cleanKey);
    if (entry != std::string::npos) {
        // Keep the key's spelling as it is in the file.
        std::string eol = lines_[entry].eol;
        lines_[entry] = ParseLine(lines_[entry].name + "=" + std::string(value));
        lines_[entry].eol = std::move(eol);
        return true;
    }
    // Insert after the section's last non-blank line, so the blank line that
    // separates it from the next section stays in place.
    std::size_t at = SectionEnd(header);
    while (at > header + 1 && TrimSpace(lines_[at - 1].text).empty()) --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), ParseLine(std::move(text)));
    return true;
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) return false;
    const std::size_t entry = FindEntry(header, key);
    if (entry == std::string::npos) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(entry));
    return true;
}

bool IniDocument::RemoveSection(std::string_view section) {
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
    return true;
}

std::vector<std::string> IniDocument::Sections() const {
    std::vector<std::string> out;
    for (const Line& line : lines_) {
        if (line.kind != Line::kSection) continue;
        bool seen = false;
        for (const std::string& s : out) seen = seen || EqualsNoCase(s, line.name);
        if (!seen) out.push_back(line.name);
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> IniDocument::Entries(
    std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) return out;
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind != Line::kEntry) continue;
        bool seen = false;
        for (const auto& e : out) seen = seen || EqualsNoCase(e.first, lines_[i].name);
        if (!seen) out.emplace_back(lines_[i].name, *Get(section, lines_[i].name));
    }
    return out;
}

std::string IniDocument::Text() const {
    std::string out;
    if (bom_) out = "\xEF\xBB\xBF";
    const char* eol = crlf_ ? "\r\n" : "\n";
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        // Each read line keeps its own ending, so mixed endings survive a
        // write; new lines and a last line that gains a successor get the
        // file's usual one.
        out += lines_[i].text;
        if (!lines_[i].eol.empty()) {
            out += lines_[i].eol;
        } else if (i + 1 < lines_.size() || finalNewline_) {
            out += eol;
        }
    }
    return out;
}

int ParseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (text[i] - '0');
        ++i;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::optional<int> ParseWholeNumber(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace platform
