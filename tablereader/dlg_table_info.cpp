#include "tablereader/dlg_table_info.h"

#include <algorithm>

#include "analysis/table_record.h"
#include "platform/profile.h"
#include "tablereader/table_titles.h"
#include "tablereader/test_table_scene.h"

namespace {

constexpr const char* kIcon = "/desk/seatwatch.svg";
// Every fifth search forgets the cached table window, so a table reopened
// under a new window is found again.
constexpr int kSearchesPerRefresh = 5;
// The PokerStars client's table size at which its cards are read.
constexpr int kPokerStarsWidth = 800, kPokerStarsHeight = 580;
// The PartyPoker family's tables are 796 wide; the window is made 794 first
// and 796 100 ms later, which makes the client redraw at that size.
constexpr int kPartyWidth = 796, kPartyFirstWidth = 794, kPartyHeight = 500;
constexpr std::int64_t kPartyResizeDelayMs = 100;

// Where a new window and its calculator go before the table is found: below
// the owner, cascaded, the calculator to the right, both kept on the work area.
platform::Rect InitialRect(const platform::Desktop& desktop, platform::WindowId owner, int cascade,
                           platform::Rect& calculator) {
    // The calculator's page needs about 310 pixels below the window's title
    // bar as the desk sets it; at the calculator's own 265 its last rows
    // would be cut off.
    constexpr int kStep = 24, kGap = 10, kCalculatorWidth = 276, kCalculatorHeight = 340;
    const platform::Rect work = desktop.WorkArea();
    const auto state = desktop.GetWindow(owner);
    int left = 0, top = 0;
    if (state) {
        left = state->rect.left + (cascade % 8) * kStep;
        top = state->rect.bottom + kGap + (cascade % 8) * kStep;
    }
    int calcLeft = left + CDlgTableInfo::kInitialWidth + kGap;
    if (!work.Empty() && calcLeft + kCalculatorWidth > work.right)
        calcLeft = std::max(work.left, work.right - kCalculatorWidth);
    calculator = platform::Rect::FromSize(calcLeft, top, kCalculatorWidth, kCalculatorHeight);
    return platform::Rect::FromSize(left, top, CDlgTableInfo::kInitialWidth,
                                    CDlgTableInfo::kInitialHeight);
}

// The table's alerts window: below its calculator, kept on the work area.
platform::Rect AlertsRect(const platform::Desktop& desktop, const platform::Rect& calculator) {
    constexpr int kGap = 10;
    const platform::Rect size = CDlgAlerts::kDefaultPlace;
    int left = calculator.left, top = calculator.bottom + kGap;
    const platform::Rect work = desktop.WorkArea();
    if (!work.Empty()) {
        left = std::max(work.left, std::min(left, work.right - size.Width()));
        top = std::max(work.top, std::min(top, work.bottom - size.Height()));
    }
    return platform::Rect::FromSize(left, top, size.Width(), size.Height());
}

// The desk shows the screen one to one (the browser fills the screen), so a
// table's screen rectangle is its place on the desk; a window that would
// leave the desk's work area is moved back onto it.
platform::Rect OnDesk(const platform::Desktop& desktop, platform::Rect r) {
    const platform::Rect work = desktop.WorkArea();
    if (work.Empty()) return r;
    const int dx = r.right > work.right ? work.right - r.right : 0;
    const int left = std::max(work.left, r.left + dx);
    const int top = std::max(work.top, std::min(r.top, work.bottom - 1));
    return platform::Rect::FromSize(left, top, r.Width(), r.Height());
}

bool IsInterPoker(int room) { return (room >= 108 && room <= 111) || (room >= 115 && room <= 119); }

// The window rectangle that gives the window a client area of width × height,
// keeping its frame and position.
platform::Rect WithClientSize(const platform::ScreenWindow& w, int width, int height) {
    const int frameW = w.windowRect.Width() - w.clientRect.Width();
    const int frameH = w.windowRect.Height() - w.clientRect.Height();
    return platform::Rect::FromSize(w.windowRect.left, w.windowRect.top, width + frameW,
                                    height + frameH);
}

// A layout's window size as a client-area size: the layouts measure the
// window with a frame of 3 pixels at the sides and bottom and F at the top.
int ClientWidth(int windowWidth) { return windowWidth - 6; }
int ClientHeight(const TableLayout& l, int windowHeight) {
    return windowHeight - l.frameHeight - 3;
}

}  // namespace

