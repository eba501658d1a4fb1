#pragma once

#include "ui/platform/types.h"
#include "ui/platform/win_app.h"

#include <string>

class CTillaneDlg;
class IConfigDataManager;

// The program's application class on the framework's one.
class CMyWinApp : public win::CWinApp {
};

// The application: registers the settings key, reads the saved window rectangle, builds
// the main window and runs the message loop until that window has been destroyed. The
// whole run of the program happens inside InitInstance.
class CTillaneApp : public CMyWinApp {
public:
    CTillaneApp() = default;
    ~CTillaneApp() override;

    CTillaneDlg* GetMainDialog() const { return m_mainWindow; }

protected:
    bool InitInstance() override;

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

// The version text: the product version alone up to build 1, else "<version> Build #<n>".
std::string FormatVersionText(const std::string& productVersion, unsigned build);
// The program's own version text.
std::string VersionText();
