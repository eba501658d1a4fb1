#include "res/resource.h"
#include "res/resources.h"

namespace res {

const std::map<int, std::string>& StringTable()
{
    static const std::map<int, std::string> table = {
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
        {IDS_PREVIEW_EVERY, "every"},
        {IDS_PREVIEW_EVERY + 1, "every other"},
        {IDS_PREVIEW_EVERY + 2, "every third"},
        {IDS_PREVIEW_EVERY + 3, "every fourth"},
        {IDS_PREVIEW_DAY, "day"},
        {IDS_PREVIEW_DAY + 1, "week"},
        {IDS_PREVIEW_DAY + 2, "month"},
        {IDS_PREVIEW_DAY + 3, "year"},

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

        {AFX_IDP_PARSE_INT, "Please enter an integer."},
        {AFX_IDP_PARSE_INT_RANGE, "Please enter an integer between %1 and %2."},
        {AFX_IDP_PARSE_STRING_SIZE, "Please enter no more than %1 characters."},
        {AFX_IDP_PARSE_UINT, "Please enter a positive integer."},
    };
    return table;
}

} // namespace res
