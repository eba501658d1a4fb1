#pragma once

#include "app/data_file_store.h"
#include "model/cashflow_interfaces.h"
#include "storage/configuration.h"
#include "storage/data_file.h"
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

// The data file read and parsed once: what start-up checks, what seeds the configuration
// and what the window loads all come from the same bytes.
struct DataFileReading {
    DataFile::LoadResult loaded;
    // The file the bytes came from (nothing exists when it was missing): what a later save
    // compares with to tell whether another program has changed the file since.
    app::FileIdentity identity;
};

struct DataFileReadOptions {
    // Find out how a save would differ from what the file holds.
    bool findDifferences = true;
    // Read through the lock's hold on the file, when it has one: the bytes are those of
    // the file locked.
    const app::DataFileLock* lock = nullptr;
};

DataFileReading ReadDataFileOnce(const std::string& path, const DataFileReadOptions& options = {});

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
    enum class DataFileState {
        // Load it as usual (the sample data when there is none).
        Load,
        // It could not be read and has been kept under another name: start empty.
        SetAside,
        // It could not be read and could not be kept safe: start empty, never save.
        Untouchable,
        // Load it, but a save would not write what it holds (values the loader mended,
        // content it passes over): keep a copy of it before the first save, and tell the
        // user where and what differs.
        LoadKeepingOriginal,
        // It is a link to a file that does not exist, and the user chose not to create
        // it: start empty, never save (the link stays a link).
        LinkTargetMissing,
    };

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
    // The lock start-up holds on the data file, moved on to each newly saved file.
    void SetDataFileLock(app::DataFileLock* lock) { m_dataFileLock = lock; }
    // Whether the data file's text was loaded (false: missing, unreadable, not a data file).
    bool DataFileUnreadable() const { return m_dataFileUnreadable; }
    // How a save would differ from the data file as loaded, when that was found out: how
    // many differences, and the first of them in words.
    const DataFile::Notes& LoadNotes() const { return m_loadNotes; }
    std::size_t LoadDifferences() const { return m_loadDifferences; }

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
        int DeleteEntriesOf(const TransactionData* record) override;
        void ProjectAllOnNextMove() override;
    };

    void EditSelected();
    void DeleteSelected();
    void AddAccount();
    void AddTransaction();
    // What to do when another program has changed the data file since it was loaded or
    // last saved.
    enum class DiskChoice {
        Save,    // no change, or the user keeps the window's data (theirs is kept aside)
        Theirs,  // the user keeps the file on disk (loaded again unless closing)
        Cancel,  // nothing is written
    };
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
    bool NothingToSave() const;
    void ReportSaveFailure(const app::FileOutcome& outcome, bool closing, bool* closeAnyway);
    // The message that the data file, which a save would change, has been kept as `copy`.
    std::string OriginalKeptText(const std::string& path, const std::string& copy) const;
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
    int m_icon;
    win::CRect m_frame;
    IConfigDataManager& m_settings;
    Access m_access;
    DataFileState m_dataFileState;
    // Empty: GetDataFilePath.
    std::string m_dataFilePath;
    bool m_dataFileUnreadable = false;
    // The data file as loaded or last saved.
    app::FileIdentity m_onDisk;
    bool m_savedForClosing = false;
    // The user kept another program's deletion of the data file.
    bool m_keptNoFile = false;
    app::DataFileLock* m_dataFileLock = nullptr; // not owned
    bool m_toldBackupFailure = false;
    DataFile::Notes m_loadNotes;
    std::size_t m_loadDifferences = 0;
    // The user has been told since the last load that the projection is cut short.
    bool m_toldRowLimit = false;
    // Read already, for LoadData to load.
    std::optional<DataFileReading> m_reading;
};
