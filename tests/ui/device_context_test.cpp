#include "ui/platform/api.h"
#include "ui/platform/device_context.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace win;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kGreen = 0xFF00FF00;

// Draws into a small white image through a device context and reads the pixels back.
class Canvas {
public:
    Canvas() : m_image(20, 20, QImage::Format_RGB32)
    {
        m_image.fill(Qt::white);
        m_painter = std::make_unique<QPainter>(&m_image);
        m_dc = std::make_unique<CDC>(*m_painter);
    }
    CDC& dc() { return *m_dc; }
    const QImage& Image()
    {
        m_dc.reset();
        m_painter.reset();
        return m_image;
    }
    // The pixels set, as (x, y) in row order.
    std::vector<std::pair<int, int>> Drawn()
    {
        std::vector<std::pair<int, int>> drawn;
        const QImage& image = Image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != kWhite)
                    drawn.emplace_back(x, y);
        return drawn;
    }

private:
    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<CDC> m_dc;
};

struct LineCase {
    CPoint from, to;
    std::vector<std::pair<int, int>> pixels;
};

TEST(DeviceContextTest, LineToLeavesItsEndPointUndrawnInEveryDirection)
{
    const std::vector<LineCase> cases = {
        {{2, 5}, {6, 5}, {{2, 5}, {3, 5}, {4, 5}, {5, 5}}},
        {{6, 5}, {2, 5}, {{3, 5}, {4, 5}, {5, 5}, {6, 5}}},
        {{5, 2}, {5, 5}, {{5, 2}, {5, 3}, {5, 4}}},
        {{5, 5}, {5, 2}, {{5, 3}, {5, 4}, {5, 5}}},
        {{1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
        {{3, 3}, {3, 3}, {}},
    };
    for (const LineCase& c : cases) {
        Canvas canvas;
        CPen red(PS_SOLID, 1, RGB(255, 0, 0));
        canvas.dc().SelectObject(&red);
        canvas.dc().MoveTo(c.from.x, c.from.y);
        canvas.dc().LineTo(c.to.x, c.to.y);
        // The end point is the next line's start.
        EXPECT_EQ(canvas.dc().MoveTo(0, 0), c.to);
        EXPECT_EQ(canvas.Drawn(), c.pixels) << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y;
    }
}

TEST(DeviceContextTest, DottedPenSetsEveryOtherPixelStartingAtTheFirst)
{
    using Pixels = std::vector<std::pair<int, int>>;
    for (const bool downwards : {true, false}) {
        Canvas canvas;
        CPen grid(PS_DOT, 1, RGB(128, 128, 128));
        canvas.dc().SelectObject(&grid);
        canvas.dc().MoveTo(3, downwards ? 0 : 9);
        canvas.dc().LineTo(3, downwards ? 9 : 0);
        // Nine pixels from the start: on, off, on, ... on.
        const Pixels expected = downwards ? Pixels{{3, 0}, {3, 2}, {3, 4}, {3, 6}, {3, 8}}
                                          : Pixels{{3, 1}, {3, 3}, {3, 5}, {3, 7}, {3, 9}};
        EXPECT_EQ(canvas.Drawn(), expected) << downwards;
    }
}

TEST(DeviceContextTest, SelectObjectReturnsWhatWasSelectedSoItCanBeRestored)
{
    Canvas canvas;
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* original = canvas.dc().SelectObject(&red);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(canvas.dc().SelectObject(original), &red);
    canvas.dc().MoveTo(0, 0);
    canvas.dc().LineTo(2, 0);
    EXPECT_EQ(canvas.Image().pixel(0, 0), 0xFF000000u); // the stock black pen again

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, "Arial"));
    Canvas other;
    CFont* previous = other.dc().SelectObject(&font);
    EXPECT_EQ(other.dc().SelectObject(previous), &font);
}

TEST(DeviceContextTest, PointFontHasTheCharacterHeightOfNinetySixDpi)
{
    struct Case {
        int tenths;
        int height;
    };
    for (const Case& c : {Case{80, -11}, Case{100, -13}, Case{90, -12}, Case{120, -16}}) {
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(c.tenths, "Arial"));
        EXPECT_EQ(font.GetLogFont().lfHeight, c.height) << c.tenths;
    }
    CFont tooLong;
    SetLastError(0);
    EXPECT_FALSE(tooLong.CreatePointFont(80, std::string(LF_FACESIZE, 'x')));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(tooLong.IsCreated());
}

TEST(DeviceContextTest, TransparentCentredTextLeavesTheBackgroundAndCentresOnTheReferencePoint)
{
    Canvas canvas;
    canvas.dc().FillSolidRect(CRect{0, 0, 20, 20}, RGB(0, 255, 0));
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, "Arial"));
    canvas.dc().SelectObject(&font);
    canvas.dc().SetBkMode(TRANSPARENT);
    canvas.dc().SetTextAlign(TA_CENTER);
    canvas.dc().TextOut(10, 2, "MAY", 1); // only the first character

    const QImage& image = canvas.Image();
    int left = 20, right = -1, top = 20, ink = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const QRgb pixel = image.pixel(x, y);
            ASSERT_TRUE(pixel == kGreen || pixel == 0xFF000000u) << "a blended or background pixel at " << x << "," << y;
            if (pixel != kGreen) {
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y);
                ++ink;
            }
        }
    ASSERT_GT(ink, 0);
    // One letter about 9 pixels wide, centred on x = 10, below the top line.
    EXPECT_LE(right - left, 10);
    EXPECT_LE(std::abs((left + right + 1) / 2 - 10), 1);
    EXPECT_GE(top, 2);
}

TEST(DeviceContextTest, FrameRectDrawsTheBorderInsideTheRectangle)
{
    Canvas canvas;
    canvas.dc().FrameRect(CRect{2, 3, 6, 6}, GetStockBrush(GRAY_BRUSH));
    EXPECT_EQ(canvas.Image().pixel(2, 3), 0xFF808080u);
    std::vector<std::pair<int, int>> expected;
    for (int y = 3; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            if (y == 3 || y == 5 || x == 2 || x == 5)
                expected.emplace_back(x, y);
    EXPECT_EQ(canvas.Drawn(), expected);
}

} // namespace
