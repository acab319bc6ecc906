#pragma once
// CGraphWindows: the console's graph windows, one per player key, or one
// shared window when the setting "Advanced"/"Reuse Graph Window" is on. It
// creates a window on the first request for a key, hands it the player's two
// series, answers its scale buttons, and refreshes the open windows after
// every pass that added hands (dropping the ones the user closed).

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "platform/profile.h"
#include "viewers/dlg_chart_viewer.h"

class CGraphWindows {
  public:
    // A player's per-hand amounts in cents, in time order: the hands before
    // the current session and those of the session.
    struct PlayerSeries {
        std::vector<std::int32_t> earlier;
        std::vector<std::int32_t> session;
    };
    using SeriesSource = std::function<PlayerSeries(std::string_view playerKey)>;

    // Keys ending in one of these (tournaments, no limit, play money) get a
    // window without scale buttons, unless the window is shared.
    static bool HasGameTypeSuffix(std::string_view key);

    // Everything given outlives this object.
    CGraphWindows(platform::Desktop& desktop, platform::WindowId owner, platform::Profile& settings,
                  std::filesystem::path programFolder, SeriesSource series);

    // Shows (creating when needed) the window of `key` with the graph of
    // `player`; `number` is the scale option of CDlgChartViewer::SetData.
    void ShowGraph(const std::string& key, const std::string& player, int number);
    // Redraws every open window from fresh series; windows the user closed
    // are destroyed.
    void Refresh();

    // The window under key, or nullptr.
    CDlgChartViewer* Find(std::string_view key) const;
    std::size_t Count() const { return windows_.size(); }

  private:
    bool Reused() const;
    void Fill(CDlgChartViewer& window, int scaleOption, std::string_view nameToShow);

    platform::Desktop& desktop_;
    platform::WindowId owner_;
    platform::Profile& settings_;
    std::filesystem::path programFolder_;
    SeriesSource series_;
    std::map<std::string, std::unique_ptr<CDlgChartViewer>, std::less<>> windows_;
    int created_ = 0;
};
