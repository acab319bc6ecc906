#pragma once
// Reading and writing Wine's registry text format ("WINE REGISTRY Version 2"),
// the format of a prefix's system.reg and user.reg and of our own store.
//
//   [Software\\Classes\\.txt] 1600000000      key line; names escaped, time stamp ignored
//   #time=1d6f...                             option lines are ignored
//   @="txtfile"                               the default value
//   "Size"=dword:00000010
//   "Data"=hex:01,02,\                        binary; a trailing backslash continues
//     03
//   "Path"=str(2):"%SystemRoot%\\x"           expand string
//   "List"=hex(7):41,00,00,00,00,00           UTF-16LE strings, each ended by a NUL
//
// Strings escape "\\", the delimiter, C escapes (\n, \t...), \xHHHH for
// UTF-16 code units and octal \ooo; bytes above 127 are taken as UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/reg_tree.h"

namespace platform {

struct RegParseResult {
    bool recognised = false;       // the text started with Wine's header line
    std::size_t keys = 0;          // key lines read
    std::size_t values = 0;        // value lines read
    std::size_t badLines = 0;      // lines skipped because they could not be read
    std::size_t firstBadLine = 0;  // 1-based number of the first such line, 0 if none
};

// Parses text into tree, adding to what is there. Lines that cannot be read
// are skipped and counted; text without the header line adds nothing.
// Never throws on bad input (only std::bad_alloc).
RegParseResult ParseRegFile(std::string_view text, RegTree& tree);

// Renders tree in the same format, keys sorted without regard to case. The
// comment line names relativeTo (for example "\\Registry"). A key is written
// when it has values or no sub-keys, as Wine does, so empty keys survive.
std::string WriteRegFile(const RegTree& tree, std::string_view relativeTo);

// Escapes s (UTF-8) for a quoted string or a key name: backslash, the
// delimiters given, control characters and every non-ASCII character as \x.
std::string EscapeRegString(std::string_view s, char open, char close);

}  // namespace platform
