#include "tablereader/table_titles.h"

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

std::string Cat(std::string_view a, std::string_view b) {
    std::string s(a);
    s += b;
    return s;
}

// The fixed prefix a room's client puts before the table name, or nullptr.
const char* SitePrefix(int roomCode) {
    switch (roomCode) {
        case 108:
            return "InterPoker - ";
        case 109:
            return "Betfair Poker - ";
        case 110:
            return "William Hill Poker - ";
        case 111:
            return "Littlewoods Poker - ";
        case 115:
            return "Caribbean Sun Poker - ";
        case 116:
            return "PokerPlex - ";
        case 117:
            return "Ritz Club London Poker - ";
        case 118:
            return "ukbetting poker - ";
        case 119:
            return "totalbet poker - ";
        default:
            return nullptr;
    }
}

// The Absolute Poker rule: a table name "A~B" is titled "TABLE A - GOOD LUCK"
// followed by its other parts, which must appear as well; without "~", any
// title holding "GOOD LUCK" that starts with the name's first part.
bool AbsoluteMatches(std::string_view name, std::string_view title) {
    const std::size_t tilde = name.find('~');
    if (tilde != std::string_view::npos) {
        const std::string head = Cat(Cat("TABLE ", name.substr(0, tilde)), " - GOOD LUCK");
        if (!StartsWith(title, head)) return false;
        const std::string_view rest = name.substr(tilde + 1);
        return rest.empty() || title.find(rest, head.size()) != std::string_view::npos;
    }
    std::string_view prefix = name;
    const std::size_t cut = std::min(name.find(" - "), name.find(','));
    if (cut != std::string_view::npos) prefix = name.substr(0, cut);
    return !prefix.empty() && StartsWith(title, prefix) &&
           title.find("GOOD LUCK") != std::string_view::npos;
}

}  // namespace

bool TableTitleMatches(int roomCode, std::string_view name, std::string_view title) {
    if (name.empty()) return false;
    switch (roomCode) {
        case 100:
        case 107:
        case 112:
        case 120:
            return StartsWith(title, Cat(name, ",")) ||
                   StartsWith(title, Cat(Cat("the ", name), ","));
        case 101:
        case 102:
            return StartsWith(title, name) &&
                   title.find("Good Luck", name.size()) != std::string_view::npos;
        case 103:
        case 104:
        case 105:
        case 106:
            return StartsWith(title, name);
        case 110:
            return StartsWith(title, Cat("William Hill Poker 2004 - ", name)) ||
                   StartsWith(title, Cat("William Hill Poker - ", name));
        case 113: {
            if (StartsWith(title, Cat(name, " "))) return true;
            const std::size_t blank = name.rfind(' ');
            if (blank == std::string_view::npos || blank == 0) return false;
            const std::string tournament = Cat(
                Cat(Cat("Tournament ", name.substr(0, blank)), " Table "), name.substr(blank + 1));
            return StartsWith(title, Cat(tournament, " "));
        }
        case 114:
            return StartsWith(title, Cat(name, " - "));
        case 121:
            return AbsoluteMatches(name, title);
        default:
            if (const char* prefix = SitePrefix(roomCode))
                return StartsWith(title, Cat(prefix, name));
            return false;
    }
}

std::string ClientTableTitle(int roomCode, std::string_view name) {
    switch (roomCode) {
        case 100:
        case 107:
        case 112:
        case 120:
            return Cat(name, ", 2/4 Hold'em Limit");
        case 101:
        case 102:
            return Cat(name, " - $2/$4 Texas Hold'em - Good Luck!");
        case 103:
        case 104:
        case 105:
        case 106:
            return Cat(name, " (2/4 Hold'em)");
        case 113:
            return Cat(name, " - $2/$4 - Limit Hold'em");
        case 114:
            return Cat(name, " - $2/$4 - Limit Hold'em");
        case 121: {
            const std::size_t tilde = name.find('~');
            if (tilde == std::string_view::npos) return Cat(name, " - GOOD LUCK");
            return Cat(Cat(Cat(Cat("TABLE ", name.substr(0, tilde)), " - GOOD LUCK ("),
                           name.substr(tilde + 1)),
                       ")");
        }
        default:
            if (const char* prefix = SitePrefix(roomCode))
                return Cat(Cat(prefix, name), " (Hold'em 2/4)");
            return {};
    }
}

std::string TableInfoTitle(std::string_view name) {
    std::string starred(name);
    // After the first character, not its first byte: a name may be UTF-8.
    std::size_t first = starred.empty() ? 0 : 1;
    while (first < starred.size() && (static_cast<unsigned char>(starred[first]) & 0xC0) == 0x80)
        ++first;
    if (!starred.empty()) starred.insert(first, "*");
    return "Reefscan - x" + starred + " Table Info";
}

bool ResizesTableOnFirstFind(int roomCode) { return roomCode == 101 || roomCode == 102; }
