#pragma once
// The JSON form of a parsed hand, one line per hand, as the parser tool
// prints it and the golden files of the parser tests hold it: the header
// fields, the board, and per seated position the name, hole cards, money and
// actions by street.

#include <string>
#include <string_view>

#include "hands/hand.h"

namespace hands {

// Appends `text` as a JSON string. Valid UTF-8 is copied; every byte that is
// not part of a valid sequence is written as \u00XX, so hostile names always
// give valid JSON.
void AppendJsonString(std::string& out, std::string_view text);

// Why a hand that ReadHand returned `result` for is not complete: the
// parser's reject reason, "no pot awarded" for a parsed hand without a
// winner, or where the text ran out.
std::string IncompleteReason(const CHand& hand, int result);

// Appends the JSON line of `hand` (with its line end), read from `file` with
// the ReadHand result `result`; `complete` says whether it counts as a
// complete hand, and an incomplete one carries its reason.
void AppendHandJson(std::string& out, const std::string& file, const CHand& hand, int result,
                    bool complete);

}  // namespace hands
