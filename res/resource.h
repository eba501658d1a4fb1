#pragma once

// Ids of the program's resources: dialogs, controls, strings, commands, menu, accelerator
// table and icon.

namespace res {

// Menu 128 and icon 128 share the id of the main frame, as on Windows.
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDR_ACCELERATORS = 140;

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_TRANS_EDIT = 130;
inline constexpr int IDD_CASHFLOW_PAGE = 134;
inline constexpr int IDD_ACCOUNTS_PAGE = 135;
inline constexpr int IDD_TRANS_PAGE = 137;
inline constexpr int IDD_ACCOUNT_EDIT = 138;
inline constexpr int IDD_START_DATE = 139;
inline constexpr int IDD_WARN_BELOW = 1129; // "Warn Below", reached from the Cash Flow page

// Controls.
inline constexpr int IDC_CHART = 1;
inline constexpr int IDC_SUMMARY = 1110;           // the Cash Flow page's summary line
inline constexpr int IDC_WARN_BELOW = 1111;        // its "Warn Below..." button
inline constexpr int IDC_WARN_BELOW_AMOUNT = 1112; // the amount in the Warn Below dialog
inline constexpr int IDC_CASHFLOW_LIST = 1003;
inline constexpr int IDC_AMOUNT = 1005;
inline constexpr int IDC_DATE = 1007;
inline constexpr int IDC_DEBIT = 1010;
inline constexpr int IDC_CREDIT = 1011;
inline constexpr int IDC_TENTATIVE = 1141; // the Transaction Editor's What-if check box
inline constexpr int IDC_DESCRIPTION = 1012;
inline constexpr int IDC_STEP = 1020;
inline constexpr int IDC_UNIT = 1021;
inline constexpr int IDC_ACCOUNTS_LIST = 1025;
inline constexpr int IDC_TRANS_LIST = 1026;
inline constexpr int IDC_BALANCE = 1027;
inline constexpr int IDC_OCCURRENCES = 1028;
inline constexpr int IDC_OCCURRENCES_SPIN = 1029;
inline constexpr int IDC_NO_REPEAT = 1032;
inline constexpr int IDC_REPEATS = 1033;
inline constexpr int IDC_NEVER_ENDS = 1034;
inline constexpr int IDC_ENDS_AFTER = 1035;
inline constexpr int IDC_PREVIOUS_DAY = 1037;
inline constexpr int IDC_NEXT_DAY = 1038;
inline constexpr int IDC_VERSION = 1039;
inline constexpr int IDC_DURATION_SPIN = 1040;
inline constexpr int IDC_DURATION = 1042;
inline constexpr int IDC_HOME_PAGE = 1046;
inline constexpr int IDC_STARTING_DATE = 1048;
// The Transaction Editor's preview of a rule's next dates.
inline constexpr int IDC_PREVIEW = 1130;
// The Transaction Editor's days of a monthly rule and its move off days off.
inline constexpr int IDC_ON_DAY = 2610;          // "On day 15"
inline constexpr int IDC_ON_WEEKDAY = 2611;      // "On the" [week] [weekday]
inline constexpr int IDC_WEEK = 2612;            // 1st, 2nd, 3rd, 4th, last
inline constexpr int IDC_WEEKDAY = 2613;         // Sunday to Saturday
inline constexpr int IDC_ALSO_ON_DAY = 2614;     // "Also on day" [day]
inline constexpr int IDC_DAY2 = 2615;
inline constexpr int IDC_KEEP_DATE = 2616;       // the first of four: keep, before, after, nearest
inline constexpr int IDC_BUSINESS_BEFORE = 2617;
inline constexpr int IDC_BUSINESS_AFTER = 2618;
inline constexpr int IDC_BUSINESS_NEAREST = 2619;
// Edit > Business Days... and its holiday editor.
inline constexpr int IDD_BUSINESS_DAYS = 2620;
inline constexpr int IDD_HOLIDAY_EDIT = 2621;
inline constexpr int IDC_WEEKEND_SUNDAY = 2630; // 2630 to 2636: Sunday to Saturday
inline constexpr int IDC_HOLIDAY_LIST = 2640;
inline constexpr int IDC_ADD_HOLIDAY = 2641;
inline constexpr int IDC_EDIT_HOLIDAY = 2642;
inline constexpr int IDC_DELETE_HOLIDAY = 2643;
inline constexpr int IDC_IMPORT_HOLIDAYS = 2644;
inline constexpr int IDC_HOLIDAY_DATE = 2645;
inline constexpr int IDC_HOLIDAY_DESCRIPTION = 2646;
inline constexpr int IDC_HOLIDAY_YEARLY = 2647;

// What an edit made from a Cash Flow row applies to (the Transaction Editor's scope), and
// File/Edit > Update Balances....
inline constexpr int IDC_SCOPE_THIS = 2750;  // "This payment only", the first of three
inline constexpr int IDC_SCOPE_LATER = 2751; // "This and all later payments"
inline constexpr int IDC_SCOPE_EVERY = 2752; // "Every payment"
inline constexpr int IDC_SCOPE_GROUP = 2753;
inline constexpr int IDD_UPDATE_BALANCES = 2760;
inline constexpr int IDC_UPDATE_ACCOUNT = 2761;  // the account whose balance the field below edits
inline constexpr int IDC_UPDATE_ACCOUNTS = 2762; // every account with its new balance
inline constexpr int IDC_UPDATE_PAYMENTS = 2763; // the payments expected meanwhile, with their check boxes
inline constexpr int IDC_UPDATE_PAYMENTS_LABEL = 2764;
inline constexpr int ID_UPDATE_BALANCES = 2770;
inline constexpr int IDS_SPLIT_STEP = 2780;              // "Edit Transaction \"%1\" From %2 On"
inline constexpr int IDS_UPDATE_BALANCES_STEP = 2781;    // "Update Balances"
inline constexpr int IDS_PAYMENTS_EXPECTED = 2782;       // "&Payments ... expected from %1 to %2 ... %3"
inline constexpr int IDS_NO_PAYMENTS_EXPECTED = 2783;    // "No payments were expected ..."
inline constexpr int IDS_NO_PAYMENTS_BEFORE = 2785;      // "... none: the forecast starts on %1."

// Strings.
inline constexpr int IDS_APP_TITLE = 102;        // "Tillane"
inline constexpr int IDS_START_DATE = 103;       // "Start Date"
inline constexpr int IDS_DESCRIPTION = 104;      // "Description"
inline constexpr int IDS_AMOUNT = 105;           // "Amount"
inline constexpr int IDS_BALANCE = 106;          // "Balance" (cash-flow list)
inline constexpr int IDS_REPEATS = 107;          // "Repeats"
inline constexpr int IDS_UPDATE = 108;           // "Update" (Account Editor)
inline constexpr int IDS_DATE = 109;             // "Date"
inline constexpr int IDS_CURRENT_ACCOUNTS = 110; // "Current Accounts"
inline constexpr int IDS_UPDATE_TRANSACTION = 111; // "Update" (Transaction Editor)
inline constexpr int IDS_ACCOUNT_BALANCE = 112;  // "Balance" (accounts list)
inline constexpr int IDS_CONFIRM_DELETE = 113;
inline constexpr int IDS_DELETE_SELECTION = 114;
inline constexpr int IDS_BROWSER_FAILED = 115;
inline constexpr int IDS_APPLICATION_ERROR = 116;
inline constexpr int IDS_DATE_FORM = 260;        // "Please enter a date as MM/DD/YYYY ... %1 and %2."
inline constexpr int IDS_WHOLE_DOLLARS = 270;    // "Amounts are in whole dollars: ..."
inline constexpr int IDS_EXPORT_FORECAST_TITLE = 350; // "Export Forecast"
inline constexpr int IDS_EXPORT_CHART_TITLE = 351;    // "Export Chart"
inline constexpr int IDS_CSV_FILTER = 352;            // "CSV files (*.csv)"
inline constexpr int IDS_PNG_FILTER = 353;            // "PNG images (*.png)"
inline constexpr int IDS_EXPORT_FAILED = 354;         // "Tillane could not write the %1 to\n\n%2\n\n(%3)."
inline constexpr int IDS_PRINT_FAILED = 355;          // "Tillane could not print the report on ..."
// The Cash Flow page's summary line (%1, %2, ... are filled in) and the chart's tooltips.
inline constexpr int IDS_SUMMARY_ABOVE = 290;
inline constexpr int IDS_SUMMARY_BELOW = 291;
inline constexpr int IDS_SUMMARY_BELOW_ONE_DAY = 292;
inline constexpr int IDS_SUMMARY_TIP = 293;
inline constexpr int IDS_CHART_TIP_ENTRIES = 294;
inline constexpr int IDS_CHART_TIP_NO_ENTRIES = 295;
inline constexpr int IDS_WARN_BELOW_TIP = 296;
// The chart as screen readers name and describe it.
inline constexpr int IDS_CHART_NAME = 380;
inline constexpr int IDS_CHART_DESCRIPTION = 381;       // "... from %1 to %2 ... lowest %3 on %4, closing %5 on %6"
inline constexpr int IDS_CHART_DESCRIPTION_EMPTY = 382; // "... from %1 to %2 ..."
inline constexpr int IDS_ROW_LIMIT_REACHED = 200;
// Told at the first save of a data file that the save changes: %1 the file, %2 the
// differences, one line each, %3 the copy kept of it; then "and %1 more" differences.
inline constexpr int IDS_ORIGINAL_KEPT = 201;
inline constexpr int IDS_MORE_DIFFERENCES = 202;
// A save made as the window goes away failed: %1 the data file, %2 why. Retry or close
// without saving.
inline constexpr int IDS_SAVE_AT_CLOSE_FAILED = 360;

// The data file's safety: what start-up, saving and the outputs tell and ask (%1 the data
// file, where a message names it).
inline constexpr int IDS_FILE_LINK_MISSING = 400;
inline constexpr int IDS_FILE_SET_ASIDE = 401;
inline constexpr int IDS_FILE_UNTOUCHABLE = 402;
inline constexpr int IDS_FILE_WHY_UNREADABLE = 403;
inline constexpr int IDS_FILE_WHY_UNREADABLE_BECAUSE = 404;
inline constexpr int IDS_FILE_WHY_MALFORMED = 405;
inline constexpr int IDS_FILE_WHY_NOT_DATA_FILE = 406;
inline constexpr int IDS_FILE_IN_USE = 407;
inline constexpr int IDS_FILE_NOT_REGULAR = 408;
inline constexpr int IDS_KIND_FOLDER = 409;
inline constexpr int IDS_KIND_PIPE = 410;
inline constexpr int IDS_KIND_SOCKET = 411;
inline constexpr int IDS_KIND_DEVICE = 412;
inline constexpr int IDS_FILE_CHANGED_KEPT = 413;
inline constexpr int IDS_FILE_BACKUP_FAILED = 414;
inline constexpr int IDS_FILE_CHANGED_ASK = 415;
inline constexpr int IDS_CHANGED_DELETED = 416;
inline constexpr int IDS_CHANGED_CHANGED = 417;
inline constexpr int IDS_CHANGED_SAVED_AGAIN = 418;
inline constexpr int IDS_CHANGED_KEPT_FIRST = 419;
inline constexpr int IDS_CHANGED_AND_CLOSE = 420;
inline constexpr int IDS_CHANGED_AND_LOAD = 421;
inline constexpr int IDS_CHANGED_CANCEL_CLOSING = 422;
inline constexpr int IDS_CHANGED_CANCEL = 423;
inline constexpr int IDS_FILE_LOSE_CHANGES = 424;
inline constexpr int IDS_SAVE_NOT_IN_THIS_WINDOW = 425;
inline constexpr int IDS_SAVE_LINK_MISSING = 426;
inline constexpr int IDS_SAVE_UNTOUCHABLE = 427;
inline constexpr int IDS_SAVE_THEIRS_NOT_KEPT = 428;
inline constexpr int IDS_SAVE_ORIGINAL_NOT_KEPT = 429;
inline constexpr int IDS_SAVE_NOT_SET_ASIDE = 430;
inline constexpr int IDS_SAVE_FAILED = 431;
inline constexpr int IDS_SAVE_FAILED_CLOSE = 432;
inline constexpr int IDS_FILE_READ_ONLY_ASK = 433;
inline constexpr int IDS_SAVE_READ_ONLY_KEPT = 434;
inline constexpr int IDS_FILE_MODE_RESTORED = 435;
inline constexpr int IDS_FILE_FOLDER_NOT_WRITABLE = 436;
inline constexpr int IDS_SAVE_FOLDER_NOT_WRITABLE = 437;
inline constexpr int IDS_FILE_HARD_LINKS_SPLIT = 438;
inline constexpr int IDS_SAVE_NOT_REGULAR = 439;
inline constexpr int IDS_OUTPUT_IS_DATA_FILE = 440;
inline constexpr int IDS_OUTPUT_IS_LOCK = 441;
inline constexpr int IDS_OUTPUT_IS_KEPT_COPY = 442;
inline constexpr int IDS_OUTPUT_NOT_REGULAR = 443;
// The window started without a display (on stderr): %1 why.
inline constexpr int IDS_NO_DISPLAY = 445;
inline constexpr int IDS_NO_DISPLAY_UNSET = 446;
inline constexpr int IDS_NO_DISPLAY_FAILED = 447; // %1 the variables tried

// The Transaction Editor's preview of a rule's next dates.
inline constexpr int IDS_PREVIEW_ENTER_DATE = 330;
inline constexpr int IDS_PREVIEW_ENTER_OCCURRENCES = 331;
inline constexpr int IDS_PREVIEW_ONCE = 332;
inline constexpr int IDS_PREVIEW_ENDS = 333;          // "%1 payments, the last on %2"
inline constexpr int IDS_PREVIEW_FOR_EVER = 334;      // "%1, for ever"
inline constexpr int IDS_PREVIEW_LAST_DAY_SHORTER = 335;
inline constexpr int IDS_PREVIEW_LAST_DAY_EVERY = 336;
inline constexpr int IDS_PREVIEW_LEAP_DAY = 337;
inline constexpr int IDS_PREVIEW_NONE_IN_WINDOW = 338; // "... between %1 and %2 ..."
inline constexpr int IDS_PREVIEW_SOME_IN_WINDOW = 339; // "... %1 to %2, ... first %3 ..."
inline constexpr int IDS_PREVIEW_EVERY = 340;          // 340 to 343: "every" to "every fourth"
inline constexpr int IDS_PREVIEW_DAY = 344;            // 344 to 347: "day", "week", "month", "year"
inline constexpr int IDS_PREVIEW_ENDS_AFTER_LATEST = 348; // "%1 payments, the last after %2"
inline constexpr int IDS_PREVIEW_MOVED = 2601;        // "(moved from %1)"
inline constexpr int IDS_PREVIEW_MOVED_HOLIDAY = 2602; // "(moved from %1, %2)": the holiday's name
inline constexpr int IDS_PREVIEW_ENTER_DAY2 = 2603;
inline constexpr int IDS_ON_DAY = 2604;      // "On da&y %1"
inline constexpr int IDS_ON_LAST_DAY = 2605; // "On the last da&y"
inline constexpr int IDS_IMPORT_HOLIDAYS_TITLE = 2606;  // "Import Holidays"
inline constexpr int IDS_ICS_FILTER = 2607;             // "iCalendar files (*.ics)"
inline constexpr int IDS_HOLIDAYS_IMPORTED = 2608;      // "%1 holidays imported from %2."
inline constexpr int IDS_HOLIDAYS_TIMED_PASSED = 2609;  // "%1 events with a time of day ..."
inline constexpr int IDS_HOLIDAYS_NOT_CALENDAR = 2610;  // "%1 holds no iCalendar data."
inline constexpr int IDS_HOLIDAY_YEARLY = 2611;         // "Yearly", the list's mark

// What screen readers call the arrows of a spin control named %1.
inline constexpr int IDS_SPIN_DECREASE = 384; // "Decrease %1"
inline constexpr int IDS_SPIN_INCREASE = 385; // "Increase %1"

// What-if (tentative) transactions and the firm forecast beside them.
inline constexpr int IDS_TENTATIVE_ROW_TIP = 450;  // "What-if"
inline constexpr int IDS_CHART_FIRM_LEGEND = 451;  // the chart's legend for the firm line
inline constexpr int IDS_SUMMARY_FIRM = 452;       // " · firm: lowest %1 on %2"
inline constexpr int IDS_SUMMARY_FIRM_TIP = 453;   // what the two lowest balances are
inline constexpr int IDS_SUMMARY_ABOVE_FIRM = 454; // IDS_SUMMARY_ABOVE with the firm lowest

// One payment of a repeating transaction that differs from its rule: the Cash Flow row's
// commands, their menu and dialog, how a changed row tells what changed, and the
// Transaction Editor's list of the transaction's changed payments.
inline constexpr int IDD_CHANGE_PAYMENT = 2700;
inline constexpr int IDR_CASHFLOW_ROW_MENU = 2701; // the Cash Flow list's context menu
inline constexpr int IDC_PAYMENT_CHANGES = 2702;   // what the Change This Payment dialog changes
inline constexpr int ID_SKIP_PAYMENT = 2703;
inline constexpr int ID_CHANGE_PAYMENT = 2704;
inline constexpr int ID_RESTORE_PAYMENT = 2705;
inline constexpr int IDC_EXCEPTIONS_LIST = 2706;   // the Transaction Editor's changed payments
inline constexpr int IDC_RESTORE_EXCEPTION = 2707;
inline constexpr int IDC_SKIPPED_COUNT = 2708;     // "2 payments skipped"
inline constexpr int IDS_MOVED_FROM = 2710;        // "Moved from %1"
inline constexpr int IDS_PLANNED_AMOUNT = 2711;    // "Planned amount %1"
inline constexpr int IDS_PAYMENT_MOVES = 2712;     // "Moves from %1 to %2"
inline constexpr int IDS_PAYMENT_AMOUNT = 2713;    // "Amount %1 instead of %2"
inline constexpr int IDS_PAYMENT_AS_PLANNED = 2714; // "As planned: %1, %2"
inline constexpr int IDS_PAYMENTS_SKIPPED = 2715;  // "%1 payments skipped"
inline constexpr int IDS_PAYMENT_SKIPPED = 2716;   // "1 payment skipped"
inline constexpr int IDS_EXCEPTION_SKIPPED = 2717; // "Skipped"
inline constexpr int IDS_EXCEPTION_MOVED = 2718;   // "Moved to %1"
inline constexpr int IDS_EXCEPTION_AMOUNT = 2719;  // "Amount %1"
inline constexpr int IDS_PAYMENT_ENTER_AMOUNT = 2720;
inline constexpr int IDS_CHANGE_COLUMN = 2721;     // "Change", the heading of what changed

// The validation prompts of dialog data exchange.
inline constexpr int AFX_IDP_PARSE_INT = 0xF110;         // "Please enter an integer."
inline constexpr int AFX_IDP_PARSE_INT_RANGE = 0xF112;   // "... between %1 and %2."
inline constexpr int AFX_IDP_PARSE_STRING_SIZE = 0xF114; // "... no more than %1 characters."
inline constexpr int AFX_IDP_PARSE_UINT = 0xF117;        // "Please enter a positive integer."

// Commands (menu 128, accelerator table 140); each has a prompt string of the same id.
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_SAVE_AND_EXIT = 32771;
inline constexpr int ID_ADD_TRANSACTION = 32772;
inline constexpr int ID_ADD_ACCOUNT = 32773;
inline constexpr int ID_EDIT_ENTRY = 32774;
inline constexpr int ID_DELETE_ENTRY = 32775;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_EXPORT_FORECAST = 32850;
inline constexpr int ID_EXPORT_CHART = 32851;
inline constexpr int ID_FILE_PRINT = 32852;
inline constexpr int ID_FILE_PRINT_PREVIEW = 32853;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_REDO = 57644;
inline constexpr int ID_BUSINESS_DAYS = 32860;
inline constexpr int ID_VIEW_WHAT_IF = 32881; // View > Include What-If Transactions
// Posted, never on a menu: tells the user that the projection reached its row limit.
inline constexpr int ID_ROW_LIMIT_NOTICE = 32800;

} // namespace res
