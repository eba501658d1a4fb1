#pragma once

// The one place where modal dialogs and message boxes wait for the user. The default
// runner is real Qt (QDialog::exec, QMessageBox); tests install a ScriptedRunner
// (scripted_runner.h) that fills controls, presses buttons and answers message boxes
// without any event loop.

#include <string>

namespace win {

class CDialog;
class CWnd;

class IModalRunner {
public:
    virtual ~IModalRunner() = default;
    // Runs a dialog whose window exists and is initialised until it ends; returns its
    // result.
    virtual int RunModal(CDialog& dialog) = 0;
    // Shows a message box (type: MB_ buttons, icon and default button); returns the
    // button pressed (IDOK, IDCANCEL, IDYES, IDNO).
    virtual int RunMessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                              unsigned type) = 0;
};

// The runner in use (the default Qt runner unless another is installed).
IModalRunner& GetModalRunner();
// Installs a runner (nullptr: the default one); returns the one installed before.
IModalRunner* SetModalRunner(IModalRunner* runner);

// A message box owned by owner (may be null), through the runner.
int MessageBox(CWnd* owner, const std::string& text, const std::string& caption, unsigned type);
// A message box captioned with the program's name.
int AfxMessageBox(const std::string& text, unsigned type = 0);

} // namespace win