CDlgTableInfo::CDlgTableInfo(const TableInfoEnvironment& env, std::string tableName,
                             CTableRecord& record, std::string pageText)
    : env_(env), tableName_(std::move(tableName)), record_(record), pageText_(std::move(pageText)) {
    platform::Desktop& desktop = *env_.desktop;
    platform::WindowDescription desc;
    desc.kind = platform::WindowKind::kHtml;
    desc.title = TableInfoTitle(tableName_);
    platform::Rect calculatorRect;
    desc.rect = InitialRect(desktop, env_.owner, env_.cascade, calculatorRect);
    desc.owner = env_.owner;
    desc.visible = false;
    window_ = desktop.CreateWindow(desc);
    if (window_ == platform::kNoWindow) {
        desktop.MessageBox(
            env_.owner, "Could not create Table Information Window for Table '" + tableName_ + "'",
            "Seatwatch", platform::MessageBoxButtons::kOk);
        return;
    }
    if (!pageText_.empty()) desktop.Navigate(window_, pageText_);

    // Initialisation: the calculator, the alerts window, the icon, our size,
    // then the following timer.
    calculator_ = std::make_unique<CDlgCalculator>(desktop, window_, env_.lookup);
    desktop.SetWindowPos(calculator_->Window(), platform::kInsertTop, calculatorRect,
                         platform::kNoZOrder);
    calculator_->AttachToTable(env_.pageFolder, record_);
    alerts_ = std::make_unique<CDlgAlerts>(desktop, window_, "Alerts - " + tableName_,
                                           AlertsRect(desktop, calculatorRect));
    desktop.SetIcon(window_, kIcon);
    if (const auto state = desktop.GetWindow(window_)) {
        initialWidth_ = state->rect.Width();
        initialHeight_ = state->rect.Height();
    }
    record_.AttachInfoWindow(this);
    if (env_.screen == nullptr || !env_.screen->Available()) {
        // No screen to follow: the page is shown where it was made, with
        // the calculator beside it.
        desktop.Show(window_, platform::ShowMode::kShowNoActivate);
        ShowCalculatorBeside();
        hidden_ = false;
        return;
    }
    env_.loop->SetTimer(window_, kTimerFollow, kFollowMs, [this] { OnFollowTimer(); });
}

CDlgTableInfo::~CDlgTableInfo() {
    if (window_ == platform::kNoWindow) return;
    env_.loop->KillWindowTimers(window_);
    if (record_.InfoWindow() == this) record_.AttachInfoWindow(nullptr);
    calculator_.reset();
    alerts_.reset();
    env_.desktop->DestroyWindow(window_);
}

void CDlgTableInfo::Refresh(const std::string& pageText) {
    if (window_ == platform::kNoWindow) return;
    pageText_ = pageText;
    env_.desktop->Navigate(window_, pageText_);
}

void CDlgTableInfo::ShowCalculator() {
    if (calculator_) calculator_->ShowForRoom(true);
}

void CDlgTableInfo::ShowAlerts(const std::string& playerKey, bool setTitle,
                               const std::string& address) {
    if (!alerts_) return;
    if (hidden_ && seenTable_) {
        // Asked for while the table is away: it waits for the table's return.
        alerts_->Load(playerKey, setTitle, address);
        alertsWereOpen_ = true;
        return;
    }
    alerts_->Show(playerKey, setTitle, address);
}

void CDlgTableInfo::ShowCalculatorBeside() {
    if (calculator_) calculator_->ShowForRoom(true);
}

std::optional<platform::ScreenWindow> CDlgTableInfo::FindTableWindow() {
    platform::ScreenSource* screen = env_.screen;
    if (screen == nullptr || !screen->Available()) return std::nullopt;
    if (++searches_ % kSearchesPerRefresh == 0) tableWindow_ = 0;
    if (tableWindow_ != 0) {
        if (auto w = screen->Describe(tableWindow_)) return w;
        tableWindow_ = 0;
    }
    for (const platform::ScreenWindow& w : screen->TopLevelWindows()) {
        if (!TableTitleMatches(env_.roomCode, tableName_, w.title)) continue;
        tableWindow_ = w.id;
        if (ResizesTableOnFirstFind(env_.roomCode) && !resizedOnce_ && env_.layout != nullptr) {
            resizedOnce_ = true;
            const TableLayout& l = *env_.layout;
            screen->MoveWindow(w.id, WithClientSize(w, ClientWidth(kPartyFirstWidth),
                                                    ClientHeight(l, kPartyHeight)));
            const platform::ScreenWindowId id = w.id;
            env_.loop->SetTimer(window_, kTimerResize, kPartyResizeDelayMs, [this, id, &l] {
                env_.loop->KillTimer(window_, kTimerResize);
                if (auto now = env_.screen->Describe(id))
                    env_.screen->MoveWindow(id, WithClientSize(*now, ClientWidth(kPartyWidth),
                                                               ClientHeight(l, kPartyHeight)));
            });
        }
        return w;
    }
    return std::nullopt;
}

