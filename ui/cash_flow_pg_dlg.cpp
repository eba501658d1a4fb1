#include "ui/cash_flow_pg_dlg.h"

#include "model/firm_forecast.h"
#include "res/resource.h"
#include "storage/data_file.h"
#include "ui/edit_history_interface.h"
#include "ui/platform/colour_contrast.h"
#include "ui/platform/control_look.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/dialog.h"
#include "ui/platform/resources.h"

#include <algorithm>

namespace {

constexpr int kMinimumDuration = 1;
constexpr int kMaximumDuration = 99;
// Text must stand out from the page by at least this contrast ratio.
constexpr double kReadableContrast = 4.5;
constexpr win::COLORREF kWarningRed = win::RGB(255, 0, 0);

// Fills %1, %2, ... of a string-table text.
std::string FillIn(std::string text, const std::vector<std::string>& values)
{
    for (std::size_t i = values.size(); i-- > 0;) {
        const std::string mark = "%" + std::to_string(i + 1);
        for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + values[i].size()))
            text.replace(at, mark.size(), values[i]);
    }
    return text;
}

// The Warn Below dialog: one whole number of dollars, negative allowed.
class CWarnBelowDlg : public win::CDialog {
public:
    explicit CWarnBelowDlg(int threshold) : CDialog(res::IDD_WARN_BELOW), m_threshold(threshold) {}
    int m_threshold;

protected:
    void DoDataExchange(win::CDataExchange* dx) override
    {
        CDialog::DoDataExchange(dx);
        win::DDX_Amount(dx, res::IDC_WARN_BELOW_AMOUNT, m_threshold);
    }
};

} // namespace

CCashFlowPgDlg::CCashFlowPgDlg(IConfigDataManager& configuration, IAccountsListCtrl& accounts,
                               ITransListCtrl& transactions, unsigned duration)
    : CListBasedPage(res::IDD_CASHFLOW_PAGE), m_list(configuration, accounts, transactions, duration)
{
    SetList(m_list);
    OnClicked(res::IDC_PREVIOUS_DAY, [this] { MoveStartDate(-1); });
    OnClicked(res::IDC_NEXT_DAY, [this] { MoveStartDate(1); });
    OnClicked(res::IDC_STARTING_DATE, [this] { m_list.EditStartDate(); });
    OnClicked(res::IDC_SUMMARY, [this] { SelectLowestRow(); });
    OnClicked(res::IDC_WARN_BELOW, [this] { EditWarnBelow(); });
    OnChanged(res::IDC_DURATION, [this] { OnDurationTyped(); });
    m_list.SetChangeHandler([this] { SummaryChanged(); });
}

void CCashFlowPgDlg::DoDataExchange(win::CDataExchange* dx)
{
    CListBasedPage::DoDataExchange(dx);
    win::DDX_Control(dx, res::IDC_DURATION_SPIN, m_durationSpin);
    win::DDX_Control(dx, res::IDC_CASHFLOW_LIST, m_list);
    win::DDX_Control(dx, res::IDC_SUMMARY, m_summaryLine);
}

bool CCashFlowPgDlg::OnInitDialog()
{
    const bool result = CListBasedPage::OnInitDialog();
    // The range message carries the upper bound in its low half, the lower in its high.
    m_durationSpin.SendSetRange(win::MakeLong(kMaximumDuration, kMinimumDuration));
    m_durationSpin.SetShowPositionOnLeave(true);
    if (auto* field = GetDlgItemAs<win::CEdit>(res::IDC_DURATION)) {
        field->LimitText(2);
        m_durationSpin.SetBuddy(*field);
    }
    m_durationSpin.SetPos(static_cast<int>(m_list.GetDuration()));
    m_durationSpin.SetDeltaPosHandler([this](int position, int delta) { return OnDurationDeltaPos(position, delta); });
    if (win::CWnd* warnButton = GetDlgItem(res::IDC_WARN_BELOW))
        win::SetToolTip(*warnButton, win::LoadString(res::IDS_WARN_BELOW_TIP));
    UpdateSummaryLine();
    return result;
}

