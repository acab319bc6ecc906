#pragma once
// CreateHandParser: makes the hand parser of a room family, for the log
// reader and the checking tool.

#include <memory>
#include <string>
#include <string_view>

#include "hands/hand.h"

// What some parsers need besides the hero name.
struct HandParserOptions {
    // Full path of the history file being read (InterPoker takes the money
    // kind from its folder).
    std::string filePath;
    // The "TimeZone" setting for PartyPoker times; -100 uses the computer's.
    int partyTimeZone = -100;
    // Shared by the InterPoker parsers of one session: the hero name learned
    // from a "dealt to" line. May be null.
    std::shared_ptr<std::string> learnedHero;
};

// A new parser for a room family named "pokerstars", "fulltilt", "party",
// "absolute", "interpoker" or "truepoker" (letter case, blanks, "-" and "_"
// ignored; "partypoker" and "absolutepoker" also accepted) or for a room id
// 100..121 written in decimal. Null for an unknown name or code.
std::unique_ptr<CHand> CreateHandParser(std::string_view room, const std::string& heroName,
                                        const HandParserOptions& options = {});

// The same for a room id 100..121; null outside it.
std::unique_ptr<CHand> CreateHandParser(int roomId, const std::string& heroName,
                                        const HandParserOptions& options = {});
