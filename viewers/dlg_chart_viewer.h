#pragma once
// CDlgChartViewer: the graph window. It draws a player's running winnings,
// hand by hand, as a line: the hands before the current session in dark
// blue, those of the session in green (even or winning) or red (losing).
// Six buttons choose how many of the most recent hands are shown; a click
// asks the owner (through the scale handler) to hand the data over again with
// that scale. The window is a painted dialog on the desk, created hidden;
// closing it only hides it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/desktop.h"

class CDlgChartViewer {
  public:
    // Hand counts of the six scale buttons, and the one shown at first.
    static constexpr std::array<int, 6> kScales{100, 250, 500, 1000, 2500, 5000};
    static constexpr int kInitialScale = 2;
    // Control ids: the scale buttons in the order of kScales, and the hidden
    // control that takes the focus from a clicked button.
    static constexpr int kFirstScaleButton = 1108;
    static constexpr int kFocusHolder = 1122;
    // The client area with buttons; without them it is kButtonStrip shorter.
    static constexpr int kClientWidth = 364;
    static constexpr int kClientHeight = 206;
    static constexpr int kButtonStrip = 18;
    static constexpr const char* kMenuPageName = "ChartMenu.htm";
    static constexpr const char* kCreateFailed = "Could not create Graph Window";

    enum class Buttons { kHidden, kShown };
    enum class Reuse { kOwnWindow, kShared };

    // Creates the window hidden at `place` (top-left corner of the client
    // area), owned by `owner`, titled with the player's name. When the desktop
    // cannot create it, says kCreateFailed in a message box and Window() is
    // kNoWindow.
    CDlgChartViewer(platform::Desktop& desktop, platform::WindowId owner, std::string playerName,
                    Buttons buttons, Reuse reuse, const std::filesystem::path& programFolder,
                    platform::Point place = {100, 100});
    ~CDlgChartViewer();
    CDlgChartViewer(const CDlgChartViewer&) = delete;
    CDlgChartViewer& operator=(const CDlgChartViewer&) = delete;

    // Called with the scale index of a clicked scale button; the owner answers
    // with SetData.
    void SetScaleHandler(std::function<void(int)> handler) { scaleHandler_ = std::move(handler); }

    // Takes the player's per-hand amounts in cents, each in time order:
    // `earlier` before the current session, `session` in it. `scaleOption`
    // -1 (or any value outside 0..5) keeps the scale, 0..5 selects one. Sets
    // the points, the buttons, the title, and repaints.
    void SetData(std::span<const std::int32_t> earlier, std::span<const std::int32_t> session,
                 int scaleOption, std::string_view playerName);

    // Shows the window on top without moving or sizing it.
    void ShowOnTop();
    // A scale button: asks the owner for the data at scale i, then shows
    // button i pressed and the others released.
    void OnScaleButton(int index);

    // Draws the client area on `canvas` (its size is the client's).
    void Paint(platform::Canvas& canvas) const;

    platform::WindowId Window() const { return window_; }
    // False once the user closed the window (until it is shown again).
    bool IsVisible() const { return visible_; }
    const std::string& PlayerName() const { return playerName_; }
    int ScaleIndex() const { return scaleIndex_; }
    const std::vector<std::int32_t>& OlderPoints() const { return olderPoints_; }
    const std::vector<std::int32_t>& NewerPoints() const { return newerPoints_; }
    // How many hands the drawing shows (the title's count).
    int HandsShown() const { return handsShown_; }
    bool ButtonsShown() const { return buttons_ == Buttons::kShown; }
    bool Reused() const { return reuse_ == Reuse::kShared; }
    const std::filesystem::path& MenuPagePath() const { return menuPagePath_; }

  private:
    bool OnCommand(const platform::Command& command);
    void LayoutButtons(int clientWidth, int clientHeight);
    void UpdateButtons(std::size_t total);
    void Repaint();

    platform::Desktop& desktop_;
    platform::WindowId window_ = platform::kNoWindow;
    std::string playerName_;
    Buttons buttons_;
    Reuse reuse_;
    std::filesystem::path menuPagePath_;
    std::function<void(int)> scaleHandler_;
    int scaleIndex_ = kInitialScale;
    std::vector<std::int32_t> olderPoints_;
    std::vector<std::int32_t> newerPoints_{0};
    int handsShown_ = 0;
    bool visible_ = false;
    // The client size the buttons were laid out for.
    platform::Point clientSize_;
};
