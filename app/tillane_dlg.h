#pragma once

#include "app/message_box_prompt.h"
#include "model/cashflow_interfaces.h"
#include "storage/configuration.h"
#include "storage/data_file.h"
#include "storage/data_file_session.h"
#include "ui/accounts_page_dlg.h"
#include "ui/cash_flow_pg_dlg.h"
#include "ui/chart_ctrl.h"
#include "ui/edit_history.h"
#include "ui/platform/property_sheet.h"
#include "ui/platform/save_file_dialog.h"
#include "ui/trans_page_dlg.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class IConfigDataManager;

namespace app {
class IConfiguration;
}

using app::DataFileReading;
using app::ReadDataFileOnce;

// Seeds the configuration from such a reading: its projection length, when it is a data
// file (a file that names none has the default).
class DataFileReadingSeed : public app::Configuration::IStorage {
public:
    explicit DataFileReadingSeed(const DataFileReading& reading) : m_reading(reading) {}
    void Load(app::IConfiguration& configuration) override;
    // Not kept: the text has been parsed.
    std::string ReadDataFile() override { return {}; }

private:
    const DataFileReading& m_reading;
};

// A property sheet that tries its accelerator table (Ctrl+S) on every key first.
class CTillaneDlgBase : public win::CPropertySheet {
public:
    CTillaneDlgBase(int captionId, win::CWnd* parent, int selectPage);
};

// The main window: the three pages, the chart below them, the menu commands and keys,
// the layout on every resize, the saved place and size, and the data file, which it
// loads when it opens and writes on Save and when it closes.
class CTillaneDlg : public CTillaneDlgBase {
public:
    // How the window may touch the user's files.
    enum class Access {
        // The desktop program: saves the data file and remembers its place and size.
        ReadWrite,
        // Shows what the data file holds and never writes anything: no data file, no
        // settings, no About box (the command line's forecast and chart).
        ReadOnly,
    };
    // What start-up found of the data file.
    using DataFileState = app::DataFileState;

    CTillaneDlg(IConfigDataManager& settings, app::IConfiguration& configuration, const win::CRect& frame,
                Access access = Access::ReadWrite, DataFileState dataFile = DataFileState::Load);
    ~CTillaneDlg() override;

    // Loading and saving.
    // sampleWhenMissing: a data file that is not there gives the sample data (at start),
    // else nothing.
    void LoadData(bool sampleWhenMissing = true);
    // What the window loads when it opens, instead of reading the data file itself: the
    // file as start-up read it (before the window is created).
    void LoadWhenOpening(DataFileReading reading) { m_reading = std::move(reading); }
    void AddSampleData();
    // Writes the data file now; says why when it could not.
    app::FileOutcome SaveData();
    // The bytes SaveData writes for the data as it is now.
    std::string DataFileText();
    // The data file this window loads and saves: GetDataFilePath, unless another file
    // has been set (before the window is created).
    std::string DataFilePath() const;
    void SetDataFilePath(std::string path) { m_dataFilePath = std::move(path); }
    // The session start-up opened on the data file (with its lock), which this window
    // goes on with (before the window is created).
    void UseSession(std::unique_ptr<app::DataFileSession> session);
    // Whether the data file's text was not loaded (unreadable, not a data file).
    bool DataFileUnreadable() { return Session().Unreadable(); }
    // How a save would differ from the data file as loaded, when that was found out: how
    // many differences, and the first of them in words.
    const DataFile::Notes& LoadNotes() { return Session().LoadNotes(); }
    std::size_t LoadDifferences() { return Session().LoadDifferences(); }

    // Commands that act on the selection of the active page.
    bool CanEditSelection();
    bool CanDeleteSelection();
    virtual void UpdateCommandState(win::CMenu& menu, int id);

    // Layout, in the sheet's client coordinates.
    int GetMargin();
    win::CRect GetPageAreaRect();
    void FitPage(win::CPropertyPage& page);
    win::CRect GetChartRect();
    // The smallest client area at which the Cash Flow page shows all its controls (its
    // list with the heading and a few rows) and the chart keeps kMinimumChartHeight.
    win::CSize GetMinimumClientSize();
    static constexpr int kMinimumChartHeight = 40;

