#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/platform/api.h"
#include "ui/platform/menu.h"
#include "ui/platform/property_sheet.h"

namespace {

using namespace res;

// A main window that records what reaches it.
class TestSheet : public win::CPropertySheet {
public:
    TestSheet() : CPropertySheet(IDS_APP_TITLE), cashFlow(IDD_CASHFLOW_PAGE), accounts(IDD_ACCOUNTS_PAGE),
                  transactions(IDD_TRANS_PAGE)
    {
        LoadAccelerators(IDR_ACCELERATORS);
        AddPage(&cashFlow);
        AddPage(&accounts);
        AddPage(&transactions);
    }
    ~TestSheet() override { DestroyWindow(); }

    win::CPropertyPage cashFlow;
    win::CPropertyPage accounts;
    win::CPropertyPage transactions;
    std::vector<int> commands;
    std::vector<int> popups;
    bool pagesAliveAtDestroy = false;
    bool initialised = false;

protected:
    bool OnInitDialog() override
    {
        initialised = GetTabControl() != nullptr && cashFlow.HasWindow();
        return true;
    }
    bool OnCommand(int id) override
    {
        commands.push_back(id);
        return true;
    }
    void OnInitMenuPopup(win::CMenu& popup, int index) override
    {
        popups.push_back(index);
        popup.EnableMenuItem(ID_EDIT_ENTRY, win::MF_GRAYED);
    }
    void OnDestroy() override
    {
        pagesAliveAtDestroy = accounts.HasWindow() && accounts.GetDlgItem(IDC_ACCOUNTS_LIST) != nullptr;
    }
};

TEST(MenuTest, MenuHasItsCommandsSeparatorAndGreying)
{
    win::CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MAINFRAME));
    ASSERT_EQ(menu.GetMenuItemCount(), 4);
    EXPECT_EQ(menu.GetMenuItemID(0), -1) << "a pop-up has no command id";
    win::CMenu* edit = menu.GetSubMenu(1);
    ASSERT_NE(edit, nullptr);
    const std::vector<int> ids = {ID_EDIT_UNDO, ID_EDIT_REDO,   0, ID_EDIT_ENTRY, ID_DELETE_ENTRY,
                                  0,            ID_ADD_ACCOUNT, ID_ADD_TRANSACTION, 0, ID_BUSINESS_DAYS,
                                  ID_UPDATE_BALANCES, 0, ID_SKIP_PAYMENT, ID_CHANGE_PAYMENT, ID_RESTORE_PAYMENT};
    ASSERT_EQ(edit->GetMenuItemCount(), static_cast<int>(ids.size()));
    for (int position = 0; position < edit->GetMenuItemCount(); ++position)
        EXPECT_EQ(edit->GetMenuItemID(position), ids[static_cast<std::size_t>(position)]);
    win::CMenu* file = menu.GetSubMenu(0);
    EXPECT_EQ(file->GetMenuString(file->GetMenuItemCount() - 1), "Save && E&xit");
    EXPECT_EQ(menu.GetSubMenu(2)->GetMenuItemID(0), ID_VIEW_WHAT_IF);
    EXPECT_EQ(menu.GetSubMenu(3)->GetMenuItemID(0), ID_APP_ABOUT);
    EXPECT_FALSE(menu.IsMenuItemChecked(ID_VIEW_WHAT_IF));
    EXPECT_EQ(menu.CheckMenuItem(ID_VIEW_WHAT_IF, win::MF_CHECKED), win::MF_UNCHECKED);
    EXPECT_TRUE(menu.IsMenuItemChecked(ID_VIEW_WHAT_IF));
    EXPECT_EQ(menu.CheckMenuItem(4242, win::MF_CHECKED), win::kMenuItemNotFound);
    EXPECT_EQ(menu.EnableMenuItem(ID_DELETE_ENTRY, win::MF_GRAYED), win::MF_ENABLED);
    EXPECT_FALSE(menu.IsMenuItemEnabled(ID_DELETE_ENTRY));
    EXPECT_EQ(menu.EnableMenuItem(ID_DELETE_ENTRY, win::MF_ENABLED), win::MF_GRAYED);
    EXPECT_EQ(menu.EnableMenuItem(4242, win::MF_GRAYED), win::kMenuItemNotFound);
    win::CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(4242));
    EXPECT_EQ(win::GetLastError(), win::ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST(StringTableTest, HoldsTheProgramsTextsAndCommandPrompts)
{
    EXPECT_EQ(win::LoadString(IDS_APP_TITLE), "Tillane");
    EXPECT_EQ(win::LoadString(IDS_CURRENT_ACCOUNTS), "Current Accounts");
    EXPECT_EQ(win::LoadString(ID_FILE_SAVE), "Saves all changes to persistent storage.");
    EXPECT_EQ(win::LoadString(ID_APP_ABOUT), "Displays information about this product.");
    std::string text = "kept";
    EXPECT_FALSE(win::LoadString(99999, text));
    EXPECT_EQ(text, "kept");
    EXPECT_THROW(win::LoadStringOrThrow(99999), win::api::Exception);
}

TEST(PropertySheetTest, PagesComeInOrderWithTheirCaptionsAndGetWindowsWhenActivated)
{
    TestSheet sheet;
    ASSERT_TRUE(sheet.Create(nullptr, win::WS_POPUP | win::WS_CAPTION));
    EXPECT_TRUE(sheet.initialised);
    EXPECT_EQ(sheet.Widget()->windowTitle().toStdString(), "Tillane");
    ASSERT_NE(sheet.GetTabControl(), nullptr);
    EXPECT_EQ(sheet.GetTabControl()->GetItemCount(), 3);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_FALSE(sheet.accounts.HasWindow());
    EXPECT_TRUE(sheet.SetActivePage(2));
    EXPECT_TRUE(sheet.transactions.HasWindow());
    EXPECT_EQ(sheet.GetActivePage(), &sheet.transactions);
    EXPECT_EQ(sheet.transactions.GetCaption(), "Transactions");
    EXPECT_FALSE(sheet.SetActivePage(3));

    // The tab control's place in the client area, which lies below the menu bar.
    win::CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MAINFRAME));
    sheet.SetMenu(&menu);
    sheet.Widget()->show();
    sheet.GetTabControl()->MoveWindow(win::CRect{9, 11, 209, 161});
    win::CRect tab = sheet.GetTabControl()->GetWindowRect();
    sheet.ScreenToClient(tab);
    EXPECT_EQ(tab, (win::CRect{9, 11, 209, 161}));
    EXPECT_EQ(sheet.GetClientRect().right, sheet.Widget()->width());
    EXPECT_LT(sheet.GetClientRect().bottom, sheet.Widget()->height());
}

