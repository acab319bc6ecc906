// The console's graph windows and its hand viewer. The graphs read the
// analyzer's two money series of a player; the hand viewer is created hidden
// with the console and shows the hand pages the analyzer writes.

#include <charconv>
#include <filesystem>
#include <mutex>

#include "analysis/hand_analyzer.h"
#include "app/console_views.h"
#include "rooms/intake_session.h"
#include "viewers/dlg_hand_viewer.h"
#include "viewers/graph_windows.h"

namespace {

// The number of a hand page's file, "Hand N.htm"; 0 when the name is not one.
std::uint64_t HandNumberOfPage(const std::string& pagePath) {
    const std::string name = std::filesystem::path(pagePath).filename().string();
    constexpr std::string_view kPrefix = "Hand ";
    if (!std::string_view(name).starts_with(kPrefix)) return 0;
    std::uint64_t number = 0;
    const char* first = name.data() + kPrefix.size();
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || std::string_view(end, last) != ".htm") return 0;
    return number;
}

std::vector<std::int32_t> Amounts(const CTimeSeries& series) {
    std::vector<std::int32_t> amounts;
    amounts.reserve(series.Size());
    for (const auto& [key, amount] : series) amounts.push_back(amount);
    return amounts;
}

class CViewerViews : public IConsoleViews {
  public:
    explicit CViewerViews(const ConsoleViewContext& context)
        : session_(context.session),
          graphs_(*context.desktop, context.console, *context.settings, context.programFolder,
                  [this](std::string_view player) { return SeriesOf(player); }),
          handViewer_(*context.desktop, context.console, *context.settings) {}

    void ShowHand(const std::string& pagePath) override {
        handViewer_.ShowHand(HandNumberOfPage(pagePath), pagePath);
    }
    void HideHandViewer() override { handViewer_.Hide(); }
    void ShowGraph(const std::string& key, const std::string& player, int number) override {
        graphs_.ShowGraph(key, player, number);
    }
    void RefreshGraphs() override { graphs_.Refresh(); }

  private:
    CGraphWindows::PlayerSeries SeriesOf(std::string_view player) {
        CGraphWindows::PlayerSeries series;
        if (session_ == nullptr || player.empty()) return series;
        CHandAnalyzer& analyzer = session_->Analyzer();
        std::lock_guard lock(analyzer.Mutex());
        series.earlier = Amounts(analyzer.GetSeries(player, false));
        series.session = Amounts(analyzer.GetSeries(player, true));
        return series;
    }

    CIntakeSession* session_;
    CGraphWindows graphs_;
    CDlgHandViewer handViewer_;
};

}  // namespace

std::unique_ptr<IConsoleViews> MakeViewerViews(const ConsoleViewContext& context) {
    // Without a desktop or settings there is nothing to show the windows on.
    if (context.desktop == nullptr || context.settings == nullptr) {
        return std::make_unique<IConsoleViews>();
    }
    return std::make_unique<CViewerViews>(context);
}
