#include "calc/dlg_manual_calculator.h"

#include "calc/calculator_page_data.h"
#include "calc/card_index.h"

namespace {

// Button order within a suit row: Two to Ace.
int ColumnOfRank(int rank) { return (rank + calc::kRankCount - 1) % calc::kRankCount; }

// First control id of each suit's row (spades, clubs, hearts, diamonds).
constexpr std::array<int, calc::kSuitCount> kSuitFirstId = {1090, 1142, 1116, 1155};
// Rows on the window, top to bottom: spades, hearts, clubs, diamonds.
constexpr std::array<int, calc::kSuitCount> kSuitRow = {0, 2, 1, 3};
constexpr std::array<int, 9> kOpponentIds = {1103, 1168, 1176, 1177, 1178, 1179, 1180, 1181, 1182};

// Layout in pixels: the dialog frame of 234 x 308 dialog units.
constexpr int kWidth = 351;
constexpr int kHeight = 500;
constexpr int kCardWidth = 25;
constexpr int kCardHeight = 34;
constexpr int kMargin = 8;
constexpr int kOpponentSize = 26;

}  // namespace

int CDlgManualCalculator::CardButtonId(int card) {
    return kSuitFirstId[static_cast<std::size_t>(calc::SuitOf(card))] +
           ColumnOfRank(calc::RankOf(card));
}

int CDlgManualCalculator::OpponentButtonId(int count) {
    return kOpponentIds[static_cast<std::size_t>(count - 1)];
}

std::string CDlgManualCalculator::CardImage(int card) {
    return std::string("calculator/card_") + calc::RankChar(calc::RankOf(card)) +
           calc::SuitChar(calc::SuitOf(card)) + ".png";
}

std::string CDlgManualCalculator::OpponentButtonImage(int count, OpponentImage state) {
    static constexpr std::array<const char*, 3> kSuffix = {"", "_selected", "_disabled"};
    return "calculator/opponents_" + std::to_string(count) +
           kSuffix[static_cast<std::size_t>(state)] + ".png";
}

CDlgManualCalculator::CDlgManualCalculator(platform::Desktop& desktop, platform::WindowId owner,
                                           std::string folder, StartingHandLookup lookup,
                                           COddsCalculator::TimeSource timeSource)
    : desktop_(desktop),
      folder_(std::move(folder)),
      lookup_(std::move(lookup)),
      timeSource_(std::move(timeSource)) {
    platform::WindowDescription desc;
    desc.kind = platform::WindowKind::kDialog;
    desc.title = "Manual Calculator";
    desc.rect = platform::Rect::FromSize(0, 0, kWidth, kHeight);
    desc.owner = owner;
    desc.visible = false;
    for (int card = 0; card < calc::kDeckSize; ++card) {
        platform::Control button;
        button.id = CardButtonId(card);
        button.kind = platform::ControlKind::kImageButton;
        button.image = CardImage(card);
        const int x = kMargin + ColumnOfRank(calc::RankOf(card)) * kCardWidth;
        const int y =
            kMargin + kSuitRow[static_cast<std::size_t>(calc::SuitOf(card))] * kCardHeight;
        button.rect = platform::Rect::FromSize(x, y, kCardWidth - 1, kCardHeight - 1);
        desc.controls.push_back(button);
    }
    const int opponentTop = kMargin + 4 * kCardHeight + kMargin;
    platform::Control label;
    label.id = kOpponentsLabel;
    label.kind = platform::ControlKind::kStatic;
    label.text = "Opponents:";
    label.rect = platform::Rect::FromSize(kMargin, opponentTop + 6, 64, 16);
    desc.controls.push_back(label);
    for (int count = 1; count <= 9; ++count) {
        platform::Control button;
        button.id = OpponentButtonId(count);
        button.kind = platform::ControlKind::kImageButton;
        button.text = std::to_string(count);
        button.image = OpponentButtonImage(count, OpponentImage::kDisabled);
        button.enabled = false;
        button.rect = platform::Rect::FromSize(kMargin + 68 + (count - 1) * kOpponentSize,
                                               opponentTop, kOpponentSize - 2, kOpponentSize - 2);
        desc.controls.push_back(button);
    }
    platform::Control clear;
    clear.id = kClearButton;
    clear.kind = platform::ControlKind::kButton;
    clear.text = "Clear";
    clear.rect =
        platform::Rect::FromSize(kWidth - kMargin - 50, opponentTop, 50, kOpponentSize - 2);
    desc.controls.push_back(clear);
    platform::Control browser;
    browser.id = kBrowser;
    browser.kind = platform::ControlKind::kPage;
    const int browserTop = opponentTop + kOpponentSize + kMargin;
    browser.rect = platform::Rect{kMargin, browserTop, kWidth - kMargin, kHeight - kMargin};
    desc.controls.push_back(browser);

    window_ = desktop_.CreateWindow(desc);
    desktop_.SetCommandHandler(
        window_, [this](const platform::Command& command) { return OnCommand(command); });
}

CDlgManualCalculator::~CDlgManualCalculator() { desktop_.DestroyWindow(window_); }

bool CDlgManualCalculator::OnCommand(const platform::Command& command) {
    if (command.kind != platform::CommandKind::kClick) return false;
    if (command.id == kClearButton) {
        OnClear();
        return true;
    }
    for (int count = 1; count <= 9; ++count) {
        if (command.id == OpponentButtonId(count)) {
            OnOpponentButton(count);
            return true;
        }
    }
    for (int card = 0; card < calc::kDeckSize; ++card) {
        if (command.id == CardButtonId(card)) {
            OnCardButton(card);
            return true;
        }
    }
    return false;
}

