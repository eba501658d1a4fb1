#include "app/tillane_app.h"

#include "storage/data_file_store.h"
#include "app/tillane_dlg.h"
#include "res/resource.h"
#include "storage/config_data_manager.h"
#include "storage/configuration.h"
#include "storage/data_file.h"
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

#include <sys/stat.h>

namespace {

// The main window: popup, visible, caption, system menu, sizing border, modal frame.
constexpr std::uint32_t kMainWindowStyle = 0x90CC0080u;

std::string Caption() { return win::LoadString(res::IDS_APP_TITLE); }

} // namespace

CTillaneDlg::DataFileState SafeguardDataFile(const std::string& path, DataFileReading* reading,
                                             const app::DataFileLock* lock)
{
    DataFileReading ownReading;
    DataFileReading& read = reading ? *reading : ownReading;
    read = {};
    std::error_code error;
    if (std::filesystem::is_symlink(path, error) && !std::filesystem::exists(path, error)) {
        // Starting with the sample data would be a made-up start over what the link was
        // meant to reach (a folder not mounted yet, a synced file not there yet).
        const std::string target = app::ResolveTarget(path).string();
        const int answer = win::MessageBox(
            nullptr,
            "The data file\n\n" + path + "\n\nis a link to\n\n" + target +
                "\n\nwhich does not exist. Create it, starting with example data?\n\n"
                "Answer No to start with no data: Tillane will not save until you start it again.",
            Caption(), win::MB_YESNO | win::MB_ICONQUESTION | win::MB_DEFBUTTON2);
        if (answer != win::IDYES)
            return CTillaneDlg::DataFileState::LinkTargetMissing;
        // Read after the answer, as the window would: the target may have come meanwhile.
    }
    // The one reading of the file: the window loads it, and a save compares with it.
    read = ReadDataFileOnce(path, {.findDifferences = true, .lock = lock});
    const DataFile::LoadResult& probe = read.loaded;
    const DataFile::Status status = probe.status;
    if (status != DataFile::Status::Unreadable && status != DataFile::Status::Malformed &&
        status != DataFile::Status::NotDataFile)
        return probe.differences > 0 ? CTillaneDlg::DataFileState::LoadKeepingOriginal
                                     : CTillaneDlg::DataFileState::Load;

    const std::string why = status == DataFile::Status::Unreadable
                                ? (probe.reason.empty() ? "it could not be read" : "it could not be read: " + probe.reason)
                            : status == DataFile::Status::Malformed ? "it is not a well-formed document"
                                                                    : "it is not a Tillane data file";
    const app::FileOutcome keptAs = app::SetAsideUnreadable(path, std::time(nullptr));
    if (keptAs.ok && keptAs.path.empty()) {
        // Gone since the look above: there is nothing to keep, and a missing file is the first run.
        read = {};
        return CTillaneDlg::DataFileState::Load;
    }
    if (keptAs.ok) {
        win::MessageBox(nullptr,
                        "Tillane could not load its data file\n\n" + path + "\n\nbecause " + why +
                            ". The file has been left untouched and kept as\n\n" + keptAs.path +
                            "\n\nTillane starts with no accounts and no transactions.",
                        Caption(), win::MB_OK | win::MB_ICONEXCLAMATION);
        return CTillaneDlg::DataFileState::SetAside;
    }
    win::MessageBox(nullptr,
                    "Tillane could not load its data file\n\n" + path + "\n\nbecause " + why +
                        ", and could not keep it under another name (" + keptAs.reason +
                        "). The file will be left untouched: Tillane starts with no data and will not save.",
                    Caption(), win::MB_OK | win::MB_ICONEXCLAMATION);
    return CTillaneDlg::DataFileState::Untouchable;
}

std::optional<CTillaneDlg::DataFileState> CheckDataFileAtStartUp(const std::string& path,
                                                                 const app::DataFileLock& lock,
                                                                 DataFileReading* reading)
{
    if (lock.GetStatus() == app::DataFileLock::Status::HeldElsewhere) {
        win::MessageBox(nullptr,
                        "The data file\n\n" + path +
                            "\n\nis already open in Tillane. Switch to that window, or close it before starting "
                            "Tillane again.",
                        Caption(), win::MB_OK | win::MB_ICONINFORMATION);
        return std::nullopt;
    }
    // Only a regular file is ever loaded, set aside or replaced: a folder (or a pipe, a
    // device) at that path is the user's by mistake, never Tillane's to move or write over.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        const char* kind = S_ISDIR(info.st_mode)    ? "a folder"
                           : S_ISFIFO(info.st_mode) ? "a named pipe"
                           : S_ISSOCK(info.st_mode) ? "a socket"
                                                    : "a device";
        win::MessageBox(nullptr,
                        "Tillane cannot use\n\n" + path + "\n\nas its data file: it is not a regular file (it is " +
                            kind + "). It has been left as it is.\n\nStart Tillane with --file and the name of a data "
                            "file, or without --file for the usual one.",
                        Caption(), win::MB_OK | win::MB_ICONEXCLAMATION);
        return std::nullopt;
    }
    // Saves cut short by a crash left their temporary files; no copy is saving now.
    if (lock.GetStatus() == app::DataFileLock::Status::Held)
        app::RemoveStaleSaves(path);
    return SafeguardDataFile(path, reading, &lock);
}

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
    const std::string why =
        named.empty() ? "there is none here (DISPLAY is not set)" : "none could be opened (" + named + ")";
    std::fprintf(stderr,
                 "tillane: the window needs a display, and %s.\n"
                 "Without a window, these work anywhere:\n"
                 "  tillane --forecast          the forecast, row by row\n"
                 "  tillane --summary           how low the balance goes, and when\n"
                 "  tillane --chart OUT.png     the chart as a picture\n"
                 "  tillane --report OUT.pdf    the printed report as a PDF\n",
                 why.c_str());
    return 1;
}

bool CTillaneApp::InitInstance()
{
    SetRegistryKey(kSettingsKey);
    IConfigDataManager& settings = GetConfigDataManager();
    const win::CRect frame = ReadFrameRect(settings);

    const std::string path = GetDataFilePath();
    app::DataFileLock lock(path);
    // The data file is read and parsed once: the checks, the configuration and the window
    // all see those bytes.
    DataFileReading reading;
    const std::optional<CTillaneDlg::DataFileState> checked = CheckDataFileAtStartUp(path, lock, &reading);
    if (!checked)
        return false;
    DataFileReadingSeed seed(reading);
    app::IConfiguration& configuration = GetConfiguration(seed);

    m_mainWindow = new CTillaneDlg(settings, configuration, frame, CTillaneDlg::Access::ReadWrite, *checked);
    m_mainWindow->SetDataFileLock(&lock);
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
