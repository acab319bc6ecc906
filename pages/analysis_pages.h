#pragma once
// CAnalysisPages: the page generators the analyzer asks for its pages (the
// hand page, the player reports and the table information page), and the
// players report that the report window asks for directly.
//
// Pages are built whole in memory and written into the output folder under
// names made safe from history text, each replacing the previous page whole
// (see WritePage). A page whose text has not changed since this object last
// wrote it, and whose file is still there, is not written again: a pass over
// many open tables rewrites only what changed.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "analysis/analysis_pages.h"

class CHandAnalyzer;
struct CReportOptions;

class CAnalysisPages : public IAnalysisPages {
  public:
    std::string WriteHandPage(const HandPageRequest& request) override;
    void WritePlayerReport(const PlayerReportRequest& request) override;
    std::string WriteTablePage(const TablePageRequest& request) override;

    // Ranks the analyzer's players and writes the players report under the
    // analyzer's lock; returns its path, empty when it could not be written.
    // At most kMaxReportRows players are listed, so that the page stays a
    // few megabytes however many players are known.
    std::string WritePlayersReport(CHandAnalyzer& analyzer, const CReportOptions& options);
    static constexpr std::size_t kMaxReportRows = 2500;

    // Writes `text` to `path` unless this object wrote the same text there
    // and the file still exists. The page is replaced whole (a temporary
    // file renamed over it), so a write that fails leaves the old page.
    // False when the file could not be written.
    bool WritePage(const std::string& path, const std::string& text);
    // Pages actually written (not skipped as unchanged) so far.
    std::size_t WriteCount() const { return writeCount_; }

  private:
    std::unordered_map<std::string, std::size_t> written_;  // path -> hash of its text
    std::size_t writeCount_ = 0;
};
