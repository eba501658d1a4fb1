#include "ui/chart_ctrl.h"

#include "common/fill_in.h"

#include "model/dates.h"
#include "ui/chart_source.h"
#include "model/projection_summary.h"
#include "ui/platform/api.h"
#include "res/resource.h"
#include "ui/platform/colour_contrast.h"
#include "ui/platform/control_look.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/picture_access.h"
#include "ui/platform/pointer_input.h"
#include "ui/platform/resources.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <vector>

using win::CRect;
using win::MulDiv;
using win::RGB;

namespace {

// A month of the projection, as Page Up and Page Down move the chosen day.
constexpr std::int64_t kDaysPerMonth = 31;

constexpr int kLabelFontTenths = 80;
constexpr const char* kLabelFontFace = "Arial";

int ToPixels(std::int64_t value)
{
    return static_cast<int>(value);
}

// The number of whole days nearest to a span of seconds.
std::int64_t WholeDaysNearest(std::int64_t seconds)
{
    const std::int64_t shifted = seconds + kSecondsPerDay / 2;
    return shifted >= 0 ? shifted / kSecondsPerDay : -((-shifted + kSecondsPerDay - 1) / kSecondsPerDay);
}

// The balance a plot column shows: at the end of the last day in the list on or before the
// column's day; none before the list's first day.
std::optional<std::int64_t> BalanceAtColumn(const std::vector<std::pair<std::uint64_t, std::int64_t>>& balances,
                                            TimeValue start, std::int64_t days, int width, int x)
{
    const TimeValue date = AddDays(start, MulDiv(days, x, width));
    const auto entry = std::upper_bound(balances.begin(), balances.end(), DayNumber(date),
                                        [](std::uint64_t day, const auto& other) { return day < other.first; });
    if (entry == balances.begin())
        return std::nullopt;
    return std::prev(entry)->second;
}

} // namespace

CChartCtrl::FontSelector::FontSelector(win::CDC& dc, win::CFont* font) : m_dc(dc), m_previous(dc.SelectObject(font)) {}

CChartCtrl::FontSelector::~FontSelector()
{
    m_dc.SelectObject(m_previous);
}

CChartCtrl::Colours CChartCtrl::Colours::Light()
{
    return Colours{RGB(239, 239, 239), RGB(255, 255, 255), RGB(0, 0, 0),   RGB(128, 128, 128),
                   RGB(48, 140, 198),  RGB(0, 0, 0),       RGB(255, 0, 0), RGB(0, 0, 255),
                   RGB(230, 120, 0)};
}

CChartCtrl::Colours CChartCtrl::Colours::FromPalette()
{
    const win::COLORREF background = win::GetSysColor(win::COLOR_WINDOW);
    const win::COLORREF text = win::GetSysColor(win::COLOR_WINDOWTEXT);
    Colours colours{};
    colours.face = win::GetSysColor(win::COLOR_BTNFACE);
    colours.background = background;
    colours.text = win::WithContrast(win::GetSysColor(win::COLOR_BTNTEXT), colours.face, 4.5);
    // Halfway between the text and its background: the light palette's grey.
    colours.lines = win::Mix(text, background, 0.5);
    colours.highlight = win::GetSysColor(win::COLOR_HIGHLIGHT);
    // Bars tell money from debt by colour: the pair that reads best on the background.
    if (win::IsLightBackground(background)) {
        colours.positive = RGB(0, 0, 0);
        colours.negative = RGB(255, 0, 0);
        colours.zero = RGB(0, 0, 255);
        colours.firm = RGB(230, 120, 0);
    } else {
        colours.positive = RGB(170, 170, 170);
        colours.negative = RGB(255, 115, 115);
        colours.zero = RGB(110, 165, 255);
        colours.firm = RGB(255, 165, 60);
    }
    return colours;
}

