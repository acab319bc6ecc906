#include "calc/dlg_calculator.h"

#include <chrono>
#include <mutex>

#include "analysis/table_record.h"
#include "calc/calculator_page_data.h"
#include "hands/card.h"
#include "hands/room_family.h"

namespace {

// The window's size: the dialog frame of 184 x 163 dialog units in pixels.
constexpr int kWidth = 276;
constexpr int kHeight = 265;

// Whether a pocket text names the same card twice ("[Ah][Ah]"): its second to
// third and sixth to seventh characters match.
bool SameCardTwice(const std::string& pocket) {
    return pocket.size() >= 7 && pocket.compare(1, 2, pocket, 5, 2) == 0;
}

}  // namespace

CDlgCalculator::CDlgCalculator(platform::Desktop& desktop, platform::WindowId owner,
                               StartingHandLookup lookup, COddsCalculator::TimeSource timeSource)
    : desktop_(desktop), lookup_(std::move(lookup)), timeSource_(std::move(timeSource)) {
    platform::WindowDescription desc;
    desc.kind = platform::WindowKind::kHtml;
    desc.title = "Calculator";
    desc.rect = platform::Rect::FromSize(0, 0, kWidth, kHeight);
    desc.owner = owner;
    desc.visible = false;
    window_ = desktop_.CreateWindow(desc);
    playerFraction_.fill(-1);
    bestFraction_.fill(-1);
}

CDlgCalculator::~CDlgCalculator() {
    if (table_ != nullptr) table_->DetachCalculator(this);
    desktop_.DestroyWindow(window_);
}

bool CDlgCalculator::IsSupportedRoom(int roomId) {
    return HasTableCalculator(FamilyOfRoom(roomId));
}

void CDlgCalculator::AttachToTable(std::string folder, CTableRecord& record) {
    std::lock_guard lock(record.Mutex());
    if (table_ != nullptr && table_ != &record) table_->DetachCalculator(this);
    tableName_ = record.TableName();
    roomId_ = record.RoomId();
    table_ = &record;
    record.AttachCalculator(this);
    folder_ = std::move(folder);
    desktop_.SetTitle(window_, "Calculator - " + tableName_);
    if (IsSupportedRoom(roomId_)) {
        Refresh(record, CardSource::kHistory, TableSizeWarning::kNone);
        desktop_.Show(window_, platform::ShowMode::kShow);
    }
}

void CDlgCalculator::ShowForRoom(bool show) {
    if (show && IsSupportedRoom(roomId_)) {
        const auto state = desktop_.GetWindow(window_);
        desktop_.Show(window_, state && state->minimized ? platform::ShowMode::kRestore
                                                         : platform::ShowMode::kShow);
        desktop_.BringToTop(window_);
    } else {
        desktop_.Show(window_, platform::ShowMode::kHide);
    }
}

void CDlgCalculator::Refresh(const CTableRecord& record, CardSource source,
                             TableSizeWarning warning) {
    std::lock_guard lock(record.Mutex());
    if (warning != lastWarning_) {
        CalculatorPageData empty;
        empty.folder = folder_;
        empty.title = tableName_;
        WriteCalculatorPage(empty, warning);
        lastWarning_ = warning;
    }
    if (source == CardSource::kScreen) {
        const auto& cards = record.Cards();
        const auto label = [&](std::size_t i) { return CCard::FromIndex(cards[i]).Label(); };
        const std::string pocket = label(0) + label(1);
        // One pocket card alone is a half-read screen; the next read will do.
        if (pocket.size() == 4) return;
        pocketText_ = pocket;
        flopText_ = label(2) + label(3) + label(4);
        turnText_ = label(5);
        riverText_ = label(6);
    } else {
        pocketText_ = record.Pocket();
        flopText_ = record.Flop();
        turnText_ = record.Turn();
        riverText_ = record.River();
    }
    street_ = record.Street();
    opponents_ = record.OpponentCount();
    Recalculate();
    WritePage(warning);
}

void CDlgCalculator::Recalculate() {
    if (busy_) return;
    busy_ = true;
    COddsCalculator calculator(timeSource_);
    playerFraction_.fill(-1);
    bestFraction_.fill(-1);
    outs_.fill(0);
    win_ = -1;
    split_ = -1;
    exact_ = false;
    if (!pocketText_.empty() && !SameCardTwice(pocketText_)) {
        const auto start = std::chrono::steady_clock::now();
        calculator.SetCards(pocketText_, flopText_, turnText_, riverText_);
        if (street_ != 0) {
            calculator.Simulate(kTrials, opponents_, kTimeLimitMs);
            const std::int32_t trials = calculator.Trials();
            if (trials > 0) {
                const auto fraction = [trials](std::int32_t count) {
                    return static_cast<float>(count) / static_cast<float>(trials);
                };
                for (std::size_t c = 0; c < kCategoryCount; ++c) {
                    playerFraction_[c] = fraction(calculator.PlayerCategoryCount()[c]);
                    bestFraction_[c] = fraction(calculator.BestOpponentCategoryCount()[c]);
                }
                win_ = fraction(calculator.Wins());
                split_ = fraction(calculator.Splits());
                exact_ = calculator.Exact();
            }
        }
        if (street_ == 1 || street_ == 2) {
            calculator.CountOuts();
            outs_ = calculator.Outs();
        }
        lastMilliseconds_ = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
        lastTrials_ = calculator.Trials();
        ++calculations_;
    }
    busy_ = false;
}

void CDlgCalculator::WritePage(TableSizeWarning warning) {
    CalculatorPageData page;
    page.folder = folder_;
    page.title = tableName_;
    page.pocketText = pocketText_;
    page.flopText = flopText_;
    page.turnText = turnText_;
    page.riverText = riverText_;
    page.win = win_;
    page.split = split_;
    page.playerFraction = playerFraction_;
    page.opponentFraction = bestFraction_;
    page.bestFraction = bestFraction_;
    page.outs = outs_;
    page.exact = exact_;
    const StartingHandRank rank =
        pocketText_.empty() || !lookup_ ? StartingHandRank{} : lookup_(pocketText_);
    page.pocketRank = rank.rank;
    page.pocketGroup = rank.group;
    WriteCalculatorPage(page, warning);
    pagePath_ = page.pagePath;
    desktop_.Navigate(window_, pagePath_);
}
