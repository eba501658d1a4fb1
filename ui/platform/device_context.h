#pragma once

// Drawing with the window system's rules: pens and fonts are objects selected into a
// device context and selected back out, lines leave their end point undrawn, text is
// placed by a reference point and an alignment. Pens and fonts are plain descriptions;
// only the device context touches the painter underneath.

#include "ui/platform/types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QFont;
class QPainter;
class QPolygon;

namespace win {

using COLORREF = std::uint32_t;

constexpr COLORREF RGB(int red, int green, int blue)
{
    return static_cast<COLORREF>(red & 0xFF) | (static_cast<COLORREF>(green & 0xFF) << 8) |
           (static_cast<COLORREF>(blue & 0xFF) << 16);
}
constexpr int GetRValue(COLORREF colour) { return static_cast<int>(colour & 0xFF); }
constexpr int GetGValue(COLORREF colour) { return static_cast<int>((colour >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF colour) { return static_cast<int>((colour >> 16) & 0xFF); }

// Pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DOT = 2;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Text alignment: one horizontal and one vertical flag.
inline constexpr unsigned TA_LEFT = 0;
inline constexpr unsigned TA_RIGHT = 2;
inline constexpr unsigned TA_CENTER = 6;
inline constexpr unsigned TA_TOP = 0;
inline constexpr unsigned TA_BOTTOM = 8;
inline constexpr unsigned TA_BASELINE = 24;

// Stock brushes.
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int BLACK_BRUSH = 4;

// System colours.
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNTEXT = 18;
// Not a Windows index: the background of a window's own area (under its controls).
inline constexpr int COLOR_WINDOWFACE = 0x100;

// The logical-font field that holds the face name, terminator included.
inline constexpr std::size_t LF_FACESIZE = 32;

// The colour of a part of the user interface, from the application's palette.
COLORREF GetSysColor(int index);

// A cosmetic pen: one pixel wide, solid or dotted.
class CPen {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }

    // Only widths of 0 and 1 exist here: both give one-pixel lines.
    bool CreatePen(int style, int width, COLORREF colour);

    int Style() const { return m_style; }
    COLORREF Colour() const { return m_colour; }

private:
    int m_style = PS_SOLID;
    COLORREF m_colour = RGB(0, 0, 0);
};

// The parts of a logical-font description the program uses.
struct LOGFONT {
    // Negative: the character height in pixels, without internal leading.
    int lfHeight = 0;
    std::string lfFaceName;
};

class CFont {
public:
    // A font of a face and a size in tenths of a point, at 96 pixels per inch. Fails,
    // with ERROR_INVALID_PARAMETER as the last error, for a face name that does not fit
    // the logical-font field or a size that is not positive.
    bool CreatePointFont(int pointSizeTenths, std::string_view faceName);
    bool IsCreated() const { return m_created; }
    const LOGFONT& GetLogFont() const { return m_logFont; }

private:
    LOGFONT m_logFont;
    bool m_created = false;
};

class CBrush {
public:
    explicit CBrush(COLORREF colour) : m_colour(colour) {}
    COLORREF Colour() const { return m_colour; }

private:
    COLORREF m_colour;
};

// One of the stock brushes; they exist for the whole run.
CBrush* GetStockBrush(int index);

// A device context over a painter that is active on an image or a widget. Starts with a
// black solid pen, the application's font, an opaque white text background and
// left-top alignment. The painter must outlive the context.
class CDC {
public:
    explicit CDC(QPainter& painter);
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    void FillSolidRect(const CRect& rect, COLORREF colour);
    // FillSolidRect of each rectangle, in one go.
    void FillSolidRects(const std::vector<CRect>& rects, COLORREF colour);
    // Draws the one-pixel border just inside the rectangle.
    void FrameRect(const CRect& rect, const CBrush* brush);

    // Select a pen or font for the drawing that follows; the one selected before is
    // returned, to be selected back.
    CPen* SelectObject(CPen* pen);
    CFont* SelectObject(CFont* font);

    CPoint MoveTo(int x, int y);
    // Draws from the current position up to, but not including, (x, y), which becomes the
    // current position. A dotted pen sets every other pixel, starting with the first.
    bool LineTo(int x, int y);

    int SetBkMode(int mode);
    COLORREF SetTextColor(COLORREF colour);
    unsigned SetTextAlign(unsigned align);
    // Draws the first count characters of the text (UTF-8) at the reference point.
    bool TextOut(int x, int y, std::string_view text, int count);
    // The width and height the first count characters would take in the selected font.
    CSize GetTextExtent(std::string_view text, int count) const;

private:
    QFont TextFont() const;
    // Sets each pixel to the pen's colour.
    void Plot(const QPolygon& points);

    QPainter& m_painter;
    CPen* m_pen;
    CFont* m_font;
    CPoint m_position;
    int m_bkMode = OPAQUE;
    COLORREF m_bkColour = RGB(255, 255, 255);
    COLORREF m_textColour = RGB(0, 0, 0);
    unsigned m_textAlign = TA_LEFT | TA_TOP;
};

} // namespace win