CChartCtrl::CChartCtrl(IChartSource& cashflow) : m_cashflow(cashflow)
{
    if (!m_labelFont.CreatePointFont(kLabelFontTenths, kLabelFontFace))
        throw win::api::Exception(win::GetLastError());
}

CChartCtrl::~CChartCtrl()
{
    SetDrawHandler({});
    SetSizeHandler({});
    SetKeyHandler({});
    SetFocusHandler({});
    if (HasWindow())
        win::SetPointerHandlers(*this, {});
}

void CChartCtrl::Create(QWidget* parent, const CRect& rect, int id)
{
    win::ControlTemplate control;
    control.id = id;
    control.kind = win::ControlKind::Button;
    control.style = win::WS_CHILD | win::WS_VISIBLE | win::WS_TABSTOP | win::BS_OWNERDRAW;
    Attach(win::CreateControlWidget(control, parent), id, control.style);
    MoveWindow(rect);
    OnSize(win::SIZE_RESTORED, rect.Width(), rect.Height());
    ShowWindow(true);
}

void CChartCtrl::PreSubclassWindow()
{
    // However the window was made, its paints, size changes and keys reach the chart.
    SetDrawHandler([this](win::DrawItemContext& context) {
        win::CDC dc(*context.painter);
        Draw(dc, context.action, context.state);
    });
    SetSizeHandler([this](int type, int cx, int cy) { OnSize(type, cx, cy); });
    SetKeyHandler([this](int virtualKey) { return OnKey(virtualKey); });
    SetFocusHandler([this](bool focused) { OnFocus(focused); });
    win::SetPointerHandlers(*this, {[this](int x, int) { return ToolTipAt(x); },
                                    [this](int x, int) {
                                        const std::optional<TimeValue> date = DayAt(x);
                                        if (!date)
                                            return;
                                        // The click's day is the keyboard's too.
                                        m_chosenDay = DayNumber(*date);
                                        Invalidate(false);
                                        UpdateAccess();
                                        const int row = RowOfDay(*date);
                                        if (row >= 0 && m_rowClicked)
                                            m_rowClicked(row);
                                    }});
    UpdateAccess(true);
}

std::optional<TimeValue> CChartCtrl::DayAt(int x) const
{
    const int column = x - m_plot.left;
    if (column < 0 || column >= m_plotWidth)
        return std::nullopt;
    // The same day the drawing gives this column.
    return AddDays(m_cashflow.GetStartDate(), MulDiv(WindowDays(), column, m_plotWidth));
}

std::int64_t CChartCtrl::WindowDays() const
{
    return static_cast<std::int64_t>(DayNumber(m_cashflow.GetEndDate()) - DayNumber(m_cashflow.GetStartDate()));
}

