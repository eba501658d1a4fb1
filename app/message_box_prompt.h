#pragma once

#include "storage/data_file_session.h"

namespace win {
class CWnd;
}

// The data-file session's questions and news as message boxes over a window (none: the
// desktop), with texts from the string table.
class CMessageBoxPrompt : public app::IDataFilePrompt {
public:
    explicit CMessageBoxPrompt(win::CWnd* parent) : m_parent(parent) {}
    std::string Text(int id) override;
    void Inform(const std::string& text) override;
    void Warn(const std::string& text) override;
    Answer Ask(const std::string& text, Question question) override;

private:
    win::CWnd* m_parent; // not owned
};
