#include "model/cash_flow_projection.h"
#include "model/dates.h"
#include "model/transaction_data.h"
#include "ui/chart_ctrl.h"
#include "ui/chart_image.h"
#include "ui/chart_source.h"
#include "ui/platform/api.h"
#include "ui/platform/colour_contrast.h"
#include "ui/platform/device_context.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QFont>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QImage>
#include <QMouseEvent>
#include <QToolTip>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;

// A client area of 405 by 115 pixels gives a plot of 403 by 100 at (1, 1): with
// Duration 13 (403 days) every column is one day, column x is day x.
constexpr int kWidth = 405;
constexpr int kHeight = 115;
constexpr int kPlotBottom = 101; // the frame's bottom row
constexpr int kLabelTop = 102;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kGrey = 0xFF808080;
constexpr QRgb kOrange = 0xFFE67800;

class FakeAccounts : public IAccountsListCtrl {
public:
    std::int64_t total = 0;
    std::int64_t GetTotalBalance() override { return total; }
};

class FakeTransactions : public ITransListCtrl {
public:
    void EditTransaction(int) override {}
    int FindTransaction(const TransactionData*) override { return -1; }
    int ProjectAllTransactions() override { return 0; }
};

// The projection's rows as the cash-flow list would offer them, with its window state.
class ListSource : public IChartSource {
public:
    explicit ListSource(CashFlowProjection& projection) : m_rows(projection) {}
    int GetCount() override { return m_rows.GetCount(); }
    TimeValue GetDate(int row) override { return m_rows.GetDate(row); }
    std::int64_t GetDay(int row) override { return m_rows.GetDay(row); }
    std::int64_t GetBalance(int row) override { return m_rows.GetBalance(row); }
    TimeValue GetStartDate() const override { return m_rows.GetStartDate(); }
    TimeValue GetEndDate() const override { return m_rows.GetEndDate(); }
    unsigned GetDuration() const override { return m_rows.GetDuration(); }
    bool HasWindow() const override { return hasWindow; }
    std::vector<std::int64_t> GetFirmBalances() override { return m_rows.GetFirmBalances(); }

    bool hasWindow = true;

private:
    ProjectionChartSource m_rows;
};

class ChartTest : public ::testing::Test {
protected:
    void SetUp() override { Start(2006, 3, 1); }

    // Starts the projection afresh on a date with the given opening total.
    void Start(int year, int month, int day, std::int64_t opening = 0)
    {
        ProjectionStartDate() = MakeDate(year, month, day);
        accounts.total = opening;
        projection.SetDuration(13);
    }
    // Adds a row on the given day of the projection.
    void Add(int day, std::int32_t amount)
    {
        ASSERT_GE(projection.InsertEntry(AddDays(ProjectionStartDate(), day), "entry", amount, nullptr, true), 0);
    }
    QImage Render() { return RenderChartImage(source, kWidth, kHeight); }

    // The rows, from the top, where column x of the plot has the colour.
    static std::vector<int> RowsOf(const QImage& image, int x, QRgb colour)
    {
        std::vector<int> rows;
        for (int y = 1; y < kPlotBottom; ++y)
            if (image.pixel(1 + x, y) == colour)
                rows.push_back(y);
        return rows;
    }
    static std::vector<int> Span(int first, int last)
    {
        std::vector<int> rows;
        for (int y = first; y <= last; ++y)
            rows.push_back(y);
        return rows;
    }
    // How many pixels have the colour, in the rows above the label strip or in all.
    static int CountColour(const QImage& image, QRgb colour, int rows = kLabelTop)
    {
        int count = 0;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) == colour;
        return count;
    }

    TzGuard zone{kEastern};
    FakeAccounts accounts;
    FakeTransactions transactions;
    CashFlowProjection projection{accounts, transactions, 13, "Current Accounts"};
    ListSource source{projection};
};

// The bitmap of a letter in the label font, cut to its ink, drawn by the painter alone.
std::vector<std::string> Glyph(const QImage& image, int left, int top, int right, int bottom)
{
    int x0 = right, x1 = left - 1, y0 = bottom, y1 = top - 1;
    for (int y = top; y < bottom; ++y)
        for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x)
            if (image.pixel(x, y) == kBlack) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    std::vector<std::string> lines;
    for (int y = y0; y <= y1; ++y) {
        std::string line;
        for (int x = x0; x <= x1; ++x)
            line += image.pixel(x, y) == kBlack ? '#' : '.';
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ReferenceGlyph(char letter)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QFont font("Arial");
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(10, 25), QString(QChar(letter)));
    }
    return Glyph(image, 0, 0, 40, 40);
}

