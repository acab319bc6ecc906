#include "analysis/alert.h"

#include <cstdio>

#include "analysis/hand_reference.h"
#include "hands/hand.h"
#include "html/escape.h"
#include "html/html_file.h"
#include "platform/local_time.h"

namespace {

struct KindInfo {
    std::string_view label;
    std::string_view colour;
    int category;
};

constexpr KindInfo kKinds[CAlert::kKindCount] = {
    {"Loose", "#0000FF", 5},
    {"Tight", "#0000FF", 6},
    {"Limped with<BR>Raising Hand", "#FF00FF", 1},
    {"Did not raise<BR>with Raising Hand", "#FF00FF", 1},
    {"Completed Small Blind", "#FF0000", 0},
    {"Defended Blind", "#B69334", 3},
    {"Called Raise from Blinds", "#B69334", 3},
    {"Raised<br>First-in", "#000000", 2},
    {"Raised<br>(Not First-in)", "#000000", 2},
    {"ReRaised", "#000000", 2},
    {"Call-Raised", "#000000", 2},
    {"Attempted Steal", "#B69334", 3},
    {"Did Not<br>Attempt Steal", "#B69334", 3},
    {"Cold Called 2 Bets", "#FF00FF", 1},
    {"Called 2 Bets", "#FF00FF", 1},
    {"Questionable<BR>Limps", "#FF0000", 0},
    {"Questionable<BR>Calls", "#FF0000", 0},
};

const char* FirstInText(bool firstIn) { return firstIn ? " first-in" : ""; }

}  // namespace

CAlert::CAlert(const CHand* hand_, int kind_, std::string playerKey_, int classRank_,
               bool expected_)
    : hand(hand_),
      expected(expected_),
      classRank(classRank_),
      kind(kind_),
      playerKey(std::move(playerKey_)) {
    if (hand != nullptr) {
        dateTime = hand->dateTime;
        handNumber = hand->handNumber;
    }
}

std::string_view CAlert::LabelOf(int kind) {
    return kind >= 0 && kind < kKindCount ? kKinds[kind].label : "";
}
std::string_view CAlert::ColourOf(int kind) {
    return kind >= 0 && kind < kKindCount ? kKinds[kind].colour : "";
}
int CAlert::CategoryOf(int kind) {
    return kind >= 0 && kind < kKindCount ? kKinds[kind].category : -1;
}

std::string_view CAlert::CategoryTitle(int category) {
    static constexpr std::string_view kTitles[] = {
        "Hand Selection", "Passive Plays", "Aggressive Plays", "Blind Plays", "Table Information"};
    return category >= 0 && category < 5 ? kTitles[category] : "";
}

std::string CAlert::Colour() const { return std::string(ColourOf(kind)); }

CAlertSortKey CAlert::SortKey() const {
    return CAlertSortKey{Category(), classRank, hand != nullptr ? dateTime : 0, handNumber,
                         sequence};
}

std::string CAlert::SortKeyText() const {
    char head[32];
    std::snprintf(head, sizeof head, "%02d %03d ", Category(), classRank);
    return head + (hand != nullptr ? platform::FormatLongLocal(dateTime)
                                   : std::string("00/00/00 00:00:00"));
}

std::string CAlert::PlayerLink() const { return html::LinkPlayerReport(playerKey); }

std::string CAlert::HandLink(bool links) const {
    return links ? html::LinkDisplayHand(handNumber) : std::string();
}

std::string CAlert::ClassName() const { return CHandReference::DisplayNameOfRank(classRank); }

std::string CAlertWithOrder::PositionSuffix() const {
    switch (dealtOrder) {
        case 0:
            return "on the button";
        case 1:
            return "in small blind";
        case 2:
            return "in big blind";
        default:
            return "in pos " + std::to_string(dealtOrder);
    }
}

