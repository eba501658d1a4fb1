#include "ui/cash_flow_pg_dlg.h"

#include "res/resource.h"
#include "storage/data_file.h"
#include "ui/platform/data_exchange.h"

namespace {

constexpr int kMinimumDuration = 1;
constexpr int kMaximumDuration = 99;

} // namespace

CCashFlowPgDlg::CCashFlowPgDlg(IConfigDataManager& configuration, IAccountsListCtrl& accounts,
                               ITransListCtrl& transactions, unsigned duration)
    : CListBasedPage(res::IDD_CASHFLOW_PAGE), m_list(configuration, accounts, transactions, duration)
{
    SetList(m_list);
    OnClicked(res::IDC_PREVIOUS_DAY, [this] { MoveStartDate(-1); });
    OnClicked(res::IDC_NEXT_DAY, [this] { MoveStartDate(1); });
    OnClicked(res::IDC_STARTING_DATE, [this] { m_list.EditStartDate(); });
}

void CCashFlowPgDlg::DoDataExchange(win::CDataExchange* dx)
{
    CListBasedPage::DoDataExchange(dx);
    win::DDX_Control(dx, res::IDC_DURATION_SPIN, m_durationSpin);
    win::DDX_Control(dx, res::IDC_CASHFLOW_LIST, m_list);
}

bool CCashFlowPgDlg::OnInitDialog()
{
    const bool result = CListBasedPage::OnInitDialog();
    // The range message carries the upper bound in its low half, the lower in its high.
    m_durationSpin.SendSetRange(win::MakeLong(kMaximumDuration, kMinimumDuration));
    if (win::CWnd* buddy = GetDlgItem(res::IDC_DURATION))
        m_durationSpin.SetBuddy(*buddy);
    m_durationSpin.SetPos(static_cast<int>(m_list.GetDuration()));
    m_durationSpin.SetDeltaPosHandler([this](int position, int delta) { return OnDurationDeltaPos(position, delta); });
    return result;
}

void CCashFlowPgDlg::MoveStartDate(int days)
{
    // Whole days of 86400 seconds, brought back to 10:00 so that a daylight-saving change
    // on the way does not move the date off its day.
    m_list.SetStartDate(AddDays(m_list.GetStartDate(), days));
}

int CCashFlowPgDlg::OnDurationDeltaPos(int position, int delta)
{
    const long long proposed = static_cast<long long>(position) + delta;
    if (proposed < kMinimumDuration || proposed > kMaximumDuration)
        return 1;
    m_list.SetDuration(static_cast<unsigned>(proposed));
    return 0;
}

void CCashFlowPgDlg::Save(CXmlDocument& document)
{
    DataFile::WriteCashflow(document, m_list.GetStartDate(), m_list.GetDuration());
}

void CCashFlowPgDlg::Load(CXmlDocument& document, DataFile::Notes* notes)
{
    // A StartDate that is missing, empty or too short to be a date leaves the start date
    // as it is.
    const std::optional<DataFile::Cashflow> cashflow = DataFile::ReadCashflow(document, notes);
    if (cashflow && cashflow->startDate)
        m_list.SetStartDate(*cashflow->startDate);
}
