#include "ui/platform/device_context.h"

#include <utility>

#include "ui/platform/api.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QPolygon>
#include <QString>

#include <algorithm>
#include <cstdlib>

namespace win {

namespace {

QColor ToQColor(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF FromQColor(const QColor& colour)
{
    return RGB(colour.red(), colour.green(), colour.blue());
}

// The pen and font a fresh device context starts with, as the window system's stock
// objects: they are never destroyed.
CPen* StockBlackPen()
{
    static CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    return &pen;
}

CFont* StockDefaultFont()
{
    static CFont font;
    return &font;
}

// The first count code points of UTF-8 text.
QString Leading(std::string_view text, int count)
{
    std::size_t end = 0;
    int seen = 0;
    while (end < text.size()) {
        const auto byte = static_cast<unsigned char>(text[end]);
        if ((byte & 0xC0) != 0x80) {
            if (seen == count)
                break;
            ++seen;
        }
        ++end;
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(end));
}

} // namespace

COLORREF GetSysColor(int index)
{
    // Without an application, the light colours of the style the program uses.
    QPalette::ColorRole role = QPalette::Button;
    COLORREF fallback = RGB(240, 240, 240);
    switch (index) {
    case COLOR_WINDOW:
        role = QPalette::Base;
        fallback = RGB(255, 255, 255);
        break;
    case COLOR_WINDOWTEXT:
        role = QPalette::Text;
        fallback = RGB(0, 0, 0);
        break;
    case COLOR_HIGHLIGHT:
        role = QPalette::Highlight;
        fallback = RGB(48, 140, 198);
        break;
    case COLOR_HIGHLIGHTTEXT:
        role = QPalette::HighlightedText;
        fallback = RGB(255, 255, 255);
        break;
    case COLOR_BTNTEXT:
        role = QPalette::ButtonText;
        fallback = RGB(0, 0, 0);
        break;
    case COLOR_WINDOWFACE:
        role = QPalette::Window;
        break;
    default:
        break;
    }
    if (!qGuiApp)
        return fallback;
    return FromQColor(QGuiApplication::palette().color(QPalette::Active, role));
}

bool CPen::CreatePen(int style, int width, COLORREF colour)
{
    if ((style != PS_SOLID && style != PS_DOT) || width < 0 || width > 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    m_style = style;
    m_colour = colour;
    return true;
}

bool CFont::CreatePointFont(int pointSizeTenths, std::string_view faceName)
{
    if (pointSizeTenths <= 0 || faceName.size() >= LF_FACESIZE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    // The height in pixels at 96 dpi, as a character height (negative).
    m_logFont.lfHeight = -static_cast<int>(MulDiv(pointSizeTenths, 96, 720));
    m_logFont.lfFaceName = std::string(faceName);
    m_created = true;
    return true;
}

CBrush* GetStockBrush(int index)
{
    static CBrush white(RGB(255, 255, 255));
    static CBrush grey(RGB(128, 128, 128));
    static CBrush black(RGB(0, 0, 0));
    switch (index) {
    case WHITE_BRUSH:
        return &white;
    case GRAY_BRUSH:
        return &grey;
    case BLACK_BRUSH:
        return &black;
    default:
        return nullptr;
    }
}

CDC::CDC(QPainter& painter) : m_painter(painter), m_pen(StockBlackPen()), m_font(StockDefaultFont())
{
    // Every pixel is either set or left alone: no blending at the edges.
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, false);
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour)
{
    if (rect.IsRectEmpty())
        return;
    m_painter.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(colour));
}

void CDC::FillSolidRects(const std::vector<CRect>& rects, COLORREF colour)
{
    QList<QRect> shapes;
    shapes.reserve(static_cast<qsizetype>(rects.size()));
    for (const CRect& rect : rects)
        if (!rect.IsRectEmpty())
            shapes.append(QRect(rect.left, rect.top, rect.Width(), rect.Height()));
    if (shapes.isEmpty())
        return;
    if (m_painter.transform().type() > QTransform::TxTranslate) {
        for (const QRect& shape : shapes)
            m_painter.fillRect(shape, ToQColor(colour));
        return;
    }
    // Without an outline, aliased, each rectangle fills exactly its own pixels.
    m_painter.save();
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(ToQColor(colour));
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.drawRects(shapes);
    m_painter.restore();
}

void CDC::FrameRect(const CRect& rect, const CBrush* brush)
{
    if (!brush || rect.IsRectEmpty())
        return;
    const COLORREF colour = brush->Colour();
    FillSolidRect(CRect{rect.left, rect.top, rect.right, rect.top + 1}, colour);
    FillSolidRect(CRect{rect.left, rect.bottom - 1, rect.right, rect.bottom}, colour);
    FillSolidRect(CRect{rect.left, rect.top, rect.left + 1, rect.bottom}, colour);
    FillSolidRect(CRect{rect.right - 1, rect.top, rect.right, rect.bottom}, colour);
}

CPen* CDC::SelectObject(CPen* pen)
{
    CPen* previous = m_pen;
    m_pen = pen ? pen : StockBlackPen();
    return previous;
}

CFont* CDC::SelectObject(CFont* font)
{
    CFont* previous = m_font;
    m_font = font ? font : StockDefaultFont();
    return previous;
}

CPoint CDC::MoveTo(int x, int y)
{
    const CPoint previous = m_position;
    m_position = CPoint{x, y};
    return previous;
}

void CDC::Plot(const QPolygon& points)
{
    if (points.isEmpty())
        return;
    const QColor colour = ToQColor(m_pen->Colour());
    if (m_painter.transform().type() > QTransform::TxTranslate) {
        // Scaled: each pixel as the square it becomes.
        for (const QPoint& point : points)
            m_painter.fillRect(QRect(point, QSize(1, 1)), colour);
        return;
    }
    // A cosmetic pen of one pixel, aliased, sets exactly the pixel of each point, in one
    // call however many points a line has.
    m_painter.save();
    m_painter.setPen(QPen(colour, 0));
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.drawPoints(points);
    m_painter.restore();
}

bool CDC::LineTo(int x, int y)
{
    const CPoint from = m_position;
    m_position = CPoint{x, y};
    const int dx = x - from.x;
    const int dy = y - from.y;
    if (dx == 0 && dy == 0)
        return true;
    const bool dotted = m_pen->Style() == PS_DOT;

    // A solid straight line is one span, its last pixel left out.
    if (!dotted && (dx == 0 || dy == 0)) {
        const int left = dx < 0 ? x + 1 : from.x;
        const int top = dy < 0 ? y + 1 : from.y;
        const int width = dx == 0 ? 1 : std::abs(dx);
        const int height = dy == 0 ? 1 : std::abs(dy);
        m_painter.fillRect(QRect(left, top, width, height), ToQColor(m_pen->Colour()));
        return true;
    }

    // Otherwise pixel by pixel along the major axis, stopping before the end point.
    const int steps = std::max(std::abs(dx), std::abs(dy));
    const int stepX = dx > 0 ? 1 : (dx < 0 ? -1 : 0);
    const int stepY = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
    const bool alongX = std::abs(dx) >= std::abs(dy);
    const int minor = alongX ? std::abs(dy) : std::abs(dx);
    int px = from.x;
    int py = from.y;
    int error = steps / 2;
    QPolygon points;
    points.reserve(dotted ? steps / 2 + 1 : steps);
    for (int i = 0; i < steps; ++i) {
        if (!dotted || i % 2 == 0)
            points.append(QPoint(px, py));
        error -= minor;
        if (error < 0) {
            error += steps;
            if (alongX)
                py += stepY;
            else
                px += stepX;
        }
        if (alongX)
            px += stepX;
        else
            py += stepY;
    }
    Plot(points);
    return true;
}

int CDC::SetBkMode(int mode) { return std::exchange(m_bkMode, mode); }

COLORREF CDC::SetTextColor(COLORREF colour) { return std::exchange(m_textColour, colour); }

unsigned CDC::SetTextAlign(unsigned align) { return std::exchange(m_textAlign, align); }

QFont CDC::TextFont() const
{
    QFont font = m_painter.font();
    if (m_font->IsCreated()) {
        const LOGFONT& logFont = m_font->GetLogFont();
        font = QFont(QString::fromStdString(logFont.lfFaceName));
        if (logFont.lfHeight != 0)
            font.setPixelSize(std::abs(logFont.lfHeight));
    }
    // Letters without grey fringes, as the window system draws small text.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

CSize CDC::GetTextExtent(std::string_view text, int count) const
{
    if (count < 0)
        return {};
    const QFontMetrics metrics(TextFont(), m_painter.device());
    return CSize{metrics.horizontalAdvance(Leading(text, count)), metrics.height()};
}

bool CDC::TextOut(int x, int y, std::string_view text, int count)
{
    if (count < 0)
        return false;
    const QFont font = TextFont();
    const QString shown = Leading(text, count);
    const QFontMetrics metrics(font, m_painter.device());
    const int width = metrics.horizontalAdvance(shown);

    int left = x;
    if ((m_textAlign & TA_CENTER) == TA_CENTER)
        left = x - width / 2;
    else if (m_textAlign & TA_RIGHT)
        left = x - width;
    int baseline = y + metrics.ascent();
    if ((m_textAlign & TA_BASELINE) == TA_BASELINE)
        baseline = y;
    else if (m_textAlign & TA_BOTTOM)
        baseline = y - metrics.descent();

    if (m_bkMode == OPAQUE)
        m_painter.fillRect(QRect(left, baseline - metrics.ascent(), width, metrics.height()), ToQColor(m_bkColour));
    m_painter.save();
    m_painter.setFont(font);
    m_painter.setPen(ToQColor(m_textColour));
    m_painter.drawText(QPoint(left, baseline), shown);
    m_painter.restore();
    return true;
}

} // namespace win