// The letter drawn in a slot of the label strip, "" when there is none.
std::string LabelIn(const QImage& image, int left, int right)
{
    const auto shown = Glyph(image, left, kLabelTop, right, image.height());
    if (shown.empty())
        return "";
    for (char letter : std::string("JFMASOND"))
        if (ReferenceGlyph(letter) == shown)
            return std::string(1, letter);
    return "?";
}

TEST_F(ChartTest, AllPositiveBalancesStandOnTheBottomEdgeInBlack)
{
    Start(2006, 3, 1, 1'000'000);
    Add(200, 1'000'000);
    const QImage image = Render();

    // The zero line lies on the frame's bottom row, the bars grow up from just above it.
    for (int x = 1; x <= 403; ++x)
        ASSERT_EQ(image.pixel(x, kPlotBottom), kBlue) << x;
    EXPECT_EQ(RowsOf(image, 100, kBlack), Span(51, 100)); // half the maximum
    EXPECT_EQ(RowsOf(image, 200, kBlack), Span(1, 100));  // the maximum reaches the top
    EXPECT_EQ(RowsOf(image, 402, kBlack), Span(1, 100));
    EXPECT_EQ(CountColour(image, kRed), 0);
}

TEST_F(ChartTest, AllNegativeBalancesHangInRedFromTheTopRow)
{
    Start(2006, 3, 1, -1000);
    Add(200, -1000);
    const QImage image = Render();

    for (int x = 1; x <= 403; ++x)
        ASSERT_EQ(image.pixel(x, 1), kBlue) << x;
    // The zero line covers the first pixel of every bar.
    EXPECT_EQ(RowsOf(image, 100, kRed), Span(2, 50));
    EXPECT_EQ(RowsOf(image, 300, kRed), Span(2, 100));
    EXPECT_EQ(image.pixel(1 + 300, kPlotBottom), kGrey);
    EXPECT_EQ(CountColour(image, kBlack), 0);
}

TEST_F(ChartTest, MixedBalancesMeetAtTheZeroLine)
{
    Start(2006, 3, 1, 3000);
    Add(100, -4000); // -1000
    const QImage image = Render();

    // zeroY = MulDiv(100, 3000, 4001) = 75.
    EXPECT_EQ(image.pixel(1 + 150, 1 + 75), kBlue);
    EXPECT_EQ(RowsOf(image, 50, kBlack), Span(1, 75));
    EXPECT_EQ(RowsOf(image, 150, kRed), Span(77, 100)); // MulDiv(25, -1000, 1000) = -25
}

// A what-if purchase on day 100 and pay on day 200: the bars show the forecast with the
// purchase, the thin orange line the firm one without it, on the same scale.
TEST_F(ChartTest, FirmLineIsDrawnAtTheFirmBalancesBesideTheWhatIfBars)
{
    Start(2006, 3, 1, 1000);
    EXPECT_EQ(CountColour(Render(), kOrange), 0);
    TransactionData car(AddDays(ProjectionStartDate(), 100), "Car", -1500, std::make_unique<CDateRepeaterOnce>());
    car.tentative = true;
    ASSERT_GE(projection.InsertEntry(car.date, "Car", -1500, &car, true), 0);
    Add(200, 500);
    const QImage image = Render();

    // With the car: 1000, -500 from day 100, 0 from day 200. Firm: 1000, then 1500.
    // zeroY = MulDiv(100, 1500, 2001) = 75; 1000 is 50 pixels up, 1500 all 75.
    EXPECT_EQ(RowsOf(image, 150, kRed), Span(77, 100));
    EXPECT_EQ(RowsOf(image, 150, kOrange), std::vector<int>{26});
    EXPECT_EQ(RowsOf(image, 199, kOrange), std::vector<int>{26});
    EXPECT_EQ(RowsOf(image, 200, kOrange), Span(1, 26)); // the step up to the pay
    EXPECT_EQ(RowsOf(image, 300, kOrange), std::vector<int>{1});
    EXPECT_EQ(RowsOf(image, 300, kBlack), std::vector<int>{});
    // Where both agree the line lies on the bar's top (the legend is above it).
    EXPECT_EQ(RowsOf(image, 60, kOrange), std::vector<int>{26});
    EXPECT_EQ(image.pixel(1 + 60, 27), kBlack);
    EXPECT_EQ(image.pixel(1 + 60, 75), kBlack);
    // The legend's stretch of line, at the top left.
    EXPECT_GE(CountColour(image.copy(0, 0, 20, 20), kOrange, 20), 10);
}

