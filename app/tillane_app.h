#pragma once

#include "app/data_file_store.h"
#include "app/tillane_dlg.h"
#include "app/version.h"
#include "ui/platform/types.h"
#include "ui/platform/win_app.h"

#include <optional>
#include <string>

class IConfigDataManager;

// The installed desktop entry, tillane.desktop; its StartupWMClass is the class of the
// windows, the application name.
inline constexpr const char* kDesktopEntry = "tillane";

// The application: registers the settings key, reads the saved window rectangle, builds
// the main window and runs the message loop until that window has been destroyed. The
// whole run of the program happens inside InitInstance.
class CTillaneApp : public win::CWinApp {
public:
    CTillaneApp() { SetDesktopEntry(kDesktopEntry); }
    ~CTillaneApp() override;

    CTillaneDlg* GetMainDialog() const { return m_mainWindow; }

protected:
    bool InitInstance() override;
    // Says that the window needs a display and which modes do without one; status 1.
    int OnNoDisplay() override;

private:
    CTillaneDlg* m_mainWindow = nullptr;
};

// The program's name, used for the data file's and the settings' names.
inline constexpr const char* kApplicationName = "Tillane";
// The maker's name: the settings key.
inline constexpr const char* kSettingsKey = "Ardenholt";

// The saved place and size of the main window: section "Frame", keys Left, Top, Width and
// Height (0 when missing). Empty when the width or the height is not positive.
win::CRect ReadFrameRect(IConfigDataManager& settings);

// A data file that exists but cannot be loaded (unreadable, not well formed, not a
// Tillane document) is kept under another name before anything is written to its own,
// and the user is told where. Says what the window is to do with the file. The file is
// read once, through the lock's hold on it when given; `reading` receives that reading
// (as "missing" when there was none to load: a link the user chose not to follow, a file
// gone before it could be kept), which is what the window is to load.
CTillaneDlg::DataFileState SafeguardDataFile(const std::string& path, DataFileReading* reading = nullptr,
                                             const app::DataFileLock* lock = nullptr);

// Start-up's checks of the data file, with the lock taken on it: nothing when another copy
// of Tillane holds the file or the path names something other than a regular file (a
// folder, a pipe; the user has been told, and it is not touched, not even read); otherwise, once the temporary files of saves cut short are removed,
// SafeguardDataFile's answer, reading the file through the lock.
std::optional<CTillaneDlg::DataFileState> CheckDataFileAtStartUp(const std::string& path,
                                                                 const app::DataFileLock& lock,
                                                                 DataFileReading* reading = nullptr);
