#pragma once

// CWinApp: the application object. Run creates the Qt application (Fusion style), calls
// InitInstance, which runs the whole program (typically creating the main window and
// calling RunMessageLoop), and returns the exit status.

#include <string>

namespace win {

class CWnd;

// For programs without a window (the command-line modes): Qt's notices and warnings (such
// as its note on a missing runtime folder) are dropped, so standard error carries only
// the program's own messages and Qt's critical errors.
void QuietPlatformNotices();

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The one application object, or nullptr.
    static CWinApp* GetApp();

    // Runs the program; returns the process exit status (0).
    int Run(int& argc, char** argv);

    // The maker's name under which settings are kept ("Ardenholt").
    void SetRegistryKey(const std::string& company);
    const std::string& GetRegistryKey() const { return m_registryKey; }

    // The main window; its destruction ends the message loop.
    void SetMainWindow(CWnd* window) { m_mainWindow = window; }
    CWnd* GetMainWindow() const { return m_mainWindow; }

    // Runs the message loop until the main window has been destroyed (returns at once when
    // there is none).
    int RunMessageLoop();

    // For the layer: a top-level window is being destroyed.
    void WindowDestroyed(CWnd* window);

protected:
    // Start-up; the whole program runs inside it. The default returns false.
    virtual bool InitInstance();

private:
    std::string m_registryKey;
    CWnd* m_mainWindow = nullptr;
};

} // namespace win
