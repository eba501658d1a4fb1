#include "ui/account_edit_dlg.h"

#include "res/resource.h"
#include "ui/platform/controls.h"
#include "ui/platform/scripted_runner.h"
#include "ui/platform/types.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using Mode = CAccountEditDlg::Mode;

constexpr const char* kIntegerPrompt = "Please enter an integer.";
constexpr const char* kWholeDollarsPrompt = "Amounts are in whole dollars";
constexpr const char* kLengthPrompt = "Please enter no more than 50 characters.";

std::vector<std::string> DropDownItems(win::CDialog& dialog)
{
    std::vector<std::string> items;
    auto* combo = dialog.GetDlgItemAs<win::CComboBox>(res::IDC_DESCRIPTION);
    for (int i = 0; combo && i < combo->GetCount(); ++i)
        items.push_back(combo->GetLBText(i));
    return items;
}

// The descriptions are program-wide; every test starts from a run with none.
class AccountEditDlgTest : public testing::Test {
protected:
    void SetUp() override { CAccountEditDlg::knownDescriptions.clear(); }
    void TearDown() override { CAccountEditDlg::knownDescriptions.clear(); }

    // Runs an add-mode editor that types the two texts and presses OK once (then Cancel
    // when the dialog is still open). Returns the dialog's result.
    int TypeAndPressOk(CAccountEditDlg& dialog, const std::string& description, const std::string& balance)
    {
        runner.OnNextDialog([&](win::CDialog& d) {
            d.SetDlgItemText(res::IDC_DESCRIPTION, description);
            d.SetDlgItemText(res::IDC_BALANCE, balance);
            d.PressButton(win::IDOK);
            if (!d.IsEnded()) {
                focusAfterFailure = d.GetFocusedControlId();
                if (auto* edit = d.GetDlgItemAs<win::CEdit>(res::IDC_BALANCE))
                    edit->GetSel(selectionStart, selectionEnd);
                d.PressButton(win::IDCANCEL);
            }
        });
        return dialog.DoModal();
    }

    win::ScriptedRunner runner;
    int focusAfterFailure = 0;
    int selectionStart = -1;
    int selectionEnd = -1;
};

TEST_F(AccountEditDlgTest, AddModeShowsAddFocusesTheDescriptionAndShowsTheMembers)
{
    CAccountEditDlg dialog(Mode::Add);
    dialog.m_description = "Checking";
    dialog.m_balance = -12;
    runner.OnNextDialog([](win::CDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(win::IDOK), "Add");
        EXPECT_EQ(d.GetFocusedControlId(), res::IDC_DESCRIPTION);
        EXPECT_EQ(d.GetDlgItemText(res::IDC_DESCRIPTION), "Checking");
        EXPECT_EQ(d.GetDlgItemText(res::IDC_BALANCE), "-12");
        EXPECT_TRUE(DropDownItems(d).empty());
        d.PressButton(win::IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), win::IDCANCEL);
    EXPECT_EQ(runner.DialogsRun(), std::vector<int>{res::IDD_ACCOUNT_EDIT});
}

TEST_F(AccountEditDlgTest, UpdateModeShowsUpdateAndSelectsTheWholeBalance)
{
    CAccountEditDlg dialog(Mode::Update);
    dialog.m_description = "Savings";
    dialog.m_balance = 1500;
    runner.OnNextDialog([](win::CDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(win::IDOK), "Update");
        EXPECT_EQ(d.GetFocusedControlId(), res::IDC_BALANCE);
        int start = -1, end = -1;
        d.GetDlgItemAs<win::CEdit>(res::IDC_BALANCE)->GetSel(start, end);
        EXPECT_EQ(start, 0);
        EXPECT_EQ(end, 4);
        d.PressButton(win::IDCANCEL);
    });
    dialog.DoModal();
}

