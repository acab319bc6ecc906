#include "viewers/dlg_chart_viewer.h"

#include <algorithm>
#include <cstdlib>

#include "platform/text_util.h"
#include "viewers/chart_scale.h"

namespace {

using platform::Rgb;

constexpr platform::Color kBackground = Rgb(0xE4, 0xCB, 0xB1);
constexpr platform::Color kInk = Rgb(0x00, 0x33, 0x66);
constexpr platform::Color kPlot = Rgb(0xFF, 0xFF, 0xFF);
constexpr platform::Color kFrame = Rgb(0x00, 0x00, 0x00);
constexpr platform::Color kGrid = Rgb(0xC0, 0xC0, 0xC0);
constexpr platform::Color kWinning = Rgb(0x00, 0xC0, 0x00);
constexpr platform::Color kLosing = Rgb(0xFF, 0x00, 0x00);
constexpr int kLineWidth = 2;

// Room below the plot: for the buttons, or a plain margin without them.
constexpr int kBottomWithButtons = 28;
constexpr int kBottomWithout = 10;
constexpr int kTop = 10;
constexpr int kRightMargin = 10;

// The scale buttons sit in the strip below the plot.
constexpr int kButtonMargin = 10;
constexpr int kButtonGap = 4;
constexpr int kButtonHeight = 18;
constexpr int kButtonBelowPlot = 5;

platform::TextStyle LabelStyle(platform::TextBaseline baseline) {
    platform::TextStyle style;
    style.font.face = "Arial";
    style.font.height = 14;
    style.font.bold = true;
    style.color = kInk;
    style.align = platform::TextAlign::kRight;
    style.baseline = baseline;
    style.background = platform::TextBackground::kTransparent;
    return style;
}

int PlotBottom(int clientHeight, bool buttons) {
    return clientHeight - (buttons ? kBottomWithButtons : kBottomWithout);
}

int ToPixel(std::int64_t value) { return static_cast<int>(value); }

}  // namespace

CDlgChartViewer::CDlgChartViewer(platform::Desktop& desktop, platform::WindowId owner,
                                 std::string playerName, Buttons buttons, Reuse reuse,
                                 const std::filesystem::path& programFolder, platform::Point place)
    : desktop_(desktop),
      playerName_(std::move(playerName)),
      buttons_(buttons),
      reuse_(reuse),
      menuPagePath_(programFolder / kMenuPageName) {
    const int height = kClientHeight - (ButtonsShown() ? 0 : kButtonStrip);
    platform::WindowDescription desc;
    // A dialog's rectangle is its client area, which is what the painter
    // fills; the desk draws the frame around it.
    desc.kind = platform::WindowKind::kDialog;
    desc.title = playerName_;
    desc.rect = platform::Rect::FromSize(place.x, place.y, kClientWidth, height);
    desc.owner = owner;
    desc.visible = false;
    for (int i = 0; i < static_cast<int>(kScales.size()); ++i) {
        platform::Control button = platform::MakeControl(
            kFirstScaleButton + i, platform::ControlKind::kButton,
            std::to_string(kScales[static_cast<std::size_t>(i)]), platform::Rect{});
        button.visible = ButtonsShown();
        button.enabled = i == 0;
        desc.controls.push_back(std::move(button));
    }
    platform::Control holder = platform::MakeControl(kFocusHolder, platform::ControlKind::kButton,
                                                     std::string(), {1000, 1000, 1000, 1000});
    holder.visible = false;
    desc.controls.push_back(std::move(holder));
    window_ = desktop_.CreateWindow(desc);
    if (window_ == platform::kNoWindow) {
        desktop_.MessageBox(owner, kCreateFailed, "Seatwatch", platform::MessageBoxButtons::kOk);
        return;
    }
    LayoutButtons(kClientWidth, height);
    desktop_.SetCommandHandler(
        window_, [this](const platform::Command& command) { return OnCommand(command); });
}

CDlgChartViewer::~CDlgChartViewer() {
    if (window_ != platform::kNoWindow) desktop_.DestroyWindow(window_);
}

