#pragma once
// CDlgTableInfo: the information window of one live table. It shows the
// table's page, owns the table's calculator and alerts windows, finds the
// poker client's own window of the table on the screen and keeps itself
// placed below it, and reads the table's cards off that window every second
// tick of its 750 ms timer, handing them to the table record. While the
// table window is missing, the window set is hidden and a 5 s timer looks
// for it again. Without a screen (no display), or while the table window has
// never been found, it shows its page at its initial size and reads nothing.

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "analysis/table_calculator_link.h"
#include "calc/dlg_calculator.h"
#include "pages/dlg_alerts.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "platform/screen_source.h"
#include "tablereader/auto_reader_base.h"
#include "tablereader/table_layout.h"

class CTableRecord;
namespace platform {
class Profile;
}

// What every information window borrows; all of it outlives the windows.
struct TableInfoEnvironment {
    platform::Desktop* desktop = nullptr;
    platform::EventLoop* loop = nullptr;
    platform::ScreenSource* screen = nullptr;  // null: no screen to read
    platform::Profile* settings = nullptr;
    platform::WindowId owner = platform::kNoWindow;
    int roomCode = 0;
    const TableLayout* layout = nullptr;  // the current layout; null: none
    std::string pageFolder;               // where the calculator writes its page
    std::string programFolder;            // the shipped card sheets
    StartingHandLookup lookup;
    // Windows paths from the settings to host paths (see ReaderContext).
    std::function<std::string(const std::string&)> hostPath;
    // How many information windows were made before this one: until its
    // table window is found, each is put below the owner (the console), a
    // little further down and right than the one before, with its calculator
    // beside it, so that none covers the console.
    int cascade = 0;
    // Hands the cards read to the table record (the analyzer's
    // UpdateTableFromScreen); empty: the record's own UpdateFromScreen.
    std::function<void(CTableRecord&, const std::array<int, 7>&, int street, int opponents,
                       TableSizeWarning)>
        updateFromScreen;
    // Makes a reader for the room (tests inject theirs); empty: MakeAutoReader.
    std::function<std::unique_ptr<CAutoReaderBase>(int roomCode, const TableLayout&, ReaderContext)>
        makeReader;
};

class CDlgTableInfo : public ITableInfoLink {
  public:
    static constexpr int kTimerFollow = 1;
    static constexpr int kTimerSearch = 2;
    static constexpr int kTimerResize = 3;
    static constexpr std::int64_t kFollowMs = 750;
    static constexpr std::int64_t kSearchMs = 5000;
    static constexpr int kInitialWidth = 796;
    static constexpr int kInitialHeight = 310;
    // Settings "Advanced" / "Detach Table View": 0 automatic, 1 never
    // attach, 2 always attach.
    enum class AttachRule { kAutomatic = 0, kNever = 1, kAlways = 2 };

    // Creates the window hidden, with its calculator and alerts windows, and
    // starts following the table. When the window cannot be made the user is
    // told so and the object does nothing.
    CDlgTableInfo(const TableInfoEnvironment& env, std::string tableName, CTableRecord& record,
                  std::string pageText);
    ~CDlgTableInfo() override;
    CDlgTableInfo(const CDlgTableInfo&) = delete;
    CDlgTableInfo& operator=(const CDlgTableInfo&) = delete;

    // Shows the table's freshly written page.
    void Refresh(const std::string& pageText);
    // Shows the table's calculator.
    void ShowCalculator();
    // Shows a player's alerts page (a path checked by the caller; empty: the
    // page shown stays) in the table's alerts window, captioned with the
    // player's key when `setTitle`.
    void ShowAlerts(const std::string& playerKey, bool setTitle, const std::string& address);

    // The two timers' work (public for tests, which drive them directly too).
    void OnFollowTimer();
    void OnSearchTimer();

    platform::WindowId Window() const { return window_; }
    platform::WindowId AlertsWindow() const {
        return alerts_ ? alerts_->Window() : platform::kNoWindow;
    }
    CDlgCalculator* Calculator() const { return calculator_.get(); }
    CAutoReaderBase* Reader() const { return reader_.get(); }
    platform::ScreenWindowId TableWindow() const { return tableWindow_; }
    bool Attached() const { return attached_; }
    TableSizeWarning Warning() const { return warning_; }
    const std::array<int, 2>& RememberedPocket() const { return pocket_; }
    const std::string& PageText() const { return pageText_; }

  private:
    // The client's table window, found by title (cached between searches).
    std::optional<platform::ScreenWindow> FindTableWindow();
    void HideAll();
    // Shows the calculator where it was made, beside this window at its
    // first place (no table window to follow).
    void ShowCalculatorBeside();
    void Place(const platform::ScreenWindow& table);
    void ReadingTick(const platform::ScreenWindow& table);
    bool ShouldAttach(const platform::ScreenWindow& table) const;

    TableInfoEnvironment env_;
    std::string tableName_;
    CTableRecord& record_;
    std::string pageText_;
    platform::WindowId window_ = platform::kNoWindow;
    std::unique_ptr<CDlgAlerts> alerts_;
    // The alerts window was open when the window set was hidden: it comes
    // back with the table.
    bool alertsWereOpen_ = false;
    std::unique_ptr<CDlgCalculator> calculator_;
    TableLayout readerLayout_;  // the reader's layout: env's, in the client's theme
    std::unique_ptr<CAutoReaderBase> reader_;
    platform::ScreenWindowId tableWindow_ = 0;
    bool firstPlacement_ = true;
    bool attached_ = false;
    bool hidden_ = true;
    bool seenTable_ = false;  // the client's table window has been found once
    bool resizedOnce_ = false;
    TableSizeWarning warning_ = TableSizeWarning::kNone;
    int ticks_ = 0;
    int searches_ = 0;
    int handCountSeen_ = -1;
    std::array<int, 2> pocket_{-1, -1};
    int initialWidth_ = kInitialWidth;
    int initialHeight_ = kInitialHeight;
};
