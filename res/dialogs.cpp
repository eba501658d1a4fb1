#include "res/resource.h"
#include "res/resources.h"
#include "ui/platform/types.h"

namespace res {

using namespace win;

namespace {

constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;
constexpr std::uint32_t kPageStyle = WS_CHILD | WS_CAPTION | DS_SETFONT;
constexpr std::uint32_t kModalStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr const char* kFont = "MS Sans Serif";

ControlTemplate Control(int id, ControlKind kind, std::string text, std::uint32_t style, int x, int y,
                        int cx, int cy, std::vector<std::string> items = {})
{
    ControlTemplate control;
    control.id = id;
    control.kind = kind;
    control.text = std::move(text);
    control.style = kChild | style;
    control.x = x;
    control.y = y;
    control.cx = cx;
    control.cy = cy;
    control.items = std::move(items);
    return control;
}

// A label or group box whose key mark puts the focus on the control buddy, and whose text
// names that control for screen readers.
ControlTemplate Label(ControlTemplate control, int buddy)
{
    control.buddy = buddy;
    return control;
}

// A control no label names, with the name screen readers give it.
ControlTemplate Named(ControlTemplate control, std::string name)
{
    control.name = std::move(name);
    return control;
}

DialogTemplate AboutBox()
{
    DialogTemplate d{IDD_ABOUTBOX, "About Tillane", WS_POPUP | WS_BORDER | DS_MODALFRAME | DS_SETFONT,
                     kFont, 8, 235, 102, {}};
    ControlTemplate icon = Control(IDC_STATIC, ControlKind::Static, "", SS_ICON, 11, 12, 20, 20);
    icon.icon = IDR_MAINFRAME;
    d.controls = {
        icon,
        Control(IDC_STATIC, ControlKind::Static, "Tillane for Linux", SS_LEFT, 42, 12, 180, 8),
        Control(IDC_VERSION, ControlKind::Static, "Version", SS_LEFT, 42, 24, 180, 8),
        Control(IDC_STATIC, ControlKind::Static, "Copyright (C) Ardenholt. All rights reserved.", SS_LEFT,
                42, 40, 186, 8),
        Control(IDC_STATIC, ControlKind::Static, "Contact: tillane@ardenholt.example",
                SS_LEFT, 42, 50, 186, 8),
        Control(IDC_STATIC, ControlKind::Static, "", SS_CENTER, 7, 64, 221, 8),
        Control(IDOK, ControlKind::Button, "Close", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 178, 81, 50, 14),
        Control(IDC_HOME_PAGE, ControlKind::Button, "Tillane &Home Page", BS_PUSHBUTTON | WS_TABSTOP, 7, 81,
                80, 14),
    };
    return d;
}

// The Transaction Editor's column right of Next Dates: the days of a monthly rule and where
// any rule's dates go on a day off. Tab reaches it after the left column's Occurrences and
// before the What-if box, OK and Cancel; none of the other controls moves.
std::vector<ControlTemplate> TransactionEditorDays()
{
    return {
        Control(IDC_STATIC, ControlKind::Button, "Days of the Month", BS_GROUPBOX, 336, 6, 143, 82),
        Control(IDC_ON_DAY, ControlKind::Button, "On da&y 1", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 343, 19,
                128, 10),
        Control(IDC_ON_WEEKDAY, ControlKind::Button, "On t&he", BS_AUTORADIOBUTTON, 343, 35, 40, 10),
        Named(Control(IDC_WEEK, ControlKind::ComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_GROUP | WS_TABSTOP, 384,
                      34, 34, 80, {"1st", "2nd", "3rd", "4th", "last"}),
              "Week of the month"),
        Named(Control(IDC_WEEKDAY, ControlKind::ComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 421, 34, 52,
                      100, {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}),
              "Day of the week"),
        Control(IDC_ALSO_ON_DAY, ControlKind::Button, "A&lso on day", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 343,
                60, 56, 10),
        Named(Control(IDC_DAY2, ControlKind::Edit, "", ES_NUMBER | ES_CENTER | WS_BORDER | WS_TABSTOP, 401, 59, 22, 12),
              "Also on day"),
        Control(IDC_STATIC, ControlKind::Button, "If not a Business Day", BS_GROUPBOX, 336, 92, 143, 75),
        Control(IDC_KEEP_DATE, ControlKind::Button, "&Keep the date", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 343,
                106, 128, 10),
        Control(IDC_BUSINESS_BEFORE, ControlKind::Button, "Business day be&fore", BS_AUTORADIOBUTTON, 343, 120, 128,
                10),
        Control(IDC_BUSINESS_AFTER, ControlKind::Button, "Business day af&ter", BS_AUTORADIOBUTTON, 343, 134, 128,
                10),
        Control(IDC_BUSINESS_NEAREST, ControlKind::Button, "Nearest bu&siness day", BS_AUTORADIOBUTTON, 343, 148,
                128, 10),
    };
}

// Across the left and middle columns, above the buttons: what an edit made from a Cash
// Flow row applies to (shown only then). Tab reaches it after the right-hand column,
// before the What-if box, OK and Cancel.
std::vector<ControlTemplate> TransactionEditorScope()
{
    return {
        Control(IDC_SCOPE_GROUP, ControlKind::Button, "This Edit Applies To", BS_GROUPBOX, 7, 203, 322, 36),
        Control(IDC_SCOPE_THIS, ControlKind::Button, "This &payment only", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
                14, 214, 100, 10),
        Control(IDC_SCOPE_LATER, ControlKind::Button, "This and all later pay&ments", BS_AUTORADIOBUTTON, 120, 214,
                150, 10),
        Control(IDC_SCOPE_EVERY, ControlKind::Button, "Every payment, past and f&uture", BS_AUTORADIOBUTTON, 14, 226,
                150, 10),
    };
}

// The Transaction Editor's block under the business days, in the right-hand column: the
// payments of the transaction that differ from its rule, how many are skipped, and a
// Restore button for the one selected. Tab reaches it after the days and before the
// What-if box, OK and Cancel; it only adds height below that column.
std::vector<ControlTemplate> TransactionEditorChangedPayments()
{
    return {
        Label(Control(IDC_STATIC, ControlKind::Button, "Chan&ged Payments", BS_GROUPBOX, 336, 171, 143, 78),
              IDC_EXCEPTIONS_LIST),
        Control(IDC_EXCEPTIONS_LIST, ControlKind::ListView, "",
                LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER | WS_GROUP | WS_TABSTOP,
                343, 182, 129, 42),
        Control(IDC_SKIPPED_COUNT, ControlKind::Static, "", SS_LEFT | WS_GROUP, 343, 230, 84, 10),
        Control(IDC_RESTORE_EXCEPTION, ControlKind::Button, "Restore", BS_PUSHBUTTON | WS_TABSTOP, 430, 228, 42, 14),
    };
}

DialogTemplate TransactionEditor()
{
    DialogTemplate d{IDD_TRANS_EDIT, "Transaction Editor", kModalStyle, kFont, 8, 486, 263, {}};
    d.controls = {
        Control(IDC_DESCRIPTION, ControlKind::ComboBox, "", CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP,
                17, 18, 156, 126),
        Control(IDC_DATE, ControlKind::DateTimePicker, "", DTS_RIGHTALIGN | WS_TABSTOP, 17, 51, 65, 13),
        // Not ES_NUMBER: a typed decimal point or grouping comma must show, so that OK can
        // read the commas and refuse the cents.
        Control(IDC_AMOUNT, ControlKind::Edit, "", ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 27, 82, 45,
                12),
        Control(IDC_DEBIT, ControlKind::Button, "De&bit", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 79, 84, 33,
                10),
        Control(IDC_CREDIT, ControlKind::Button, "&Credit", BS_AUTORADIOBUTTON, 117, 84, 34, 10),
        Control(IDC_NO_REPEAT, ControlKind::Button, "Does &not Repeat", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
                14, 116, 70, 10),
        Control(IDC_REPEATS, ControlKind::Button, "&Repeats", BS_AUTORADIOBUTTON, 14, 131, 43, 10),
        Named(Control(IDC_STEP, ControlKind::ComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 60, 130, 58,
                      66, {"Every", "Every Other", "Every Third", "Every Fourth"}),
              "How often"),
        Named(Control(IDC_UNIT, ControlKind::ComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 123, 130, 49,
                      68, {"Day", "Week", "Month", "Year"}),
              "Period"),
        // Before the count, so that Tab goes from "Ends After" to the number it ends after.
        Control(IDC_NEVER_ENDS, ControlKind::Button, "Ne&ver Ends", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14,
                167, 53, 10),
        Control(IDC_ENDS_AFTER, ControlKind::Button, "&Ends After", BS_AUTORADIOBUTTON, 14, 181, 52, 10),
        Control(IDC_OCCURRENCES, ControlKind::Edit, "",
                ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 68, 180, 36, 13),
        Control(IDC_OCCURRENCES_SPIN, ControlKind::UpDown, "",
                UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_NOTHOUSANDS | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 90, 172, 11,
                12),
    };
    // The column right of Next Dates, then the What-if box in the row of the buttons: Tab
    // goes through them after the left column, with OK and Cancel last.
    const std::vector<ControlTemplate> days = TransactionEditorDays();
    d.controls.insert(d.controls.end(), days.begin(), days.end());
    const std::vector<ControlTemplate> changed = TransactionEditorChangedPayments();
    d.controls.insert(d.controls.end(), changed.begin(), changed.end());
    const std::vector<ControlTemplate> scope = TransactionEditorScope();
    d.controls.insert(d.controls.end(), scope.begin(), scope.end());
    const std::vector<ControlTemplate> rest = {
        // In the row of the buttons, under Next Dates: a transaction the user may or may not make.
        Control(IDC_TENTATIVE, ControlKind::Button, "&What-if (tentative)", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP,
                189, 245, 100, 10),
        Control(IDOK, ControlKind::Button, "Add", BS_DEFPUSHBUTTON | WS_TABSTOP, 132, 243, 50, 14),
        Control(IDCANCEL, ControlKind::Button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 7, 243, 50, 14),
        Label(Control(IDC_STATIC, ControlKind::Button, "&Insertion Date", BS_GROUPBOX, 7, 40, 175, 29), IDC_DATE),
        Label(Control(IDC_STATIC, ControlKind::Button, "&Amount", BS_GROUPBOX, 7, 71, 175, 30), IDC_AMOUNT),
        Label(Control(IDC_STATIC, ControlKind::Button, "&Description", BS_GROUPBOX, 7, 6, 175, 32), IDC_DESCRIPTION),
        Control(IDC_STATIC, ControlKind::Button, "Repeating", BS_GROUPBOX, 7, 103, 175, 48),
        Label(Control(IDC_STATIC, ControlKind::Static, "&Occurrences", SS_LEFT | WS_GROUP, 110, 182, 47, 10),
              IDC_OCCURRENCES),
        Control(IDC_STATIC, ControlKind::Static, "$", SS_RIGHT | WS_GROUP, 13, 83, 9, 10),
        Control(IDC_STATIC, ControlKind::Button, "Ending", BS_GROUPBOX, 7, 154, 175, 47),
        // Beside the others, so that none of them moves: the rule's next dates.
        Control(IDC_STATIC, ControlKind::Button, "Next Dates", BS_GROUPBOX, 189, 6, 140, 195),
        Control(IDC_PREVIEW, ControlKind::Static, "", SS_LEFT | WS_GROUP, 196, 18, 126, 178),
    };
    d.controls.insert(d.controls.end(), rest.begin(), rest.end());
    return d;
}

DialogTemplate CashFlowPage()
{
    DialogTemplate d{IDD_CASHFLOW_PAGE, "Cash Flow", kPageStyle, kFont, 8, 249, 295, {}};
    d.controls = {
        Control(IDC_PREVIOUS_DAY, ControlKind::Button, "<<", BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP, 3, 4, 23, 14),
        Control(IDC_STARTING_DATE, ControlKind::Button, "&Starting Date...", BS_PUSHBUTTON | WS_TABSTOP, 30, 4, 59,
                14),
        Control(IDC_NEXT_DAY, ControlKind::Button, ">>", BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP, 93, 4, 23, 14),
        Label(Control(IDC_STATIC, ControlKind::Static, "D&uration:", SS_RIGHT, 124, 8, 33, 10), IDC_DURATION),
        Named(Control(IDC_DURATION_SPIN, ControlKind::UpDown, "", UDS_HORZ | UDS_ARROWKEYS | UDS_SETBUDDYINT, 162, 4,
                      27, 14),
              "Duration"),
        // The number of months, typed or stepped with the arrows (the spin's arrow keys, and
        // Page Up and Page Down for ten): a field without a frame, where a label was.
        Control(IDC_DURATION, ControlKind::Edit, "99", ES_RIGHT | ES_NUMBER | WS_TABSTOP, 190, 8, 11, 10),
        Control(IDC_STATIC, ControlKind::Static, "Months", SS_LEFT, 204, 8, 25, 10),
        Control(IDC_CASHFLOW_LIST, ControlKind::ListView, "",
                LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP, 3, 24, 242, 105),
        // One line under the list (the page keeps it there as the list grows): how low the
        // balance goes, and a button for the threshold it warns below. The line is a flat
        // button, so that a click or its key selects the row of the lowest balance.
        Control(IDC_SUMMARY, ControlKind::Button, "", BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP, 3, 130, 212, 11),
        Control(IDC_WARN_BELOW, ControlKind::Button, "&Warn...", BS_PUSHBUTTON | WS_TABSTOP, 217, 130, 28, 11),
    };
    return d;
}

DialogTemplate AccountsPage()
{
    DialogTemplate d{IDD_ACCOUNTS_PAGE, "Current Accounts", kPageStyle, kFont, 8, 148, 130, {}};
    d.controls = {
        Control(IDC_ACCOUNTS_LIST, ControlKind::ListView, "",
                LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SORTASCENDING | WS_BORDER | WS_TABSTOP, 3, 3,
                122, 108),
    };
    return d;
}

DialogTemplate TransactionsPage()
{
    DialogTemplate d{IDD_TRANS_PAGE, "Transactions", kPageStyle, kFont, 8, 148, 130, {}};
    d.controls = {
        Control(IDC_TRANS_LIST, ControlKind::ListView, "",
                LVS_REPORT | LVS_SINGLESEL | LVS_SORTASCENDING | WS_BORDER | WS_TABSTOP, 3, 3, 122, 108),
    };
    return d;
}

DialogTemplate AccountEditor()
{
    DialogTemplate d{IDD_ACCOUNT_EDIT, "Account Editor", kModalStyle, kFont, 8, 189, 120, {}};
    d.controls = {
        Control(IDC_DESCRIPTION, ControlKind::ComboBox, "", CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 17,
                18, 156, 126),
        Control(IDC_BALANCE, ControlKind::Edit, "", ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 27, 52, 60,
                12),
        Control(IDOK, ControlKind::Button, "Add", BS_DEFPUSHBUTTON | WS_TABSTOP, 132, 99, 50, 14),
        Control(IDCANCEL, ControlKind::Button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 7, 99, 50, 14),
        Label(Control(IDC_STATIC, ControlKind::Button, "&Description", BS_GROUPBOX, 7, 6, 175, 32), IDC_DESCRIPTION),
        Label(Control(IDC_STATIC, ControlKind::Button, "&Balance", BS_GROUPBOX, 7, 40, 175, 52), IDC_BALANCE),
        Control(IDC_STATIC, ControlKind::Static, "$", SS_RIGHT | WS_GROUP, 13, 53, 9, 10),
        Control(IDC_STATIC, ControlKind::Static,
                "Enter the balance (to the nearest dollar) on the starting date of your cash flow.", SS_LEFT, 17, 69,
                158, 18),
    };
    return d;
}

DialogTemplate StartingDate()
{
    DialogTemplate d{IDD_START_DATE, "Starting Date", kModalStyle, kFont, 8, 202, 68, {}};
    d.controls = {
        Label(Control(IDC_STATIC, ControlKind::Static, "Enter or select a new &starting date for your cash flow.",
                      SS_CENTER, 11, 9, 180, 11),
              IDC_DATE),
        Named(Control(IDC_DATE, ControlKind::DateTimePicker, "", DTS_RIGHTALIGN | WS_TABSTOP, 68, 26, 65, 13),
              "Starting Date"),
        Control(IDOK, ControlKind::Button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 145, 47, 50, 14),
        Control(IDCANCEL, ControlKind::Button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 7, 47, 50, 14),
    };
    return d;
}

DialogTemplate WarnBelow()
{
    DialogTemplate d{IDD_WARN_BELOW, "Warn Below", kModalStyle, kFont, 8, 186, 68, {}};
    d.controls = {
        Label(Control(IDC_STATIC, ControlKind::Static, "Warn when the projected balance falls &below", SS_LEFT, 7, 9,
                      172, 10),
              IDC_WARN_BELOW_AMOUNT),
        Control(IDC_WARN_BELOW_AMOUNT, ControlKind::Edit, "", ES_RIGHT | WS_BORDER | WS_TABSTOP, 7, 24, 60, 13),
        Control(IDC_STATIC, ControlKind::Static, "dollars (0: below zero).", SS_LEFT, 71, 26, 108, 10),
        Control(IDOK, ControlKind::Button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 129, 47, 50, 14),
        Control(IDCANCEL, ControlKind::Button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 7, 47, 50, 14),
    };
    return d;
}

// Edit > Business Days...: the weekend days and the holidays.
DialogTemplate BusinessDays()
{
    DialogTemplate d{IDD_BUSINESS_DAYS, "Business Days", kModalStyle, kFont, 8, 262, 204, {}};
    d.controls = {
        Control(IDC_STATIC, ControlKind::Button, "Weekend Days", BS_GROUPBOX, 7, 6, 248, 30),
    };
    static const char* const kDays[] = {"S&un", "&Mon", "&Tue", "&Wed", "T&hu", "&Fri", "S&at"};
    for (int day = 0; day < 7; ++day)
        d.controls.push_back(Control(IDC_WEEKEND_SUNDAY + day, ControlKind::Button, kDays[day],
                                     BS_AUTOCHECKBOX | WS_TABSTOP | (day == 0 ? WS_GROUP : 0u), 14 + 34 * day, 19, 32,
                                     10));
    const std::vector<ControlTemplate> rest = {
        Control(IDC_STATIC, ControlKind::Button, "Holidays", BS_GROUPBOX, 7, 40, 248, 138),
        Named(Control(IDC_HOLIDAY_LIST, ControlKind::ListView, "",
                      LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP | WS_GROUP, 14, 52, 180,
                      119),
              "Holidays"),
        Control(IDC_ADD_HOLIDAY, ControlKind::Button, "A&dd...", BS_PUSHBUTTON | WS_TABSTOP, 200, 52, 48, 14),
        Control(IDC_EDIT_HOLIDAY, ControlKind::Button, "&Edit...", BS_PUSHBUTTON | WS_TABSTOP, 200, 70, 48, 14),
        Control(IDC_DELETE_HOLIDAY, ControlKind::Button, "De&lete", BS_PUSHBUTTON | WS_TABSTOP, 200, 88, 48, 14),
        Control(IDC_IMPORT_HOLIDAYS, ControlKind::Button, "&Import...", BS_PUSHBUTTON | WS_TABSTOP, 200, 157, 48,
                14),
        Control(IDOK, ControlKind::Button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 150, 184, 50, 14),
        Control(IDCANCEL, ControlKind::Button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 205, 184, 50, 14),
    };
    d.controls.insert(d.controls.end(), rest.begin(), rest.end());
    return d;
}

DialogTemplate HolidayEditor()
{
    DialogTemplate d{IDD_HOLIDAY_EDIT, "Holiday", kModalStyle, kFont, 8, 190, 92, {}};
    d.controls = {
        Label(Control(IDC_STATIC, ControlKind::Static, "Da&te:", SS_LEFT, 7, 10, 48, 10), IDC_HOLIDAY_DATE),
        Control(IDC_HOLIDAY_DATE, ControlKind::DateTimePicker, "", DTS_RIGHTALIGN | WS_TABSTOP, 60, 8, 65, 13),
        Label(Control(IDC_STATIC, ControlKind::Static, "&Description:", SS_LEFT, 7, 30, 48, 10),
              IDC_HOLIDAY_DESCRIPTION),
        Control(IDC_HOLIDAY_DESCRIPTION, ControlKind::Edit, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 60, 28, 123,
                12),
        Control(IDC_HOLIDAY_YEARLY, ControlKind::Button, "&Yearly: on this day every year",
                BS_AUTOCHECKBOX | WS_TABSTOP, 60, 47, 123, 10),
        Control(IDOK, ControlKind::Button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 78, 70, 50, 14),
        Control(IDCANCEL, ControlKind::Button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 133, 70, 50, 14),
    };
    return d;
}

// File or Edit > Update Balances...: the day, the accounts' balances, the payments
// expected until that day; read and tabbed through from top to bottom.
DialogTemplate UpdateBalances()
{
    DialogTemplate d{IDD_UPDATE_BALANCES, "Update Balances", kModalStyle, kFont, 8, 300, 262, {}};
    d.controls = {
        Label(Control(IDC_STATIC, ControlKind::Static, "Balances as the bank shows them &on:", SS_LEFT, 7, 9, 130,
                      10),
              IDC_DATE),
        Control(IDC_DATE, ControlKind::DateTimePicker, "", DTS_RIGHTALIGN | WS_TABSTOP, 140, 7, 65, 13),
        Control(IDC_STATIC, ControlKind::Button, "Accounts", BS_GROUPBOX, 7, 25, 286, 106),
        Label(Control(IDC_STATIC, ControlKind::Static, "&Account:", SS_LEFT, 14, 39, 40, 10), IDC_UPDATE_ACCOUNT),
        Control(IDC_UPDATE_ACCOUNT, ControlKind::ComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 58, 37,
                150, 100),
        Label(Control(IDC_STATIC, ControlKind::Static, "&Balance:", SS_LEFT, 14, 55, 40, 10), IDC_BALANCE),
        Control(IDC_BALANCE, ControlKind::Edit, "", ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 58, 53, 60,
                12),
        Named(Control(IDC_UPDATE_ACCOUNTS, ControlKind::ListView, "",
                      LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP, 14, 71, 272, 53),
              "New balances"),
        Label(Control(IDC_UPDATE_PAYMENTS_LABEL, ControlKind::Static, "&Payments expected:", SS_LEFT, 7, 136, 286,
                      18),
              IDC_UPDATE_PAYMENTS),
        Control(IDC_UPDATE_PAYMENTS, ControlKind::ListView, "",
                LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP, 7, 156,
                286, 78),
        Control(IDOK, ControlKind::Button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 188, 241, 50, 14),
        Control(IDCANCEL, ControlKind::Button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 243, 241, 50, 14),
    };
    return d;
}

// Change This Payment...: the date and the amount of one payment of a series, and a line
// on what that changes against the plan.
DialogTemplate ChangePayment()
{
    DialogTemplate d{IDD_CHANGE_PAYMENT, "Change This Payment", kModalStyle, kFont, 8, 189, 113, {}};
    d.controls = {
        Control(IDC_DATE, ControlKind::DateTimePicker, "", DTS_RIGHTALIGN | WS_TABSTOP, 17, 17, 65, 13),
        Control(IDC_AMOUNT, ControlKind::Edit, "", ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 27, 48, 45,
                12),
        Control(IDC_DEBIT, ControlKind::Button, "De&bit", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 79, 50, 33,
                10),
        Control(IDC_CREDIT, ControlKind::Button, "&Credit", BS_AUTORADIOBUTTON, 117, 50, 34, 10),
        Control(IDOK, ControlKind::Button, "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 132, 92, 50, 14),
        Control(IDCANCEL, ControlKind::Button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 7, 92, 50, 14),
        Label(Control(IDC_STATIC, ControlKind::Button, "Payment &Date", BS_GROUPBOX, 7, 6, 175, 29), IDC_DATE),
        Label(Control(IDC_STATIC, ControlKind::Button, "&Amount", BS_GROUPBOX, 7, 37, 175, 30), IDC_AMOUNT),
        Control(IDC_STATIC, ControlKind::Static, "$", SS_RIGHT | WS_GROUP, 13, 49, 9, 10),
        Control(IDC_PAYMENT_CHANGES, ControlKind::Static, "", SS_LEFT | WS_GROUP, 9, 71, 171, 18),
    };
    return d;
}

} // namespace

const std::vector<DialogTemplate>& DialogTemplates()
{
    static const std::vector<DialogTemplate> templates = {
        AboutBox(),     TransactionEditor(), CashFlowPage(), AccountsPage(),
        TransactionsPage(), AccountEditor(), StartingDate(), WarnBelow(),
        BusinessDays(), HolidayEditor(), ChangePayment(), UpdateBalances(),
    };
    return templates;
}

} // namespace res