void CDlgChartViewer::SetData(std::span<const std::int32_t> earlier,
                              std::span<const std::int32_t> session, int scaleOption,
                              std::string_view playerName) {
    // An empty name (a refresh of the shared window) keeps the player shown.
    if (!playerName.empty()) playerName_ = std::string(playerName);
    if (scaleOption >= 0 && scaleOption < static_cast<int>(kScales.size())) {
        scaleIndex_ = scaleOption;
    }
    const std::size_t count =
        static_cast<std::size_t>(kScales[static_cast<std::size_t>(scaleIndex_)]);
    const std::size_t total = earlier.size() + session.size();

    // The newest hands of the session, and earlier hands for what is left of
    // the count. A session without hands is one point of 0, so the line
    // always has a session part.
    const std::size_t newer = std::min(count, session.size());
    newerPoints_.assign(session.end() - static_cast<std::ptrdiff_t>(newer), session.end());
    if (newerPoints_.empty()) newerPoints_.push_back(0);
    olderPoints_.clear();
    if (count > session.size()) {
        const std::size_t older = std::min(count - session.size(), earlier.size());
        olderPoints_.assign(earlier.end() - static_cast<std::ptrdiff_t>(older), earlier.end());
    }
    // The title counts hands, so the stand-in point of an empty session is
    // not one of them.
    handsShown_ = static_cast<int>(olderPoints_.size() + newer);

    UpdateButtons(total);
    if (window_ == platform::kNoWindow) return;
    desktop_.SetTitle(window_,
                      platform::Format("%s - Last %d Hands", playerName_.c_str(), handsShown_));
    Repaint();
}

void CDlgChartViewer::UpdateButtons(std::size_t total) {
    if (window_ == platform::kNoWindow) return;
    for (int i = 0; i < static_cast<int>(kScales.size()); ++i) {
        auto button = desktop_.GetControl(window_, kFirstScaleButton + i);
        if (!button) continue;
        // A scale is offered once there are more hands than the one below it
        // shows.
        button->enabled =
            i == 0 || total > static_cast<std::size_t>(kScales[static_cast<std::size_t>(i - 1)]);
        button->checked = i == scaleIndex_;
        desktop_.SetControl(window_, *button);
    }
}

void CDlgChartViewer::LayoutButtons(int clientWidth, int clientHeight) {
    clientSize_ = platform::Point{clientWidth, clientHeight};
    const int top = PlotBottom(clientHeight, true) + kButtonBelowPlot;
    const int count = static_cast<int>(kScales.size());
    const int width =
        std::max(1, (clientWidth - 2 * kButtonMargin - (count - 1) * kButtonGap) / count);
    for (int i = 0; i < count; ++i) {
        auto button = desktop_.GetControl(window_, kFirstScaleButton + i);
        if (!button) continue;
        button->rect = platform::Rect::FromSize(kButtonMargin + i * (width + kButtonGap), top,
                                                width, kButtonHeight);
        desktop_.SetControl(window_, *button);
    }
}

void CDlgChartViewer::ShowOnTop() {
    if (window_ == platform::kNoWindow) return;
    const auto state = desktop_.GetWindow(window_);
    if (state && state->minimized) desktop_.Show(window_, platform::ShowMode::kRestore);
    desktop_.SetWindowPos(window_, platform::kInsertTop, platform::Rect{},
                          platform::kNoMove | platform::kNoSize | platform::kShowWindow);
    visible_ = true;
}

void CDlgChartViewer::OnScaleButton(int index) {
    if (index < 0 || index >= static_cast<int>(kScales.size())) return;
    if (scaleHandler_) scaleHandler_(index);
    if (window_ == platform::kNoWindow) return;
    for (int i = 0; i < static_cast<int>(kScales.size()); ++i) {
        auto button = desktop_.GetControl(window_, kFirstScaleButton + i);
        if (!button) continue;
        button->checked = i == index;
        desktop_.SetControl(window_, *button);
    }
}

bool CDlgChartViewer::OnCommand(const platform::Command& command) {
    switch (command.kind) {
        case platform::CommandKind::kClick: {
            const int index = command.id - kFirstScaleButton;
            if (index < 0 || index >= static_cast<int>(kScales.size())) return false;
            OnScaleButton(index);
            return true;
        }
        case platform::CommandKind::kClose:
            visible_ = false;
            desktop_.Show(window_, platform::ShowMode::kHide);
            return true;
        case platform::CommandKind::kMoved:
            // The desktop has taken the new rectangle; a new size moves the
            // buttons and redraws, a move alone changes nothing drawn.
            if (command.rect.Width() != clientSize_.x || command.rect.Height() != clientSize_.y) {
                LayoutButtons(command.rect.Width(), command.rect.Height());
                Repaint();
            }
            return true;
        default:
            return false;
    }
}

void CDlgChartViewer::Repaint() {
    if (window_ == platform::kNoWindow) return;
    desktop_.Paint(window_, [this](platform::Canvas& canvas) { Paint(canvas); });
}

