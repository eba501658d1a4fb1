#include "app/message_box_prompt.h"

#include "res/resource.h"
#include "ui/platform/modal_runner.h"
#include "ui/platform/resources.h"
#include "ui/platform/types.h"

std::string CMessageBoxPrompt::Text(int id) { return win::LoadString(id); }

void CMessageBoxPrompt::Inform(const std::string& text)
{
    win::MessageBox(m_parent, text, win::LoadString(res::IDS_APP_TITLE), win::MB_OK | win::MB_ICONINFORMATION);
}

void CMessageBoxPrompt::Warn(const std::string& text)
{
    win::MessageBox(m_parent, text, win::LoadString(res::IDS_APP_TITLE), win::MB_OK | win::MB_ICONEXCLAMATION);
}

CMessageBoxPrompt::Answer CMessageBoxPrompt::Ask(const std::string& text, Question question)
{
    const unsigned buttons = question == Question::YesNoCancel      ? win::MB_YESNOCANCEL
                                  : question == Question::YesNoDefaultNo ? win::MB_YESNO | win::MB_DEFBUTTON2
                                                                         : win::MB_YESNO;
    const int answer =
        win::MessageBox(m_parent, text, win::LoadString(res::IDS_APP_TITLE), buttons | win::MB_ICONEXCLAMATION);
    return answer == win::IDYES ? Answer::Yes : answer == win::IDNO ? Answer::No : Answer::Cancel;
}
