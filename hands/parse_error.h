#pragma once
// CParseError: the one exception a hand parser throws for a malformed hand.

#include <stdexcept>
#include <string>

// Thrown while parsing a hand whose text cannot be taken (a header without
// "Hold'em", an unknown actor, an amount out of range...). what() is a short
// English reason meant for logs and the checking tool; it never contains
// text copied from the history, so it is safe to print anywhere.
class CParseError : public std::runtime_error {
  public:
    explicit CParseError(const std::string& reason) : std::runtime_error(reason) {}
};
