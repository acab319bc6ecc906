#pragma once
// IAnalysisPages: the pages the analyzer is asked for but does not write
// itself, one request each, carrying what that page reads: the hand page, the
// player report and the table information page. The page generators above
// this library implement it and the program wires them to the analyzer at
// start-up, so the analysis library depends on nothing above it. The
// analyzer fills every request under its locks and runs the players' lazy
// alert analysis first, so the writers only read.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hands/hand.h"

class CHandReference;
class CPlayerStats;
class CTableRecord;
// The options of a player report; defined by the report pages.
struct CReportOptions;

// The page of one hand: its actions by position and the preflop alerts of
// its players.
struct HandPageRequest {
    const CHand& hand;
    const std::string& outputFolder;
    // The record of the player at each position (nullptr: no player there,
    // or none recorded).
    std::array<const CPlayerStats*, CHand::kPositions> records{};
};

// The report of one player, or the report for a key without a record.
struct PlayerReportRequest {
    std::string_view playerKey;
    const CPlayerStats* record = nullptr;  // nullptr: no record for the key
    const CReportOptions* options = nullptr;
    const std::string& outputFolder;
    const CHandReference& reference;  // starting-hand classes and positions
};

// The information page of one live table: a row per seated player and the
// strip of the user's recent hands at the table.
struct TablePageRequest {
    const CTableRecord& table;  // name, room and seat names; locked while the page is written
    const std::string& outputFolder;
    std::string_view tag;  // the table's game-type tag ("", " (NL)", ...)
    // The record of each entry of the table's seat names, in the same order
    // (nullptr for an empty seat or a player without record).
    std::vector<const CPlayerStats*> seatRecords;
    // The user's record of the table's tag when there is one, else the plain
    // one: the page compares with it and takes the recent hands from it
    // (nullptr before initialisation).
    const CPlayerStats* userRecord = nullptr;
    std::int64_t now = 0;             // recent hands are counted back from it
    const CHandReference& reference;  // ranges of the loose/tight alert
};

class IAnalysisPages {
  public:
    virtual ~IAnalysisPages() = default;
    // Writes the hand page into the output folder and returns its path;
    // empty when it could not be written.
    virtual std::string WriteHandPage(const HandPageRequest& request) = 0;
    // Writes the player report into the output folder.
    virtual void WritePlayerReport(const PlayerReportRequest& request) = 0;
    // Writes the table's information page (and its players' alerts pages)
    // into the output folder and returns its path; empty when it could not be
    // written.
    virtual std::string WriteTablePage(const TablePageRequest& request) = 0;
};
