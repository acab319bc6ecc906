#include "platform/reg_file.h"

#include <cstdio>

namespace platform {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Collects decoded text: plain bytes pass through as UTF-8, escaped code
// units are gathered and converted together so that surrogate pairs written
// as two \x escapes join up.
class TextBuilder {
  public:
    void Byte(char c) {
        FlushUnits();
        out_.push_back(c);
    }
    void Unit(char16_t u) { units_.push_back(u); }
    std::string Take() {
        FlushUnits();
        return std::move(out_);
    }

  private:
    void FlushUnits() {
        if (units_.empty()) return;
        out_ += Utf16ToUtf8(units_);
        units_.clear();
    }
    std::string out_;
    std::u16string units_;
};

// Reads an escaped string from s (just after its opening delimiter) up to the
// unescaped closing delimiter. On success returns true, stores the text and
// leaves s just after the delimiter; on a missing delimiter returns false.
bool ReadEscaped(std::string_view& s, char close, std::string& text) {
    TextBuilder b;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == close) {
            text = b.Take();
            s.remove_prefix(i + 1);
            return true;
        }
        if (c != '\\') {
            b.Byte(c);
            ++i;
            continue;
        }
        if (++i >= s.size()) return false;
        const char e = s[i];
        switch (e) {
            case 'a':
                b.Byte('\a');
                ++i;
                break;
            case 'b':
                b.Byte('\b');
                ++i;
                break;
            case 'e':
                b.Byte('\x1b');
                ++i;
                break;
            case 'f':
                b.Byte('\f');
                ++i;
                break;
            case 'n':
                b.Byte('\n');
                ++i;
                break;
            case 'r':
                b.Byte('\r');
                ++i;
                break;
            case 't':
                b.Byte('\t');
                ++i;
                break;
            case 'v':
                b.Byte('\v');
                ++i;
                break;
            case 'x': {
                ++i;
                unsigned value = 0;
                int digits = 0;
                while (digits < 4 && i < s.size() && HexDigit(s[i]) >= 0) {
                    value = value * 16 + static_cast<unsigned>(HexDigit(s[i]));
                    ++i;
                    ++digits;
                }
                if (digits == 0) {
                    b.Byte('x');
                } else {
                    b.Unit(static_cast<char16_t>(value));
                }
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned value = 0;
                    int digits = 0;
                    while (digits < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7') {
                        value = value * 8 + static_cast<unsigned>(s[i] - '0');
                        ++i;
                        ++digits;
                    }
                    b.Unit(static_cast<char16_t>(value));
                } else {
                    b.Byte(e);
                    ++i;
                }
                break;
        }
    }
    return false;
}

// Parses comma-separated hex bytes (spaces allowed); false on anything else.
bool ParseHexBytes(std::string_view s, std::vector<std::uint8_t>& out) {
    out.clear();
    std::size_t i = 0;
    const auto skipSpace = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r')) ++i;
    };
    skipSpace();
    if (i == s.size()) return true;
    while (true) {
        skipSpace();
        const int hi = i < s.size() ? HexDigit(s[i]) : -1;
        if (hi < 0) return false;
        ++i;
        int value = hi;
        if (i < s.size() && HexDigit(s[i]) >= 0) {
            value = value * 16 + HexDigit(s[i]);
            ++i;
        }
        out.push_back(static_cast<std::uint8_t>(value));
        skipSpace();
        if (i == s.size()) return true;
        if (s[i] != ',') return false;
        ++i;
        skipSpace();
        // Wine ends a continued line with a comma before the backslash.
        if (i == s.size()) return true;
    }
}

std::vector<std::string> SplitMulti(std::u16string_view units) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < units.size()) {
        std::size_t end = units.find(u'\0', start);
        if (end == std::u16string_view::npos) end = units.size();
        if (end == start) break;  // the empty string ends the list
        out.push_back(Utf16ToUtf8(units.substr(start, end - start)));
        start = end + 1;
    }
    return out;
}

std::u16string BytesToUnits(const std::vector<std::uint8_t>& bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return units;
}

std::string UnitsUpToNul(std::u16string_view units) {
    const std::size_t nul = units.find(u'\0');
    return Utf16ToUtf8(units.substr(0, nul == std::u16string_view::npos ? units.size() : nul));
}

