#include "pages/analysis_pages.h"

#include <sys/stat.h>

#include <functional>

#include "analysis/hand_analyzer.h"
#include "pages/hand_page.h"
#include "pages/report_pages.h"
#include "pages/table_page.h"
#include "platform/file_util.h"

bool CAnalysisPages::WritePage(const std::string& path, const std::string& text) {
    const std::size_t hash = std::hash<std::string>{}(text);
    auto it = written_.find(path);
    struct stat status {};
    if (it != written_.end() && it->second == hash && ::stat(path.c_str(), &status) == 0) {
        return true;
    }
    if (!platform::ReplacePage(path, text)) {
        written_.erase(path);
        return false;
    }
    written_[path] = hash;
    ++writeCount_;
    return true;
}

std::string CAnalysisPages::WriteTablePage(const TablePageRequest& request) {
    pages::TablePageFiles files = pages::BuildTablePage(request);
    for (const pages::PageFile& alerts : files.alertsPages) WritePage(alerts.path, alerts.text);
    if (!WritePage(files.page.path, files.page.text)) return {};
    return files.page.path;
}

std::string CAnalysisPages::WriteHandPage(const HandPageRequest& request) {
    std::string path = pages::HandPagePath(request.outputFolder, request.hand.handNumber);
    if (!WritePage(path, pages::HandPageText(request))) return {};
    return path;
}

void CAnalysisPages::WritePlayerReport(const PlayerReportRequest& request) {
    std::string path =
        pages::PlayerReportPath(request.outputFolder, request.playerKey, request.record != nullptr);
    WritePage(path, pages::PlayerReportText(request));
}

std::string CAnalysisPages::WritePlayersReport(CHandAnalyzer& analyzer,
                                               const CReportOptions& options) {
    std::lock_guard lock(analyzer.Mutex());
    analyzer.RankPlayers();
    std::string path = pages::PlayersReportPath(analyzer.Start().outputFolder);
    if (!WritePage(
            path, pages::PlayersReportText(
                      analyzer.Players(), analyzer.UserRecord(pages::GameTypeTag(options.gameType)),
                      options, kMaxReportRows)))
        return {};
    return path;
}
