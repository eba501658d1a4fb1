#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

#include "res/resource.h"
#include "res/resources.h"
#include "ui/platform/dialog.h"

namespace {

using namespace res;

// The roles of the controls a user works with; a screen reader must be able to name each.
bool IsInteractive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::Slider:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
        return true;
    default:
        return false;
    }
}

struct Found {
    QObject* object;
    QAccessible::Role role;
    QString name;
};

// Every interactive control in sight under the interface, as screen readers walk the tree.
void Walk(QAccessibleInterface* node, std::vector<Found>& found)
{
    if (!node || node->state().invisible)
        return;
    if (IsInteractive(node->role()))
        found.push_back(Found{node->object(), node->role(), node->text(QAccessible::Name)});
    for (int i = 0; i < node->childCount(); ++i)
        Walk(node->child(i), found);
}

// What screen readers call the inputs that have a label (or that no label names).
const std::map<std::pair<int, int>, QString>& ExpectedNames()
{
    static const std::map<std::pair<int, int>, QString> names = {
        {{IDD_TRANS_EDIT, IDC_DESCRIPTION}, "Description"},
        {{IDD_TRANS_EDIT, IDC_DATE}, "Insertion Date"},
        {{IDD_TRANS_EDIT, IDC_AMOUNT}, "Amount"},
        {{IDD_TRANS_EDIT, IDC_DEBIT}, "Debit"},
        {{IDD_TRANS_EDIT, IDC_OCCURRENCES}, "Occurrences"},
        {{IDD_TRANS_EDIT, IDC_OCCURRENCES_SPIN}, "Occurrences"},
        {{IDD_ACCOUNT_EDIT, IDC_DESCRIPTION}, "Description"},
        {{IDD_ACCOUNT_EDIT, IDC_BALANCE}, "Balance"},
        {{IDD_WARN_BELOW, IDC_WARN_BELOW_AMOUNT}, "Warn when the projected balance falls below"},
        {{IDD_START_DATE, IDC_DATE}, "Starting Date"},
        {{IDD_CASHFLOW_PAGE, IDC_DURATION}, "Duration"},
        {{IDD_CASHFLOW_PAGE, IDC_DURATION_SPIN}, "Duration"},
        {{IDD_CASHFLOW_PAGE, IDC_STARTING_DATE}, "Starting Date..."},
        {{IDD_CASHFLOW_PAGE, IDC_CASHFLOW_LIST}, "Cash Flow"},
        {{IDD_ACCOUNTS_PAGE, IDC_ACCOUNTS_LIST}, "Current Accounts"},
        {{IDD_TRANS_PAGE, IDC_TRANS_LIST}, "Transactions"},
        {{IDD_TRANS_EDIT, IDC_WEEK}, "Week of the month"},
        {{IDD_TRANS_EDIT, IDC_WEEKDAY}, "Day of the week"},
        {{IDD_TRANS_EDIT, IDC_DAY2}, "Also on day"},
        {{IDD_TRANS_EDIT, IDC_TENTATIVE}, "What-if (tentative)"},
        {{IDD_BUSINESS_DAYS, IDC_HOLIDAY_LIST}, "Holidays"},
        {{IDD_BUSINESS_DAYS, IDC_WEEKEND_SUNDAY}, "Sun"},
        {{IDD_HOLIDAY_EDIT, IDC_HOLIDAY_DATE}, "Date"},
        {{IDD_HOLIDAY_EDIT, IDC_HOLIDAY_DESCRIPTION}, "Description"},
        {{IDD_TRANS_EDIT, IDC_SCOPE_LATER}, "This and all later payments"},
        {{IDD_UPDATE_BALANCES, IDC_DATE}, "Balances as the bank shows them on"},
        {{IDD_UPDATE_BALANCES, IDC_UPDATE_ACCOUNT}, "Account"},
        {{IDD_UPDATE_BALANCES, IDC_BALANCE}, "Balance"},
        {{IDD_UPDATE_BALANCES, IDC_UPDATE_ACCOUNTS}, "New balances"},
        {{IDD_UPDATE_BALANCES, IDC_UPDATE_PAYMENTS}, "Payments expected"},
    };
    return names;
}

// Every dialog and page: each interactive control in sight has a name, option buttons are
// radio buttons, and the inputs are called after their labels, without the key marks.
TEST(AccessibilityTest, EveryControlOfEveryDialogHasANameAndItsRole)
{
    for (const win::DialogTemplate& dialogTemplate : DialogTemplates()) {
        SCOPED_TRACE(dialogTemplate.caption);
        win::CDialog dialog(dialogTemplate.id);
        ASSERT_TRUE(dialog.Create(nullptr));
        // The page writes the summary line; here it is blank.
        dialog.SetDlgItemText(IDC_SUMMARY, "Lowest 0");
        QWidget* window = dialog.Widget();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        std::vector<Found> found;
        Walk(QAccessible::queryAccessibleInterface(window), found);
        EXPECT_FALSE(found.empty());
        for (const Found& control : found) {
            EXPECT_FALSE(control.name.trimmed().isEmpty())
                << control.object->metaObject()->className() << " of role " << control.role << " has no name";
            EXPECT_FALSE(control.name.contains(u'&')) << control.name.toStdString();
        }
        for (const auto& item : window->findChildren<QRadioButton*>()) {
            QAccessibleInterface* radio = QAccessible::queryAccessibleInterface(item);
            EXPECT_EQ(radio->role(), QAccessible::RadioButton) << item->text().toStdString();
            EXPECT_EQ(radio->state().checked, item->isChecked());
        }
        // The check boxes (What-if, Also on day, the weekend days, Yearly) are check boxes.
        for (const auto& item : window->findChildren<QCheckBox*>()) {
            QAccessibleInterface* box = QAccessible::queryAccessibleInterface(item);
            EXPECT_EQ(box->role(), QAccessible::CheckBox) << item->text().toStdString();
            EXPECT_EQ(box->state().checked, item->isChecked());
        }
        for (const auto& [where, name] : ExpectedNames()) {
            if (where.first != dialogTemplate.id)
                continue;
            win::CWnd* control = dialog.GetDlgItem(where.second);
            ASSERT_NE(control, nullptr) << where.second;
            EXPECT_EQ(QAccessible::queryAccessibleInterface(control->Widget())->text(QAccessible::Name), name)
                << where.second;
        }
    }
}

} // namespace
