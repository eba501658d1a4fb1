#include "ui/platform/win_app.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QApplication>
#include <QtGlobal>
#include <QFont>
#include <QStyleFactory>
#include <QWidget>

#include "ui/platform/dialog_builder.h"
#include "ui/platform/end_signals.h"
#include "ui/platform/resources.h"
#include "ui/platform/wnd.h"

namespace win {

namespace {

CWinApp* theApp = nullptr;

// While the Qt application is being made, its messages are held back: when no display can
// be opened, Qt's own notes (a plugin it could not load, advice to reinstall) would only
// bury the program's message; otherwise they are passed on as they came.
QtMessageHandler handlerBeforeStart = nullptr;
struct HeldMessage {
    QtMsgType type;
    // Qt's file, function and category names are literals: they outlive the message.
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};
std::vector<HeldMessage>* heldMessages = nullptr;

void HoldOrEndAtStart(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (heldMessages)
            heldMessages->push_back({type, context.file, context.line, context.function, context.category, message});
        else if (handlerBeforeStart)
            handlerBeforeStart(type, context, message);
        return;
    }
    // Qt aborts after a fatal message; the only fatal one while the application is being
    // made is that no window system could be reached.
    const int status = theApp ? theApp->ReportNoDisplay() : 1;
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

} // namespace

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
    std::vector<HeldMessage> held;
    heldMessages = &held;
    handlerBeforeStart = qInstallMessageHandler(HoldOrEndAtStart);
    QApplication application(argc, argv);
    qInstallMessageHandler(handlerBeforeStart);
    heldMessages = nullptr;
    for (const HeldMessage& message : held)
        handlerBeforeStart(message.type,
                           QMessageLogContext(message.file, message.line, message.function, message.category),
                           message.text);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The desktop's font when its theme names one (a theme may apply it again later: the
    // windows are laid out with the same), else the small font the dialogs were drawn for.
    // Dialog units follow the font, so everything is laid out with the one it shows.
    QApplication::setFont(ChooseUiFont(QApplication::font()));
    QApplication::setApplicationName(QString::fromStdString(ApplicationName()));
    if (!m_desktopEntry.empty())
        QGuiApplication::setDesktopFileName(QString::fromStdString(m_desktopEntry));
    // Only the destruction of the main window ends the program, not the closing of the
    // last visible window (an About box over a hidden main window, say).
    QApplication::setQuitOnLastWindowClosed(false);
    const EndSignals endSignals([this](int) { EndRequested(); });
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
    if (m_endRequested)
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [this] { EndRequested(); }, Qt::QueuedConnection);
    return QApplication::exec();
}

void CWinApp::WindowDestroyed(CWnd* window)
{
    if (window == m_mainWindow)
        QCoreApplication::quit();
}

void CWinApp::EndRequested()
{
    m_endRequested = true;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        // A dialog that refused to close (it asks something that must be answered) waits
        // for the user; a second signal ends the program.
        if (modal == m_closedModal)
            return;
        m_closedModal = modal;
        modal->close();
        // Once its run has ended, the next one, or the main window.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [this] { EndRequested(); }, Qt::QueuedConnection);
        return;
    }
    if (QWidget* window = m_mainWindow ? m_mainWindow->Widget() : nullptr)
        window->close();
}

bool CWinApp::InitInstance() { return false; }

int CWinApp::OnNoDisplay()
{
    std::fprintf(stderr, "%s: no display could be opened\n", ApplicationName().c_str());
    return 1;
}

} // namespace win
