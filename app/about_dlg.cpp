#include "app/about_dlg.h"

#include "app/browser.h"
#include "app/tillane_app.h"
#include "res/resource.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/modal_runner.h"
#include "ui/platform/resources.h"

CAboutDlg::CAboutDlg() : win::CDialog(res::IDD_ABOUTBOX), m_versionLine("Version " + VersionText())
{
    OnClicked(res::IDC_HOME_PAGE, [this] { OnHomePage(); });
}

void CAboutDlg::DoDataExchange(win::CDataExchange* dx)
{
    win::CDialog::DoDataExchange(dx);
    win::DDX_Text(dx, res::IDC_VERSION, m_versionLine);
}

void CAboutDlg::OnHomePage()
{
    const std::string address = app::url::kHomePage;
    if (app::url::Browser::OpenUrl(address))
        return;
    const std::string text = win::LoadString(res::IDS_BROWSER_FAILED) + "\n\n" + address;
    win::MessageBox(this, text, win::LoadString(res::IDS_APPLICATION_ERROR), win::MB_OK | win::MB_ICONEXCLAMATION);
}
