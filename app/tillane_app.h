#pragma once

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