TEST(PropertySheetTest, KeysGoThroughAcceleratorsAndChangePages)
{
    TestSheet sheet;
    ASSERT_TRUE(sheet.Create(nullptr, win::WS_POPUP | win::WS_CAPTION));
    EXPECT_TRUE(sheet.KeyDown('S', true, false, false));
    EXPECT_EQ(sheet.commands, (std::vector<int>{ID_FILE_SAVE}));
    EXPECT_FALSE(sheet.KeyDown('S', false, false, false));
    EXPECT_FALSE(sheet.KeyDown(win::VK_RETURN, false, false, false));
    EXPECT_TRUE(sheet.KeyDown(win::VK_TAB, true, false, false));
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_TRUE(sheet.KeyDown(win::VK_NEXT, true, false, false));
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    EXPECT_TRUE(sheet.KeyDown(win::VK_NEXT, true, false, false));
    EXPECT_EQ(sheet.GetActiveIndex(), 0) << "wraps around";
    EXPECT_TRUE(sheet.KeyDown(win::VK_PRIOR, true, false, false));
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    EXPECT_TRUE(sheet.KeyDown(win::VK_TAB, true, true, false));
    EXPECT_EQ(sheet.GetActiveIndex(), 1);

    // A real key press reaches the sheet before the focused control.
    QWidget* window = sheet.Widget();
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier, QStringLiteral("s"));
    QApplication::sendEvent(target, &press);
    EXPECT_EQ(sheet.commands, (std::vector<int>{ID_FILE_SAVE, ID_FILE_SAVE}));
}

TEST(PropertySheetTest, MenuCommandsAndPostedCommandsRunAfterTheCurrentEvent)
{
    TestSheet sheet;
    ASSERT_TRUE(sheet.Create(nullptr, win::WS_POPUP | win::WS_CAPTION));
    win::CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MAINFRAME));
    sheet.SetMenu(&menu);
    auto* window = static_cast<QMainWindow*>(sheet.Widget());
    const QList<QAction*> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    // The keys are shown as the item's shortcut, so that screen readers read its name alone.
    QAction* save = bar[0]->menu()->actions()[0];
    EXPECT_EQ(save->text(), QStringLiteral("&Save"));
    EXPECT_EQ(save->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QAccessibleInterface* file = QAccessible::queryAccessibleInterface(bar[0]->menu());
    ASSERT_NE(file, nullptr);
    ASSERT_GT(file->childCount(), 0);
    EXPECT_EQ(file->child(0)->text(QAccessible::Name), QStringLiteral("Save"));
    QMenu* edit = bar[1]->menu();
    emit edit->aboutToShow();
    EXPECT_EQ(sheet.popups, (std::vector<int>{1}));
    EXPECT_FALSE(edit->actions()[3]->isEnabled()) << "greyed by the pop-up hook";
    EXPECT_EQ(edit->actions()[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+Y"))) << "one key shown, the first";
    EXPECT_TRUE(menu.SetMenuItemText(ID_EDIT_UNDO, "&Undo Duration"));
    EXPECT_EQ(edit->actions()[0]->text(), QStringLiteral("&Undo Duration"));
    EXPECT_EQ(edit->actions()[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z"))) << "the keys stay";
    edit->actions()[6]->trigger(); // Add a New Account...
    sheet.PostCommand(ID_APP_ABOUT);
    EXPECT_TRUE(sheet.commands.empty());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(sheet.commands, (std::vector<int>{ID_ADD_ACCOUNT, ID_APP_ABOUT}));

    // A checked item shows its check mark, and its keys.
    QAction* whatIf = bar[2]->menu()->actions()[0];
    EXPECT_EQ(whatIf->text(), QStringLiteral("Include &What-If Transactions"));
    EXPECT_EQ(whatIf->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+W")));
    EXPECT_FALSE(whatIf->isChecked());
    menu.CheckMenuItem(ID_VIEW_WHAT_IF, win::MF_CHECKED);
    EXPECT_TRUE(whatIf->isCheckable());
    EXPECT_TRUE(whatIf->isChecked());
}

TEST(PropertySheetTest, ClosingDestroysTheWindowAfterTheEventWithPagesStillThereForOnDestroy)
{
    TestSheet sheet;
    ASSERT_TRUE(sheet.Create(nullptr, win::WS_POPUP | win::WS_CAPTION));
    sheet.SetActivePage(1);
    sheet.Widget()->close();
    EXPECT_TRUE(sheet.HasWindow()) << "not inside the close event";
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(sheet.HasWindow());
    EXPECT_TRUE(sheet.pagesAliveAtDestroy);
    EXPECT_FALSE(sheet.accounts.HasWindow());
    EXPECT_EQ(sheet.accounts.GetDlgItem(IDC_ACCOUNTS_LIST), nullptr);
}

} // namespace
