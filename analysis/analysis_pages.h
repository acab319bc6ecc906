#pragma once
// IAnalysisPages: the pages and messages the analyzer asks for but does not
// write itself (the hand page, the player reports, a message box). The
// program implements it with the page generators and wires it to the
// analyzer at start-up, so the analysis library depends on nothing above it.

#include <map>
#include <memory>
#include <string>
#include <string_view>

class CHand;
class CPlayerStats;
class CHandAnalyzer;
// The options of a player report; defined by the report pages.
struct CReportOptions;

class IAnalysisPages {
  public:
    using PlayerMap = std::map<std::string, std::unique_ptr<CPlayerStats>, std::less<>>;

    virtual ~IAnalysisPages() = default;
    // Writes the page of `hand` into `outputFolder` and returns its path;
    // empty when it could not be written.
    virtual std::string WriteHandPage(const CHand& hand, const std::string& outputFolder,
                                      const PlayerMap& players) = 0;
    // Writes the report of a known player.
    virtual void WritePlayerReport(const CPlayerStats& record, const CReportOptions* options,
                                   const CHandAnalyzer& analyzer) = 0;
    // Writes the report for a key without a record.
    virtual void WriteUnknownPlayerReport(std::string_view playerKey, const CReportOptions* options,
                                          const CHandAnalyzer& analyzer) = 0;
    // Shows a message box with `text` ("Hand Not Found").
    virtual void ShowMessage(std::string_view text) = 0;
    // The text handed to a new table information window, built from the
    // first hand seen at the table. Empty by default.
    virtual std::string TablePageText(const CHand& /*hand*/) { return {}; }
};
