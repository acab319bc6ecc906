#pragma once
// Test helpers: card lists written as text ("As Kd 7c"), and the plain
// reference evaluator that the fast one is checked against.

#include <cstdint>
#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "calc/card_index.h"
#include "calc/hand_value.h"

// Lets failing assertions show a HandValue as {category; keys; suit}.
inline void PrintTo(const HandValue& v, std::ostream* out) {
    *out << "{" << static_cast<int>(v.category) << "; " << v.key[0] << " " << v.key[1] << " "
         << v.key[2] << " " << v.key[3] << " " << v.key[4] << "; suit " << v.suit << "}";
}

namespace calc_test {

// The card numbers of blank-separated two-character codes; an unknown code
// becomes -1.
inline std::vector<int> Cards(std::string_view text) {
    std::vector<int> cards;
    std::istringstream in{std::string(text)};
    std::string code;
    while (in >> code) cards.push_back(calc::ParseCardCode(code).value_or(-1));
    return cards;
}

// The same as bytes, for HandEvaluator::Evaluate.
inline std::vector<std::uint8_t> CardBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    for (const int card : Cards(text)) bytes.push_back(static_cast<std::uint8_t>(card));
    return bytes;
}

// Evaluates five or more distinct card numbers step by step (reference_evaluator.cpp).
HandValue ReferenceEvaluate(std::span<const int> cards);
// 1 when a is better, -1 when b is better, 0 for a tie.
int ReferenceCompare(const HandValue& a, const HandValue& b);

}  // namespace calc_test
