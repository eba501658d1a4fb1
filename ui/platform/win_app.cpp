#include "ui/platform/win_app.h"

#include <QApplication>
#include <QStyleFactory>

#include "ui/platform/resources.h"
#include "ui/platform/wnd.h"

namespace win {

namespace {
CWinApp* theApp = nullptr;
}

CWinApp::CWinApp() { theApp = this; }

CWinApp::~CWinApp()
{
    if (theApp == this)
        theApp = nullptr;
}

CWinApp* CWinApp::GetApp() { return theApp; }

int CWinApp::Run(int& argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QString::fromStdString(ApplicationName()));
    // Only the destruction of the main window ends the program, not the closing of the
    // last visible window (an About box over a hidden main window, say).
    QApplication::setQuitOnLastWindowClosed(false);
    InitInstance();
    return 0;
}

void CWinApp::SetRegistryKey(const std::string& company)
{
    m_registryKey = company;
    QCoreApplication::setOrganizationName(QString::fromStdString(company));
}

int CWinApp::RunMessageLoop()
{
    if (!m_mainWindow || !m_mainWindow->HasWindow())
        return 0;
    return QApplication::exec();
}

void CWinApp::WindowDestroyed(CWnd* window)
{
    if (window == m_mainWindow)
        QCoreApplication::quit();
}

bool CWinApp::InitInstance() { return false; }

} // namespace win
