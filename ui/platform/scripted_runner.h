#pragma once

// A modal runner for tests: every modal dialog runs the next queued script instead of
// waiting for the user, and every message box takes the next queued answer. The runner
// installs itself for its lifetime.
//
//   win::ScriptedRunner runner;
//   runner.OnNextDialog([](win::CDialog& dialog) {
//       dialog.SetDlgItemText(1027, "12abc");
//       dialog.PressButton(win::IDOK);            // validation fails, dialog stays open
//       dialog.SetDlgItemText(1027, "12");
//       dialog.PressButton(win::IDOK);            // ends the dialog
//   });
//   runner.AnswerNextMessageBox(win::IDOK);
//   runner.AnswerNextSaveFileDialog([](win::SaveFileRequest&) { return "/tmp/out.csv"; });
//
// A script that leaves its dialog open, or a dialog with no script, raises
// std::logic_error. A message box without a queued answer is answered with its default
// button. Every message box is recorded. A save dialog without a queued answer is
// cancelled; a print dialog without one is cancelled; a print preview without a script
// paints nothing. Save dialogs' requests are recorded.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/platform/modal_runner.h"
#include "ui/platform/save_file_dialog.h"

namespace win {

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    unsigned type = 0;
    int answer = 0;
};

class ScriptedRunner : public IModalRunner {
public:
    ScriptedRunner();
    ~ScriptedRunner() override;
    ScriptedRunner(const ScriptedRunner&) = delete;
    ScriptedRunner& operator=(const ScriptedRunner&) = delete;

    // The next modal dialog runs this script; it must end the dialog.
    void OnNextDialog(std::function<void(CDialog&)> script);
    // The next message box returns this answer.
    void AnswerNextMessageBox(int answer);
    // The next save dialog: the script may change the request's picture size and returns
    // the chosen path (nothing: cancelled).
    void AnswerNextSaveFileDialog(std::function<std::optional<std::string>(SaveFileRequest&)> script);
    // The next open dialog returns this path (nothing: cancelled); without one, it is cancelled.
    void AnswerNextOpenFileDialog(std::optional<std::string> path);
    // The next print dialog: the script sets the printer up and returns whether to print.
    void AnswerNextPrintDialog(std::function<bool(QPrinter&)> script);
    // The next print preview: the script gets the printer and the preview's painting.
    void OnNextPrintPreview(std::function<void(QPrinter&, const std::function<void(QPrinter&)>&)> script);

    const std::vector<MessageBoxRecord>& MessageBoxes() const { return m_messageBoxes; }
    // Template ids of the dialogs run so far, in order.
    const std::vector<int>& DialogsRun() const { return m_dialogsRun; }
    const std::vector<SaveFileRequest>& SaveFileRequests() const { return m_saveFileRequests; }
    // Scripts and answers not used yet.
    std::size_t PendingScripts() const { return m_scripts.size(); }
    std::size_t PendingAnswers() const { return m_answers.size(); }

    int RunModal(CDialog& dialog) override;
    int RunMessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                      unsigned type) override;
    std::optional<std::string> RunSaveFileDialog(CWnd* owner, SaveFileRequest& request) override;
    std::optional<std::string> RunOpenFileDialog(CWnd* owner, const OpenFileRequest& request) override;
    bool RunPrintDialog(CWnd* owner, QPrinter& printer) override;
    void RunPrintPreview(CWnd* owner, QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;

    // The answer a message box of this type gives by default (its default button).
    static int DefaultAnswer(unsigned type);

private:
    IModalRunner* m_previous;
    std::deque<std::function<void(CDialog&)>> m_scripts;
    std::deque<int> m_answers;
    std::vector<MessageBoxRecord> m_messageBoxes;
    std::vector<int> m_dialogsRun;
    std::deque<std::function<std::optional<std::string>(SaveFileRequest&)>> m_saveFileAnswers;
    std::vector<SaveFileRequest> m_saveFileRequests;
    std::deque<std::optional<std::string>> m_openFileAnswers;
    std::deque<std::function<bool(QPrinter&)>> m_printAnswers;
    std::deque<std::function<void(QPrinter&, const std::function<void(QPrinter&)>&)>> m_previewScripts;
};

} // namespace win