void CDlgManualCalculator::SetCardButtonImage(int card, bool shown) {
    auto button = desktop_.GetControl(window_, CardButtonId(card));
    if (!button) return;
    button->image = shown ? CardImage(card) : std::string();
    desktop_.SetControl(window_, *button);
}

void CDlgManualCalculator::OnCardButton(int card) {
    if (!calc::IsCard(card)) return;
    bool removed = false;
    for (CCard& slot : slots_) {
        if (slot.index == card) {
            slot = CCard{};
            SetCardButtonImage(card, true);
            removed = true;
            break;
        }
    }
    if (!removed) {
        for (CCard& slot : slots_) {
            if (slot.index < 0) {
                slot = CCard::FromIndex(card);
                SetCardButtonImage(card, false);
                break;
            }
        }
    }
    RebuildTexts();
    selectedOpponents_ = kNoOpponents;
    UpdateOpponentButtons();
    Calculate(kNoOpponents, Odds::kCardsOnly);
}

void CDlgManualCalculator::OnOpponentButton(int count) {
    if (!complete_ || count < 1 || count > kMostOpponents) return;
    selectedOpponents_ = count;
    UpdateOpponentButtons();
    Calculate(count, Odds::kSimulate);
}

void CDlgManualCalculator::OnClear() {
    for (CCard& slot : slots_) slot = CCard{};
    pocketText_.clear();
    flopText_.clear();
    turnText_.clear();
    riverText_.clear();
    complete_ = false;
    selectedOpponents_ = kNoOpponents;
    for (int card = 0; card < calc::kDeckSize; ++card) SetCardButtonImage(card, true);
    UpdateOpponentButtons();
    // With every slot empty the engine finds no cards, so the page shows "n/a".
    Calculate(kMostOpponents, Odds::kSimulate);
}

// Builds the four texts from the slots, last slot first: an empty slot before
// a filled one reads "[??]" and leaves the input incomplete.
void CDlgManualCalculator::RebuildTexts() {
    std::array<std::string, kSlotCount> text;
    bool laterFilled = false;
    bool gap = false;
    for (int i = kSlotCount - 1; i >= 0; --i) {
        const CCard& slot = slots_[static_cast<std::size_t>(i)];
        if (slot.index >= 0) {
            text[static_cast<std::size_t>(i)] = slot.Label();
            laterFilled = true;
        } else if (laterFilled) {
            text[static_cast<std::size_t>(i)] = "[??]";
            gap = true;
        }
    }
    pocketText_ = text[0] + text[1];
    flopText_ = text[2] + text[3] + text[4];
    turnText_ = text[5];
    riverText_ = text[6];
    complete_ = !gap && pocketText_.size() == 8 && flopText_.size() == 12;
}

void CDlgManualCalculator::UpdateOpponentButtons() {
    for (int count = 1; count <= 9; ++count) {
        auto button = desktop_.GetControl(window_, OpponentButtonId(count));
        if (!button) continue;
        button->enabled = complete_;
        button->image =
            OpponentButtonImage(count, !complete_                    ? OpponentImage::kDisabled
                                       : count == selectedOpponents_ ? OpponentImage::kSelected
                                                                     : OpponentImage::kNormal);
        desktop_.SetControl(window_, *button);
    }
}

void CDlgManualCalculator::Calculate(int opponents, Odds odds) {
    const bool simulate = odds == Odds::kSimulate;
    COddsCalculator calculator(timeSource_);
    calculator.SetCards(pocketText_, flopText_, turnText_, riverText_);
    if (opponents > 0 && simulate) {
        calculator.Simulate(kTrials, opponents, kTimeLimitMs);
        if (riverText_.empty() && !flopText_.empty()) calculator.CountOuts();
    }

    CalculatorPageData page;
    page.folder = folder_;
    page.title = kTitle;
    page.pocketText = pocketText_;
    page.flopText = flopText_;
    page.turnText = turnText_;
    page.riverText = riverText_;
    page.pocketRank = 170;
    page.pocketGroup = 9;
    if (pocketText_.size() > 6 && pocketText_.find("??") == std::string::npos && lookup_) {
        const StartingHandRank rank =
            lookup_("[" + pocketText_.substr(1, 2) + "," + pocketText_.substr(5, 2) + "]");
        page.pocketRank = rank.rank;
        page.pocketGroup = rank.group;
    }
    if (calculator.Valid() && simulate) {
        const std::int32_t trials = calculator.Trials();
        const std::int32_t hands = calculator.OpponentHands();
        // Fractions of an empty run stay "not available" rather than divide by zero.
        const auto over = [](std::int32_t count, std::int32_t total) {
            return total > 0 ? static_cast<float>(count) / static_cast<float>(total) : -1.0f;
        };
        page.win = over(calculator.Wins(), trials);
        page.split = over(calculator.Splits(), trials);
        for (std::size_t c = 0; c < kCategoryCount; ++c) {
            page.playerFraction[c] = over(calculator.PlayerCategoryCount()[c], trials);
            page.bestFraction[c] = over(calculator.BestOpponentCategoryCount()[c], trials);
            page.opponentFraction[c] = over(calculator.OpponentCategoryCount()[c], hands);
        }
        page.outs = calculator.Outs();
        page.exact = calculator.Exact();
        ++calculations_;
    }
    WriteCalculatorPage(page, TableSizeWarning::kNone);
    pagePath_ = page.pagePath;
    auto browser = desktop_.GetControl(window_, kBrowser);
    if (browser) {
        browser->page = pagePath_;
        desktop_.SetControl(window_, *browser);
    }
}
