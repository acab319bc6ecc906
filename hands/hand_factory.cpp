#include "hands/hand_factory.h"

#include "hands/hand_absolute_poker.h"
#include "hands/hand_full_tilt.h"
#include "hands/hand_inter_poker.h"
#include "hands/hand_party_poker.h"
#include "hands/hand_poker_stars.h"
#include "hands/hand_true_poker.h"
#include "hands/room_family.h"

namespace {

std::unique_ptr<CHand> Create(RoomFamily family, const std::string& hero,
                              const HandParserOptions& options) {
    switch (family) {
        case RoomFamily::kPokerStars:
            return std::make_unique<CHandPokerStars>(hero);
        case RoomFamily::kFullTilt:
            return std::make_unique<CHandFullTilt>(hero);
        case RoomFamily::kPartyPoker:
            return std::make_unique<CHandPartyPoker>(hero, options.partyTimeZone);
        case RoomFamily::kAbsolutePoker:
            return std::make_unique<CHandAbsolutePoker>(hero);
        case RoomFamily::kInterPoker:
            return std::make_unique<CHandInterPoker>(hero, options.filePath, options.learnedHero);
        case RoomFamily::kTruePoker:
            return std::make_unique<CHandTruePoker>(hero);
        case RoomFamily::kNone:
            break;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<CHand> CreateHandParser(int roomId, const std::string& heroName,
                                        const HandParserOptions& options) {
    return Create(FamilyOfRoom(roomId), heroName, options);
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
    RoomFamily family = RoomFamily::kNone;
    if (key == "pokerstars" || key == "stars") family = RoomFamily::kPokerStars;
    if (key == "fulltilt" || key == "fulltiltpoker") family = RoomFamily::kFullTilt;
    if (key == "party" || key == "partypoker") family = RoomFamily::kPartyPoker;
    if (key == "absolute" || key == "absolutepoker") family = RoomFamily::kAbsolutePoker;
    if (key == "interpoker") family = RoomFamily::kInterPoker;
    if (key == "truepoker") family = RoomFamily::kTruePoker;
    return Create(family, heroName, options);
}
