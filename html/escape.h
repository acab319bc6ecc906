#pragma once
// Escaping of text that comes from hand histories (player and table names)
// for the places it is written to: page text, script-string link arguments,
// and file names.

#include <string>
#include <string_view>

namespace html {

// Page text and attribute values: & < > " ' become entities. Bytes are
// otherwise copied, so UTF-8 stays UTF-8.
std::string EscapeText(std::string_view text);

// A screen name for a single-quoted script string inside a link: the
// apostrophe becomes "/1", the double quote "/2", the back quote "/3", the
// slash "//", "<" "/4", ">" "/5", "=" "/6"; every other character is copied.
// The result contains no character that ends the string or the attribute.
std::string EscapeNameForScript(std::string_view name);

// Reverses EscapeNameForScript. A "/" followed by anything else (or nothing)
// is kept as it stands.
std::string UnescapeNameFromScript(std::string_view escaped);

// The player key without its game-type tag (" (T-L)", " (T-NL)", " (NL)",
// " (PM)"), when it ends with one.
std::string_view CutGameTypeTag(std::string_view key);

// A name made safe to be one component of a file name: path separators,
// "..", control characters and characters that are special in file names on
// either platform are dropped, and the result is at most `maxBytes` long (cut
// at a UTF-8 character boundary). Never empty: "_" stands for nothing left.
std::string SafeFileNamePart(std::string_view name, std::size_t maxBytes = 100);

}  // namespace html
