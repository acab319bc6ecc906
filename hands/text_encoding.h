#pragma once
// The one place that knows text encodings. Everything inside the program is
// UTF-8; hand histories arrive as UTF-8 (with or without a byte-order mark),
// Windows-1252, or UTF-16LE with or without a byte-order mark, and are turned into UTF-8
// as they are read (UTF-16 through platform::Utf16LeBytesToUtf8).

#include <string>
#include <string_view>

namespace text {

// True when `s` is well-formed UTF-8 (no overlong forms, no surrogates).
// Runs of ASCII, most of a history line, are checked eight bytes at a time.
bool IsValidUtf8(std::string_view s);

// Appends the Windows-1252 text `s` to `out` as UTF-8. Bytes 0x80-0x9F map to
// their Windows-1252 characters (0x80 is the euro sign); the five undefined
// ones map to the C1 control of the same value.
void AppendWindows1252AsUtf8(std::string_view s, std::string& out);

// Makes a line of a history file UTF-8: kept as it is when it is already
// valid UTF-8, otherwise read as Windows-1252. Works in place.
void NormaliseLineToUtf8(std::string& line);

// Whether a file whose first block is `head` ends its lines in CR alone (as
// old Mac editors write): the block holds a carriage return before its last
// byte and no line feed.
bool EndsLinesWithCrAlone(std::string_view head);

// Whether a file without a byte-order mark whose first bytes are `head` is
// UTF-16LE: history text is ASCII in the main, so every byte at an odd offset
// is zero and none at an even offset is. Needs at least four bytes; looks at
// the first 64.
bool LooksLikeUtf16LeWithoutMark(std::string_view head);

}  // namespace text