void CDlgTableInfo::HideAll() {
    platform::Desktop& desktop = *env_.desktop;
    desktop.Show(window_, platform::ShowMode::kHide);
    if (calculator_) calculator_->ShowForRoom(false);
    if (alerts_) {
        alertsWereOpen_ = alertsWereOpen_ || alerts_->IsVisible();
        alerts_->Hide();
    }
    hidden_ = true;
}

bool CDlgTableInfo::ShouldAttach(const platform::ScreenWindow& table) const {
    int rule =
        env_.settings != nullptr ? env_.settings->GetInt("Advanced", "Detach Table View", 0) : 0;
    if (rule < 0 || rule > 2) rule = 0;
    if (rule == static_cast<int>(AttachRule::kNever)) return false;
    if (rule == static_cast<int>(AttachRule::kAlways)) return true;
    // Automatic: attached when the screen has room for the window below the
    // table.
    const platform::Rect work = env_.desktop->WorkArea();
    return table.windowRect.bottom + initialHeight_ <= work.bottom;
}

void CDlgTableInfo::Place(const platform::ScreenWindow& table) {
    platform::Desktop& desktop = *env_.desktop;
    attached_ = ShouldAttach(table);
    const platform::Rect& t = table.windowRect;
    if (attached_) {
        const auto foreground = env_.screen->ForegroundWindow();
        if (!firstPlacement_ && !(foreground && *foreground == table.id)) return;
        int width = t.Width();
        if (env_.roomCode == 101 || env_.roomCode == 102) {
            width = kPartyWidth;
        } else if (env_.roomCode == 100) {
            // The client keeps a log window beside each table.
            for (const platform::ScreenWindow& w : env_.screen->TopLevelWindows())
                if (w.title == "Logs: " + tableName_) {
                    width += w.windowRect.Width();
                    break;
                }
        }
        const int limit = desktop.WorkArea().bottom - 10;
        const int height = std::max(0, std::min(initialHeight_, limit - t.bottom));
        desktop.SetWindowPos(
            window_, platform::kInsertTop,
            OnDesk(desktop, platform::Rect::FromSize(t.left, t.bottom, width, height)),
            platform::kNoZOrder | platform::kShowWindow);
        firstPlacement_ = false;
    } else if (firstPlacement_) {
        desktop.SetWindowPos(window_, platform::kInsertTop,
                             OnDesk(desktop, platform::Rect::FromSize(t.left, t.bottom - 200,
                                                                      t.Width(), kInitialHeight)),
                             platform::kNoZOrder | platform::kShowWindow);
        firstPlacement_ = false;
    }
}

void CDlgTableInfo::OnFollowTimer() {
    const auto table = FindTableWindow();
    if (!table || !table->visible) {
        if (seenTable_) {
            HideAll();
        } else if (hidden_) {
            // No client window for this table (yet): the histories may come
            // from elsewhere, so the page is shown where it was made, with
            // the calculator beside it.
            env_.desktop->Show(window_, platform::ShowMode::kShowNoActivate);
            ShowCalculatorBeside();
            hidden_ = false;
        }
        env_.loop->KillTimer(window_, kTimerFollow);
        if (reader_) reader_->ResetReader();
        env_.loop->SetTimer(window_, kTimerSearch, kSearchMs, [this] { OnSearchTimer(); });
        return;
    }
    seenTable_ = true;
    if (hidden_) {
        // Back after being hidden (or found the first time): the window set
        // comes back with the table.
        hidden_ = false;
        env_.desktop->Show(window_, platform::ShowMode::kShowNoActivate);
        if (!firstPlacement_ && calculator_) calculator_->ShowForRoom(true);
        if (alertsWereOpen_ && alerts_) alerts_->ShowAgain();
        alertsWereOpen_ = false;
    }
    const TableLayout* layout = env_.layout;
    if (env_.roomCode == 113 && layout != nullptr && calculator_) {
        const auto calc = env_.desktop->GetWindow(calculator_->Window());
        const int w = ClientWidth(kPokerStarsWidth), h = ClientHeight(*layout, kPokerStarsHeight);
        if (calc && calc->visible &&
            (table->clientRect.Width() != w || table->clientRect.Height() != h))
            env_.screen->MoveWindow(table->id, WithClientSize(*table, w, h));
    }
    // The table-size warning: the window is away from the client's default
    // size (for the PartyPoker family, its width).
    warning_ = TableSizeWarning::kNone;
    if (layout != nullptr && layout->reading) {
        const platform::Rect def = DefaultClientRect(*layout);
        const bool wrong = (env_.roomCode == 101 || env_.roomCode == 102)
                               ? table->clientRect.Width() != def.Width()
                               : table->clientRect.Width() != def.Width() ||
                                     table->clientRect.Height() != def.Height();
        if (wrong) warning_ = TableSizeWarning::kWrongSize;
    }
    Place(*table);
    if (++ticks_ % 2 == 0) ReadingTick(*table);
}