TEST_F(ChartTest, ZeroBalanceDrawsNoBar)
{
    Start(2006, 3, 1, 1000);
    Add(100, -1000);
    Add(200, 1000);
    const QImage image = Render();

    EXPECT_EQ(RowsOf(image, 99, kBlack), Span(1, 100));
    EXPECT_EQ(RowsOf(image, 150, kWhite), Span(1, 100));
    EXPECT_EQ(RowsOf(image, 199, kWhite), Span(1, 100));
    EXPECT_EQ(RowsOf(image, 200, kBlack), Span(1, 100));
}

TEST_F(ChartTest, EachDayHasItsOwnColumnAndShowsItsEndOfDayBalance)
{
    Start(2006, 3, 1, 1000);
    // Within day 100 the balance passes 2000 but ends at 500: only 500 counts, also
    // for the scale.
    Add(100, 1000);
    Add(100, -1500);
    const QImage image = Render();

    EXPECT_EQ(RowsOf(image, 99, kBlack), Span(1, 100));
    EXPECT_EQ(RowsOf(image, 100, kBlack), Span(51, 100));
    EXPECT_EQ(RowsOf(image, 101, kBlack), Span(51, 100));
}

TEST_F(ChartTest, ADayOfManyRowsIsDrawnAsItsNetRowWouldBe)
{
    // Only where each day ends counts: a day's rows collapsed into one row of their net
    // amount give the same chart, whatever the runs of rows to a day.
    std::mt19937 random(20261209);
    for (int round = 0; round < 30; ++round) {
        Start(2006, 3, 1, std::uniform_int_distribution<std::int64_t>(-5000, 5000)(random));
        std::map<int, std::vector<std::int32_t>> days;
        const int dayCount = std::uniform_int_distribution<int>(1, 40)(random);
        for (int d = 0; d < dayCount; ++d) {
            const int day = std::uniform_int_distribution<int>(0, 402)(random);
            const int rows = std::uniform_int_distribution<int>(0, 3)(random) == 0
                                 ? std::uniform_int_distribution<int>(2, 70)(random)
                                 : std::uniform_int_distribution<int>(1, 3)(random);
            // Every row moves the balance by many pixels' worth.
            for (int r = 0; r < rows; ++r)
                days[day].push_back(std::uniform_int_distribution<std::int32_t>(50'000, 100'000)(random) *
                                    (std::uniform_int_distribution<int>(0, 1)(random) ? 1 : -1));
        }
        const std::int64_t opening = accounts.total;
        for (const auto& [day, amounts] : days)
            for (std::int32_t amount : amounts)
                Add(day, amount);
        const QImage rows = Render();
        Start(2006, 3, 1, opening);
        for (const auto& [day, amounts] : days) {
            std::int32_t net = 0;
            for (std::int32_t amount : amounts)
                net += amount;
            Add(day, net);
        }
        ASSERT_EQ(rows, Render()) << "round " << round;
    }
}