void CDlgChartViewer::Paint(platform::Canvas& canvas) const {
    const int width = canvas.Width();
    const int height = canvas.Height();
    canvas.FillRect(platform::Rect{-5, -5, width + 5, height + 5}, kBackground);

    // Running totals from 0; the range always includes 0.
    std::int64_t running = 0;
    std::int64_t high = 0;
    std::int64_t low = 0;
    const auto add = [&](std::int32_t amount) {
        running += amount;
        high = std::max(high, running);
        low = std::min(low, running);
    };
    for (const std::int32_t amount : olderPoints_) add(amount);
    std::int64_t sessionSum = 0;
    for (const std::int32_t amount : newerPoints_) {
        add(amount);
        sessionSum += amount;
    }

    const viewers::ChartScale scale = viewers::PickChartScale(low, high);
    const std::int64_t bottomValue = scale.bottom;
    const platform::TextStyle gridLabel = LabelStyle(platform::TextBaseline::kTop);
    const platform::TextStyle bottomLabel = LabelStyle(platform::TextBaseline::kBottom);

    // The labels' column is as wide as the longest amount could be, with its
    // sign and decimal point (the labels at the scale's two ends are the
    // longest), so that no label is cut at the window's left edge.
    const std::int64_t widest = std::llabs(bottomValue) > std::llabs(high) ? bottomValue : high;
    int labelWidth = canvas.TextWidth(
        std::string(static_cast<std::size_t>(viewers::DecimalDigits(widest)), '9'), gridLabel.font);
    for (const std::int64_t end : {bottomValue, bottomValue + scale.span})
        labelWidth =
            std::max(labelWidth, canvas.TextWidth(viewers::ChartLabel(end, scale), gridLabel.font));
    const int left = labelWidth + 10;
    const int right = width - kRightMargin;
    const int bottom = PlotBottom(height, ButtonsShown());

    // The plot: white, with the default one-pixel frame.
    const int plotLeft = left + 15;
    canvas.FillRect(platform::Rect{plotLeft, kTop, right, bottom}, kPlot);
    const platform::Point frame[] = {{plotLeft, kTop},
                                     {right - 1, kTop},
                                     {right - 1, bottom - 1},
                                     {plotLeft, bottom - 1},
                                     {plotLeft, kTop}};
    canvas.PolyLine(frame, 1, kFrame);
    // The bottom value's label sits just below the plot's bottom edge.
    canvas.Text(left, bottom + 3, viewers::ChartLabel(bottomValue, scale), bottomLabel);

    // Grid lines every step up from the bottom, each with its label centred
    // on it; none too close to the top edge. A plot too small for one pixel
    // per step gets no grid.
    const std::int64_t lines = scale.span / scale.step;
    const std::int64_t pixelsPerStep = (bottom - kTop) / lines;
    if (pixelsPerStep > 0) {
        std::int64_t previous = bottom;
        for (std::int64_t k = 1; previous > kTop; ++k) {
            const std::int64_t y = bottom - k * pixelsPerStep;
            if (y - kTop >= 10) {
                const platform::Point line[] = {{left + 8, ToPixel(y)}, {right - 3, ToPixel(y)}};
                canvas.PolyLine(line, 1, kGrid);
                canvas.Text(left, ToPixel(y - 7),
                            viewers::ChartLabel(bottomValue + k * scale.step, scale), gridLabel);
            }
            previous = y;
        }
    }

    // The line starts at the origin (total 0 at the grid's left end); the
    // j-th hand is j / n of the way across.
    const std::int64_t n = static_cast<std::int64_t>(olderPoints_.size() + newerPoints_.size()) + 1;
    const std::int64_t across = right - left - 11;
    const std::int64_t plotHeight = bottom - kTop;
    const auto at = [&](std::int64_t j, std::int64_t total) {
        const std::int64_t above = total - bottomValue;  // > 0: E lies below every total
        const std::int64_t y = bottom - (above / scale.step) * pixelsPerStep -
                               (above % scale.step) * plotHeight / scale.span;
        return platform::Point{ToPixel(left + 8 + j * across / n), ToPixel(y)};
    };
    std::vector<platform::Point> points;
    points.reserve(olderPoints_.size() + 1);
    std::int64_t j = 0;
    running = 0;
    points.push_back(at(j, running));
    for (const std::int32_t amount : olderPoints_) {
        running += amount;
        points.push_back(at(++j, running));
    }
    if (points.size() > 1) canvas.PolyLine(points, kLineWidth, kInk);
    // The session goes on from the last earlier hand.
    const platform::Point joint = points.back();
    points.clear();
    points.push_back(joint);
    for (const std::int32_t amount : newerPoints_) {
        running += amount;
        points.push_back(at(++j, running));
    }
    canvas.PolyLine(points, kLineWidth, sessionSum >= 0 ? kWinning : kLosing);
}
