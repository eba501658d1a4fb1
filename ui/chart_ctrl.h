#pragma once

#include "model/dates.h"
#include "ui/platform/controls.h"
#include "ui/platform/device_context.h"
#include "ui/platform/types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class IChartSource;
class QWidget;

// The bar chart of the projected balance below the pages: one bar per pixel column
// across the projection window, black above the blue zero line for money in hand, red
// below it for debt, dotted grey lines where months begin and a letter under each month.
// It keeps each day's closing balance from the rows, read again after Redraw (the owner
// calls it whenever the projection changes) or when the row count or window differ;
// paints without a change draw from what it kept. Where it sits and how large it is are
// up to its owner. Hovering shows the day's date and balance; a click on a day picks its
// first row (or the last one before it) for the owner to select.
//
// It is a tab stop. With the focus it shows a frame and a chosen day, its column marked
// and its tooltip shown: Left and Right move it a day, Page Up and Page Down a month of
// the projection (31 days), Home and End to the first and last day, and Enter picks the
// day's row as a click does. Screen readers get the chart's name, a description of what
// it shows (the window's dates, the lowest balance and its day, the closing balance) and
// the chosen day as its value.
//
// When some rows are of tentative (what-if) transactions, the firm forecast without them
// runs across the bars as a thin line in its own colour, named in a legend at the top left.
class CChartCtrl : public win::CButton {
public:
    // The colours the chart is drawn in: the window's follow the desktop's palette; a
    // picture of the chart (a file, the printed report) has the light ones.
    struct Colours {
        win::COLORREF face;       // under the plot, where the month letters are
        win::COLORREF background; // the plot
        win::COLORREF text;       // the month letters
        win::COLORREF lines;      // frame, month lines and ticks
        win::COLORREF highlight;  // the focus frame and the chosen day
        // Chosen for the background's lightness: money in hand, debt and the zero line.
        win::COLORREF positive;
        win::COLORREF negative;
        win::COLORREF zero;
        // The firm forecast's line, beside tentative transactions.
        win::COLORREF firm;

        // Black bars, red below the blue zero line, on white framed in grey.
        static Colours Light();
        // From the application's palette.
        static Colours FromPalette();
    };

    // Selects a font into a device context for its own lifetime, then selects back the
    // one that was there.
    class FontSelector {
    public:
        FontSelector(win::CDC& dc, win::CFont* font);
        virtual ~FontSelector();
        FontSelector(const FontSelector&) = delete;
        FontSelector& operator=(const FontSelector&) = delete;

    private:
        win::CDC& m_dc;
        win::CFont* m_previous;
    };

    // Creates the label font; raises win::api::Exception when that fails.
    explicit CChartCtrl(IChartSource& cashflow);
    // The window may outlive the chart (its parent owns it): it stops asking the chart.
    ~CChartCtrl() override;

    // Creates the chart's window: a visible, disabled, owner-drawn child button without
    // caption, placed at rect in the parent's client area. Being disabled, it takes no
    // input.
    void Create(QWidget* parent, const win::CRect& rect, int id);

    // Lays the plot out for a client area of cx by cy pixels; ignored while minimised.
    void OnSize(int type, int cx, int cy);
    // Draws the whole chart when asked to draw the entire control and the projection's
    // list has its window; any other request is ignored. With ODS_FOCUS in state it adds
    // the focus frame and the chosen day.
    void Draw(win::CDC& dc, unsigned action, unsigned state = 0);
    // Draws in these colours from now on instead of the palette's.
    void SetColours(const Colours& colours) { m_colours = colours; }
    // The projection changed: erase and draw the window again, if it exists.
    void Redraw();

    // The plot area, inside the one-pixel frame.
    const win::CRect& PlotRect() const { return m_plot; }

    // The day whose bar is drawn in column x of the client area; none outside the plot.
    std::optional<TimeValue> DayAt(int x) const;
    // The tooltip for the pointer at column x: the day's date and its end-of-day balance
    // (the last row on or before it), saying when the day has no entries of its own.
    std::string ToolTipAt(int x);
    // The row a click in column x picks: the day's first row, else the last row before
    // the day; -1 when there is none.
    int RowAt(int x);
    // Called with RowAt of a click, when it is a row.
    void SetRowClickHandler(std::function<void(int row)> handler) { m_rowClicked = std::move(handler); }

    // The day the keyboard has chosen, kept inside the window (the first day until a key
    // or a click chooses another); none when the window has no days.
    std::optional<TimeValue> ChosenDay();
    // A key on the focused chart; true when it was one of the chart's.
    bool OnKey(int virtualKey);
    // What screen readers are told the chart shows.
    std::string AccessibleDescription();

protected:
    void PreSubclassWindow() override;

private:
    // The balance at the end of each day that has rows, in day order, with the extremes
    // (counting zero).
    struct DayBalances {
        std::vector<std::pair<std::uint64_t, std::int64_t>> days;
        // The firm forecast's balance at the end of the same days, when there is one.
        std::vector<std::pair<std::uint64_t, std::int64_t>> firmDays;
        std::int64_t minimum = 0;
        std::int64_t maximum = 0;
        int count = 0;
        TimeValue start = 0;
        TimeValue end = 0;
        bool valid = false;
    };
    const DayBalances& Balances();
    void DrawContent(win::CDC& dc, const Colours& colours, bool focused);
    void DrawLabel(win::CDC& dc, const win::CRect& rect, int month);
    // The firm forecast's thin line across the plot, and its legend.
    void DrawFirmLine(win::CDC& dc, const Colours& colours, const DayBalances& daily, int zeroY, std::int64_t days);
    // The first row whose day is not before the day (the row count when none is).
    int FirstRowFrom(std::uint64_t day);
    // How many days the window has.
    std::int64_t WindowDays() const;
    // The tooltip's text and the click's row for a day.
    std::string DayText(TimeValue date);
    int RowOfDay(TimeValue date);
    // The plot columns [first, last] that show the day, or the day before it that is shown.
    std::pair<int, int> ColumnsOf(TimeValue date) const;
    void ChooseDay(std::int64_t offset);
    void OnFocus(bool focused);
    // Tells screen readers what the chart shows now, once the current event is done.
    void AccessChanged();
    // describe: work out the description again (it reads every row).
    void UpdateAccess(bool describe = false);
    Colours CurrentColours() const { return m_colours ? *m_colours : Colours::FromPalette(); }

    IChartSource& m_cashflow;
    win::CFont m_labelFont;
    int m_plotWidth = 0;
    int m_plotHeight = 0;
    win::CRect m_plot;
    int m_monthWidth = 0;
    DayBalances m_balances;
    std::function<void(int row)> m_rowClicked;
    std::optional<Colours> m_colours;
    // The chosen day, as a day number; kept inside the window where it is used.
    std::optional<std::uint64_t> m_chosenDay;
    bool m_accessPosted = false;
    std::string m_description;
    // Calls posted to the window check that the chart is still there.
    std::shared_ptr<CChartCtrl*> m_alive = std::make_shared<CChartCtrl*>(this);
};
