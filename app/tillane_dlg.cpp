#include "app/tillane_dlg.h"

#include "app/about_dlg.h"
#include "app/forecast_report.h"
#include "app/forecast_rows.h"
#include "app/output_file.h"
#include "model/dates.h"
#include "res/resource.h"
#include "storage/config_data_manager.h"
#include "storage/configuration.h"
#include "storage/data_file.h"
#include "storage/file_locations.h"
#include "storage/text_file.h"
#include "storage/xml_document.h"
#include "ui/account_edit_dlg.h"
#include "ui/business_days_dlg.h"
#include "ui/chart_image.h"
#include "ui/platform/api.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/modal_runner.h"
#include "ui/platform/resources.h"
#include "ui/trans_edit_dlg.h"
#include "ui/update_balances_dlg.h"

#include <QBuffer>
#include <QPrinter>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace {

// The chart's window: a child button without caption, visible, a tab stop and owner-drawn.
constexpr std::uint32_t kChartStyle = 0x5001000Bu;

constexpr const char* kFrameSection = "Frame";
constexpr const char* kExportSection = "Export";
// The View menu's choices: WhatIf=0 leaves the what-if transactions out.
constexpr const char* kViewSection = "View";
constexpr const char* kWhatIfKey = "WhatIf";

// MM-DD-YYYY: a date as it may stand in a file name.
std::string FileNameDate(TimeValue date)
{
    std::string text = FormatDate(date);
    for (char& c : text)
        if (c == '/')
            c = '-';
    return text;
}

std::string Replace(std::string text, const std::string& mark, const std::string& value)
{
    if (const auto at = text.find(mark); at != std::string::npos)
        text.replace(at, mark.size(), value);
    return text;
}

// A menu shows "&&" as one ampersand; a single one would mark a mnemonic.
std::string MenuText(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '&')
            escaped += '&';
        escaped += c;
    }
    return escaped;
}

