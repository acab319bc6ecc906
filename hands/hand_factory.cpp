#include "hands/hand_factory.h"

#include "hands/hand_absolute_poker.h"
#include "hands/hand_full_tilt.h"
#include "hands/hand_inter_poker.h"
#include "hands/hand_party_poker.h"
#include "hands/hand_poker_stars.h"
#include "hands/hand_true_poker.h"

namespace {

enum class Family { kNone, kPokerStars, kFullTilt, kParty, kAbsolute, kInterPoker, kTruePoker };

Family FamilyOfCode(int code) {
    switch (code) {
        case 100:
        case 107:
        case 112:
        case 120:
            return Family::kTruePoker;
        case 101:
        case 102:
        case 103:
        case 104:
        case 105:
            return Family::kParty;
        case 108:
        case 109:
        case 110:
        case 111:
        case 115:
        case 116:
        case 117:
        case 118:
        case 119:
            return Family::kInterPoker;
        case 113:
            return Family::kPokerStars;
        case 114:
            return Family::kFullTilt;
        case 121:
            return Family::kAbsolute;
        default:
            return Family::kNone;
    }
}

std::unique_ptr<CHand> Create(Family family, const std::string& hero,
                              const HandParserOptions& options) {
    switch (family) {
        case Family::kPokerStars:
            return std::make_unique<CHandPokerStars>(hero);
        case Family::kFullTilt:
            return std::make_unique<CHandFullTilt>(hero);
        case Family::kParty:
            return std::make_unique<CHandPartyPoker>(hero, options.partyTimeZone);
        case Family::kAbsolute:
            return std::make_unique<CHandAbsolutePoker>(hero);
        case Family::kInterPoker:
            return std::make_unique<CHandInterPoker>(hero, options.filePath, options.learnedHero);
        case Family::kTruePoker:
            return std::make_unique<CHandTruePoker>(hero);
        case Family::kNone:
            break;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<CHand> CreateHandParser(int roomId, const std::string& heroName,
                                        const HandParserOptions& options) {
    return Create(FamilyOfCode(roomId), heroName, options);
}

std::unique_ptr<CHand> CreateHandParser(std::string_view room, const std::string& heroName,
                                        const HandParserOptions& options) {
    std::string key;
    for (char c : room) {
        if (c == ' ' || c == '-' || c == '_') continue;
        key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
        if (key.size() > 20) return nullptr;
    }
    if (!key.empty() && key.find_first_not_of("0123456789") == std::string::npos) {
        if (key.size() > 3) return nullptr;
        return CreateHandParser(std::stoi(key), heroName, options);
    }
    Family family = Family::kNone;
    if (key == "pokerstars" || key == "stars") family = Family::kPokerStars;
    if (key == "fulltilt" || key == "fulltiltpoker") family = Family::kFullTilt;
    if (key == "party" || key == "partypoker") family = Family::kParty;
    if (key == "absolute" || key == "absolutepoker") family = Family::kAbsolute;
    if (key == "interpoker") family = Family::kInterPoker;
    if (key == "truepoker") family = Family::kTruePoker;
    return Create(family, heroName, options);
}