// Turns typed raw bytes (hex(N)) into a value.
RegValue ValueFromBytes(unsigned type, std::vector<std::uint8_t> bytes) {
    RegValue v;
    switch (type) {
        case 1:
        case 2:
            v.type = type == 1 ? RegType::kString : RegType::kExpandString;
            v.text = UnitsUpToNul(BytesToUnits(bytes));
            return v;
        case 4:
            if (bytes.size() == 4) {
                v.type = RegType::kDWord;
                v.dword = static_cast<std::uint32_t>(bytes[0]) |
                          (static_cast<std::uint32_t>(bytes[1]) << 8) |
                          (static_cast<std::uint32_t>(bytes[2]) << 16) |
                          (static_cast<std::uint32_t>(bytes[3]) << 24);
                return v;
            }
            break;
        case 7:
            v.type = RegType::kMultiString;
            v.strings = SplitMulti(BytesToUnits(bytes));
            return v;
        default:
            break;
    }
    v.type = RegType::kBinary;
    v.binary = std::move(bytes);
    return v;
}

// Parses the data after "=". `more` supplies continuation lines for hex data.
template <typename NextLine>
bool ParseData(std::string_view data, RegValue& value, NextLine&& more) {
    if (!data.empty() && data.front() == '"') {
        data.remove_prefix(1);
        value = RegValue{};
        if (!ReadEscaped(data, '"', value.text)) return false;
        return TrimSpace(data).empty();
    }
    if (data.starts_with("str(")) {
        const std::size_t close = data.find("):\"");
        if (close == std::string_view::npos) return false;
        unsigned type = 0;
        for (char c : data.substr(4, close - 4)) {
            const int d = HexDigit(c);
            if (d < 0 || type > 0xFFFF) return false;
            type = type * 16 + static_cast<unsigned>(d);
        }
        data.remove_prefix(close + 3);
        std::string text;
        if (!ReadEscaped(data, '"', text) || !TrimSpace(data).empty()) return false;
        value = RegValue{};
        if (type == 2) {
            value.type = RegType::kExpandString;
            value.text = std::move(text);
        } else if (type == 7) {
            value = ValueFromBytes(7, {});
            std::u16string units = Utf8ToUtf16(text);
            value.strings = SplitMulti(units);
        } else {
            value.text = std::move(text);
        }
        return true;
    }
    if (data.starts_with("dword:")) {
        data = TrimSpace(data.substr(6));
        if (data.empty() || data.size() > 8) return false;
        std::uint32_t d = 0;
        for (char c : data) {
            const int h = HexDigit(c);
            if (h < 0) return false;
            d = d * 16 + static_cast<std::uint32_t>(h);
        }
        value = RegValue::DWord(d);
        return true;
    }
    if (data.starts_with("hex")) {
        unsigned type = 3;
        data.remove_prefix(3);
        if (!data.empty() && data.front() == '(') {
            const std::size_t close = data.find(')');
            if (close == std::string_view::npos || close == 1 || close > 9) return false;
            type = 0;
            for (char c : data.substr(1, close - 1)) {
                const int d = HexDigit(c);
                if (d < 0) return false;
                type = type * 16 + static_cast<unsigned>(d);
            }
            data.remove_prefix(close + 1);
        }
        if (data.empty() || data.front() != ':') return false;
        data.remove_prefix(1);
        std::string joined;
        std::string_view all = data;
        std::string_view trimmed = TrimSpace(data);
        if (!trimmed.empty() && trimmed.back() == '\\') {
            joined.assign(trimmed.substr(0, trimmed.size() - 1));
            while (true) {
                std::string_view next;
                if (!more(next)) break;
                next = TrimSpace(next);
                if (!next.empty() && next.back() == '\\') {
                    joined.append(next.substr(0, next.size() - 1));
                } else {
                    joined.append(next);
                    break;
                }
            }
            all = joined;
        }
        std::vector<std::uint8_t> bytes;
        if (!ParseHexBytes(all, bytes)) return false;
        value = ValueFromBytes(type, std::move(bytes));
        return true;
    }
    return false;
}

void AppendUnitEscape(std::string& out, char16_t unit, bool nextIsHexDigit) {
    char buf[12];
    std::snprintf(buf, sizeof buf, nextIsHexDigit ? "\\x%04x" : "\\x%x",
                  static_cast<unsigned>(unit));
    out += buf;
}

}  // namespace

std::string EscapeRegString(std::string_view s, char open, char close) {
    std::string out;
    out.reserve(s.size() + 8);
    const std::u16string units = Utf8ToUtf16(s);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        const bool nextIsHex = i + 1 < units.size() && units[i + 1] < 128 &&
                               HexDigit(static_cast<char>(units[i + 1])) >= 0;
        const bool nextIsOctal = i + 1 < units.size() && units[i + 1] >= '0' && units[i + 1] <= '7';
        if (u > 127) {
            AppendUnitEscape(out, u, nextIsHex);
        } else if (u < 32) {
            static constexpr char kEscapes[33] = ".......abtnvfr.............e....";
            if (kEscapes[u] != '.') {
                out += '\\';
                out += kEscapes[u];
            } else {
                char buf[8];
                std::snprintf(buf, sizeof buf, nextIsOctal ? "\\%03o" : "\\%o",
                              static_cast<unsigned>(u));
                out += buf;
            }
        } else {
            const char c = static_cast<char>(u);
            if (c == '\\' || c == open || c == close) out += '\\';
            out += c;
        }
    }
    return out;
}

