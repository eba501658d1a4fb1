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

        {ID_FILE_SAVE, "Saves all changes to persistent storage."},
        {ID_SAVE_AND_EXIT, "Saves all changes and exits the program."},
        {ID_EDIT_ENTRY, "Edits the selected entry in the list."},
        {ID_DELETE_ENTRY, "Deletes the selected entry from the list."},
        {ID_ADD_ACCOUNT, "Add a new account."},
        {ID_ADD_TRANSACTION, "Adds a new transaction."},
        {ID_APP_ABOUT, "Displays information about this product."},

        {AFX_IDP_PARSE_INT, "Please enter an integer."},
        {AFX_IDP_PARSE_INT_RANGE, "Please enter an integer between %1 and %2."},
        {AFX_IDP_PARSE_STRING_SIZE, "Please enter no more than %1 characters."},
        {AFX_IDP_PARSE_UINT, "Please enter a positive integer."},
    };
    return table;
}

} // namespace res