TEST_F(AccountEditDlgTest, DropDownListsEveryDescriptionConfirmedEarlierInTheRun)
{
    {
        CAccountEditDlg first(Mode::Add);
        ASSERT_EQ(TypeAndPressOk(first, "Checking", "100"), win::IDOK);
    }
    {
        // Cancel records nothing.
        CAccountEditDlg cancelled(Mode::Add);
        runner.OnNextDialog([](win::CDialog& d) {
            d.SetDlgItemText(res::IDC_DESCRIPTION, "Never");
            d.PressButton(win::IDCANCEL);
        });
        EXPECT_EQ(cancelled.DoModal(), win::IDCANCEL);
    }
    {
        CAccountEditDlg second(Mode::Add);
        ASSERT_EQ(TypeAndPressOk(second, "Brokerage", "5"), win::IDOK);
    }
    {
        // Confirmed again: listed once.
        CAccountEditDlg again(Mode::Add);
        ASSERT_EQ(TypeAndPressOk(again, "Checking", "1"), win::IDOK);
    }
    CAccountEditDlg later(Mode::Add);
    std::vector<std::string> listed;
    runner.OnNextDialog([&](win::CDialog& d) {
        listed = DropDownItems(d);
        EXPECT_EQ(d.GetDlgItemText(res::IDC_DESCRIPTION), "");
        d.PressButton(win::IDCANCEL);
    });
    later.DoModal();
    EXPECT_EQ(listed, (std::vector<std::string>{"Brokerage", "Checking"}));
}

struct BalanceCase {
    const char* typed;
    bool accepted;
    std::int32_t balance;
    const char* name;
    // The start of the message a refused balance gets.
    const char* prompt = kIntegerPrompt;
};

class AccountEditBalanceTest : public AccountEditDlgTest, public testing::WithParamInterface<BalanceCase> {};

