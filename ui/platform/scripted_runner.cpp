#include "ui/platform/scripted_runner.h"

#include <stdexcept>

#include "ui/platform/dialog.h"
#include "ui/platform/types.h"

namespace win {

ScriptedRunner::ScriptedRunner() : m_previous(SetModalRunner(this)) {}

ScriptedRunner::~ScriptedRunner() { SetModalRunner(m_previous); }

void ScriptedRunner::OnNextDialog(std::function<void(CDialog&)> script) { m_scripts.push_back(std::move(script)); }

void ScriptedRunner::AnswerNextMessageBox(int answer) { m_answers.push_back(answer); }

int ScriptedRunner::RunModal(CDialog& dialog)
{
    m_dialogsRun.push_back(dialog.GetTemplateId());
    if (m_scripts.empty())
        throw std::logic_error("no script for dialog " + std::to_string(dialog.GetTemplateId()));
    auto script = std::move(m_scripts.front());
    m_scripts.pop_front();
    script(dialog);
    if (!dialog.IsEnded())
        throw std::logic_error("the script left dialog " + std::to_string(dialog.GetTemplateId()) + " open");
    return dialog.GetResult();
}

int ScriptedRunner::RunMessageBox(CWnd*, const std::string& text, const std::string& caption, unsigned type)
{
    int answer = DefaultAnswer(type);
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    m_messageBoxes.push_back(MessageBoxRecord{text, caption, type, answer});
    return answer;
}

void ScriptedRunner::AnswerNextSaveFileDialog(std::function<std::optional<std::string>(SaveFileRequest&)> script)
{
    m_saveFileAnswers.push_back(std::move(script));
}

void ScriptedRunner::AnswerNextPrintDialog(std::function<bool(QPrinter&)> script)
{
    m_printAnswers.push_back(std::move(script));
}

void ScriptedRunner::OnNextPrintPreview(
    std::function<void(QPrinter&, const std::function<void(QPrinter&)>&)> script)
{
    m_previewScripts.push_back(std::move(script));
}

std::optional<std::string> ScriptedRunner::RunSaveFileDialog(CWnd*, SaveFileRequest& request)
{
    std::optional<std::string> path;
    if (!m_saveFileAnswers.empty()) {
        auto script = std::move(m_saveFileAnswers.front());
        m_saveFileAnswers.pop_front();
        path = script(request);
    }
    m_saveFileRequests.push_back(request);
    return path;
}

void ScriptedRunner::AnswerNextOpenFileDialog(std::optional<std::string> path)
{
    m_openFileAnswers.push_back(std::move(path));
}

std::optional<std::string> ScriptedRunner::RunOpenFileDialog(CWnd*, const OpenFileRequest&)
{
    if (m_openFileAnswers.empty())
        return std::nullopt;
    std::optional<std::string> path = std::move(m_openFileAnswers.front());
    m_openFileAnswers.pop_front();
    return path;
}

bool ScriptedRunner::RunPrintDialog(CWnd*, QPrinter& printer)
{
    if (m_printAnswers.empty())
        return false;
    auto script = std::move(m_printAnswers.front());
    m_printAnswers.pop_front();
    return script(printer);
}

void ScriptedRunner::RunPrintPreview(CWnd*, QPrinter& printer, const std::function<void(QPrinter&)>& paint)
{
    if (m_previewScripts.empty())
        return;
    auto script = std::move(m_previewScripts.front());
    m_previewScripts.pop_front();
    script(printer, paint);
}

int ScriptedRunner::DefaultAnswer(unsigned type)
{
    const bool second = (type & MB_DEFMASK) == MB_DEFBUTTON2;
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return second ? IDNO : IDYES;
    case MB_OKCANCEL:
        return second ? IDCANCEL : IDOK;
    case MB_RETRYCANCEL:
        return second ? IDCANCEL : IDRETRY;
    default:
        return IDOK;
    }
}

} // namespace win