int CChartCtrl::FirstRowFrom(std::uint64_t day)
{
    int low = 0;
    int high = m_cashflow.GetCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (DayNumber(m_cashflow.GetDate(middle)) < day)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::string CChartCtrl::ToolTipAt(int x)
{
    const std::optional<TimeValue> date = DayAt(x);
    return date ? DayText(*date) : std::string();
}

std::string CChartCtrl::DayText(TimeValue date)
{
    const std::uint64_t day = DayNumber(date);
    const int first = FirstRowFrom(day);
    const int after = FirstRowFrom(day + 1);
    if (after == 0)
        return {};
    return FillIn(win::LoadString(first < after ? res::IDS_CHART_TIP_ENTRIES : res::IDS_CHART_TIP_NO_ENTRIES),
                  {FormatDate(date), std::to_string(m_cashflow.GetBalance(after - 1))});
}

int CChartCtrl::RowAt(int x)
{
    const std::optional<TimeValue> date = DayAt(x);
    return date ? RowOfDay(*date) : -1;
}

int CChartCtrl::RowOfDay(TimeValue date)
{
    const std::uint64_t day = DayNumber(date);
    const int first = FirstRowFrom(day);
    if (first < m_cashflow.GetCount() && DayNumber(m_cashflow.GetDate(first)) == day)
        return first;
    return first - 1;
}

std::optional<TimeValue> CChartCtrl::ChosenDay()
{
    const std::int64_t days = WindowDays();
    if (days <= 0)
        return std::nullopt;
    const std::uint64_t start = DayNumber(m_cashflow.GetStartDate());
    std::int64_t offset = m_chosenDay ? static_cast<std::int64_t>(*m_chosenDay - start) : 0;
    offset = std::clamp<std::int64_t>(offset, 0, days - 1);
    return AddDays(m_cashflow.GetStartDate(), offset);
}

void CChartCtrl::ChooseDay(std::int64_t offset)
{
    const std::int64_t days = WindowDays();
    if (days <= 0)
        return;
    const TimeValue date = AddDays(m_cashflow.GetStartDate(), std::clamp<std::int64_t>(offset, 0, days - 1));
    m_chosenDay = DayNumber(date);
    Invalidate(false);
    const auto [first, last] = ColumnsOf(date);
    win::ShowToolTipAt(*this, m_plot.left + (first + last) / 2, m_plot.bottom, DayText(date));
    UpdateAccess();
}

bool CChartCtrl::OnKey(int virtualKey)
{
    const std::optional<TimeValue> chosen = ChosenDay();
    if (!chosen)
        return false;
    const std::int64_t offset =
        static_cast<std::int64_t>(DayNumber(*chosen) - DayNumber(m_cashflow.GetStartDate()));
    switch (virtualKey) {
    case win::VK_LEFT:
        ChooseDay(offset - 1);
        return true;
    case win::VK_RIGHT:
        ChooseDay(offset + 1);
        return true;
    case win::VK_PRIOR:
        ChooseDay(offset - kDaysPerMonth);
        return true;
    case win::VK_NEXT:
        ChooseDay(offset + kDaysPerMonth);
        return true;
    case win::VK_HOME:
        ChooseDay(0);
        return true;
    case win::VK_END:
        ChooseDay(WindowDays() - 1);
        return true;
    case win::VK_RETURN: {
        const int row = RowOfDay(*chosen);
        if (row >= 0 && m_rowClicked)
            m_rowClicked(row);
        return true;
    }
    default:
        return false;
    }
}

void CChartCtrl::OnFocus(bool focused)
{
    if (!focused) {
        win::HideToolTip(*this);
        return;
    }
    if (const std::optional<TimeValue> chosen = ChosenDay())
        ChooseDay(static_cast<std::int64_t>(DayNumber(*chosen) - DayNumber(m_cashflow.GetStartDate())));
}

std::pair<int, int> CChartCtrl::ColumnsOf(TimeValue date) const
{
    // Columns show days in order: those of the latest shown day not after the date.
    const std::int64_t offset = static_cast<std::int64_t>(DayNumber(date) - DayNumber(m_cashflow.GetStartDate()));
    const std::int64_t days = WindowDays();
    int first = 0;
    int last = 0;
    std::int64_t shown = -1;
    for (int column = 0; column < m_plotWidth; ++column) {
        const std::int64_t day = MulDiv(days, column, m_plotWidth);
        if (day > offset)
            break;
        if (day > shown) {
            shown = day;
            first = column;
        }
        last = column;
    }
    return {first, last};
}

std::string CChartCtrl::AccessibleDescription()
{
    const TimeValue start = m_cashflow.GetStartDate();
    const std::string from = FormatDate(start);
    const std::string to = FormatDate(AddDays(m_cashflow.GetEndDate(), -1));
    const int count = m_cashflow.GetCount();
    if (count == 0 || !m_cashflow.HasWindow())
        return FillIn(win::LoadString(res::IDS_CHART_DESCRIPTION_EMPTY), {from, to});
    const ProjectionSummary figures = m_cashflow.Summary();
    return FillIn(win::LoadString(res::IDS_CHART_DESCRIPTION),
                  {from, to, std::to_string(figures.lowestBalance), FormatDate(figures.lowestDate),
                   std::to_string(figures.closingBalance), FormatDate(figures.closingDate)});
}

void CChartCtrl::AccessChanged()
{
    if (m_accessPosted || !HasWindow())
        return;
    m_accessPosted = true;
    win::PostCall(*this, [alive = std::weak_ptr<CChartCtrl*>(m_alive)] {
        if (const auto chart = alive.lock()) {
            (*chart)->m_accessPosted = false;
            (*chart)->UpdateAccess(true);
        }
    });
}

void CChartCtrl::UpdateAccess(bool describe)
{
    if (!HasWindow())
        return;
    if (describe || m_description.empty())
        m_description = AccessibleDescription();
    win::PictureAccess access;
    access.name = win::LoadString(res::IDS_CHART_NAME);
    access.description = m_description;
    if (const std::optional<TimeValue> chosen = ChosenDay(); chosen && m_chosenDay) {
        access.valueText = DayText(*chosen);
        const int after = FirstRowFrom(DayNumber(*chosen) + 1);
        if (after > 0)
            access.value = static_cast<double>(m_cashflow.GetBalance(after - 1));
    }
    const DayBalances& daily = Balances();
    access.minimum = static_cast<double>(daily.minimum);
    access.maximum = static_cast<double>(daily.maximum);
    win::SetPictureAccess(*this, access);
}

void CChartCtrl::OnSize(int type, int cx, int cy)
{
    if (type == win::SIZE_MINIMIZED)
        return;
    const int fontHeight = m_labelFont.GetLogFont().lfHeight;
    // A window too small for a plot gets an empty one rather than negative sizes.
    m_plotWidth = std::max(cx - 2, 0);
    m_plotHeight = std::max(cy + fontHeight - 4, 0);
    m_plot = CRect{1, 1, m_plotWidth + 1, m_plotHeight + 1};
    const unsigned duration = m_cashflow.GetDuration();
    m_monthWidth = duration == 0 ? 0 : static_cast<int>(static_cast<unsigned>(m_plotWidth) / duration);
}

const CChartCtrl::DayBalances& CChartCtrl::Balances()
{
    const int count = m_cashflow.GetCount();
    const TimeValue start = m_cashflow.GetStartDate();
    const TimeValue end = m_cashflow.GetEndDate();
    if (m_balances.valid && m_balances.count == count && m_balances.start == start && m_balances.end == end)
        return m_balances;
    m_balances = DayBalances{};
    m_balances.count = count;
    m_balances.start = start;
    m_balances.end = end;
    m_balances.valid = true;
    // Each day keeps the balance of its last row, the balance at the end of that day. The
    // rows come in date order, many to a day: only the last row of each day is read for
    // its date and balance, found by galloping over the rows of that day.
    auto& days = m_balances.days;
    const std::vector<std::int64_t> firm = m_cashflow.GetFirmBalances();
    const bool withFirm = firm.size() == static_cast<std::size_t>(count);
    auto& firmDays = m_balances.firmDays;
    for (int row = 0; row < count;) {
        const std::int64_t day = m_cashflow.GetDay(row);
        int same = row; // the last row known to be of this day
        int step = 1;
        int beyond = count; // a row known to be of another day, or the count
        while (same + step < count) {
            if (m_cashflow.GetDay(same + step) != day) {
                beyond = same + step;
                break;
            }
            same += step;
            step *= 2;
        }
        while (beyond - same > 1) {
            const int middle = same + (beyond - same) / 2;
            if (m_cashflow.GetDay(middle) == day)
                same = middle;
            else
                beyond = middle;
        }
        days.emplace_back(DayNumber(m_cashflow.GetDate(same)), m_cashflow.GetBalance(same));
        if (withFirm)
            firmDays.emplace_back(days.back().first, firm[static_cast<std::size_t>(same)]);
        row = same + 1;
    }
    // The firm days follow the same steps, so that they stay day for day with the others.
    const auto inDayOrder = [](auto& list) {
        const auto earlier = [](const auto& a, const auto& b) { return a.first < b.first; };
        if (!std::is_sorted(list.begin(), list.end(), earlier))
            std::stable_sort(list.begin(), list.end(), earlier);
        std::size_t kept = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (kept > 0 && list[kept - 1].first == list[i].first)
                list[kept - 1].second = list[i].second;
            else
                list[kept++] = list[i];
        }
        list.resize(kept);
    };
    inDayOrder(days);
    inDayOrder(firmDays);
    // The scale holds the firm line too.
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
    for (const auto* list : {&days, &firmDays})
        for (const auto& [day, balance] : *list) {
            minimum = std::min(minimum, balance);
            maximum = std::max(maximum, balance);
        }
    m_balances.minimum = minimum;
    m_balances.maximum = maximum;
    return m_balances;
}

