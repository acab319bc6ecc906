#pragma once
// CDlgHandViewer: the one window of the program in which a hand page is
// shown. Created hidden with the console; the first hand shown in a run puts
// it where the user left it (section "Positions" of the settings), every
// hand brings it to the front, and closing it keeps its place for the next
// time and only hides it.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/desktop.h"
#include "platform/profile.h"

class CDlgHandViewer {
  public:
    // The saved place's keys: "HandReview-Top" and so on, of "Positions".
    static constexpr const char* kPlaceName = "HandReview";
    static constexpr int kDefaultTop = 100;
    static constexpr int kDefaultLeft = 100;
    static constexpr int kDefaultHeight = 356;
    static constexpr int kDefaultWidth = 896;
    static constexpr const char* kTitle = "Hand Viewer";
    static constexpr const char* kCreateFailed = "Could not create Hand Viewer Window";
    static constexpr std::size_t kLongestError = 1024;

    // Creates the window hidden, owned by `owner`; `settings` keeps its place
    // and must outlive it. When the window cannot be created a message box
    // says so (or gives the error's text) and Window() is kNoWindow.
    CDlgHandViewer(platform::Desktop& desktop, platform::WindowId owner,
                   platform::Profile& settings);
    ~CDlgHandViewer();
    CDlgHandViewer(const CDlgHandViewer&) = delete;
    CDlgHandViewer& operator=(const CDlgHandViewer&) = delete;

    // The saved place read from `settings`, or the default place when a value
    // is negative or the place does not fit `workArea` less the margin.
    static platform::Rect SavedPlace(const platform::Profile& settings,
                                     const platform::Rect& workArea);

    // Shows the page of hand `handNumber` at `pagePath`: placed on first use
    // in this run, brought to the front, titled "Hand N".
    void ShowHand(std::uint64_t handNumber, std::string_view pagePath);
    // The window's close button: saves the place and hides the window.
    void Close();
    // Hides the window without saving its place.
    void Hide();
    // The window got the keyboard focus: it puts itself on top of the others.
    void OnFocus();

    platform::WindowId Window() const { return window_; }
    bool PlaceRestored() const { return placeRestored_; }

  private:
    bool OnCommand(const platform::Command& command);

    platform::Desktop& desktop_;
    platform::Profile& settings_;
    platform::WindowId window_ = platform::kNoWindow;
    bool placeRestored_ = false;
};