    CAccountsPageDlg& AccountsPage() { return m_accountsPage; }
    CTransPageDlg& TransactionsPage() { return m_transPage; }
    CCashFlowPgDlg& CashFlowPage() { return m_cashFlowPage; }
    CChartCtrl& Chart() { return m_chart; }
    // Every change the user makes goes through it.
    CEditHistory& History() { return m_history; }
    // The Cash Flow list's context menu, as last shown (its items enabled as they were).
    win::CMenu& RowMenu() { return m_rowMenu; }    // View > Include What-If Transactions: the projection with the tentative transactions
    // or without them; the desktop program remembers the choice.
    void SetWhatIfIncluded(bool include);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnInitMenuPopup(win::CMenu& popup, int index) override;
    bool PreTranslateKeyDown(int virtualKey, bool control, bool shift, bool alt) override;
    void OnSize(int type, int cx, int cy) override;
    void OnMove(int x, int y) override;
    bool OnClose() override;
    void OnDestroy() override;

private:
    // The cash-flow list's interface for the pages built before it: a reference to it
    // that is set once the Cash Flow page exists.
    class CashflowReference : public ICashflowListCtrl {
    public:
        ICashflowListCtrl* target = nullptr;
        int InsertEntry(TimeValue date, const std::string& description, std::int32_t amount,
                        TransactionData* record, bool recalculate) override;
        TimeValue GetEndDate() const override;
        int GetCount() override;
        std::int64_t GetBalance(int row) override;
        TimeValue GetDate(int row) override;
        TransactionData* GetTransaction(int row) override;
        void Recalculate(int first) override;
        void DeleteEntry(int row) override;
        bool InsertEntries(const std::vector<TimeValue>& dates, const std::string& description,
                           std::int32_t amount, TransactionData* record) override;
        bool InsertEntryDays(const std::vector<std::int32_t>& days, const std::string& description,
                             std::int32_t amount, TransactionData* record) override;
        bool InsertChangedEntries(const std::vector<ListedOccurrence>& changed, const std::string& description,
                                  TransactionData* record) override;
        int DeleteEntriesOf(const TransactionData* record) override;
        void ProjectAllOnNextMove() override;
        const BusinessCalendar& GetBusinessCalendar() const override;
        DayRange DaysKept() const override;
    };

    void EditSelected();
    void DeleteSelected();
    // Skip, Change and Restore This Payment on the selected Cash Flow row.
    void PaymentCommand(int id);
    bool CanPaymentCommand(int id);
    // The Cash Flow row's context menu at a point of the screen.
    void ShowRowMenu(const win::CPoint& screen);
    void AddAccount();
    void AddTransaction();
    // Edit > Business Days...: the weekend days and holidays, one undo step when changed.
    void EditBusinessDays();
    // File or Edit > Update Balances...: the accounts' balances, the start date and the
    // late payments moved to it, as one undo step.
    void UpdateBalances();
    // What to do when another program has changed the data file since it was loaded or
    // last saved.
    using DiskChoice = app::DataFileSession::ChangeChoice;
    DiskChoice AskAboutChangesOnDisk(bool closing);
    // Empties the window and loads the data file as it is now, forgetting the undo steps.
    void ReloadFromDisk();
    void SaveNow();
    void SaveAndExit();
    // The forecast and the chart taken out of the window: files, printer, preview.
    void ExportForecast();
    void ExportChart();
    void PrintReport();
    void PreviewReport();
    // Asks where to write an export, starting in the folder used last; remembers the folder.
    std::optional<std::string> AskExportPath(win::SaveFileRequest& request);
    // Writes an output file (never onto the data file); says why when it could not. what:
    // "forecast", "chart", "report"; no bytes: it could not be drawn.
    bool WriteOutput(const std::string& what, const std::string& path, std::string_view bytes);
    // Saves before the window closes; false when the user chose to keep it open.
    bool SaveForClosing();
    // Whether closing has nothing to write: the data is as it was and no save could
    // change that for the better.
    bool NothingToSave();
    void ReportSaveFailure(const app::FileOutcome& outcome, bool closing, bool* closeAnyway);
    // The data file's session, made on first use with the data file's path.
    app::DataFileSession& Session();
    // Once per load, the first time the projection reaches its row limit: after the
    // event at hand (a load, an edit), not in the middle of it.
    void NoticeRowLimit();
    void FitCashFlowColumns();
    // Loads what a reading of the data file found.
    void LoadReading(DataFileReading reading, bool sampleWhenMissing);
    void LoadParsed(DataFile::LoadResult loaded);
    void ShowRowLimitNotice();
    bool Writable() const { return m_access == Access::ReadWrite; }

    CashflowReference m_cashflowReference;
    CAccountsPageDlg m_accountsPage;
    CTransPageDlg m_transPage;
    CCashFlowPgDlg m_cashFlowPage;
    CChartCtrl m_chart;
    CEditHistory m_history;
    win::CMenu m_rowMenu;
    int m_icon;
    win::CRect m_frame;
    IConfigDataManager& m_settings;
    Access m_access;
    DataFileState m_dataFileState;
    // Empty: GetDataFilePath.
    std::string m_dataFilePath;
    CMessageBoxPrompt m_prompt {this};
    std::unique_ptr<app::DataFileSession> m_session;
    bool m_savedForClosing = false;
    // The user has been told since the last load that the projection is cut short.
    bool m_toldRowLimit = false;
    // Read already, for LoadData to load.
    std::optional<DataFileReading> m_reading;
};