void CChartCtrl::Redraw()
{
    m_balances.valid = false;
    if (HasWindow()) {
        Invalidate(true);
        AccessChanged();
    }
}

void CChartCtrl::Draw(win::CDC& dc, unsigned action, unsigned state)
{
    if (!(action & win::ODA_DRAWENTIRE) || !m_cashflow.HasWindow())
        return;
    const Colours colours = CurrentColours();
    const bool focused = (state & win::ODS_FOCUS) != 0;
    DrawContent(dc, colours, focused);
    if (focused) {
        // The focus frame: two pixels of the highlight over the frame and the plot's edge.
        const win::CBrush brush(colours.highlight);
        const CRect& plot = m_plot;
        const win::CBrush frame(colours.lines);
    dc.FrameRect(CRect{plot.left - 1, plot.top - 1, plot.right + 1, plot.bottom + 1}, &brush);
        dc.FrameRect(plot, &brush);
    }
}

void CChartCtrl::DrawContent(win::CDC& dc, const Colours& colours, bool focused)
{
    const CRect& plot = m_plot;
    const int width = m_plotWidth;
    const int height = m_plotHeight;
    const int fontHeight = m_labelFont.GetLogFont().lfHeight;
    // The Duration may have changed since the last resize.
    const unsigned duration = m_cashflow.GetDuration();
    m_monthWidth = duration == 0 ? 0 : static_cast<int>(static_cast<unsigned>(width) / duration);

    // The strip below the frame holds only ticks and letters: clear it first, so that
    // nothing of an earlier paint shows between them.
    dc.FillSolidRect(CRect{0, plot.bottom + 1, plot.right + 1, plot.bottom + 3 - fontHeight}, colours.face);

    dc.FillSolidRect(plot, colours.background);
    if (focused)
        if (const std::optional<TimeValue> chosen = ChosenDay()) {
            const auto [first, last] = ColumnsOf(*chosen);
            dc.FillSolidRect(CRect{plot.left + first, plot.top, plot.left + last + 1, plot.bottom}, colours.highlight);
        }

    const DayBalances& daily = Balances();
    const auto& balances = daily.days;
    if (balances.empty())
        return;
    const std::int64_t minimum = daily.minimum;
    const std::int64_t maximum = daily.maximum;

    const int zeroY = ToPixels(MulDiv(height, maximum, maximum - minimum + 1));
    const TimeValue start = m_cashflow.GetStartDate();
    const TimeValue end = m_cashflow.GetEndDate();
    const auto days = static_cast<std::int64_t>(DayNumber(end) - DayNumber(start));

    std::vector<int> monthPositions;
    dc.SetBkMode(win::TRANSPARENT);
    dc.SetTextAlign(win::TA_CENTER);
    win::CPen grid(win::PS_DOT, 1, colours.lines);
    win::CPen tick(win::PS_SOLID, 1, colours.lines);
    win::CPen zero(win::PS_SOLID, 1, colours.zero);
    win::CPen* previousPen = dc.SelectObject(&grid);
    // A column's day is the start moved on by whole days (AddDays); a month line goes
    // where that day is the first of a month. Only the steps near each month's first are
    // looked at: a step lands within a day of where the clock says the first is, even
    // where a zone skipped or repeated a whole day.
    const CalendarDate startMonth = SplitDate(start);
    std::int64_t nextStep = 0; // steps before it are looked at
    bool ended = false;
    for (std::int64_t year = startMonth.year, month = startMonth.month; !ended;
         year += month == 12 ? 1 : 0, month = month == 12 ? 1 : month + 1) {
        const TimeValue first = MakeDate(year, month, 1);
        if (first == -1)
            break;
        const std::int64_t guess = WholeDaysNearest(first - start);
        std::int64_t d = std::max(nextStep, guess - 1);
        for (; d <= guess + 1; ++d) {
            const TimeValue date = AddDays(start, d);
            if (date >= end) {
                ended = true;
                break;
            }
            const CalendarDate split = SplitDate(date);
            if (split.day != 1 || split.month != month)
                continue;
            const int x = ToPixels(MulDiv(width, d, days));
            monthPositions.push_back(x);
            dc.MoveTo(plot.left + x, plot.top);
            dc.LineTo(plot.left + x, plot.bottom);
        }
        nextStep = std::max(nextStep, d);
    }
    dc.SelectObject(previousPen);

    if (!monthPositions.empty()) {
        FontSelector selectFont(dc, &m_labelFont);
        previousPen = dc.SelectObject(&tick);
        dc.SetTextColor(colours.text);
        dc.SetBkMode(win::TRANSPARENT);
        dc.SetTextAlign(win::TA_CENTER);
        int month = SplitDate(start).month;
        const auto nextMonth = [&month] { month = month == 12 ? 1 : month + 1; };
        const int labelTop = plot.bottom + 1;
        const int labelBottom = plot.bottom + 3 - fontHeight;
        if (monthPositions.front() != 0) {
            // The start month began before the chart: its label sits a month's width
            // left of the first month line, cut off where it leaves the window.
            const int right = plot.left + monthPositions.front();
            DrawLabel(dc, CRect{right - m_monthWidth, labelTop, right, labelBottom}, month);
            nextMonth();
        }
        for (std::size_t i = 0; i < monthPositions.size(); ++i) {
            const int left = plot.left + monthPositions[i] + 1;
            const int right = i + 1 < monthPositions.size()
                                  ? left + (monthPositions[i + 1] - monthPositions[i] - 1)
                                  : left + m_monthWidth;
            DrawLabel(dc, CRect{left, labelTop, right, labelBottom}, month);
            nextMonth();
        }
        dc.SelectObject(previousPen);
    }

    const win::CBrush frame(colours.lines);
    dc.FrameRect(CRect{plot.left - 1, plot.top - 1, plot.right + 1, plot.bottom + 1},
                 &frame);

    // The bars, black above the zero line and red below it, drawn together.
    std::vector<CRect> above;
    std::vector<CRect> below;
    for (int x = 0; x < width; ++x) {
        const std::optional<std::int64_t> found = BalanceAtColumn(balances, start, days, width, x);
        if (!found)
            continue;
        const std::int64_t balance = *found;
        // 64-bit balances scale exactly: MulDiv works on the full product.
        int length = 0;
        if (balance < 0)
            length = minimum == 0 ? 0 : ToPixels(MulDiv(height - zeroY, balance, -minimum));
        else
            length = maximum == 0 ? 0 : ToPixels(MulDiv(zeroY, balance, maximum));
        if (length == 0)
            continue;
        // The pixels a line from y0 to y0 - length covers, its end left out.
        const int y0 = plot.top + zeroY - (length > 0 ? 1 : 0);
        const int left = plot.left + x;
        if (length > 0)
            above.push_back(CRect{left, y0 - length + 1, left + 1, y0 + 1});
        else
            below.push_back(CRect{left, y0, left + 1, y0 - length});
    }
    dc.FillSolidRects(above, colours.positive);
    dc.FillSolidRects(below, colours.negative);

    previousPen = dc.SelectObject(&zero);
    dc.MoveTo(plot.left, plot.top + zeroY);
    dc.LineTo(plot.right, plot.top + zeroY);
    dc.SelectObject(previousPen);

    if (!daily.firmDays.empty())
        DrawFirmLine(dc, colours, daily, zeroY, days);
}

