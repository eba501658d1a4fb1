#pragma once

// Plain values of the window platform layer: rectangles, points and the numeric constants
// (styles, results, message ids) that the program's windows are described with. The
// values are those of the Windows API, so templates and handlers read as they would there.

#include <cstdint>

namespace win {

// A rectangle given by its edges; right and bottom lie just outside it.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Empty when the width or the height is not positive.
    bool IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    friend bool operator==(const CRect&, const CRect&) = default;
};

struct CPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

// Results of modal dialogs and message boxes.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDRETRY = 4;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
// Id of template controls that are never addressed ("static").
inline constexpr int IDC_STATIC = -1;

// Window styles.
inline constexpr std::uint32_t WS_POPUP = 0x80000000u;
inline constexpr std::uint32_t WS_CHILD = 0x40000000u;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000u;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr std::uint32_t WS_BORDER = 0x00800000u;
inline constexpr std::uint32_t WS_VSCROLL = 0x00200000u;
inline constexpr std::uint32_t WS_HSCROLL = 0x00100000u;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr std::uint32_t WS_THICKFRAME = 0x00040000u;
inline constexpr std::uint32_t WS_GROUP = 0x00020000u;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000u;
inline constexpr std::uint32_t DS_MODALFRAME = 0x80u;
inline constexpr std::uint32_t DS_SETFONT = 0x40u;

// Static control styles.
inline constexpr std::uint32_t SS_LEFT = 0x0u;
inline constexpr std::uint32_t SS_CENTER = 0x1u;
inline constexpr std::uint32_t SS_RIGHT = 0x2u;
inline constexpr std::uint32_t SS_ICON = 0x3u;
inline constexpr std::uint32_t SS_TYPEMASK = 0x1Fu;

// Button styles (the low four bits give the kind of button).
inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0u;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1u;
inline constexpr std::uint32_t BS_CHECKBOX = 0x2u;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3u;
inline constexpr std::uint32_t BS_RADIOBUTTON = 0x4u;
inline constexpr std::uint32_t BS_GROUPBOX = 0x7u;
inline constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x9u;
inline constexpr std::uint32_t BS_OWNERDRAW = 0xBu;
inline constexpr std::uint32_t BS_TYPEMASK = 0xFu;
inline constexpr std::uint32_t BS_FLAT = 0x8000u;

// Edit styles.
inline constexpr std::uint32_t ES_LEFT = 0x0u;
inline constexpr std::uint32_t ES_CENTER = 0x1u;
inline constexpr std::uint32_t ES_RIGHT = 0x2u;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x80u;
inline constexpr std::uint32_t ES_NUMBER = 0x2000u;

// Combo box styles.
inline constexpr std::uint32_t CBS_DROPDOWN = 0x2u;
inline constexpr std::uint32_t CBS_DROPDOWNLIST = 0x3u;
inline constexpr std::uint32_t CBS_AUTOHSCROLL = 0x40u;
inline constexpr std::uint32_t CBS_SORT = 0x100u;

// List view styles, extended styles, column formats, item states.
inline constexpr std::uint32_t LVS_REPORT = 0x1u;
inline constexpr std::uint32_t LVS_SINGLESEL = 0x4u;
inline constexpr std::uint32_t LVS_SHOWSELALWAYS = 0x8u;
inline constexpr std::uint32_t LVS_SORTASCENDING = 0x10u;
inline constexpr std::uint32_t LVS_NOSORTHEADER = 0x8000u;
inline constexpr std::uint32_t LVS_EX_GRIDLINES = 0x1u;
inline constexpr std::uint32_t LVS_EX_FULLROWSELECT = 0x20u;
// A check box in each row's first cell, which Space or a click toggles.
inline constexpr std::uint32_t LVS_EX_CHECKBOXES = 0x4u;
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;
inline constexpr unsigned LVIS_SELECTED = 0x2u;
inline constexpr unsigned LVNI_SELECTED = 0x2u;

// Up-down styles and the range message.
inline constexpr std::uint32_t UDS_WRAP = 0x1u;
inline constexpr std::uint32_t UDS_SETBUDDYINT = 0x2u;
inline constexpr std::uint32_t UDS_ALIGNRIGHT = 0x4u;
inline constexpr std::uint32_t UDS_AUTOBUDDY = 0x10u;
inline constexpr std::uint32_t UDS_ARROWKEYS = 0x20u;
inline constexpr std::uint32_t UDS_HORZ = 0x40u;
inline constexpr std::uint32_t UDS_NOTHOUSANDS = 0x80u;
inline constexpr std::uint32_t UDM_SETRANGE = 0x0400u + 101u;

// Date-time picker styles.
inline constexpr std::uint32_t DTS_RIGHTALIGN = 0x20u;

// Message box types.
inline constexpr unsigned MB_OK = 0x0u;
inline constexpr unsigned MB_OKCANCEL = 0x1u;
inline constexpr unsigned MB_YESNOCANCEL = 0x3u;
inline constexpr unsigned MB_YESNO = 0x4u;
inline constexpr unsigned MB_RETRYCANCEL = 0x5u;
inline constexpr unsigned MB_TYPEMASK = 0xFu;
inline constexpr unsigned MB_ICONHAND = 0x10u;
inline constexpr unsigned MB_ICONQUESTION = 0x20u;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30u;
inline constexpr unsigned MB_ICONINFORMATION = 0x40u;
inline constexpr unsigned MB_ICONMASK = 0xF0u;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100u;
inline constexpr unsigned MB_DEFMASK = 0xF00u;

// Virtual keys the program looks at.
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_PRIOR = 0x21; // Page Up
inline constexpr int VK_NEXT = 0x22;  // Page Down
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;

// Size message kinds.
inline constexpr int SIZE_RESTORED = 0;
inline constexpr int SIZE_MINIMIZED = 1;
inline constexpr int SIZE_MAXIMIZED = 2;

// Owner-draw actions.
inline constexpr unsigned ODA_DRAWENTIRE = 0x1u;
inline constexpr unsigned ODA_SELECT = 0x2u;
inline constexpr unsigned ODA_FOCUS = 0x4u;
// Owner-draw states.
inline constexpr unsigned ODS_FOCUS = 0x10u;

// Packs two 16-bit halves into one 32-bit message parameter (low half first).
constexpr std::uint32_t MakeLong(int low, int high)
{
    return (static_cast<std::uint32_t>(static_cast<std::uint16_t>(low))) |
           (static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16);
}
// The halves of a message parameter, as signed 16-bit values.
constexpr int LowWord(std::uint32_t value) { return static_cast<std::int16_t>(value & 0xFFFFu); }
constexpr int HighWord(std::uint32_t value) { return static_cast<std::int16_t>(value >> 16); }

} // namespace win