TEST_F(ChartTest, BalancesBeyondThirtyTwoBitsScaleExactly)
{
    Start(2006, 3, 1, 2'000'000'000);
    Add(100, 2'000'000'000);
    Add(200, 2'000'000'000); // 6,000,000,000 at the end
    const QImage image = Render();

    EXPECT_EQ(RowsOf(image, 50, kBlack), Span(68, 100));  // 33.3 pixels
    EXPECT_EQ(RowsOf(image, 150, kBlack), Span(34, 100)); // 66.7 pixels
    EXPECT_EQ(RowsOf(image, 250, kBlack), Span(1, 100));
}

TEST_F(ChartTest, MonthLinesAreDottedGreyOnTheFirstOfEachMonth)
{
    Start(2006, 3, 1, 1000);
    const QImage image = Render();
    // From day 1 on the balance is 0 and leaves the plot empty.
    Start(2006, 3, 1, 1'000'000);
    Add(1, -1'000'000);
    const QImage empty = Render();

    // Every other pixel from the top: 1 April is day 31, 1 January 2007 day 306.
    std::vector<int> dotted;
    for (int y = 1; y <= 100; y += 2)
        dotted.push_back(y);
    for (int day : {31, 61, 92, 306, 365})
        EXPECT_EQ(RowsOf(empty, day, kGrey), dotted) << day;
    for (int day : {1, 30, 32, 60, 364})
        EXPECT_EQ(RowsOf(empty, day, kGrey), std::vector<int>{}) << day;
    // The bars are drawn over the month lines.
    EXPECT_EQ(RowsOf(image, 31, kBlack), Span(1, 100));
}

TEST_F(ChartTest, MonthLinesSitOnTheColumnsWhoseDayIsAFirstWhereverTheClockJumps)
{
    // Samoa skipped 30 December 2011; Sydney and New York move their clocks by an hour.
    for (const char* zone : {"Pacific/Apia", testing_support::kSydney, kEastern}) {
        TzGuard inZone(zone);
        for (const CalendarDate& from : {CalendarDate{2011, 12, 25}, CalendarDate{2026, 3, 20}}) {
            Start(from.year, from.month, from.day);
            const TimeValue start = ProjectionStartDate();
            // One column a day.
            const int days = static_cast<int>(DayNumber(projection.GetEndDate()) - DayNumber(start));
            CChartCtrl chart(source);
            chart.OnSize(win::SIZE_RESTORED, days + 2, kHeight);
            QImage image(days + 2, kHeight, QImage::Format_RGB32);
            {
                QPainter painter(&image);
                win::CDC dc(painter);
                chart.Draw(dc, win::ODA_DRAWENTIRE);
            }
            int lines = 0;
            for (int x = 1; x <= days; ++x) {
                // Row 3 of the plot: the zero line covers the top row, the dots the odd ones.
                const bool line = image.pixel(x, 3) == kGrey;
                lines += line;
                ASSERT_EQ(line, SplitDate(*chart.DayAt(x)).day == 1) << zone << " " << FormatDate(start) << " " << x;
            }
            EXPECT_GE(lines, 12) << zone;
        }
    }
}

TEST_F(ChartTest, FrameIsGreyAroundThePlot)
{
    Start(2006, 3, 1, -1000);
    const QImage image = Render();
    for (int x = 0; x <= 404; ++x) {
        ASSERT_EQ(image.pixel(x, 0), kGrey) << x;
        ASSERT_EQ(image.pixel(x, kPlotBottom), kGrey) << x;
    }
    for (int y = 0; y <= kPlotBottom; ++y) {
        ASSERT_EQ(image.pixel(0, y), kGrey) << y;
        ASSERT_EQ(image.pixel(404, y), kGrey) << y;
    }
}

TEST_F(ChartTest, StartOnTheFirstLabelsThatMonthFirstWithItsTickAtTheLeftEdge)
{
    Start(2006, 3, 1, 1000);
    const QImage image = Render();

    // Ticks: half the 13-pixel strip, grey, one pixel left of each label.
    for (int y = kLabelTop; y < kLabelTop + 6; ++y) {
        EXPECT_EQ(image.pixel(1, y), kGrey) << y;
        EXPECT_EQ(image.pixel(1 + 31, y), kGrey) << y;
    }
    EXPECT_NE(image.pixel(1, kLabelTop + 6), kGrey);
    EXPECT_EQ(LabelIn(image, 2, 32), "M");
    EXPECT_EQ(LabelIn(image, 33, 62), "A");
    EXPECT_EQ(LabelIn(image, 63, 93), "M");
    EXPECT_EQ(LabelIn(image, 367, 397), "M"); // 1 March 2007 is day 365
}

TEST_F(ChartTest, StartOnTheFifteenthShowsThePartOfTheStartMonthsLabel)
{
    Start(2006, 3, 15, 1000);
    const QImage image = Render();

    // 1 April is day 17: the March label is centred 31 pixels to its left, at x = 2,
    // and cut off by the window's edge; April's label follows the line.
    const auto partial = Glyph(image, 0, kLabelTop, 17, kHeight);
    EXPECT_FALSE(partial.empty());
    EXPECT_EQ(image.pixel(1 + 17, kLabelTop), kGrey);
    EXPECT_EQ(LabelIn(image, 19, 48), "A");
    EXPECT_EQ(LabelIn(image, 49, 79), "M"); // 1 May is day 47
}

TEST_F(ChartTest, LabelStripIsClearedToTheButtonFace)
{
    Start(2006, 3, 1, 1000);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    CChartCtrl chart(source);
    chart.OnSize(win::SIZE_RESTORED, kWidth, kHeight);
    {
        QPainter painter(&image);
        win::CDC dc(painter);
        chart.Draw(dc, win::ODA_DRAWENTIRE);
    }
    EXPECT_EQ(CountColour(image, QColor(Qt::magenta).rgb(), kHeight), 0);
}

TEST_F(ChartTest, IgnoresPartialDrawsAndDrawsWhenTheListHasNoWindow)
{
    Start(2006, 3, 1, 1000);
    struct Case {
        unsigned action;
        bool hasWindow;
        bool draws;
    };
    for (const Case& c : {Case{win::ODA_DRAWENTIRE, true, true}, Case{win::ODA_FOCUS, true, false},
                          Case{win::ODA_SELECT, true, false}, Case{win::ODA_DRAWENTIRE, false, false}}) {
        source.hasWindow = c.hasWindow;
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        CChartCtrl chart(source);
        chart.OnSize(win::SIZE_RESTORED, kWidth, kHeight);
        {
            QPainter painter(&image);
            win::CDC dc(painter);
            chart.Draw(dc, c.action);
        }
        EXPECT_EQ(image.pixel(10, 10) != QColor(Qt::magenta).rgb(), c.draws) << c.action << c.hasWindow;
    }
}

TEST_F(ChartTest, OneChartRedrawnAfterAChangeShowsTheNewBalances)
{
    // The same rows and dates with other balances: only Redraw tells the chart.
    Start(2006, 3, 1, 1000);
    Add(40, -3000);
    CChartCtrl chart(source);
    chart.OnSize(win::SIZE_RESTORED, kWidth, kHeight);
    auto draw = [&chart] {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            win::CDC dc(painter);
            chart.Draw(dc, win::ODA_DRAWENTIRE);
        }
        return image;
    };
    const QImage before = draw();
    EXPECT_EQ(before, Render());
    Start(2006, 3, 1, 5000);
    Add(40, -3000);
    chart.Redraw();
    const QImage after = draw();
    EXPECT_EQ(after, Render());
    EXPECT_NE(after, before);
}

TEST_F(ChartTest, LayoutLeavesRoomForOneLineOfLabelsAndIgnoresMinimising)
{
    CChartCtrl chart(source);
    chart.OnSize(win::SIZE_RESTORED, 600, 200);
    EXPECT_EQ(chart.PlotRect(), (win::CRect{1, 1, 599, 186}));
    chart.OnSize(win::SIZE_MINIMIZED, 0, 0);
    EXPECT_EQ(chart.PlotRect(), (win::CRect{1, 1, 599, 186}));
}

TEST_F(ChartTest, ChildWindowPaintsTheChartAndOutlivesNothing)
{
    Start(2006, 3, 1, 1000);
    auto parent = std::make_unique<QWidget>();
    parent->resize(500, 200);
    CChartCtrl chart(source);
    chart.Create(parent.get(), win::CRect{10, 10, 10 + kWidth, 10 + kHeight}, 1000);
    ASSERT_TRUE(chart.HasWindow());

    const QImage image = chart.Widget()->grab().toImage();
    ASSERT_EQ(image.size(), QSize(kWidth, kHeight));
    EXPECT_EQ(image.pixel(1, kPlotBottom), kBlue);
    EXPECT_EQ(RowsOf(image, 50, kBlack), Span(1, 100));

    // The parent takes the window with it; the chart stays usable.
    parent.reset();
    EXPECT_FALSE(chart.HasWindow());
    chart.Redraw();
}

TEST_F(ChartTest, HoverAndClickNameTheDayUnderThePointer)
{
    Start(2006, 3, 1, 1000);
    Add(5, -300);
    Add(5, -300);
    Add(10, 200);
    QWidget parent;
    parent.resize(500, 200);
    CChartCtrl chart(source);
    chart.Create(&parent, win::CRect{0, 0, kWidth, kHeight}, 1000);
    std::vector<int> clicked;
    chart.SetRowClickHandler([&](int row) { clicked.push_back(row); });

    // Column 1 + d is day d: the day's last balance, carried over days without entries.
    EXPECT_EQ(chart.ToolTipAt(1 + 5), "03/06/2006: balance 400");
    EXPECT_EQ(chart.ToolTipAt(1 + 7), "03/08/2006: balance 400 (no entries that day)");
    EXPECT_EQ(chart.ToolTipAt(1), "03/01/2006: balance 1000");
    EXPECT_EQ(chart.ToolTipAt(1 + 402), "04/07/2007: balance 600 (no entries that day)");
    EXPECT_EQ(chart.ToolTipAt(0), "") << "the frame";
    EXPECT_EQ(chart.ToolTipAt(1 + 403), "");

    // A day's first row, or the last row before a day without any.
    EXPECT_EQ(chart.RowAt(1), 0);
    EXPECT_EQ(chart.RowAt(1 + 5), 1);
    EXPECT_EQ(chart.RowAt(1 + 7), 2);
    EXPECT_EQ(chart.RowAt(1 + 10), 3);
    EXPECT_EQ(chart.RowAt(1 + 402), 3);
    EXPECT_EQ(chart.RowAt(0), -1);

    // The pointer reaches the chart although it takes no other input.
    auto send = [&](QEvent::Type type, int x) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(x, 50), chart.Widget()->mapToGlobal(QPointF(x, 50)), button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(chart.Widget(), &event);
    };
    send(QEvent::MouseButtonPress, 1 + 7);
    send(QEvent::MouseButtonRelease, 1 + 7);
    send(QEvent::MouseButtonPress, 0);
    EXPECT_EQ(clicked, std::vector<int>{2});
    parent.show();
    send(QEvent::MouseMove, 1 + 5);
    EXPECT_EQ(QToolTip::text().toStdString(), "03/06/2006: balance 400");
    QToolTip::hideText();
}

TEST_F(ChartTest, WindowThatOutlivesTheChartPaintsNothingOfIt)
{
    Start(2006, 3, 1, 1000);
    QWidget parent;
    parent.resize(500, 200);
    QWidget* window = nullptr;
    {
        CChartCtrl chart(source);
        chart.Create(&parent, win::CRect{0, 0, kWidth, kHeight}, 1000);
        window = chart.Widget();
    }
    window->resize(300, 100);
    const QImage image = window->grab().toImage();
    EXPECT_NE(image.pixel(1, 1 + 50), kBlack);
}

// Month letters at Duration 1, 13 and 99: each letter sits inside its own month, a letter
// that would not fit is left out, and every month keeps its dotted line.
TEST_F(ChartTest, MonthLettersFitTheirMonthsAtEveryDuration)
{
    Start(2006, 3, 15, 0); // no bars over the month lines
    for (unsigned duration : {1u, 13u, 99u}) {
        SCOPED_TRACE(duration);
        projection.SetDuration(duration);
        const QImage image = Render();
        const TimeValue start = ProjectionStartDate();
        const auto days = static_cast<std::int64_t>(DayNumber(projection.GetEndDate()) - DayNumber(start));
        std::vector<int> lines; // x of each month line in the plot
        for (std::int64_t d = 0; d < days; ++d)
            if (SplitDate(AddDays(start, d)).day == 1)
                lines.push_back(static_cast<int>(win::MulDiv(403, d, days)));
        for (int x : lines)
            ASSERT_EQ(image.pixel(1 + x, 3), kGrey) << "the dotted line of the month at " << x;
        // Each month's ink stays between its line and the next.
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            const int left = 1 + lines[i] + 1;
            const int right = 1 + lines[i + 1];
            const std::string letter = LabelIn(image, left, right);
            if (right - left >= 12) {
                EXPECT_NE(letter, "") << "a month " << right - left << " pixels wide has room for its letter";
            }
            EXPECT_NE(letter, "?") << "letters run into each other at " << left;
        }
    }
    // At Duration 99 a month is four pixels wide: no letter fits.
    EXPECT_EQ(CountColour(Render(), kBlack, kHeight) - CountColour(Render(), kBlack), 0);
}

