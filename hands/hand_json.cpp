#include "hands/hand_json.h"

#include <cstdio>
#include <ctime>

#include "hands/hand_poker_stars.h"

namespace hands {

namespace {

std::string FormatUtc(std::int64_t seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (gmtime_r(&t, &tm) == nullptr) return "";
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return text;
}

std::string_view ResultText(int result) {
    switch (result) {
        case CHand::kEndInHeader:
            return "text ends in the header, seats or posts";
        case CHand::kEndInPreflop:
            return "text ends during preflop";
        case CHand::kEndInFlop:
            return "text ends on the flop";
        case CHand::kEndInTurnOrRiver:
            return "text ends on the turn or river";
        case CHand::kEndBeforeBlankLine:
            return "text ends in the summary, before the hand's closing line";
        default:
            return "unexpected result";
    }
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    auto escapeByte = [&](unsigned char byte) {
        out += "\\u00";
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    };
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (byte == '"' || byte == '\\') {
                out += '\\';
                out += static_cast<char>(byte);
            } else if (byte < 0x20 || byte == 0x7F) {
                escapeByte(byte);
            } else {
                out += static_cast<char>(byte);
            }
            ++i;
            continue;
        }
        // Length and smallest code point of the sequence this lead byte opens.
        std::size_t length = 0;
        char32_t minimum = 0;
        char32_t cp = 0;
        if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2, minimum = 0x80, cp = byte & 0x1F;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3, minimum = 0x800, cp = byte & 0x0F;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4, minimum = 0x10000, cp = byte & 0x07;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (valid && (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            valid = false;
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            escapeByte(byte);
            ++i;
        }
    }
    out += '"';
}

std::string IncompleteReason(const CHand& hand, int result) {
    if (result == CHand::kParseRejected) return hand.RejectReason();
    if (result == CHand::kParseOk) return "no pot awarded";
    return std::string(ResultText(result));
}

void AppendHandJson(std::string& out, const std::string& file, const CHand& hand, int result,
                    bool complete) {
    out += "{\"file\":";
    AppendJsonString(out, file);
    out += ",\"complete\":";
    out += complete ? "true" : "false";
    out += ",\"result\":" + std::to_string(result);
    if (!complete) {
        out += ",\"reason\":";
        AppendJsonString(out, IncompleteReason(hand, result));
    }
    out += ",\"hand\":" + std::to_string(hand.handNumber);
    out += ",\"table\":";
    AppendJsonString(out, hand.tableName);
    out += ",\"gameKind\":" + std::to_string(hand.gameKind);
    out += ",\"realMoney\":";
    out += hand.realMoney ? "true" : "false";
    if (const auto* stars = dynamic_cast<const CHandPokerStars*>(&hand)) {
        out += ",\"tournament\":";
        out += stars->tournament ? "true" : "false";
        out += ",\"buttonSeat\":" + std::to_string(stars->buttonSeat);
    }
    out += ",\"dateTime\":";
    AppendJsonString(out, FormatUtc(hand.dateTime));
    out += ",\"smallBlind\":" + std::to_string(hand.smallBlind);
    out += ",\"bigBlind\":" + std::to_string(hand.bigBlind);
    out += ",\"ante\":" + std::to_string(hand.ante);
    out += ",\"heroCards\":";
    AppendJsonString(out, hand.heroCards.View());
    out += ",\"board\":[";
    AppendJsonString(out, hand.flopCards.View());
    out += ',';
    AppendJsonString(out, hand.turnCard.View());
    out += ',';
    AppendJsonString(out, hand.riverCard.View());
    out += "],\"positions\":[";
    bool first = true;
    for (int position = 0; position < CHand::kPositions; ++position) {
        auto [found, name] = hand.NameAtPosition(position);
        if (!found) continue;
        auto p = static_cast<std::size_t>(position);
        if (!first) out += ',';
        first = false;
        out += "{\"position\":" + std::to_string(position) + ",\"name\":";
        AppendJsonString(out, name);
        out += ",\"holeCards\":";
        AppendJsonString(out, hand.holeCards[p].View());
        out += ",\"invested\":" + std::to_string(hand.invested[p]);
        out += ",\"won\":" + std::to_string(hand.won[p]);
        out += ",\"collected\":";
        out += hand.collected[p] ? "true" : "false";
        out += ",\"returned\":[";
        for (int street = 0; street < 4; ++street) {
            if (street > 0) out += ',';
            out += std::to_string(hand.returned[p][static_cast<std::size_t>(street)]);
        }
        out += "],\"actions\":[";
        for (int street = 0; street < 4; ++street) {
            if (street > 0) out += ',';
            out += '[';
            bool firstAction = true;
            for (const CAction& action : hand.Actions(position, street)) {
                if (!firstAction) out += ',';
                firstAction = false;
                out += "{\"kind\":" + std::to_string(action.kind) +
                       ",\"amount\":" + std::to_string(action.amount) +
                       ",\"firstIn\":" + (action.firstIn ? "true" : "false") +
                       ",\"callsRaise\":" + (action.callsRaise ? "true" : "false") + "}";
            }
            out += ']';
        }
        out += "]}";
    }
    out += "]}\n";
}

}  // namespace hands
