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
//
// A script that leaves its dialog open, or a dialog with no script, raises
// std::logic_error. A message box without a queued answer is answered with its default
// button. Every message box is recorded.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/platform/modal_runner.h"

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

    const std::vector<MessageBoxRecord>& MessageBoxes() const { return m_messageBoxes; }
    // Template ids of the dialogs run so far, in order.
    const std::vector<int>& DialogsRun() const { return m_dialogsRun; }
    // Scripts and answers not used yet.
    std::size_t PendingScripts() const { return m_scripts.size(); }
    std::size_t PendingAnswers() const { return m_answers.size(); }

    int RunModal(CDialog& dialog) override;
    int RunMessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                      unsigned type) override;

    // The answer a message box of this type gives by default (its default button).
    static int DefaultAnswer(unsigned type);

private:
    IModalRunner* m_previous;
    std::deque<std::function<void(CDialog&)>> m_scripts;
    std::deque<int> m_answers;
    std::vector<MessageBoxRecord> m_messageBoxes;
    std::vector<int> m_dialogsRun;
};

} // namespace win
