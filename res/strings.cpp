#include "res/resource.h"
#include "res/resources.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace res {

namespace {

// Two entries with one id would silently hide one of the texts: stop at once instead, so
// the first test that shows any text finds the clash.
std::map<int, std::string> WithUniqueIds(std::initializer_list<std::pair<const int, std::string>> entries)
{
    std::map<int, std::string> table;
    for (const auto& entry : entries) {
        if (!table.insert(entry).second) {
            std::fprintf(stderr, "The string id %d is used twice.\n", entry.first);
            std::abort();
        }
    }
    return table;
}

} // namespace

const std::map<int, std::string>& StringTable()
{
    static const std::map<int, std::string> table = WithUniqueIds({
        {IDS_APP_TITLE, "Tillane"},
        {IDS_START_DATE, "Start Date"},
        {IDS_DESCRIPTION, "Description"},
        {IDS_AMOUNT, "Amount"},
        {IDS_BALANCE, "Balance"},
        {IDS_REPEATS, "Repeats"},
        {IDS_UPDATE, "Update"},
        {IDS_DATE, "Date"},
        {IDS_CURRENT_ACCOUNTS, "Current Accounts"},
        {IDS_UPDATE_TRANSACTION, "Update"},
        {IDS_ACCOUNT_BALANCE, "Balance"},
        {IDS_CONFIRM_DELETE, "Are you sure you want to delete the selected entry?"},
        {IDS_DELETE_SELECTION, "Delete Selection"},
        {IDS_BROWSER_FAILED,
         "Unable to launch your Internet browser.\n\nTo get to Tillane home page you can start "
         "your browser manually\nand enter the following line in the Address bar:"},
        {IDS_APPLICATION_ERROR, "Application Error"},
        {IDS_DATE_FORM, "Please enter a complete date as MM/DD/YYYY, between %1 and %2."},
        {IDS_WHOLE_DOLLARS,
         "Amounts are in whole dollars: please enter the amount rounded to the nearest dollar, without "
         "cents or a decimal point."},
        {IDS_EXPORT_FORECAST_TITLE, "Export Forecast"},
        {IDS_EXPORT_CHART_TITLE, "Export Chart"},
        {IDS_CSV_FILTER, "CSV files (*.csv)"},
        {IDS_PNG_FILTER, "PNG images (*.png)"},
        {IDS_EXPORT_FAILED, "Tillane could not write the %1 to\n\n%2\n\n(%3)."},
        {IDS_PRINT_FAILED, "Tillane could not print the report on\n\n%1\n\n(%2)."},
        {IDS_SUMMARY_ABOVE, "&Lowest %1 on %2 \u00B7 Closing %3 on %4"},
        {IDS_SUMMARY_BELOW, "Below %1 from %2 \u00B7 %3 days below, the last %4 \u00B7 &lowest %5 on %6"},
        {IDS_SUMMARY_BELOW_ONE_DAY, "Below %1 on %2 only \u00B7 &lowest %5"},
        {IDS_SUMMARY_TIP, "Click or press Alt+L to select the first row of the day of the lowest balance"},
        {IDS_WARN_BELOW_TIP, "Warn Below: the balance under which the summary line turns red"},
        {IDS_CHART_TIP_ENTRIES, "%1: balance %2"},
        {IDS_CHART_TIP_NO_ENTRIES, "%1: balance %2 (no entries that day)"},
        {IDS_CHART_NAME, "Balance chart"},
        {IDS_CHART_DESCRIPTION,
         "The balance at the end of each day from %1 to %2: lowest %3 on %4, closing %5 on %6"},
        {IDS_CHART_DESCRIPTION_EMPTY, "The balance at the end of each day from %1 to %2: no entries"},
        {IDS_TENTATIVE_ROW_TIP, "What-if"},
        {IDS_CHART_FIRM_LEGEND, "Firm (without what-if)"},
        {IDS_SUMMARY_FIRM, " \u00B7 firm: lowest %1 on %2"},
        {IDS_SUMMARY_ABOVE_FIRM, "&Lowest %1 on %2 \u00B7 firm: lowest %5 on %6 \u00B7 Closing %3 on %4"},
        {IDS_SUMMARY_FIRM_TIP,
         "Lowest: with the what-if transactions. Firm: without them, from the transactions that are certain."},
        {IDS_ROW_LIMIT_REACHED,
         "The cash flow stops at its limit of %1 rows: the entries after that point are missing "
         "from the list and the chart.\n\nA transaction that repeats more often than any real "
         "one would (a step of 0, say) usually causes this. Correct or delete it, or shorten "
         "the number of months."},

        {IDS_ORIGINAL_KEPT,
         "The data file\n\n%1\n\nholds what this save does not write back as it was: values Tillane reads "
         "otherwise, or content it does not read.\n\n%2\nThe file as it was has been kept as\n\n%3"},
        {IDS_MORE_DIFFERENCES, "and %1 more"},
        {IDS_SAVE_AT_CLOSE_FAILED,
         "Tillane is closing and could not save your data to\n\n%1\n\n(%2).\n\nRetry: try again, once you "
         "have made room or fixed the cause.\nCancel: close without saving the changes. The data file keeps what it "
         "held before, and the daily backups are kept."},

        {IDS_FILE_LINK_MISSING, "The data file\n\n%1\n\nis a link to\n\n%2\n\nwhich does not exist. Create it, starting with example data?\n\nAnswer No to start with no data: Tillane will not save until you start it again."},
        {IDS_FILE_SET_ASIDE, "Tillane could not load its data file\n\n%1\n\nbecause %2. The file has been left untouched and kept as\n\n%3\n\nTillane starts with no accounts and no transactions."},
        {IDS_FILE_UNTOUCHABLE, "Tillane could not load its data file\n\n%1\n\nbecause %2, and could not keep it under another name (%3). The file will be left untouched: Tillane starts with no data and will not save."},
        {IDS_FILE_WHY_UNREADABLE, "it could not be read"},
        {IDS_FILE_WHY_UNREADABLE_BECAUSE, "it could not be read: %1"},
        {IDS_FILE_WHY_MALFORMED, "it is not a well-formed document"},
        {IDS_FILE_WHY_NOT_DATA_FILE, "it is not a Tillane data file"},
        {IDS_FILE_IN_USE, "The data file\n\n%1\n\nis already open in Tillane. Switch to that window, or close it before starting Tillane again."},
        {IDS_FILE_NOT_REGULAR, "Tillane cannot use\n\n%1\n\nas its data file: it is not a regular file (it is %2). It has been left as it is.\n\nStart Tillane with --file and the name of a data file, or without --file for the usual one."},
        {IDS_KIND_FOLDER, "a folder"},
        {IDS_KIND_PIPE, "a named pipe"},
        {IDS_KIND_SOCKET, "a socket"},
        {IDS_KIND_DEVICE, "a device"},
        {IDS_FILE_CHANGED_KEPT, "The data file\n\n%1\n\nhad been changed by another program. Its version has been kept as\n\n%2\n\nand your data is saved in its place."},
        {IDS_FILE_BACKUP_FAILED, "Tillane could not keep today's backup of\n\n%1\n\nin\n\n%2\n\n(%3). Your data is saved all the same."},
        {IDS_FILE_CHANGED_ASK, "The data file\n\n%1\n\nhas been %2 by another program since Tillane loaded or last saved it.\n\nYes: keep the data in this window. %3\nNo: keep the other program's version%4, losing the changes made in this window.\nCancel: %5"},
        {IDS_CHANGED_DELETED, "deleted or moved"},
        {IDS_CHANGED_CHANGED, "changed"},
        {IDS_CHANGED_SAVED_AGAIN, "It is saved there again."},
        {IDS_CHANGED_KEPT_FIRST, "The other program's version is first kept under a new name next to it."},
        {IDS_CHANGED_AND_CLOSE, " and close"},
        {IDS_CHANGED_AND_LOAD, " and load it"},
        {IDS_CHANGED_CANCEL_CLOSING, "keep Tillane open; nothing is written."},
        {IDS_CHANGED_CANCEL, "nothing is written."},
        {IDS_FILE_LOSE_CHANGES, "Lose the changes made in this window and keep the other program's version of the data file?"},
        {IDS_SAVE_NOT_IN_THIS_WINDOW, "this window does not save"},
        {IDS_SAVE_LINK_MISSING, "the data file is a link to a file that does not exist, and Tillane does not create it"},
        {IDS_SAVE_UNTOUCHABLE, "the data file could not be read when Tillane started and is left as it is"},
        {IDS_SAVE_THEIRS_NOT_KEPT, "another program has changed the file, and its version could not be kept: %1"},
        {IDS_SAVE_ORIGINAL_NOT_KEPT, "the file holds what this save would not keep as it is, and no copy of it could be kept: %1"},
        {IDS_SAVE_NOT_SET_ASIDE, "the file there could not be read, and could not be kept under another name: %1"},
        {IDS_SAVE_FAILED, "Tillane could not save your data to\n\n%1\n\n(%2)."},
        {IDS_SAVE_FAILED_CLOSE, "Tillane could not save your data to\n\n%1\n\n(%2).\n\nClose Tillane anyway and lose the changes made since the last save?\nAnswer No to keep Tillane open while you fix the cause."},
        {IDS_FILE_READ_ONLY_ASK, "The data file\n\n%1\n\nis read-only. Save your data in it all the same? It stays read-only.\n\nAnswer No to leave the file as it is."},
        {IDS_SAVE_READ_ONLY_KEPT, "the data file is read-only, and was left as it is"},
        {IDS_FILE_MODE_RESTORED, "The permissions of the data file\n\n%1\n\nwere changed while Tillane had it open, to %2, which would keep Tillane from reading it again. Your data has been saved with the permissions the file had when Tillane loaded it, %3."},
        {IDS_FILE_FOLDER_NOT_WRITABLE, "Tillane cannot write in the folder of its data file\n\n%1\n\n(%2). It cannot mark the file as in use, so a second Tillane could open the same file, and your changes cannot be saved until the folder can be written."},
        {IDS_SAVE_FOLDER_NOT_WRITABLE, "the folder %1 cannot be written: %2"},
        {IDS_FILE_HARD_LINKS_SPLIT, "The data file\n\n%1\n\nhad %2 names (hard links). A save writes a new file under this name only: the other names keep the data as it was before this save."},
        {IDS_SAVE_NOT_REGULAR, "it is not a regular file now (it is %1), and is left as it is"},
        {IDS_OUTPUT_IS_DATA_FILE, "that is the data file, which an output never replaces"},
        {IDS_OUTPUT_IS_LOCK, "that is the data file's lock, which an output never replaces"},
        {IDS_OUTPUT_IS_KEPT_COPY, "that is a copy of the data file kept by this program, which an output never replaces"},
        {IDS_OUTPUT_NOT_REGULAR, "it is not a regular file"},
        {IDS_NO_DISPLAY,
         "tillane: the window needs a display, and %1.\n"
         "Without a window, these work anywhere:\n"
         "  tillane --forecast          the forecast, row by row\n"
         "  tillane --summary           how low the balance goes, and when\n"
         "  tillane --chart OUT.png     the chart as a picture\n"
         "  tillane --report OUT.pdf    the printed report as a PDF\n"},
        {IDS_NO_DISPLAY_UNSET, "there is none here (DISPLAY is not set)"},
        {IDS_NO_DISPLAY_FAILED, "none could be opened (%1)"},

        {IDS_PREVIEW_ENTER_DATE, "Enter a date to see the payments"},
        {IDS_PREVIEW_ENTER_OCCURRENCES, "Enter from 2 to 9999 occurrences to see the payments"},
        {IDS_PREVIEW_ONCE, "once only"},
        {IDS_PREVIEW_ENDS, "%1 payments, the last on %2"},
        {IDS_PREVIEW_ENDS_AFTER_LATEST, "%1 payments, the last after %2"},
        {IDS_PREVIEW_FOR_EVER, "%1, for ever"},
        {IDS_PREVIEW_LAST_DAY_SHORTER, "(on the last day of shorter months)"},
        {IDS_PREVIEW_LAST_DAY_EVERY, "(on the last day of every month)"},
        {IDS_PREVIEW_LEAP_DAY, "(on 1 March in common years)"},
        {IDS_PREVIEW_NONE_IN_WINDOW, "None of these falls between %1 and %2 (the Cash Flow window)"},
        {IDS_PREVIEW_SOME_IN_WINDOW, "The Cash Flow window, %1 to %2, holds the first %3 of these"},
        {IDS_PREVIEW_MOVED, "(moved from %1)"},
        {IDS_PREVIEW_MOVED_HOLIDAY, "(moved from %1, %2)"},
        {IDS_PREVIEW_ENTER_DAY2, "Enter a day from 1 to 31 to see the payments"},
        {IDS_ON_DAY, "On da&y %1"},
        {IDS_ON_LAST_DAY, "On the last da&y"},
        {IDS_IMPORT_HOLIDAYS_TITLE, "Import Holidays"},
        {IDS_ICS_FILTER, "iCalendar files (*.ics)"},
        {IDS_HOLIDAYS_IMPORTED, "%1 holidays imported from %2."},
        {IDS_HOLIDAYS_TIMED_PASSED, "%1 events with a time of day were passed over: only whole days are holidays."},
        {IDS_HOLIDAYS_NOT_CALENDAR, "%1 holds no iCalendar data: no holidays were imported."},
        {IDS_HOLIDAY_YEARLY, "Yearly"},
        {ID_BUSINESS_DAYS, "Sets the weekend days and the holidays that payments move off."},
        {IDS_PREVIEW_EVERY, "every"},
        {IDS_PREVIEW_EVERY + 1, "every other"},
        {IDS_PREVIEW_EVERY + 2, "every third"},
        {IDS_PREVIEW_EVERY + 3, "every fourth"},
        {IDS_PREVIEW_DAY, "day"},
        {IDS_PREVIEW_DAY + 1, "week"},
        {IDS_PREVIEW_DAY + 2, "month"},
        {IDS_PREVIEW_DAY + 3, "year"},
        {IDS_SPIN_DECREASE, "Decrease %1"},
        {IDS_SPIN_INCREASE, "Increase %1"},

        {ID_FILE_SAVE, "Saves all changes to persistent storage."},
        {ID_SAVE_AND_EXIT, "Saves all changes and exits the program."},
        {ID_EDIT_ENTRY, "Edits the selected entry in the list."},
        {ID_DELETE_ENTRY, "Deletes the selected entry from the list."},
        {ID_ADD_ACCOUNT, "Add a new account."},
        {ID_ADD_TRANSACTION, "Adds a new transaction."},
        {ID_APP_ABOUT, "Displays information about this product."},
        {ID_EXPORT_FORECAST, "Writes the forecast's rows to a CSV file."},
        {ID_EXPORT_CHART, "Writes the chart to a PNG picture."},
        {ID_FILE_PRINT, "Prints a report of the forecast."},
        {ID_FILE_PRINT_PREVIEW, "Shows the printed report before printing it."},
        {ID_EDIT_UNDO, "Undoes the last change."},
        {ID_EDIT_REDO, "Redoes the last change undone."},
        {ID_SKIP_PAYMENT, "Leaves this payment out of the forecast; the rest of the series stays."},
        {ID_CHANGE_PAYMENT, "Changes the date or the amount of this payment only."},
        {ID_RESTORE_PAYMENT, "Brings this payment back to its planned date and amount."},
        {IDS_MOVED_FROM, "Moved from %1"},
        {IDS_PLANNED_AMOUNT, "Planned amount %1"},
        {IDS_PAYMENT_MOVES, "Moves from %1 to %2"},
        {IDS_PAYMENT_AMOUNT, "Amount %1 instead of %2"},
        {IDS_PAYMENT_AS_PLANNED, "As planned: %1, %2"},
        {IDS_PAYMENTS_SKIPPED, "%1 payments skipped"},
        {IDS_PAYMENT_SKIPPED, "1 payment skipped"},
        {IDS_EXCEPTION_SKIPPED, "Skipped"},
        {IDS_EXCEPTION_MOVED, "Moved to %1"},
        {IDS_EXCEPTION_AMOUNT, "Amount %1"},
        {IDS_PAYMENT_ENTER_AMOUNT, "Enter the amount in whole dollars"},
        {IDS_CHANGE_COLUMN, "Change"},
        {ID_VIEW_WHAT_IF, "Shows the forecast with or without the what-if (tentative) transactions."},
        {ID_UPDATE_BALANCES, "Sets the accounts' balances as the bank shows them and starts the forecast on that day."},
        {IDS_SPLIT_STEP, "Edit Transaction \"%1\" From %2 On"},
        {IDS_UPDATE_BALANCES_STEP, "Update Balances"},
        {IDS_PAYMENTS_EXPECTED, "&Payments the forecast expected from %1 to %2: check those not yet paid, to move them to %3."},
        {IDS_NO_PAYMENTS_EXPECTED, "&Payments the forecast expected from %1 to %2: none."},
        {IDS_NO_PAYMENTS_BEFORE, "&Payments the forecast expected: none, since it starts on %1."},

        {AFX_IDP_PARSE_INT, "Please enter an integer."},
        {AFX_IDP_PARSE_INT_RANGE, "Please enter an integer between %1 and %2."},
        {AFX_IDP_PARSE_STRING_SIZE, "Please enter no more than %1 characters."},
        {AFX_IDP_PARSE_UINT, "Please enter a positive integer."},
    });
    return table;
}

} // namespace res
