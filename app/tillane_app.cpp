#include "app/tillane_app.h"

#include "app/message_box_prompt.h"
#include "app/tillane_dlg.h"
#include "res/resource.h"
#include "storage/config_data_manager.h"
#include "storage/configuration.h"
#include "storage/data_file.h"
#include "storage/data_file_session.h"
#include "storage/file_locations.h"
#include "ui/platform/api.h"
#include "ui/platform/menu.h"
#include "ui/platform/modal_runner.h"
#include "ui/platform/resources.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <utility>


namespace {

// The main window: popup, visible, caption, system menu, sizing border, modal frame.
constexpr std::uint32_t kMainWindowStyle = 0x90CC0080u;

} // namespace

win::CRect ReadFrameRect(IConfigDataManager& settings)
{
    const int left = settings.ReadInt("Frame", "Left", 0);
    const int top = settings.ReadInt("Frame", "Top", 0);
    const int width = settings.ReadInt("Frame", "Width", 0);
    const int height = settings.ReadInt("Frame", "Height", 0);
    return {left, top, left + width, top + height};
}

CTillaneApp::~CTillaneApp() = default;

int CTillaneApp::OnNoDisplay()
{
    std::string named;
    for (const char* variable : {"WAYLAND_DISPLAY", "DISPLAY"})
        if (const char* value = std::getenv(variable); value && *value)
            named += (named.empty() ? "" : ", ") + std::string(variable) + "=" + value;
    const std::string why = named.empty() ? win::LoadString(res::IDS_NO_DISPLAY_UNSET)
                                          : FillIn(win::LoadString(res::IDS_NO_DISPLAY_FAILED), {named});
    std::fputs(FillIn(win::LoadString(res::IDS_NO_DISPLAY), {why}).c_str(), stderr);
    return 1;
}

bool CTillaneApp::InitInstance()
{
    SetRegistryKey(kSettingsKey);
    IConfigDataManager& settings = GetConfigDataManager();
    const win::CRect frame = ReadFrameRect(settings);

    // The session takes the lock and checks the data file before there is a window; the
    // window goes on with it.
    CMessageBoxPrompt prompt(nullptr);
    auto session = std::make_unique<app::DataFileSession>(GetDataFilePath(), prompt);
    const std::optional<CTillaneDlg::DataFileState> checked = session->Start();
    if (!checked)
        return false;
    // The data file is read and parsed once: the checks, the configuration and the window
    // all see those bytes.
    DataFileReading reading = session->TakeReading();
    DataFileReadingSeed seed(reading);
    app::IConfiguration& configuration = GetConfiguration(seed);

    m_mainWindow = new CTillaneDlg(settings, configuration, frame, CTillaneDlg::Access::ReadWrite, *checked);
    m_mainWindow->UseSession(std::move(session));
    m_mainWindow->LoadWhenOpening(std::move(reading));
    SetMainWindow(m_mainWindow);
    if (m_mainWindow->Create(nullptr, kMainWindowStyle, 0)) {
        win::CMenu menu;
        if (!menu.LoadMenu(res::IDR_MAINFRAME))
            throw win::api::Exception(win::GetLastError());
        m_mainWindow->SetMenu(&menu);
        RunMessageLoop();
        if (m_mainWindow->HasWindow())
            m_mainWindow->SetMenu(nullptr);
        menu.DestroyMenu();
    }
    SetMainWindow(nullptr);
    delete m_mainWindow;
    m_mainWindow = nullptr;
    return false;
}
