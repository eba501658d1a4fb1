#include "ui/account_edit_dlg.h"

#include <algorithm>
#include <string_view>

#include "res/resource.h"
#include "ui/platform/controls.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/resources.h"

std::set<std::string> CAccountEditDlg::knownDescriptions;

namespace {

std::string Trimmed(std::string_view text)
{
    constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
    const auto first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kWhiteSpace);
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

CAccountEditDlg::CAccountEditDlg(Mode mode, win::CWnd* parent)
    : win::CDialog(res::IDD_ACCOUNT_EDIT, parent), m_mode(mode)
{
}

bool CAccountEditDlg::OnInitDialog()
{
    win::CDialog::OnInitDialog();

    if (m_mode == Mode::Update)
        SetDlgItemText(win::IDOK, win::LoadString(res::IDS_UPDATE));

    // The combo box keeps its own list sorted.
    if (auto* combo = GetDlgItemAs<win::CComboBox>(res::IDC_DESCRIPTION))
        for (const std::string& description : knownDescriptions)
            combo->AddString(description);

    if (m_mode == Mode::Update) {
        // Changing an account usually means changing its balance.
        if (auto* balance = GetDlgItemAs<win::CEdit>(res::IDC_BALANCE)) {
            GotoDlgCtrl(*balance);
            balance->ScrollCaret();
            return false;
        }
    }
    return true;
}

void CAccountEditDlg::DoDataExchange(win::CDataExchange* dx)
{
    win::CDialog::DoDataExchange(dx);

    win::DDX_Text(dx, res::IDC_DESCRIPTION, m_description);
    // Counted as typed: surrounding blanks count too.
    win::DDV_MaxChars(dx, m_description, kMaxDescriptionChars);
    win::DDX_Amount(dx, res::IDC_BALANCE, m_balance);

    if (!dx->m_bSaveAndValidate) {
        // The limit is on typing. A longer balance read from a file (such as
        // -2147483648) is shown whole rather than cut, so that changing only the
        // description keeps the balance.
        if (auto* balance = dx->m_dialog.GetDlgItemAs<win::CEdit>(res::IDC_BALANCE)) {
            const int shown = static_cast<int>(std::to_string(m_balance).size());
            balance->LimitText(std::max(kMaxBalanceChars, shown));
        }
        return;
    }
    m_description = Trimmed(m_description);
}

void CAccountEditDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    knownDescriptions.insert(m_description);
    EndDialog(win::IDOK);
}
