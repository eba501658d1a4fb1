#include "ui/platform/win_app.h"

#include <cstdio>

#include <QApplication>
#include <QtGlobal>
#include <QFont>
#include <QStyleFactory>

#include "ui/platform/resources.h"
#include "ui/platform/wnd.h"

namespace win {

namespace {
CWinApp* theApp = nullptr;
}

void QuietPlatformNotices()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
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
    // The dialogs are laid out for a small sans-serif font of 8 points; Liberation Sans has
    // the metrics of the font they were drawn with, so lists and labels fit as intended.
    QFont font(QStringLiteral("Liberation Sans"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
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