TEST_F(ChartTest, AChangedDurationIsDrawnWithItsOwnMonthWidth)
{
    Start(2006, 3, 15, 1000);
    CChartCtrl chart(source);
    chart.OnSize(win::SIZE_RESTORED, kWidth, kHeight);
    projection.SetDuration(1); // no resize follows
    const QImage fresh = Render();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::magenta); // the chart paints every pixel
    {
        QPainter painter(&image);
        win::CDC dc(painter);
        chart.Draw(dc, win::ODA_DRAWENTIRE);
    }
    EXPECT_TRUE(image == fresh) << "the same chart as one laid out at Duration 1";
    // 1 April is at x = 221; March's letter is centred a whole month (403 pixels) left of
    // it, near the left edge, not beside the April line.
    EXPECT_EQ(LabelIn(image, 0, 60), "M");
    EXPECT_EQ(LabelIn(image, 150, 222), "");
}

// The chart from the keyboard: the keys move the chosen day within the window, Enter picks
// its row as a click does, and screen readers read the chart's name, what it shows and
// the chosen day.
TEST_F(ChartTest, KeysChooseADayThatScreenReadersReadAndEnterPicksItsRow)
{
    Start(2006, 3, 1, 1000);
    Add(5, -300);
    Add(5, -300);
    Add(40, 200);
    QWidget parent;
    parent.resize(500, 200);
    CChartCtrl chart(source);
    chart.Create(&parent, win::CRect{0, 0, kWidth, kHeight}, 1000);
    std::vector<int> picked;
    chart.SetRowClickHandler([&](int row) { picked.push_back(row); });
    EXPECT_TRUE(chart.Widget()->focusPolicy() & Qt::TabFocus);
    auto press = [&](Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(chart.Widget(), &event);
        return FormatDate(*chart.ChosenDay());
    };
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(chart.Widget());
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::Chart);
    EXPECT_EQ(access->text(QAccessible::Name).toStdString(), "Balance chart");
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(access->text(QAccessible::Description).toStdString(),
              "The balance at the end of each day from 03/01/2006 to 04/07/2007: lowest 400 on 03/06/2006, "
              "closing 600 on 04/10/2006");

    EXPECT_EQ(press(Qt::Key_Left), "03/01/2006") << "the first day, and no further";
    EXPECT_EQ(press(Qt::Key_Right), "03/02/2006");
    EXPECT_EQ(press(Qt::Key_PageDown), "04/02/2006") << "a month of 31 days";
    EXPECT_EQ(access->text(QAccessible::Value).toStdString(), "04/02/2006: balance 400 (no entries that day)");
    EXPECT_EQ(access->valueInterface()->currentValue().toDouble(), 400);
    EXPECT_EQ(press(Qt::Key_PageUp), "03/02/2006");
    EXPECT_EQ(press(Qt::Key_PageUp), "03/01/2006");
    EXPECT_EQ(press(Qt::Key_End), "04/07/2007");
    EXPECT_EQ(press(Qt::Key_PageDown), "04/07/2007") << "the last day, and no further";
    EXPECT_EQ(access->text(QAccessible::Value).toStdString(), "04/07/2007: balance 600 (no entries that day)");
    press(Qt::Key_Return);
    EXPECT_EQ(press(Qt::Key_Home), "03/01/2006");
    for (int day = 0; day < 5; ++day)
        press(Qt::Key_Right);
    EXPECT_EQ(access->text(QAccessible::Value).toStdString(), "03/06/2006: balance 400");
    press(Qt::Key_Enter);
    EXPECT_EQ(picked, (std::vector<int>{3, 1})) << "the last row before the day, then the day's first";

    // A moved window keeps the day where it can, else the nearest day inside it.
    ProjectionStartDate() = MakeDate(2006, 3, 10);
    projection.SetDuration(13);
    EXPECT_EQ(FormatDate(*chart.ChosenDay()), "03/10/2006");
    // The description follows the projection once the change is done.
    Add(2, -5000);
    chart.Redraw();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(access->text(QAccessible::Description).toStdString(),
              "The balance at the end of each day from 03/10/2006 to 04/16/2007: lowest -4000 on 03/12/2006, "
              "closing -4000 on 03/12/2006");
}

