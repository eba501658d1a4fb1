#include "res/resource.h"
#include "res/resources.h"

namespace res {

using win::AcceleratorEntry;
using win::AcceleratorTable;
using win::MenuItemTemplate;
using win::MenuTemplate;

const std::vector<MenuTemplate>& MenuTemplates()
{
    static const std::vector<MenuTemplate> menus = {
        {IDR_MAINFRAME,
         {
             {0,
              "&File",
              {{ID_FILE_SAVE, "&Save", {}},
               {0, "", {}},
               {ID_UPDATE_BALANCES, "Update Ba&lances...", {}},
               {0, "", {}},
               {ID_EXPORT_FORECAST, "Export &Forecast...", {}},
               {ID_EXPORT_CHART, "Export &Chart...", {}},
               {0, "", {}},
               {ID_FILE_PRINT_PREVIEW, "Print Pre&view...", {}},
               {ID_FILE_PRINT, "&Print...", {}},
               {0, "", {}},
               {ID_SAVE_AND_EXIT, "Save && E&xit", {}}}},
             {0,
              "&Edit",
              {{ID_EDIT_UNDO, "&Undo", {}},
               {ID_EDIT_REDO, "&Redo", {}},
               {0, "", {}},
               {ID_EDIT_ENTRY, "&Edit Selected Entry...", {}},
               {ID_DELETE_ENTRY, "&Delete Selected Entry...", {}},
               {0, "", {}},
               {ID_ADD_ACCOUNT, "Add a New &Account...", {}},
               {ID_ADD_TRANSACTION, "Add a New &Transaction...", {}},
               {0, "", {}},
               {ID_BUSINESS_DAYS, "&Business Days...", {}},
               {ID_UPDATE_BALANCES, "Update Ba&lances...", {}},
               {0, "", {}},
               {ID_SKIP_PAYMENT, "&Skip This Payment", {}},
               {ID_CHANGE_PAYMENT, "C&hange This Payment...", {}},
               {ID_RESTORE_PAYMENT, "Rest&ore This Payment", {}}}},
             {0, "&View", {{ID_VIEW_WHAT_IF, "Include &What-If Transactions", {}}}},
             {0, "&Help", {{ID_APP_ABOUT, "About Tillane...", {}}}},
         }},
        // A Cash Flow row's own commands: right click, the Menu key or Shift+F10 on the list.
        {IDR_CASHFLOW_ROW_MENU,
         {
             {0,
              "Row",
              {{ID_EDIT_ENTRY, "&Edit Selected Entry...", {}},
               {0, "", {}},
               {ID_SKIP_PAYMENT, "&Skip This Payment", {}},
               {ID_CHANGE_PAYMENT, "C&hange This Payment...", {}},
               {ID_RESTORE_PAYMENT, "Rest&ore This Payment", {}}}},
         }},
    };
    return menus;
}

const std::vector<AcceleratorTable>& AcceleratorTables()
{
    static const std::vector<AcceleratorTable> tables = {
        {IDR_ACCELERATORS,
         {AcceleratorEntry{'S', true, false, false, ID_FILE_SAVE},
          AcceleratorEntry{'P', true, false, false, ID_FILE_PRINT},
          AcceleratorEntry{'Q', true, false, false, ID_SAVE_AND_EXIT},
          AcceleratorEntry{'Z', true, false, false, ID_EDIT_UNDO},
          AcceleratorEntry{'Y', true, false, false, ID_EDIT_REDO},
          AcceleratorEntry{'Z', true, true, false, ID_EDIT_REDO},
          AcceleratorEntry{'W', true, true, false, ID_VIEW_WHAT_IF}}},
    };
    return tables;
}

} // namespace res
