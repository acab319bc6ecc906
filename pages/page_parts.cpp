#include "pages/page_parts.h"

#include <cctype>
#include <cstdio>

#include "analysis/player_stats.h"
#include "html/escape.h"

namespace pages {

std::string ScriptArgument(std::string_view text) {
    std::string escaped = html::EscapeNameForScript(text);
    std::string out;
    out.reserve(escaped.size());
    for (char c : escaped) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '\\') {
            // The script would read a lone backslash as the start of an
            // escape and drop it ("..\\evil" would arrive as "..evil").
            out += "\\\\";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

bool IsRingTag(std::string_view tag) { return tag.empty() || tag == " (NL)"; }

bool IsPlayMoneyKey(std::string_view key) {
    return key.size() >= 5 && key.substr(key.size() - 5) == " (PM)";
}

namespace {

// The letter text shared by both score cells.
std::string ScoreText(int hands, std::string_view letter, int score) {
    if (hands < 20) return "?";
    if (letter.empty()) return "<BR>";
    if (hands < 40) return std::string(letter) + "?";
    return std::string(letter) + std::to_string(score);
}

}  // namespace

ScoreCell LooseTightCell(int hands, int score) {
    std::string_view letter;
    std::string_view colour;
    if (score >= 0 && score <= 2) {
        letter = "T";
        colour = kRed;
    } else if (score >= 7 && score <= 9) {
        letter = "L";
        colour = kGreen;
    }
    if (hands < 40) colour = {};
    return {ScoreText(hands, letter, score), colour};
}

ScoreCell PassiveAggressiveCell(int hands, int score) {
    std::string_view letter;
    std::string_view colour;
    if (score >= 0 && score <= 2) {
        letter = "P";
        colour = kGreen;
    } else if (score >= 7 && score <= 9) {
        letter = "A";
        colour = kRed;
    }
    if (hands < 40) colour = {};
    return {ScoreText(hands, letter, score), colour};
}

std::string_view StyleColour(const CPlayerStats& record) {
    if (!IsRingTag(record.Tag()) || record.Hands() <= 40) return {};
    auto lt = record.Counter(CPlayerStats::kScoreLT);
    auto pa = record.Counter(CPlayerStats::kScorePA);
    bool extremeLT = (lt >= 0 && lt <= 2) || (lt >= 7 && lt <= 9);
    if (!extremeLT) return {};
    if (pa >= 7 && pa <= 9) return kRed;
    if (pa >= 0 && pa <= 2) return kGreen;
    return {};
}

std::string GraphLink(std::string_view playerKey, std::int64_t moneyWon) {
    return "<a href=\"javascript:BrowserSink.DisplayGraph('" + ScriptArgument(playerKey) +
           "', -1) \"><img border='0' src='../Graph" + std::string(moneyWon >= 0 ? "UP" : "DN") +
           ".png' width='12' height='12'></a>";
}

namespace {

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9, alone or before an extension, name
// devices rather than files on the platform the clients run on.
bool IsReservedDeviceName(std::string_view part) {
    std::string base(part.substr(0, part.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string FileNamePart(std::string_view text) {
    std::string part = html::SafeFileNamePart(text, 80);
    if (part == text && !IsReservedDeviceName(part)) return part;
    // FNV-1a over the original bytes.
    std::uint32_t hash = 2166136261u;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return part + Format("_%08x", hash);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/') path.push_back('/');
    path += name;
    return path;
}

}  // namespace pages