TEST_P(AccountEditBalanceTest, ReadsTheBalanceAsAnIntegerOrRefusesIt)
{
    const BalanceCase& c = GetParam();
    CAccountEditDlg dialog(Mode::Add);
    dialog.m_balance = 77;
    const int result = TypeAndPressOk(dialog, "Checking", c.typed);
    if (c.accepted) {
        EXPECT_EQ(result, win::IDOK);
        EXPECT_EQ(dialog.m_balance, c.balance);
        EXPECT_TRUE(runner.MessageBoxes().empty());
        return;
    }
    EXPECT_EQ(result, win::IDCANCEL);
    ASSERT_EQ(runner.MessageBoxes().size(), 1u);
    const win::MessageBoxRecord& box = runner.MessageBoxes().front();
    EXPECT_EQ(box.text.rfind(c.prompt, 0), 0u) << box.text;
    EXPECT_EQ(box.caption, "Tillane");
    EXPECT_EQ(box.type, c.prompt == kIntegerPrompt ? win::MB_OK : win::MB_ICONEXCLAMATION);
    EXPECT_EQ(focusAfterFailure, res::IDC_BALANCE);
    EXPECT_EQ(selectionStart, 0);
    EXPECT_EQ(selectionEnd, static_cast<int>(std::string(c.typed).size()));
    EXPECT_TRUE(CAccountEditDlg::knownDescriptions.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Typed, AccountEditBalanceTest,
    testing::Values(BalanceCase{"12abc", false, 0, "DigitsThenLetters"}, BalanceCase{"", false, 0, "Empty"},
                    BalanceCase{"-", false, 0, "BareSign"}, BalanceCase{"  ", false, 0, "Blanks"},
                    BalanceCase{"1 2", false, 0, "TwoNumbers"}, BalanceCase{"  -0", false, 0, "SignedZero"},
                    BalanceCase{"-250", true, -250, "Negative"},
                    BalanceCase{" -250 ", true, -250, "NegativeWithSpaces"},
                    BalanceCase{"\t+8\t", true, 8, "PlusWithTabs"}, BalanceCase{"0", true, 0, "Zero"},
                    BalanceCase{"9999999999", true, INT_MAX, "TenNinesSaturate"},
                    BalanceCase{"-999999999", true, -999999999, "TenCharactersNegative"},
                    BalanceCase{"1,500", true, 1500, "GroupingComma"},
                    BalanceCase{"-2,147,483,648", true, INT_MIN, "LowestGrouped"},
                    BalanceCase{"1,50", false, 0, "CommaNotGrouping"},
                    BalanceCase{"12.50", false, 0, "Cents", kWholeDollarsPrompt},
                    BalanceCase{"-1,500.", false, 0, "DecimalPoint", kWholeDollarsPrompt}),
    [](const testing::TestParamInfo<BalanceCase>& info) { return std::string(info.param.name); });

TEST_F(AccountEditDlgTest, BalanceFieldTakesTheLowestBalanceWithItsGroupingCommasAndNoMore)
{
    CAccountEditDlg dialog(Mode::Add);
    runner.OnNextDialog([](win::CDialog& d) {
        auto* balance = d.GetDlgItemAs<win::CEdit>(res::IDC_BALANCE);
        EXPECT_EQ(balance->GetLimitText(), 14);
        d.SetDlgItemText(res::IDC_BALANCE, "-2,147,483,6489");
        EXPECT_EQ(d.GetDlgItemText(res::IDC_BALANCE), "-2,147,483,648");
        d.PressButton(win::IDCANCEL);
    });
    dialog.DoModal();
}

TEST_F(AccountEditDlgTest, ALongerBalanceFromTheFileIsShownWholeAndKept)
{
    CAccountEditDlg dialog(Mode::Update);
    dialog.m_description = "Loan";
    dialog.m_balance = INT_MIN;
    runner.OnNextDialog([](win::CDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(res::IDC_BALANCE), "-2147483648");
        d.PressButton(win::IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), win::IDOK);
    EXPECT_EQ(dialog.m_balance, INT_MIN);
}

TEST_F(AccountEditDlgTest, DescriptionLimitCountsTheTextAsTypedBeforeTrimming)
{
    CAccountEditDlg dialog(Mode::Add);
    const std::string typed = std::string(48, 'x') + "     ";
    EXPECT_EQ(TypeAndPressOk(dialog, typed, "also bad"), win::IDCANCEL);
    // The first failure ends the validation: the balance is not looked at.
    ASSERT_EQ(runner.MessageBoxes().size(), 1u);
    EXPECT_EQ(runner.MessageBoxes()[0].text, kLengthPrompt);
    EXPECT_EQ(runner.MessageBoxes()[0].type, win::MB_ICONEXCLAMATION);
    EXPECT_EQ(focusAfterFailure, res::IDC_DESCRIPTION);
    EXPECT_TRUE(CAccountEditDlg::knownDescriptions.empty());
}

TEST_F(AccountEditDlgTest, DescriptionLimitCountsCharactersNotBytes)
{
    std::string fifty;
    for (int i = 0; i < 50; ++i)
        fifty += "\xC3\xA9"; // é: two bytes, one character
    CAccountEditDlg accepted(Mode::Add);
    ASSERT_EQ(TypeAndPressOk(accepted, fifty, "1"), win::IDOK);
    EXPECT_EQ(accepted.m_description, fifty);

    CAccountEditDlg refused(Mode::Add);
    EXPECT_EQ(TypeAndPressOk(refused, fifty + "e", "1"), win::IDCANCEL);
    ASSERT_EQ(runner.MessageBoxes().size(), 1u);
    EXPECT_EQ(runner.MessageBoxes()[0].text, kLengthPrompt);
}

TEST_F(AccountEditDlgTest, OkStoresTheTrimmedDescriptionAndRemembersIt)
{
    CAccountEditDlg dialog(Mode::Add);
    ASSERT_EQ(TypeAndPressOk(dialog, "  Savings  ", "20"), win::IDOK);
    EXPECT_EQ(dialog.m_description, "Savings");
    EXPECT_EQ(dialog.m_balance, 20);
    EXPECT_EQ(CAccountEditDlg::knownDescriptions, (std::set<std::string>{"Savings"}));
}

} // namespace
