#pragma once

// The one place where modal dialogs and message boxes wait for the user. The default
// runner is real Qt (QDialog::exec, QMessageBox); tests install a ScriptedRunner
// (scripted_runner.h) that fills controls, presses buttons and answers message boxes
// without any event loop.

#include <functional>
#include <optional>
#include <string>

class QPrinter;

namespace win {

class CDialog;
class CWnd;
struct OpenFileRequest;
struct SaveFileRequest;

class IModalRunner {
public:
    virtual ~IModalRunner() = default;
    // Runs a dialog whose window exists and is initialised until it ends; returns its
    // result.
    virtual int RunModal(CDialog& dialog) = 0;
    // Shows a message box (type: MB_ buttons, icon and default button); returns the
    // button pressed (IDOK, IDCANCEL, IDYES, IDNO, IDRETRY).
    virtual int RunMessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                              unsigned type) = 0;
    // Asks where to save a file (see save_file_dialog.h); the chosen path, or nothing
    // when the user cancelled. A picture size asked for in the request comes back in it.
    virtual std::optional<std::string> RunSaveFileDialog(CWnd* owner, SaveFileRequest& request) = 0;
    // Asks for a file to read; the chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> RunOpenFileDialog(CWnd* owner, const OpenFileRequest& request) = 0;
    // The print dialog on the printer; true when the user chose to print.
    virtual bool RunPrintDialog(CWnd* owner, QPrinter& printer) = 0;
    // A print preview of what paint draws on the printer it is given.
    virtual void RunPrintPreview(CWnd* owner, QPrinter& printer, const std::function<void(QPrinter&)>& paint) = 0;
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