// 10000000 as 10,000,000.
std::string GroupedDigits(std::size_t value)
{
    std::string digits = std::to_string(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

} // namespace

CTillaneDlgBase::CTillaneDlgBase(int captionId, win::CWnd* parent, int selectPage)
    : win::CPropertySheet(captionId, parent, selectPage)
{
    LoadAccelerators(res::IDR_ACCELERATORS);
}

CTillaneDlg::CTillaneDlg(IConfigDataManager& settings, app::IConfiguration& configuration, const win::CRect& frame,
                         Access access, DataFileState dataFile)
    : CTillaneDlgBase(res::IDS_APP_TITLE, nullptr, 0)
    , m_accountsPage(settings, m_cashflowReference)
    , m_transPage(settings, m_cashflowReference)
    , m_cashFlowPage(settings, m_accountsPage.GetAccountsList(), m_transPage.GetListCtrl(),
                     static_cast<unsigned>(configuration.GetInt("CashFlow", "Duration")))
    , m_chart(m_cashFlowPage.CashFlowList())
    , m_history(m_accountsPage.GetAccountsList(), m_transPage.GetListCtrl(), m_cashFlowPage)
    , m_icon(res::IDR_MAINFRAME)
    , m_frame(frame)
    , m_settings(settings)
    , m_access(access)
    , m_dataFileState(dataFile)
{
    m_cashflowReference.target = &m_cashFlowPage.CashFlowList();
    m_cashFlowPage.CashFlowList().SetRedrawHandler([this] { m_chart.Redraw(); });
    m_accountsPage.GetAccountsList().SetEditHistory(&m_history);
    m_transPage.GetListCtrl().SetEditHistory(&m_history);
    m_cashFlowPage.SetEditHistory(&m_history);
    // A click on a day of the chart shows that day's row on the Cash Flow page.
    m_chart.SetRowClickHandler([this](int row) {
        SetActivePage(0);
        m_cashFlowPage.CashFlowList().SelectAndShow(row);
    });
    m_cashFlowPage.CashFlowList().SetCappedHandler([this] { NoticeRowLimit(); });
    m_cashFlowPage.CashFlowList().SetContextMenuHandler([this](int row, const win::CPoint& screen) {
        if (row >= 0)
            ShowRowMenu(screen);
    });
    // The desktop program shows what-if transactions or not as the user last chose; the
    // command line includes them unless asked otherwise.
    if (Writable())
        m_cashFlowPage.CashFlowList().SetIncludeTentative(m_settings.ReadInt(kViewSection, kWhatIfKey, 1) != 0);
    AddPage(&m_cashFlowPage);
    AddPage(&m_accountsPage);
    AddPage(&m_transPage);
}

// A first run has no saved size: the window grows until the Cash Flow list shows every
// column at its default width (the amount columns are as wide as the list font needs).
void CTillaneDlg::FitCashFlowColumns()
{
    CCashFlowListCtrl& list = m_cashFlowPage.CashFlowList();
    if (!list.HasWindow())
        return;
    int columns = 0;
    for (int column = 0; column < list.GetColumnCount(); ++column)
        columns += list.GetColumnWidth(column);
    const int scrollBarAndFrame = 24;
    const int missing = columns + scrollBarAndFrame - list.GetClientRect().Width();
    if (missing <= 0)
        return;
    const win::CRect window = GetWindowRect();
    MoveWindow(window.left, window.top, window.Width() + missing, window.Height(), true);
}

CTillaneDlg::~CTillaneDlg()
{
    // The pages go before the sheet's window would: close it while they still exist.
    if (HasWindow())
        DestroyWindow();
}

bool CTillaneDlg::OnInitDialog()
{
    CTillaneDlgBase::OnInitDialog();
    if (!m_frame.IsRectEmpty())
        MoveWindow(m_frame.left, m_frame.top, m_frame.Width(), m_frame.Height(), true);
    for (int page = 0; page < GetPageCount(); ++page)
        SetActivePage(page);
    SetActivePage(0);
    if (m_frame.IsRectEmpty())
        FitCashFlowColumns();
    SetIcon(m_icon);
    CreateChildControl(m_chart, win::ControlKind::Button, "", kChartStyle, GetChartRect(), res::IDC_CHART);
    LoadData();
    if (Writable())
        PostCommand(res::ID_APP_ABOUT);
    return true;
}

// Loading and saving.

std::string CTillaneDlg::DataFilePath() const
{
    return m_dataFilePath.empty() ? GetDataFilePath() : m_dataFilePath;
}

void CTillaneDlg::UseSession(std::unique_ptr<app::DataFileSession> session)
{
    m_session = std::move(session);
    m_session->SetPrompt(m_prompt);
}

app::DataFileSession& CTillaneDlg::Session()
{
    if (!m_session)
        m_session = std::make_unique<app::DataFileSession>(DataFilePath(), m_prompt, m_dataFileState);
    return *m_session;
}

void DataFileReadingSeed::Load(app::IConfiguration& configuration)
{
    if (m_reading.loaded.status == DataFile::Status::Loaded)
        configuration.SetInt("CashFlow", "Duration", static_cast<int>(m_reading.loaded.contents.duration));
}

namespace {

BusinessCalendar BusinessDaysOfFile(DataFile::Contents& contents)
{
    // The window keeps the holidays in date order, as it saves them.
    std::stable_sort(contents.holidays.begin(), contents.holidays.end(),
                     [](const Holiday& a, const Holiday& b) { return a.date < b.date; });
    return BusinessCalendar(contents.weekendDays, std::move(contents.holidays));
}

} // namespace

void CTillaneDlg::LoadData(bool sampleWhenMissing)
{
    const DataFileState state = Session().State();
    if (state != DataFileState::Load && state != DataFileState::LoadKeepingOriginal)
        return;
    std::optional<DataFileReading> reading = std::exchange(m_reading, std::nullopt);
    LoadReading(reading ? std::move(*reading) : Session().TakeReading(), sampleWhenMissing);
}

void CTillaneDlg::LoadReading(DataFileReading reading, bool sampleWhenMissing)
{
    m_toldRowLimit = false;
    Session().Loaded(reading);
    switch (reading.loaded.status) {
    case DataFile::Status::Missing:
        if (sampleWhenMissing)
            AddSampleData();
        return;
    case DataFile::Status::Unreadable:
        return;
    default:
        LoadParsed(std::move(reading.loaded));
        return;
    }
}

void CTillaneDlg::LoadParsed(DataFile::LoadResult loaded)
{
    // An empty file holds nothing to load and nothing to lose; the session knows the rest.
    if (loaded.status != DataFile::Status::Loaded)
        return;
    DataFile::Contents& contents = loaded.contents;
    // A file without a start date leaves the start date as it is. Duration is the one the
    // configuration was seeded with at start-up, but a file loaded later (another
    // program's version, kept by the user) brings its own.
    if (contents.startDate)
        m_cashFlowPage.CashFlowList().SetStartDate(*contents.startDate);
    if (contents.duration != m_cashFlowPage.CashFlowList().GetDuration())
        m_cashFlowPage.ApplyDuration(contents.duration);
    m_cashFlowPage.SetWarnBelow(contents.warnBelow);
    // The accounts go into their list at once, and the projection's total is worked out once.
    std::vector<AccountData> accounts;
    accounts.reserve(contents.accounts.size());
    for (DataFile::Account& account : contents.accounts)
        accounts.push_back(AccountData{std::move(account.description), account.balance});
    m_accountsPage.GetAccountsList().AddAccounts(std::move(accounts));
    // The transactions go into their list first and are projected once, in the list's
    // order; the last one added is the one selected.
    CTransListCtrl& transactions = m_transPage.GetListCtrl();
    std::vector<std::unique_ptr<TransactionData>> records;
    records.reserve(contents.transactions.size());
    for (DataFile::Transaction& read : contents.transactions) {
        records.push_back(std::make_unique<TransactionData>(read.date, std::move(read.description), read.amount,
                                                            std::move(read.rule)));
        records.back()->tentative = read.tentative;
        records.back()->exceptions = std::move(read.exceptions);
    }
    const bool any = !records.empty();
    transactions.AddTransactions(std::move(records), true);
    m_cashFlowPage.CashFlowList().SetBusinessCalendar(BusinessDaysOfFile(contents));
    if (any)
        m_cashFlowPage.CashFlowList().Rebuild();
}

void CTillaneDlg::EditBusinessDays()
{
    CCashFlowListCtrl& list = m_cashFlowPage.CashFlowList();
    CBusinessDaysDlg dialog(list.GetBusinessCalendar(), SplitDate(list.GetStartDate()).year,
                            SplitDate(AddDays(list.GetEndDate(), -1)).year, this);
    if (dialog.DoModal() != win::IDOK)
        return;
    const BusinessCalendar& now = list.GetBusinessCalendar();
    BusinessCalendar chosen = dialog.GetCalendar();
    if (chosen.WeekendDays() != now.WeekendDays() || chosen.Holidays() != now.Holidays())
        m_history.SetBusinessCalendar(std::move(chosen));
}

void CTillaneDlg::UpdateBalances()
{
    CAccountsListCtrl& accountsList = m_accountsPage.GetAccountsList();
    std::vector<CUpdateBalancesDlg::Account> accounts;
    for (int row = 0; row < accountsList.GetItemCount(); ++row)
        accounts.push_back({accountsList.GetItemText(row, 0), accountsList.GetBalance(row)});
    CTransListCtrl& transactionsList = m_transPage.GetListCtrl();
    std::vector<const TransactionData*> transactions;
    for (int row = 0; row < transactionsList.GetItemCount(); ++row)
        transactions.push_back(transactionsList.GetRecord(row));
    CCashFlowListCtrl& projection = m_cashFlowPage.CashFlowList();
    const TimeValue start = projection.GetStartDate();
    auto expected = [&](TimeValue date) {
        std::vector<CUpdateBalancesDlg::Shown> shown;
        for (ExpectedPayment& payment : ExpectedPayments(transactions, projection.GetBusinessCalendar(),
                                                         projection.IncludesTentative(), start, date))
            shown.push_back({transactions[payment.transaction]->description, std::move(payment)});
        return shown;
    };
    CUpdateBalancesDlg dialog(std::move(accounts), start, Today(), expected, this);
    if (dialog.DoModal() != win::IDOK)
        return;
    std::vector<CEditHistory::TransactionChange> changes;
    for (auto& [index, record] : MoveLatePayments(transactions, dialog.GetNotYetPaid(), dialog.GetDate()))
        changes.push_back({static_cast<int>(index), std::move(record)});
    m_history.UpdateBalances(dialog.GetBalances(), dialog.GetDate(), std::move(changes));
}

void CTillaneDlg::AddSampleData()
{
    DataFile::Contents sample = DataFile::SampleContents(Today());
    CAccountsListCtrl& accounts = m_accountsPage.GetAccountsList();
    for (const DataFile::Account& account : sample.accounts)
        accounts.AddAccount(account.description, account.balance, CAccountsListCtrl::Selection::Leave);
    CTransListCtrl& transactions = m_transPage.GetListCtrl();
    for (DataFile::Transaction& transaction : sample.transactions)
        transactions.AddTransaction(transaction.date, transaction.description, transaction.amount,
                                    std::move(transaction.rule), true);
}

app::FileOutcome CTillaneDlg::SaveData()
{
    if (!Writable())
        return app::FileOutcome::Failed(win::LoadString(res::IDS_SAVE_NOT_IN_THIS_WINDOW));
    return Session().Save(DataFileText());
}

CTillaneDlg::DiskChoice CTillaneDlg::AskAboutChangesOnDisk(bool closing)
{
    if (!Writable())
        return DiskChoice::Save;
    const DiskChoice choice = Session().CheckForChanges(closing);
    if (choice == DiskChoice::Theirs && !closing)
        ReloadFromDisk();
    return choice;
}

void CTillaneDlg::ReloadFromDisk()
{
    CTransListCtrl& transactions = m_transPage.GetListCtrl();
    for (int row = transactions.GetItemCount(); row-- > 0;)
        transactions.DeleteItemAt(row);
    CAccountsListCtrl& accounts = m_accountsPage.GetAccountsList();
    for (int row = accounts.GetItemCount(); row-- > 0;)
        accounts.DeleteItemAt(row);
    m_history.Clear();
    m_reading = Session().ReadTheirs();
    LoadData(false);
}

std::string CTillaneDlg::DataFileText()
{
    CXmlDocument document;
    DataFile::StartDocument(document);
    m_cashFlowPage.Save(document);
    m_accountsPage.Save(document);
    m_transPage.Save(document);
    DataFile::WriteHolidays(document, m_cashFlowPage.CashFlowList().GetBusinessCalendar().Holidays());
    return TextFile::ToTextMode(document.GetDocument());
}

void CTillaneDlg::NoticeRowLimit()
{
    // The command line says so itself, and shows no message boxes.
    if (!Writable() || m_toldRowLimit || !HasWindow())
        return;
    m_toldRowLimit = true;
    PostCommand(res::ID_ROW_LIMIT_NOTICE);
}

void CTillaneDlg::ShowRowLimitNotice()
{
    const std::string limit = GroupedDigits(m_cashFlowPage.CashFlowList().GetRowLimit());
    win::MessageBox(this, win::FormatPrompt(win::LoadString(res::IDS_ROW_LIMIT_REACHED), limit),
                    win::LoadString(res::IDS_APP_TITLE), win::MB_OK | win::MB_ICONEXCLAMATION);
}

void CTillaneDlg::ReportSaveFailure(const app::FileOutcome& outcome, bool closing, bool* closeAnyway)
{
    const std::string text = FillIn(win::LoadString(closing ? res::IDS_SAVE_FAILED_CLOSE : res::IDS_SAVE_FAILED),
                                         {DataFilePath(), outcome.reason});
    if (!closing) {
        win::MessageBox(this, text, win::LoadString(res::IDS_APP_TITLE), win::MB_OK | win::MB_ICONEXCLAMATION);
        return;
    }
    *closeAnyway = win::MessageBox(this, text, win::LoadString(res::IDS_APP_TITLE),
                                   win::MB_YESNO | win::MB_ICONEXCLAMATION | win::MB_DEFBUTTON2) == win::IDYES;
}

void CTillaneDlg::SaveNow()
{
    if (AskAboutChangesOnDisk(false) != DiskChoice::Save)
        return;
    const app::FileOutcome outcome = SaveData();
    if (!outcome.ok)
        ReportSaveFailure(outcome, false, nullptr);
}

bool CTillaneDlg::NothingToSave()
{
    // No file was the version the user kept, or the window cannot save: nothing to lose
    // until a change.
    return Session().NothingToSave(m_history.CanUndo());
}

bool CTillaneDlg::SaveForClosing()
{
    if (!Writable() || m_savedForClosing || NothingToSave())
        return true;
    switch (AskAboutChangesOnDisk(true)) {
    case DiskChoice::Cancel:
        return false;
    case DiskChoice::Theirs:
        m_savedForClosing = true;
        return true;
    case DiskChoice::Save:
        break;
    }
    const app::FileOutcome outcome = SaveData();
    if (!outcome.ok) {
        bool closeAnyway = false;
        ReportSaveFailure(outcome, true, &closeAnyway);
        if (!closeAnyway)
            return false;
    }
    m_savedForClosing = true;
    return true;
}

void CTillaneDlg::SaveAndExit()
{
    if (SaveForClosing())
        EndDialog(win::IDCANCEL);
}

bool CTillaneDlg::OnClose()
{
    return SaveForClosing();
}

void CTillaneDlg::OnDestroy()
{
    CTillaneDlgBase::OnDestroy();
    // Every way of closing ends here; when the close itself did not save (the window
    // went away without asking), save now, while the pages and their lists still exist.
    if (Writable() && !m_savedForClosing && !NothingToSave()) {
        m_savedForClosing = true;
        // The window cannot stay open: the user may only try again or let the changes go.
        for (app::FileOutcome outcome = SaveData(); !outcome.ok; outcome = SaveData()) {
            const std::string text =
                FillIn(win::LoadString(res::IDS_SAVE_AT_CLOSE_FAILED), {DataFilePath(), outcome.reason});
            if (win::MessageBox(this, text, win::LoadString(res::IDS_APP_TITLE),
                                win::MB_RETRYCANCEL | win::MB_ICONEXCLAMATION) != win::IDRETRY)
                break;
        }
    }
}

// Commands.

bool CTillaneDlg::OnCommand(int id)
{
    switch (id) {
    case res::ID_FILE_SAVE:
        SaveNow();
        return true;
    case res::ID_SAVE_AND_EXIT:
        SaveAndExit();
        return true;
    case res::ID_EDIT_ENTRY:
        EditSelected();
        return true;
    case res::ID_DELETE_ENTRY:
        DeleteSelected();
        return true;
    case res::ID_ADD_ACCOUNT:
        AddAccount();
        return true;
    case res::ID_ADD_TRANSACTION:
        AddTransaction();
        return true;
    case res::ID_EXPORT_FORECAST:
        ExportForecast();
        return true;
    case res::ID_EXPORT_CHART:
        ExportChart();
        return true;
    case res::ID_FILE_PRINT:
        PrintReport();
        return true;
    case res::ID_FILE_PRINT_PREVIEW:
        PreviewReport();
        return true;
    case res::ID_EDIT_UNDO:
        m_history.Undo();
        return true;
    case res::ID_EDIT_REDO:
        m_history.Redo();
        return true;
    case res::ID_ROW_LIMIT_NOTICE:
        ShowRowLimitNotice();
        return true;
    case res::ID_BUSINESS_DAYS:
        EditBusinessDays();
        return true;
    case res::ID_UPDATE_BALANCES:
        UpdateBalances();
        return true;
    case res::ID_SKIP_PAYMENT:
    case res::ID_CHANGE_PAYMENT:
    case res::ID_RESTORE_PAYMENT:
        PaymentCommand(id);
        return true;
    case res::ID_VIEW_WHAT_IF:
        SetWhatIfIncluded(!m_cashFlowPage.CashFlowList().IncludesTentative());
        return true;
    case res::ID_APP_ABOUT: {
        CAboutDlg about;
        about.DoModal();
        return true;
    }
    default:
        return CTillaneDlgBase::OnCommand(id);
    }
}

// Exports and printing.

std::optional<std::string> CTillaneDlg::AskExportPath(win::SaveFileRequest& request)
{
    std::string documents;
    try {
        documents = GetDocumentsFolder();
    } catch (const std::logic_error&) {
    }
    request.folder = m_settings.ReadString(kExportSection, "Folder", documents);
    std::optional<std::string> path = win::GetSaveFileName(this, request);
    if (path && Writable())
        m_settings.WriteString(kExportSection, "Folder", std::filesystem::path(*path).parent_path().string());
    return path;
}

bool CTillaneDlg::WriteOutput(const std::string& what, const std::string& path, std::string_view bytes)
{
    const app::FileOutcome outcome =
        bytes.empty() ? app::FileOutcome::Failed("the " + what + " could not be drawn")
                      : app::WriteOutputFile(path, bytes, DataFilePath());
    if (!outcome.ok) {
        const std::string text = Replace(
            Replace(Replace(win::LoadString(res::IDS_EXPORT_FAILED), "%1", what), "%2", path), "%3", outcome.reason);
        win::MessageBox(this, text, win::LoadString(res::IDS_APP_TITLE), win::MB_OK | win::MB_ICONEXCLAMATION);
    }
    return outcome.ok;
}

void CTillaneDlg::ExportForecast()
{
    CCashFlowListCtrl& list = m_cashFlowPage.CashFlowList();
    win::SaveFileRequest request;
    request.title = win::LoadString(res::IDS_EXPORT_FORECAST_TITLE);
    request.fileName = "Tillane forecast " + FileNameDate(list.GetStartDate()) + ".csv";
    request.filter = win::LoadString(res::IDS_CSV_FILTER);
    request.suffix = "csv";
    if (const auto path = AskExportPath(request))
        WriteOutput("forecast", *path, FormatForecastCsv(ForecastRowsOf(list)));
}

void CTillaneDlg::ExportChart()
{
    CCashFlowListCtrl& list = m_cashFlowPage.CashFlowList();
    win::SaveFileRequest request;
    request.title = win::LoadString(res::IDS_EXPORT_CHART_TITLE);
    request.fileName = "Tillane chart " + FileNameDate(list.GetStartDate()) + ".png";
    request.filter = win::LoadString(res::IDS_PNG_FILTER);
    request.suffix = "png";
    // Twice the chart's size on the screen, for a sharp picture.
    const win::CRect chart = m_chart.HasWindow() ? m_chart.GetClientRect() : GetChartRect();
    request.pictureSize = win::PictureSize {std::clamp(chart.Width() * 2, win::kMinimumPictureSide, win::kMaximumPictureSide),
                                            std::clamp(chart.Height() * 2, win::kMinimumPictureSide, win::kMaximumPictureSide)};
    const auto path = AskExportPath(request);
    if (!path)
        return;
    const QImage image = RenderChartImage(list, request.pictureSize->width, request.pictureSize->height);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        bytes.clear();
    WriteOutput("chart", *path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void CTillaneDlg::PrintReport()
{
    const CForecastReport report(*this);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Tillane forecast"));
    printer.setPageLayout(CForecastReport::DefaultPage());
    if (!win::GetModalRunner().RunPrintDialog(this, printer))
        return;
    // Printing to a file writes the PDF the way every output is written.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        const QByteArray pdf = report.Pdf(printer.pageLayout());
        WriteOutput("report", printer.outputFileName().toStdString(),
                    std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
        return;
    }
    if (!report.Paint(printer)) {
        const std::string text = Replace(Replace(win::LoadString(res::IDS_PRINT_FAILED), "%1",
                                                 printer.printerName().toStdString()),
                                         "%2", "the printer cannot be used");
        win::MessageBox(this, text, win::LoadString(res::IDS_APP_TITLE), win::MB_OK | win::MB_ICONEXCLAMATION);
    }
}

void CTillaneDlg::PreviewReport()
{
    const CForecastReport report(*this);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Tillane forecast"));
    printer.setPageLayout(CForecastReport::DefaultPage());
    win::GetModalRunner().RunPrintPreview(this, printer, [&report](QPrinter& shown) { report.Paint(shown); });
}

void CTillaneDlg::EditSelected()
{
    switch (GetActiveIndex()) {
    case 0: {
        CCashFlowListCtrl& list = m_cashFlowPage.CashFlowList();
        if (const int row = list.GetSelectedIndex(); row >= 0)
            list.EditEntry(row);
        break;
    }
    case 1: {
        CAccountsListCtrl& list = m_accountsPage.GetAccountsList();
        if (const int row = list.GetSelectedIndex(); row >= 0)
            list.EditAccount(row);
        break;
    }
    case 2: {
        CTransListCtrl& list = m_transPage.GetListCtrl();
        if (const int row = list.GetSelectedIndex(); row >= 0)
            list.EditTransaction(row);
        break;
    }
    default:
        break;
    }
}

void CTillaneDlg::PaymentCommand(int id)
{
    if (!CanPaymentCommand(id))
        return;
    CCashFlowListCtrl& list = m_cashFlowPage.CashFlowList();
    const int row = list.GetSelectedIndex();
    if (id == res::ID_SKIP_PAYMENT)
        list.SkipPayment(row);
    else if (id == res::ID_CHANGE_PAYMENT)
        list.ChangePayment(row);
    else
        list.RestorePayment(row);
}

bool CTillaneDlg::CanPaymentCommand(int id)
{
    if (GetActiveIndex() != 0)
        return false;
    CCashFlowListCtrl& list = m_cashFlowPage.CashFlowList();
    const int row = list.GetSelectedIndex();
    return id == res::ID_RESTORE_PAYMENT ? list.CanRestorePayment(row) : list.CanChangePayment(row);
}

void CTillaneDlg::ShowRowMenu(const win::CPoint& screen)
{
    if (!m_rowMenu.IsLoaded() && !m_rowMenu.LoadMenu(res::IDR_CASHFLOW_ROW_MENU))
        return;
    win::CMenu* popup = m_rowMenu.GetSubMenu(0);
    if (!popup)
        return;
    for (int position = 0; position < popup->GetMenuItemCount(); ++position)
        if (const int id = popup->GetMenuItemID(position); id > 0)
            UpdateCommandState(*popup, id);
    popup->TrackPopupMenu(screen, *this, [this](int id) { PostCommand(id); });
}

void CTillaneDlg::DeleteSelected()
{
    switch (GetActiveIndex()) {
    case 1:
        m_accountsPage.DeleteSelected();
        break;
    case 2:
        m_transPage.DeleteSelected();
        break;
    default:
        break;
    }
}

void CTillaneDlg::AddAccount()
{
    CAccountEditDlg editor(CAccountEditDlg::Mode::Add);
    if (editor.DoModal() == win::IDOK)
        m_history.AddAccount(editor.m_description, editor.m_balance);
}

void CTillaneDlg::AddTransaction()
{
    CTransEditDlg editor(CTransEditDlg::AddMode);
    const CCashFlowListCtrl& cashflow = m_cashFlowPage.CashFlowList();
    editor.SetCashFlowWindow({cashflow.GetStartDate(), cashflow.GetEndDate(), &cashflow.GetBusinessCalendar()});
    if (editor.DoModal() == win::IDOK)
        m_history.AddTransaction(editor.CreateTransaction());
}

void CTillaneDlg::SetWhatIfIncluded(bool include)
{
    m_cashFlowPage.CashFlowList().SetIncludeTentative(include);
    if (Writable())
        m_settings.WriteInt(kViewSection, kWhatIfKey, include ? 1 : 0);
}

// Command state and keys.

bool CTillaneDlg::CanEditSelection()
{
    switch (GetActiveIndex()) {
    case 0: {
        CCashFlowListCtrl& list = m_cashFlowPage.CashFlowList();
        const int row = list.GetSelectedIndex();
        return row >= 0 && list.CanEditEntry(row);
    }
    case 1:
        return m_accountsPage.GetAccountsList().GetSelectedIndex() >= 0;
    case 2:
        return m_transPage.GetListCtrl().GetSelectedIndex() >= 0;
    default:
        return false;
    }
}

bool CTillaneDlg::CanDeleteSelection()
{
    switch (GetActiveIndex()) {
    case 1:
        return m_accountsPage.GetAccountsList().GetSelectedIndex() >= 0;
    case 2:
        return m_transPage.GetListCtrl().GetSelectedIndex() >= 0;
    default:
        return false;
    }
}

void CTillaneDlg::UpdateCommandState(win::CMenu& menu, int id)
{
    if (id == res::ID_EDIT_UNDO || id == res::ID_EDIT_REDO) {
        const bool undo = id == res::ID_EDIT_UNDO;
        menu.SetMenuItemText(id, "&" + MenuText(undo ? m_history.UndoText() : m_history.RedoText()));
        menu.EnableMenuItem(id, (undo ? m_history.CanUndo() : m_history.CanRedo()) ? win::MF_ENABLED : win::MF_GRAYED);
    } else if (id == res::ID_EDIT_ENTRY)
        menu.EnableMenuItem(id, CanEditSelection() ? win::MF_ENABLED : win::MF_GRAYED);
    else if (id == res::ID_DELETE_ENTRY)
        menu.EnableMenuItem(id, CanDeleteSelection() ? win::MF_ENABLED : win::MF_GRAYED);
    else if (id == res::ID_SKIP_PAYMENT || id == res::ID_CHANGE_PAYMENT || id == res::ID_RESTORE_PAYMENT)
        menu.EnableMenuItem(id, CanPaymentCommand(id) ? win::MF_ENABLED : win::MF_GRAYED);
    else if (id == res::ID_VIEW_WHAT_IF)
        menu.CheckMenuItem(id, m_cashFlowPage.CashFlowList().IncludesTentative() ? win::MF_CHECKED : win::MF_UNCHECKED);
}

void CTillaneDlg::OnInitMenuPopup(win::CMenu& popup, int index)
{
    for (int position = 0; position < popup.GetMenuItemCount(); ++position) {
        const int id = popup.GetMenuItemID(position);
        if (id > 0)
            UpdateCommandState(popup, id);
    }
    CTillaneDlgBase::OnInitMenuPopup(popup, index);
}

bool CTillaneDlg::PreTranslateKeyDown(int virtualKey, bool control, bool shift, bool alt)
{
    // Enter, Delete and Insert post their commands and still go on to the focused control;
    // Enter on a push button (Starting Date..., Warn...) only presses that button, and on
    // the chart only picks the chosen day's row. Insert
    // adds what the page lists: an account on Current Accounts, a transaction elsewhere.
    if (virtualKey == win::VK_RETURN && !IsPushButtonFocused() && !m_chart.HasFocus() && CanEditSelection())
        PostCommand(res::ID_EDIT_ENTRY);
    else if (virtualKey == win::VK_DELETE && CanDeleteSelection())
        PostCommand(res::ID_DELETE_ENTRY);
    else if (virtualKey == win::VK_INSERT && !control && !shift && !alt)
        PostCommand(GetActiveIndex() == 1 ? res::ID_ADD_ACCOUNT : res::ID_ADD_TRANSACTION);
    return CTillaneDlgBase::PreTranslateKeyDown(virtualKey, control, shift, alt);
}

// Layout.

int CTillaneDlg::GetMargin()
{
    win::CTabCtrl* tabs = GetTabControl();
    if (!tabs)
        return 0;
    win::CRect rect = tabs->GetWindowRect();
    ScreenToClient(rect);
    return rect.left;
}

win::CRect CTillaneDlg::GetPageAreaRect()
{
    const win::CRect client = GetClientRect();
    const int margin = GetMargin();
    const int chartBand = static_cast<int>(win::MulDiv(client.Height(), 25, 100));
    return {margin, margin, client.Width() - margin, client.Height() - chartBand - margin};
}

void CTillaneDlg::FitPage(win::CPropertyPage& page)
{
    if (!page.HasWindow())
        return;
    const win::CRect pageRect = page.GetWindowRect();
    win::CRect area = GetPageAreaRect();
    ClientToScreen(area);
    const int edge = win::GetSystemMetrics(win::SM_CYEDGE);
    page.SetWindowPos(pageRect.left, pageRect.top, area.right - pageRect.left - edge - 1,
                      area.bottom - pageRect.top - edge - 1, win::SWP_NOMOVE | win::SWP_NOZORDER);
}

win::CRect CTillaneDlg::GetChartRect()
{
    const win::CRect client = GetClientRect();
    const int margin = GetMargin();
    win::CTabCtrl* tabs = GetTabControl();
    int tabBottom = 0;
    if (tabs) {
        win::CRect rect = tabs->GetWindowRect();
        ScreenToClient(rect);
        tabBottom = rect.top + tabs->GetClientRect().Height();
    }
    return {margin, tabBottom + margin, client.Width() - margin, client.Height() - margin};
}

void CTillaneDlg::OnSize(int type, int cx, int cy)
{
    CTillaneDlgBase::OnSize(type, cx, cy);
    win::CTabCtrl* tabs = GetTabControl();
    if (!tabs)
        return;
    // The saved size is the window's own: a maximized or full-screen window has the
    // screen's, and comes back to its own when restored.
    if (Writable() && type == win::SIZE_RESTORED) {
        const win::CRect window = GetWindowRect();
        m_settings.WriteInt(kFrameSection, "Width", window.Width());
        m_settings.WriteInt(kFrameSection, "Height", window.Height());
    }
    tabs->MoveWindow(GetPageAreaRect(), true);
    FitPage(m_cashFlowPage);
    FitPage(m_accountsPage);
    FitPage(m_transPage);
    if (m_chart.HasWindow())
        m_chart.MoveWindow(GetChartRect(), true);
    const win::CSize minimum = GetMinimumClientSize();
    SetMinimumClientSize(minimum.cx, minimum.cy);
}

win::CSize CTillaneDlg::GetMinimumClientSize()
{
    if (!m_cashFlowPage.HasWindow() || !m_cashFlowPage.CashFlowList().HasWindow())
        return {};
    constexpr int kListRows = 3;
    const int margin = GetMargin();
    const int edge = win::GetSystemMetrics(win::SM_CYEDGE);
    win::CRect page = m_cashFlowPage.GetWindowRect();
    ScreenToClient(page);
    win::CRect list = m_cashFlowPage.CashFlowList().GetWindowRect();
    m_cashFlowPage.ScreenToClient(list);
    constexpr int kAnywhere = 1 << 30;
    const win::CRect above = m_cashFlowPage.GetControlsRect(res::IDC_CASHFLOW_LIST, -kAnywhere, list.top);
    // Lines kept under the list (a summary) move with its bottom edge: they add their own
    // height and the gap above them, wherever they are now.
    const win::CRect below = m_cashFlowPage.GetControlsRect(res::IDC_CASHFLOW_LIST, list.top, kAnywhere);
    const int underList = below.IsRectEmpty() ? 0 : below.bottom - list.bottom;
    // They also span the list's width, whatever it is now, so their place says nothing of
    // the width they need: the summary shrinks with the list, the Warn button at its end
    // does not. The list keeps room for the button and a summary at least as wide.
    int underListWidth = 0;
    const win::CWnd* summary = m_cashFlowPage.GetDlgItem(res::IDC_SUMMARY);
    const win::CWnd* warn = m_cashFlowPage.GetDlgItem(res::IDC_WARN_BELOW);
    if (summary && warn && !below.IsRectEmpty()) {
        const win::CRect button = warn->GetWindowRect();
        underListWidth = button.Width() + (button.left - summary->GetWindowRect().right) + button.Width();
    }
    // The page sizes its list to leave its left margin on the right and below, plus an edge.
    const int pageWidth = std::max({above.right, list.left + underListWidth, list.left + 1}) + list.left + edge;
    const int pageHeight =
        std::max(above.bottom, list.top + m_cashFlowPage.CashFlowList().GetHeightForRows(kListRows) + underList) +
        list.left + edge;
    // FitPage leaves an edge and a pixel to the page area's right and bottom.
    const int width = page.left + pageWidth + edge + 1 + margin;
    const int pageBottom = page.top + pageHeight + edge + 1 + margin;
    // The chart takes a quarter of the height; the page area and the chart share the rest.
    int height = 0;
    while (height - static_cast<int>(win::MulDiv(height, 25, 100)) < pageBottom ||
           static_cast<int>(win::MulDiv(height, 25, 100)) - margin < kMinimumChartHeight)
        ++height;
    return {width, height};
}

void CTillaneDlg::OnMove(int x, int y)
{
    CTillaneDlgBase::OnMove(x, y);
    if (!Writable() || !GetTabControl() || IsZoomed())
        return;
    const win::CRect window = GetWindowRect();
    m_settings.WriteInt(kFrameSection, "Left", window.left);
    m_settings.WriteInt(kFrameSection, "Top", window.top);
}

// The cash-flow list's interface, passed on.

int CTillaneDlg::CashflowReference::InsertEntry(TimeValue date, const std::string& description, std::int32_t amount,
                                                TransactionData* record, bool recalculate)
{
    return target->InsertEntry(date, description, amount, record, recalculate);
}
TimeValue CTillaneDlg::CashflowReference::GetEndDate() const { return target->GetEndDate(); }
int CTillaneDlg::CashflowReference::GetCount() { return target->GetCount(); }
std::int64_t CTillaneDlg::CashflowReference::GetBalance(int row) { return target->GetBalance(row); }
TimeValue CTillaneDlg::CashflowReference::GetDate(int row) { return target->GetDate(row); }
TransactionData* CTillaneDlg::CashflowReference::GetTransaction(int row) { return target->GetTransaction(row); }
void CTillaneDlg::CashflowReference::Recalculate(int first) { target->Recalculate(first); }
void CTillaneDlg::CashflowReference::DeleteEntry(int row) { target->DeleteEntry(row); }
bool CTillaneDlg::CashflowReference::InsertEntries(const std::vector<TimeValue>& dates,
                                                   const std::string& description, std::int32_t amount,
                                                   TransactionData* record)
{
    return target->InsertEntries(dates, description, amount, record);
}
bool CTillaneDlg::CashflowReference::InsertEntryDays(const std::vector<std::int32_t>& days,
                                                     const std::string& description, std::int32_t amount,
                                                     TransactionData* record)
{
    return target->InsertEntryDays(days, description, amount, record);
}
bool CTillaneDlg::CashflowReference::InsertChangedEntries(const std::vector<ListedOccurrence>& changed,
                                                          const std::string& description, TransactionData* record)
{
    return target->InsertChangedEntries(changed, description, record);
}
void CTillaneDlg::CashflowReference::ProjectAllOnNextMove() { target->ProjectAllOnNextMove(); }
const BusinessCalendar& CTillaneDlg::CashflowReference::GetBusinessCalendar() const
{
    return target->GetBusinessCalendar();
}
ICashflowListCtrl::DayRange CTillaneDlg::CashflowReference::DaysKept() const
{
    return target->DaysKept();
}
int CTillaneDlg::CashflowReference::DeleteEntriesOf(const TransactionData* record)
{
    return target->DeleteEntriesOf(record);
}
