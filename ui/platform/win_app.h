#pragma once

// CWinApp: the application object. Run creates the Qt application (Fusion style), calls
// InitInstance, which runs the whole program (typically creating the main window and
// calling RunMessageLoop), and returns the exit status. When the window system cannot be
// reached, Run ends the process with OnNoDisplay's status instead of aborting.
//
// SIGTERM, SIGHUP and SIGINT close the main window as its close box does (see
// end_signals.h): a modal dialog that is open is cancelled first, and a signal that comes
// before the main window exists closes it as soon as the message loop runs.

#include <string>

#include <QPointer>

class QWidget;

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

    // The desktop entry the windows belong to, without ".desktop" ("tillane"): docks and
    // launchers show its icon and name for them. The window class the window system sees is
    // the application name, which the entry's StartupWMClass names.
    void SetDesktopEntry(const std::string& name) { m_desktopEntry = name; }
    const std::string& GetDesktopEntry() const { return m_desktopEntry; }

    // The main window; its destruction ends the message loop.
    void SetMainWindow(CWnd* window) { m_mainWindow = window; }
    CWnd* GetMainWindow() const { return m_mainWindow; }

    // Runs the message loop until the main window has been destroyed (returns at once when
    // there is none).
    int RunMessageLoop();

    // For the layer: a top-level window is being destroyed.
    void WindowDestroyed(CWnd* window);

    // For the layer: no display could be opened; the status to end with.
    int ReportNoDisplay() { return OnNoDisplay(); }

    // For the layer: a signal asked the program to end. Cancels the modal dialogs that are
    // open, one after the other, then closes the main window as its close box does. A
    // dialog that stays open is left to the user.
    void EndRequested();

protected:
    // Start-up; the whole program runs inside it. The default returns false.
    virtual bool InitInstance();

    // No display could be opened (none is named, or the one named cannot be reached): tells
    // the user on standard error and returns the status the process ends with. The process
    // ends right after, without unwinding: nothing of the program has started yet. The
    // default says so in a line and returns 1.
    virtual int OnNoDisplay();

private:
    std::string m_registryKey;
    std::string m_desktopEntry;
    CWnd* m_mainWindow = nullptr;
    bool m_endRequested = false;
    // The modal dialog last asked to close for the end.
    QPointer<QWidget> m_closedModal;
};

} // namespace win
