#pragma once

#include "ui/platform/dialog.h"

#include <string>

// The About box: the program's version, the maker's notice and a button that opens the
// home page in the browser, or tells the user how to get there by hand.
class CAboutDlg : public win::CDialog {
public:
    CAboutDlg();

    const std::string& GetVersionLine() const { return m_versionLine; }

protected:
    void DoDataExchange(win::CDataExchange* dx) override;

private:
    void OnHomePage();

    std::string m_versionLine;
};