void CCashFlowPgDlg::SetEditHistory(IEditHistory* history)
{
    m_history = history;
    m_list.SetEditHistory(history);
}

void CCashFlowPgDlg::OnSize(int type, int cx, int cy)
{
    CListBasedPage::OnSize(type, cx, cy);
    win::CWnd* warnButton = GetDlgItem(res::IDC_WARN_BELOW);
    if (!m_list.HasWindow() || !m_summaryLine.HasWindow() || !warnButton)
        return;
    win::CRect list = m_list.GetWindowRect();
    ScreenToClient(list);
    const int lineHeight = m_summaryLine.GetWindowRect().Height();
    const int buttonWidth = warnButton->GetWindowRect().Width();
    const int gap = 2;
    list.bottom -= lineHeight + gap;
    m_list.SetWindowPos(0, 0, list.Width(), std::max(list.Height(), 0), win::SWP_NOMOVE | win::SWP_NOZORDER);
    const int top = list.bottom + gap;
    m_summaryLine.MoveWindow(list.left, top, std::max(list.Width() - buttonWidth - gap, 0), lineHeight);
    warnButton->MoveWindow(list.right - buttonWidth, top, buttonWidth, lineHeight);
}

void CCashFlowPgDlg::MoveStartDate(int days)
{
    if (m_history) {
        m_history->MoveStartDate(days);
        return;
    }
    // Whole days of 86400 seconds, brought back to 10:00 so that a daylight-saving change
    // on the way does not move the date off its day.
    m_list.SetStartDate(AddDays(m_list.GetStartDate(), days));
}

int CCashFlowPgDlg::OnDurationDeltaPos(int position, int delta)
{
    const long long proposed = static_cast<long long>(position) + delta;
    if (proposed < kMinimumDuration || proposed > kMaximumDuration)
        return 1;
    if (m_history)
        m_history->SetDuration(static_cast<unsigned>(proposed));
    else
        m_list.SetDuration(static_cast<unsigned>(proposed));
    return 0;
}

void CCashFlowPgDlg::OnDurationTyped()
{
    // A number of months typed in the field counts as soon as it is one; the field's text
    // on the way ("0", nothing) changes nothing, and goes when the focus leaves.
    unsigned months = 0;
    if (!m_durationSpin.HasWindow() || !win::ParseDialogUnsigned(GetDlgItemText(res::IDC_DURATION), months) ||
        months < kMinimumDuration || months > kMaximumDuration)
        return;
    if (months != m_list.GetDuration()) {
        if (m_history)
            m_history->SetDuration(months);
        else
            m_list.SetDuration(months);
    }
    m_durationSpin.SetPos(static_cast<int>(months));
}

void CCashFlowPgDlg::ApplyDuration(unsigned months)
{
    m_list.SetDuration(months);
    if (m_durationSpin.HasWindow())
        m_durationSpin.SetPos(static_cast<int>(months));
}

void CCashFlowPgDlg::Save(CXmlDocument& document)
{
    DataFile::WriteCashflow(document, m_list.GetStartDate(), m_list.GetDuration(), m_warnBelow,
                            m_list.GetBusinessCalendar().WeekendDays());
}

void CCashFlowPgDlg::Load(CXmlDocument& document)
{
    // A StartDate that is missing, empty or too short to be a date leaves the start date
    // as it is.
    const std::optional<DataFile::Cashflow> cashflow = DataFile::ReadCashflow(document);
    if (cashflow && cashflow->startDate)
        m_list.SetStartDate(*cashflow->startDate);
    if (cashflow)
        SetWarnBelow(cashflow->warnBelow);
}

void CCashFlowPgDlg::SetWarnBelow(std::int32_t threshold)
{
    m_warnBelow = threshold;
    SummaryChanged();
}