// With the focus the chart adds a frame and marks the chosen day's columns in the
// highlight colour; without it, it is the picture a file gets.
TEST_F(ChartTest, FocusAddsAFrameAndTheChosenDayOnly)
{
    Start(2006, 3, 1, 1000);
    Add(20, -2000);
    QWidget parent;
    CChartCtrl chart(source);
    chart.Create(&parent, win::CRect{0, 0, kWidth, kHeight}, 1000);
    chart.SetColours(CChartCtrl::Colours::Light());
    auto draw = [&](unsigned state) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            win::CDC dc(painter);
            chart.Draw(dc, win::ODA_DRAWENTIRE, state);
        }
        return image;
    };
    EXPECT_EQ(draw(0), Render());
    chart.OnKey(win::VK_HOME);
    for (int day = 0; day < 7; ++day)
        chart.OnKey(win::VK_RIGHT);
    const QImage plain = draw(0);
    EXPECT_EQ(plain, Render()) << "a chosen day shows only with the focus";
    const QImage focused = draw(win::ODS_FOCUS);
    const QRgb highlight = QColor(48, 140, 198).rgb();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool frame = x <= 1 || x >= kWidth - 2 || y <= 1 || y == kPlotBottom || y == kPlotBottom - 1;
            const bool ring = frame && y <= kPlotBottom;
            const bool column = x == 1 + 7 && y > 0 && y < kPlotBottom && plain.pixel(x, y) == kWhite;
            const QRgb expected = ring || column ? highlight : plain.pixel(x, y);
            ASSERT_EQ(focused.pixel(x, y), expected) << x << "," << y;
        }
}

