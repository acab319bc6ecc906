#include "pages/analysis_pages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "analysis/hand_analyzer.h"
#include "pages/hand_page.h"
#include "pages/report_pages.h"
#include "pages/table_page.h"

namespace {

// Puts `text` in place of the file at `path` whole: it is written to a
// temporary file beside it, which then takes the page's place in one step. A
// browser that reloads the page meanwhile reads the old page or the new one,
// never a mix, and a write that fails (a full disk) leaves the old page as it
// was. The text is not forced to the disk: every pass writes the pages again.
//
// The temporary file is kept: the two files swap places, so the old page
// becomes the next write's temporary file. Creating a file and deleting one
// for every page of every pass cost more than writing the pages (the file
// system searches its recently freed entries on each create).
bool ReplaceFile(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp~";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    bool ok = done == text.size();
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
        return true;
    }
    // No page yet, or a file system that cannot swap: an ordinary rename.
    if (::rename(temp.c_str(), path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

}  // namespace

bool CAnalysisPages::WritePage(const std::string& path, const std::string& text) {
    const std::size_t hash = std::hash<std::string>{}(text);
    auto it = written_.find(path);
    struct stat status {};
    if (it != written_.end() && it->second == hash && ::stat(path.c_str(), &status) == 0) {
        return true;
    }
    if (!ReplaceFile(path, text)) {
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
