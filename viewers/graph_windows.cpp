#include "viewers/graph_windows.h"

#include <array>

namespace {

constexpr std::array<std::string_view, 4> kGameTypeSuffixes{" (T-L)", " (T-NL)", " (NL)", " (PM)"};

// New windows open in a cascade, so that two graphs opened one after the
// other do not cover each other exactly.
constexpr int kCascadeLeft = 140;
constexpr int kCascadeTop = 90;
constexpr int kCascadeStep = 24;
constexpr int kCascadeLength = 8;

}  // namespace

bool CGraphWindows::HasGameTypeSuffix(std::string_view key) {
    for (const std::string_view suffix : kGameTypeSuffixes) {
        if (key.ends_with(suffix)) return true;
    }
    return false;
}

CGraphWindows::CGraphWindows(platform::Desktop& desktop, platform::WindowId owner,
                             platform::Profile& settings, std::filesystem::path programFolder,
                             SeriesSource series)
    : desktop_(desktop),
      owner_(owner),
      settings_(settings),
      programFolder_(std::move(programFolder)),
      series_(std::move(series)) {}

bool CGraphWindows::Reused() const {
    return settings_.GetInt("Advanced", "Reuse Graph Window", 0) != 0;
}

CDlgChartViewer* CGraphWindows::Find(std::string_view key) const {
    auto it = windows_.find(key);
    return it == windows_.end() ? nullptr : it->second.get();
}

void CGraphWindows::ShowGraph(const std::string& key, const std::string& player, int number) {
    CDlgChartViewer* window = Find(key);
    // No name and no window to show again: there is no graph to draw.
    if (window == nullptr && player.empty()) return;
    if (window == nullptr) {
        const bool reuse = Reused();
        const int slot = created_++ % kCascadeLength;
        auto made = std::make_unique<CDlgChartViewer>(
            desktop_, owner_, player,
            reuse || !HasGameTypeSuffix(key) ? CDlgChartViewer::Buttons::kShown
                                             : CDlgChartViewer::Buttons::kHidden,
            reuse ? CDlgChartViewer::Reuse::kShared : CDlgChartViewer::Reuse::kOwnWindow,
            programFolder_,
            platform::Point{kCascadeLeft + slot * kCascadeStep, kCascadeTop + slot * kCascadeStep});
        if (made->Window() == platform::kNoWindow) return;
        window = made.get();
        // A scale button asks for the data again at its scale.
        window->SetScaleHandler(
            [this, window](int scale) { Fill(*window, scale, window->PlayerName()); });
        windows_.emplace(key, std::move(made));
    }
    // The shared window asked for without a name keeps showing its player.
    Fill(*window, number, player);
    window->ShowOnTop();
}

void CGraphWindows::Fill(CDlgChartViewer& window, int scaleOption, std::string_view nameToShow) {
    const std::string player = nameToShow.empty() ? window.PlayerName() : std::string(nameToShow);
    const PlayerSeries data = series_ ? series_(player) : PlayerSeries{};
    window.SetData(data.earlier, data.session, scaleOption, player);
}

void CGraphWindows::Refresh() {
    const bool reuse = Reused();
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (!it->second->IsVisible()) {
            it = windows_.erase(it);
            continue;
        }
        // Each window shows its key's player; the shared one, its last player.
        Fill(*it->second, -1, reuse ? std::string_view() : std::string_view(it->first));
        ++it;
    }
}
