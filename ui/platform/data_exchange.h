#pragma once

// Dialog data exchange: the DDX_ functions move one value between a member and a control
// in the direction of CDataExchange::m_bSaveAndValidate; the DDV_ functions validate a
// stored value. A failure shows its message (caption: the program's name), puts the focus
// back on the failing control (an edit gets all its text selected) and ends the exchange;
// UpdateData then returns false.

#include <cstdint>
#include <string>
#include <string_view>

namespace win {

class CDialog;
class CWnd;

class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate);

    // True when storing members from the controls (with validation).
    const bool m_bSaveAndValidate;
    CDialog& m_dialog;

    // The control a following failure refers to.
    CWnd& PrepareCtrl(int id);
    // The same for an edit control (its text is selected on failure).
    CWnd& PrepareEditCtrl(int id);
    // Ends the exchange as failed: the focus goes back to the prepared control.
    [[noreturn]] void Fail();

private:
    int m_lastControl = 0;
    bool m_lastIsEdit = false;
};

// Thrown by CDataExchange::Fail and caught by UpdateData.
struct DataExchangeFailure {};

// Attaches a member wrapper to the control with this id (its attach step runs once).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Control text <-> text.
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// Control text <-> signed integer: "Please enter an integer." when the text is not one.
void DDX_Text(CDataExchange* dx, int id, int& value);
// Control text <-> unsigned integer: "Please enter a positive integer." when it is not one.
void DDX_Text(CDataExchange* dx, int id, unsigned& value);
// Control text <-> amount of whole dollars, written with or without grouping commas
// ("1,500"): as DDX_Text, except that a number with cents ("12.50") is refused with
// "Amounts are in whole dollars..." instead of being read as another number.
void DDX_Amount(CDataExchange* dx, int id, int& value);
void DDX_Amount(CDataExchange* dx, int id, unsigned& value);
// Index of the checked radio button of the group starting at firstId (-1: none).
void DDX_Radio(CDataExchange* dx, int firstId, int& index);
// Selected index of a combo box (-1: none).
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
// Date-time picker <-> time value (seconds since 1970). When storing, a text that is not
// a whole date within the picker's range is refused with a message naming MM/DD/YYYY.
void DDX_DateTimeCtrl(CDataExchange* dx, int id, std::int64_t& time);
// Check box state (0/1).
void DDX_Check(CDataExchange* dx, int id, int& value);

// When storing: "Please enter no more than %1 characters." (exclamation icon) when the
// text has more than count characters (code points).
void DDV_MaxChars(CDataExchange* dx, const std::string& value, int count);
void DDV_MinMaxUInt(CDataExchange* dx, unsigned value, unsigned minimum, unsigned maximum);

// The integer readings the exchange uses, for code that needs the same rule.
// Signed: leading spaces and tabs, an optional sign and digits (saturating at the 32-bit
// limits), then only spaces and tabs; 0 only when the text starts with the digit 0.
bool ParseDialogInteger(std::string_view text, int& value);
// Unsigned: the same without any sign (saturating at the 32-bit unsigned limit).
bool ParseDialogUnsigned(std::string_view text, unsigned& value);
// An amount's text without its grouping commas: after the blanks and sign, one to three
// digits and then any number of groups of a comma and three digits ("12,345,678"). Text
// with a comma anywhere else ("1,50", "1,,500", ",500") is returned as it is.
std::string WithoutGrouping(std::string_view text);
// True when the text is a number with a decimal point: "12.50", "-3.", ".5", "1,500.00".
bool HasDecimalPoint(std::string_view text);
// Replaces %1, %2 in a prompt.
std::string FormatPrompt(std::string prompt, const std::string& first, const std::string& second = {});

} // namespace win