void CDlgTableInfo::OnSearchTimer() {
    if (window_ == platform::kNoWindow) return;
    const auto table = FindTableWindow();
    if (!table || !table->visible) return;
    if (reader_) reader_->ResetReader();
    env_.loop->KillTimer(window_, kTimerSearch);
    env_.loop->SetTimer(window_, kTimerFollow, kFollowMs, [this] { OnFollowTimer(); });
}

void CDlgTableInfo::ReadingTick(const platform::ScreenWindow& table) {
    if (env_.layout == nullptr || !env_.layout->reading) return;
    if (!reader_) {
        // The InterPoker family's images take a while to load; the timer is
        // stopped meanwhile so that its ticks do not pile up.
        const bool pause = IsInterPoker(env_.roomCode);
        if (pause) env_.loop->KillTimer(window_, kTimerFollow);
        ReaderContext context;
        context.screen = env_.screen;
        context.programFolder = env_.programFolder;
        context.settings = env_.settings;
        context.hostPath = env_.hostPath;
        platform::Desktop* desktop = env_.desktop;
        const platform::WindowId owner = window_;
        context.warn = [desktop, owner](const std::string& text) {
            desktop->MessageBox(owner, text, "Seatwatch", platform::MessageBoxButtons::kOkCancel);
        };
        // The layout of the table theme the client uses now.
        readerLayout_ =
            ThemeLayout(*env_.layout, ClientTableTheme(env_.roomCode, env_.layout->installFolder),
                        env_.settings);
        reader_ = env_.makeReader ? env_.makeReader(env_.roomCode, readerLayout_, context)
                                  : MakeAutoReader(env_.roomCode, readerLayout_, context);
        if (reader_) reader_->LoadCardImages(readerLayout_.installFolder);
        if (pause)
            env_.loop->SetTimer(window_, kTimerFollow, kFollowMs, [this] { OnFollowTimer(); });
        if (!reader_) return;
    }
    CAutoReaderBase::Cards cards{};
    int street = -1, opponents = 1;
    reader_->ReadTable(table.id, cards, street, opponents);
    int handCount = 0;
    {
        std::lock_guard lock(record_.Mutex());
        handCount = record_.HandCounter();
    }
    if (street == CAutoReaderBase::kResetStreet) {
        pocket_ = {-1, -1};
        reader_->ResetReader();
        street = -1;
    } else if (handCount == handCountSeen_) {
        // The same hand: a pocket card hidden for a moment (a highlight, a
        // window over it) is still the one seen before.
        if (cards[0] < 0) cards[0] = pocket_[0];
        if (cards[1] < 0) cards[1] = pocket_[1];
        if (cards[0] >= 0 && cards[1] >= 0) {
            pocket_ = {cards[0], cards[1]};
            street = 0;
            if (cards[2] >= 0 && cards[3] >= 0 && cards[4] >= 0) {
                street = 1;
                if (cards[5] >= 0) {
                    street = 2;
                    if (cards[6] >= 0) street = 3;
                }
            }
        } else {
            street = -1;
        }
    } else {
        // A new hand was recorded: what the screen still shows may be the
        // old hand's cards.
        pocket_ = {-1, -1};
        handCountSeen_ = handCount;
        reader_->ResetReader();
        street = -1;
    }
    if (env_.updateFromScreen) {
        env_.updateFromScreen(record_, cards, street, opponents, warning_);
    } else {
        std::lock_guard lock(record_.Mutex());
        record_.UpdateFromScreen(cards, street, opponents, warning_, record_.UpdateTime());
    }
}