CAlertLooseTight::CAlertLooseTight(bool loose, int played_, int considered_, std::string key,
                                   std::int64_t now)
    : CAlert(nullptr, loose ? 0 : 1, std::move(key), 0, false),
      played(played_),
      considered(considered_) {
    dateTime = now;
}

std::string CAlertLooseTight::Text(bool) const {
    return "<B>" + PlayerLink() + (IsLoose() ? "</B> has played " : "</B> has only played ") +
           std::to_string(played) + " out of the last " + std::to_string(considered) + " hands";
}

std::string CAlertNotRaised::Text(bool links) const {
    return "Preflop, <B>" + PlayerLink() + "</B> did not raise " + FirstInText(firstIn) + " " +
           HandLink(links) + "<B>" + ClassName() + "</B></a> " + PositionSuffix();
}

std::string CAlertCompletedSmallBlind::Text(bool links) const {
    if (dealtOrder != 1) return {};
    return "Preflop, <B>" + PlayerLink() + "</B> completed the small blind with " +
           HandLink(links) + "<B>" + ClassName() + "</B></a>";
}

std::string CAlertDefendedBlind::Text(bool links) const {
    if (dealtOrder != 1 && dealtOrder != 2) return {};
    return "Preflop, <B>" + PlayerLink() + "</B> defended the " +
           (dealtOrder == 1 ? "small" : "big") + " blind with " + HandLink(links) + "<B>" +
           ClassName() + "</B></a>";
}

std::string CAlertCalledRaiseFromBlind::Text(bool links) const {
    if (dealtOrder != 1 && dealtOrder != 2) return {};
    return "Preflop, <B>" + PlayerLink() + "</B> called a raise with " + HandLink(links) + "<B>" +
           ClassName() + "</B></a> " + (dealtOrder == 1 ? "in small blind" : "in big blind");
}

std::string CAlertRaised::Text(bool links) const {
    return "Preflop, <B>" + PlayerLink() + "</B> raised " + HandLink(links) + " <B>" + ClassName() +
           "</B></a>" + FirstInText(firstIn) + " " + PositionSuffix();
}

std::string CAlertReRaised::Text(bool links) const {
    return "Preflop, <B>" + PlayerLink() + "</B> reraised " + HandLink(links) + "<B>" +
           ClassName() + "</B></a> " + PositionSuffix();
}

std::string CAlertCallRaise::Text(bool links) const {
    return "Preflop, <B>" + PlayerLink() + "</B> call-raised " + HandLink(links) + "<B>" +
           ClassName() + "</B></a> " + PositionSuffix();
}

namespace {
const char* StealSpot(int dealtOrder) {
    return dealtOrder == 1 ? "small blind" : dealtOrder == 0 ? "button" : "cutoff";
}
}  // namespace

std::string CAlertStealAttempt::Text(bool links) const {
    return "Preflop, <B>" + PlayerLink() + "</B> attempted a steal with " + HandLink(links) +
           "<B>" + ClassName() + "</B></a> from the " + StealSpot(dealtOrder);
}

std::string CAlertNoStealAttempt::Text(bool links) const {
    return "Preflop, <B>" + PlayerLink() + "</B> did not attempt to steal with " + HandLink(links) +
           "<B>" + ClassName() + "</B></a> from the " + StealSpot(dealtOrder) + " position";
}

std::string CAlertCalledTwoBets::Text(bool links) const {
    return "Preflop, <B>" + PlayerLink() +
           (cold ? "</B> cold called 2 or more bets with " : "</B> called 2 or more bets with ") +
           HandLink(links) + " <B>" + ClassName() + "</B></a> " + PositionSuffix();
}

std::string CAlertSelection::Text(bool links) const {
    static constexpr const char* kPositions[] = {"early", "middle", "late"};
    const char* where = position >= 0 && position < 3 ? kPositions[position] : "";
    return "Preflop, <B>" + PlayerLink() + "</B> played " + HandLink(links) + "<B>" + ClassName() +
           "</B></a> " + FirstInText(firstIn) + " in " + where + " position";
}
