#pragma once

// Thin wrappers for the standard controls of a dialog template: static text, buttons
// (push, radio, check, group box, owner-drawn), edit, combo box, up-down and date-time
// picker. Their state lives in the widgets, so any number of wrappers may be attached to
// one control. The list view has its own header (list_ctrl.h).

#include <cstdint>
#include <functional>
#include <string>

#include "ui/platform/wnd.h"

class QPainter;

namespace win {

class CStatic : public CWnd {};

// Everything the owner of an owner-drawn button gets with a draw request.
struct DrawItemContext {
    QPainter* painter = nullptr; // paints on the button; valid during the request only
    CRect rect;                  // the whole button, client coordinates
    unsigned action = ODA_DRAWENTIRE;
    unsigned state = 0;          // ODS_FOCUS while the button has the keyboard focus
};

class CButton : public CWnd {
public:
    // Check state of a radio button or check box: 0 unchecked, 1 checked.
    int GetCheck() const;
    void SetCheck(int check);
    // Clicks the button as the user would (radio buttons and check boxes change state,
    // then the dialog receives the command).
    void Click();

    // Owner-drawn buttons: draw requests and size notices go to these handlers.
    void SetDrawHandler(std::function<void(DrawItemContext&)> handler);
    void SetSizeHandler(std::function<void(int type, int cx, int cy)> handler);
    // Owner-drawn buttons that take the focus (WS_TABSTOP): the keys pressed on them
    // (Left, Right, Up, Down, Page Up, Page Down, Home, End, Enter, as VK_ codes; the
    // handler returns whether it used the key), and the focus coming or going.
    void SetKeyHandler(std::function<bool(int virtualKey)> handler);
    void SetFocusHandler(std::function<void(bool focused)> handler);
};

class CEdit : public CWnd {
public:
    // Limits what the user can type to count characters.
    void LimitText(int count);
    int GetLimitText() const;
    // Selects characters [start, end); end -1 selects to the end of the text.
    void SetSel(int start, int end);
    // The selection as [start, end).
    void GetSel(int& start, int& end) const;
    // Scrolls the caret into view.
    void ScrollCaret();
};

inline constexpr int CB_ERR = -1;

class CComboBox : public CWnd {
public:
    // Adds a string (in sorted place with CBS_SORT, else last); returns its index.
    int AddString(const std::string& text);
    // Inserts a string at index (-1: last); never sorts.
    int InsertString(int index, const std::string& text);
    int GetCount() const;
    // The selected index, or CB_ERR.
    int GetCurSel() const;
    // Selects an item (-1 clears the selection); returns the index or CB_ERR.
    int SetCurSel(int index);
    // The text of an item.
    std::string GetLBText(int index) const;
    // Limits the text typed into the edit field of a drop-down combo box.
    void LimitText(int count);
    // GetWindowText/SetWindowText give the edit field's text (drop-down list: the
    // selected item's text).
};

// The range message's parameter: upper bound in the low 16 bits, lower in the high.
constexpr std::uint32_t MakeRangeParam(int lower, int upper) { return MakeLong(upper, lower); }

class CSpinButtonCtrl : public CWnd {
public:
    // Sets the range (sends UDM_SETRANGE with MakeRangeParam(lower, upper)).
    void SetRange(int lower, int upper);
    // Handles the range message: upper = signed low half, lower = signed high half.
    void SendSetRange(std::uint32_t lParam);
    void GetRange(int& lower, int& upper) const;
    // Position; with UDS_SETBUDDYINT the buddy shows it as text.
    int SetPos(int position);
    int GetPos() const;
    void SetBuddy(CWnd& buddy);
    // When the buddy loses the focus showing no number within the range (a number being
    // typed, say), it shows the position again.
    void SetShowPositionOnLeave(bool on);
    // UDN_DELTAPOS: called before the position changes with the current position and the
    // change; a result of 1 refuses the change, 0 allows it.
    void SetDeltaPosHandler(std::function<int(int position, int delta)> handler);
    // Presses an arrow as the user would: +1 up (or right), -1 down (or left). Returns
    // whether the position changed.
    bool Step(int delta);
};

// A calendar time as the date-time picker's range takes it.
struct SystemTime {
    int year = 0;
    int month = 0;
    int dayOfWeek = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

class CDateTimeCtrl : public CWnd {
public:
    // Display format in the picker's format language ("MM/dd/yyyy").
    bool SetFormat(const std::string& format);
    std::string GetFormat() const;
    // Range; a null limit leaves that side open.
    bool SetRange(const SystemTime* minimum, const SystemTime* maximum);
    // The earliest selectable time value (local time), or nullopt-like false.
    bool GetMinimum(std::int64_t& time) const;
    // The shown value as seconds since 1 January 1970 UTC (local calendar and clock).
    bool GetTime(std::int64_t& time) const;
    // Shows a time value; the time of day is kept when the user picks another day.
    bool SetTime(std::int64_t time);
    // True when the shown text is a whole date within the range (not half typed).
    bool HasCompleteDate() const;
    // The first and last allowed days, in the display format.
    bool GetRangeText(std::string& minimum, std::string& maximum) const;
};

} // namespace win
