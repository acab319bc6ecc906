#pragma once
// Pieces shared by the table page and the reports: formatted text, the
// loose/tight and passive/aggressive cells, the graph link, the colours of
// won and lost amounts, and file names made from history text.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text_util.h"

class CPlayerStats;

namespace pages {

inline constexpr std::string_view kGreen = "#80FF80";
inline constexpr std::string_view kRed = "#FF9999";
inline constexpr std::string_view kPurple = "#CC99FF";
inline constexpr std::string_view kOrange = "#FFB56A";
inline constexpr std::string_view kTitleColour = "#F5e9d1";
inline constexpr std::string_view kEvenColour = "#FFFBF0";
inline constexpr std::string_view kWhite = "#FFFFFF";
inline constexpr std::string_view kFont = "<font face='verdana' size='-4' color='#003366'>";
// The maker's web site and logo, linked from the table page.
inline constexpr std::string_view kMakerSite = "http://www.seatwatch.example/";
inline constexpr std::string_view kMakerLogo = "../seatwatch_logo.png";

// printf into a string.
using platform::Format;

// A page-link argument for a single-quoted script string inside a
// double-quoted attribute: html::EscapeNameForScript, then "&" as "&amp;"
// (the browser decodes character references before the script runs), and
// a backslash doubled (the script string reads it back as one).
std::string ScriptArgument(std::string_view text);

// Whether a game-type tag is that of a ring game ("" or " (NL)").
bool IsRingTag(std::string_view tag);
// Whether a key ends in the play-money tag " (PM)".
bool IsPlayMoneyKey(std::string_view key);

// A loose/tight or passive/aggressive cell: its text and background (empty
// for none).
struct ScoreCell {
    std::string text;
    std::string_view background;
};
// The LT cell of a record with `hands` hands and loose/tight score `score`:
// "T" (0-2, red) or "L" (7-9, green); the colour only from 40 hands on.
// Below 20 hands "?", below 40 the letter and "?", then letter and score;
// without a letter "<BR>" (from 20 hands on).
ScoreCell LooseTightCell(int hands, int score);
// The PA cell: "P" (0-2, green) or "A" (7-9, red), texts as for LT.
ScoreCell PassiveAggressiveCell(int hands, int score);
// The name background of a ring-game record with more than 40 hands: red
// for tight- and loose-aggressive players, green for tight- and
// loose-passive ones; empty otherwise.
std::string_view StyleColour(const CPlayerStats& record);

// The graph link of a player key with the "GraphUP"/"GraphDN" image by the
// sign of the player's $Win.
std::string GraphLink(std::string_view playerKey, std::int64_t moneyWon);

// A file-name component made from history text: html::SafeFileNamePart of
// at most 80 bytes; when that changed the text, or the text is a reserved
// device name ("CON", "LPT1"), a hash of the original text
// follows, so that two names that clean up alike still get two files.
std::string FileNamePart(std::string_view text);

// `folder` + "/" + `name`; `folder` may end in a separator.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace pages