void CCashFlowPgDlg::EditWarnBelow()
{
    CWarnBelowDlg dialog(m_warnBelow);
    if (dialog.DoModal() == win::IDOK && dialog.m_threshold != m_warnBelow)
        SetWarnBelow(dialog.m_threshold);
}

ProjectionSummary CCashFlowPgDlg::Summary()
{
    return SummarizeProjection(m_list, m_warnBelow);
}

std::optional<ProjectionSummary> CCashFlowPgDlg::FirmSummary()
{
    if (!m_list.IncludesTentative())
        return std::nullopt;
    return SummarizeFirmForecast(m_list, m_warnBelow);
}

std::string CCashFlowPgDlg::SummaryText(const ProjectionSummary& summary, const std::optional<ProjectionSummary>& firm)
{
    if (!summary.hasRows)
        return {};
    const std::string lowest = std::to_string(summary.lowestBalance);
    const std::string lowestDate = FormatDate(summary.lowestDate);
    const bool withFirm = firm && firm->hasRows;
    const std::string firmLowest = withFirm ? std::to_string(firm->lowestBalance) : std::string();
    const std::string firmDate = withFirm ? FormatDate(firm->lowestDate) : std::string();
    if (!summary.below)
        return FillIn(win::LoadString(withFirm ? res::IDS_SUMMARY_ABOVE_FIRM : res::IDS_SUMMARY_ABOVE),
                      {lowest, lowestDate, std::to_string(summary.closingBalance), FormatDate(summary.closingDate),
                       firmLowest, firmDate});
    const ProjectionSummary::Below& below = *summary.below;
    std::string text = FillIn(win::LoadString(below.days == 1 ? res::IDS_SUMMARY_BELOW_ONE_DAY : res::IDS_SUMMARY_BELOW),
                              {std::to_string(summary.threshold), FormatDate(below.from), std::to_string(below.days),
                               FormatDate(below.last), lowest, lowestDate});
    if (withFirm)
        text += FillIn(win::LoadString(res::IDS_SUMMARY_FIRM), {firmLowest, firmDate});
    return text;
}

void CCashFlowPgDlg::SelectLowestRow()
{
    const ProjectionSummary summary = Summary();
    if (summary.hasRows)
        m_list.SelectAndShow(static_cast<int>(summary.lowestRow));
}

void CCashFlowPgDlg::SummaryChanged()
{
    if (m_summaryPosted || !m_summaryLine.HasWindow())
        return;
    m_summaryPosted = true;
    win::PostCall(m_summaryLine, [this] {
        m_summaryPosted = false;
        UpdateSummaryLine();
    });
}

void CCashFlowPgDlg::UpdateSummaryLine()
{
    if (!m_summaryLine.HasWindow())
        return;
    const ProjectionSummary summary = Summary();
    const std::optional<ProjectionSummary> firm = FirmSummary();
    const std::string text = SummaryText(summary, firm);
    m_summaryLine.SetWindowText(text);
    // The whole line again, without its key mark, for a page too narrow to show it all.
    std::string plain = text;
    if (const auto mark = plain.find('&'); mark != std::string::npos)
        plain.erase(mark, 1);
    win::SetToolTip(m_summaryLine, plain + "\n" + win::LoadString(res::IDS_SUMMARY_TIP) +
                                       (firm ? "\n" + win::LoadString(res::IDS_SUMMARY_FIRM_TIP) : std::string()));
    // The page's text colour, or red made dark enough on a light page and light enough on
    // a dark one to be read.
    const win::COLORREF page = win::GetSysColor(win::COLOR_WINDOWFACE);
    const win::COLORREF colour = summary.GoesBelow() ? kWarningRed : win::GetSysColor(win::COLOR_BTNTEXT);
    win::ShowAsTextLine(m_summaryLine, win::WithContrast(colour, page, kReadableContrast));
}