// Under a dark palette the window's chart takes the palette's colours, its letters and
// the bars' pair chosen to read on them; a picture of it keeps the light look.
TEST_F(ChartTest, TheWindowsChartFollowsADarkPaletteAndPicturesStayLight)
{
    Start(2006, 3, 1, 1000);
    Add(40, -3000);
    const QImage light = Render();
    const QPalette saved = QApplication::palette();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    QApplication::setPalette(dark);
    const QImage picture = Render();
    QWidget parent;
    CChartCtrl chart(source);
    chart.Create(&parent, win::CRect{0, 0, kWidth, kHeight}, 1000);
    const QImage window = chart.Widget()->grab().toImage();
    QApplication::setPalette(saved);

    EXPECT_EQ(picture, light);
    const auto colour = [](const QImage& image, int x, int y) {
        const QRgb pixel = image.pixel(x, y);
        return win::RGB(qRed(pixel), qGreen(pixel), qBlue(pixel));
    };
    const win::COLORREF plot = win::RGB(35, 35, 35);
    const win::COLORREF face = win::RGB(53, 53, 53);
    EXPECT_EQ(colour(window, 1 + 10, 99), plot) << "the plot's background is the palette's";
    EXPECT_EQ(colour(window, 1, kHeight - 1), face);
    // Bars above and below the zero line, told apart and seen on the plot.
    win::COLORREF positive = plot, negative = plot;
    for (int y = 1; y < kPlotBottom; ++y) {
        if (colour(window, 1 + 10, y) != plot)
            positive = colour(window, 1 + 10, y);
        if (colour(window, 1 + 100, y) != plot && colour(window, 1 + 100, y) != positive)
            negative = colour(window, 1 + 100, y);
    }
    EXPECT_GE(win::ContrastRatio(positive, plot), 3.0);
    EXPECT_GE(win::ContrastRatio(negative, plot), 3.0);
    EXPECT_NE(positive, negative);
    // Every pixel of the month letters (neither the strip nor a tick) reads on the strip
    // at 4.5:1 at least.
    const win::COLORREF lines = colour(window, 0, 0);
    int letterPixels = 0;
    for (int y = kLabelTop; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (const win::COLORREF pixel = colour(window, x, y); pixel != face && pixel != lines) {
                ++letterPixels;
                EXPECT_GE(win::ContrastRatio(pixel, face), 4.5) << x << "," << y;
            }
    EXPECT_GT(letterPixels, 10);
}

TEST(ColourContrast, RatiosFollowTheWcagFormula)
{
    // Reference figures: black on white, pure red on white, #767676 (the lightest grey
    // that passes on white) and the channel curve's linear part.
    EXPECT_NEAR(win::ContrastRatio(win::RGB(0, 0, 0), win::RGB(255, 255, 255)), 21.0, 1e-9);
    EXPECT_NEAR(win::ContrastRatio(win::RGB(255, 0, 0), win::RGB(255, 255, 255)), 3.998, 1e-3);
    EXPECT_NEAR(win::ContrastRatio(win::RGB(255, 255, 255), win::RGB(118, 118, 118)), 4.542, 1e-3);
    EXPECT_NEAR(win::RelativeLuminance(win::RGB(10, 10, 10)), 10 / 255.0 / 12.92, 1e-12);
    // A colour moved just far enough: enough contrast, and the step before had not.
    std::mt19937 random(25);
    std::uniform_int_distribution<int> channel(0, 255);
    for (int i = 0; i < 500; ++i) {
        const win::COLORREF colour = win::RGB(channel(random), channel(random), channel(random));
        const win::COLORREF background = win::RGB(channel(random), channel(random), channel(random));
        const win::COLORREF readable = win::WithContrast(colour, background, 4.5);
        const double best = std::max(win::ContrastRatio(win::RGB(0, 0, 0), background),
                                     win::ContrastRatio(win::RGB(255, 255, 255), background));
        if (best >= 4.5) {
            EXPECT_GE(win::ContrastRatio(readable, background), 4.5);
        }
        if (win::ContrastRatio(colour, background) >= 4.5) {
            EXPECT_EQ(readable, colour);
        }
    }
}

} // namespace