void CChartCtrl::DrawFirmLine(win::CDC& dc, const Colours& colours, const DayBalances& daily, int zeroY,
                              std::int64_t days)
{
    const CRect& plot = m_plot;
    const int width = m_plotWidth;
    const int height = m_plotHeight;
    const std::int64_t minimum = daily.minimum;
    const std::int64_t maximum = daily.maximum;
    const TimeValue start = m_cashflow.GetStartDate();
    const auto& balances = daily.firmDays;
    // Each column's point is where a bar of the firm balance would end: its top pixel above
    // zero, its bottom pixel below, the zero line for nothing. Points of neighbouring
    // columns are joined by the column's run between them.
    std::vector<CRect> line;
    std::optional<int> previous;
    for (int x = 0; x < width; ++x) {
        const std::optional<std::int64_t> found = BalanceAtColumn(balances, start, days, width, x);
        if (!found)
            continue;
        const std::int64_t balance = *found;
        int y = plot.top + zeroY;
        if (balance < 0 && minimum != 0) {
            const int length = ToPixels(MulDiv(height - zeroY, balance, -minimum));
            if (length != 0)
                y = plot.top + zeroY - length - 1;
        } else if (balance > 0 && maximum != 0) {
            const int length = ToPixels(MulDiv(zeroY, balance, maximum));
            if (length != 0)
                y = plot.top + zeroY - length;
        }
        const int from = previous ? std::min(*previous, y) : y;
        const int to = previous ? std::max(*previous, y) : y;
        line.push_back(CRect{plot.left + x, from, plot.left + x + 1, to + 1});
        previous = y;
    }
    dc.FillSolidRects(line, colours.firm);

    // The legend: a short stretch of the line and its name, at the top left of the plot.
    const std::string legend = win::LoadString(res::IDS_CHART_FIRM_LEGEND);
    FontSelector selectFont(dc, &m_labelFont);
    const win::CSize text = dc.GetTextExtent(legend, static_cast<int>(legend.size()));
    const int textHeight = text.cy;
    const int sample = 12;
    const int top = plot.top + 2;
    // On the plot's background, so that bars reaching the top do not hide it.
    dc.FillSolidRect(CRect{plot.left + 1, top - 1, std::min(plot.left + 8 + sample + text.cx, plot.right),
                           std::min(top + textHeight + 1, plot.bottom)},
                     colours.background);
    dc.FillSolidRects({CRect{plot.left + 3, top + textHeight / 2, plot.left + 3 + sample, top + textHeight / 2 + 1}},
                      colours.firm);
    dc.SetBkMode(win::TRANSPARENT);
    dc.SetTextAlign(win::TA_LEFT);
    dc.SetTextColor(colours.text);
    dc.TextOut(plot.left + 6 + sample, top, legend, static_cast<int>(legend.size()));
}

void CChartCtrl::DrawLabel(win::CDC& dc, const CRect& rect, int month)
{
    dc.MoveTo(rect.left - 1, rect.top);
    dc.LineTo(rect.left - 1, rect.top + (rect.bottom - rect.top) / 2);
    // A letter wider than its month would run into its neighbours: the month goes without.
    if (dc.GetTextExtent(CMonth::Name(month), 1).cx > rect.right - rect.left)
        return;
    dc.TextOut(rect.left + (rect.right - rect.left) / 2, rect.top, CMonth::Name(month), 1);
}