RegParseResult ParseRegFile(std::string_view text, RegTree& tree) {
    RegParseResult result;
    std::size_t pos = 0;
    std::size_t lineNo = 0;
    const auto nextLine = [&](std::string_view& line) {
        if (pos >= text.size()) return false;
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = end + 1;
        ++lineNo;
        return true;
    };
    const auto bad = [&] {
        if (result.badLines++ == 0) result.firstBadLine = lineNo;
    };

    std::string_view line;
    if (!nextLine(line) || !line.starts_with(kHeader)) return result;
    result.recognised = true;

    RegTree::Key* current = nullptr;
    std::string name;
    while (nextLine(line)) {
        std::string_view s = line;
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
        if (s.empty() || s.front() == ';' || s.front() == '#') continue;
        if (s.front() == '[') {
            s.remove_prefix(1);
            std::string path;
            current = nullptr;
            if (!ReadEscaped(s, ']', path)) {
                bad();
                continue;
            }
            // Malformed UTF-8 is replaced now, so the name we keep is the one we write back.
            current = tree.FindOrCreate(Utf16ToUtf8(Utf8ToUtf16(path)));
            if (current == nullptr) {
                bad();
                continue;
            }
            ++result.keys;
            continue;
        }
        if (current == nullptr) {
            // A value before any key, or under a key line we could not read.
            bad();
            continue;
        }
        if (s.front() == '@') {
            name.clear();
            s.remove_prefix(1);
        } else if (s.front() == '"') {
            s.remove_prefix(1);
            if (!ReadEscaped(s, '"', name)) {
                bad();
                continue;
            }
        } else {
            bad();
            continue;
        }
        if (s.empty() || s.front() != '=') {
            bad();
            continue;
        }
        s.remove_prefix(1);
        RegValue value;
        if (!ParseData(s, value, nextLine)) {
            bad();
            continue;
        }
        auto it = current->values.find(name);
        if (it == current->values.end()) {
            current->values.emplace(name, std::move(value));
        } else {
            it->second = std::move(value);
        }
        ++result.values;
    }
    return result;
}

namespace {

void AppendHex(std::string& out, std::string_view prefix, const std::vector<std::uint8_t>& bytes) {
    out += prefix;
    std::size_t column = prefix.size();
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
        out += buf;
        column += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            ++column;
            if (column > 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
    out += '\n';
}

void AppendUtf16Le(std::vector<std::uint8_t>& bytes, std::string_view text) {
    for (char16_t u : Utf8ToUtf16(text)) {
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
}

void AppendValue(std::string& out, const std::string& name, const RegValue& v) {
    std::string lead =
        name.empty() ? std::string("@=") : "\"" + EscapeRegString(name, '"', '"') + "\"=";
    switch (v.type) {
        case RegType::kString:
            out += lead + "\"" + EscapeRegString(v.text, '"', '"') + "\"\n";
            break;
        case RegType::kExpandString:
            out += lead + "str(2):\"" + EscapeRegString(v.text, '"', '"') + "\"\n";
            break;
        case RegType::kDWord: {
            char buf[16];
            std::snprintf(buf, sizeof buf, "dword:%08x\n", static_cast<unsigned>(v.dword));
            out += lead + buf;
            break;
        }
        case RegType::kBinary:
            AppendHex(out, lead + "hex:", v.binary);
            break;
        case RegType::kMultiString: {
            std::vector<std::uint8_t> bytes;
            for (const std::string& s : v.strings) AppendUtf16Le(bytes, s);
            bytes.push_back(0);
            bytes.push_back(0);
            AppendHex(out, lead + "hex(7):", bytes);
            break;
        }
    }
}

void WriteKey(std::string& out, const RegTree::Key& key, const std::string& path) {
    if (!path.empty() && (!key.values.empty() || key.subKeys.empty())) {
        out += '\n';
        out += '[';
        out += path;
        out += "]\n";
        for (const auto& [name, value] : key.values) AppendValue(out, name, value);
    }
    for (const auto& [name, child] : key.subKeys) {
        const std::string escaped = EscapeRegString(name, '[', ']');
        WriteKey(out, *child, path.empty() ? escaped : path + "\\\\" + escaped);
    }
}

}  // namespace

std::string WriteRegFile(const RegTree& tree, std::string_view relativeTo) {
    std::string out(kHeader);
    out += "\n;; All keys relative to ";
    out += EscapeRegString(relativeTo, '[', ']');
    out += '\n';
    WriteKey(out, tree.Root(), "");
    return out;
}

}  // namespace platform
