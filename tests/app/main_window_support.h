#pragma once

// The real main window on a data file of the test's own, with settings in memory and a
// configuration of its own, so that no test touches the user's files. Every
// window posts the About box when it opens: Open() answers it.

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "../ui/fake_config.h"
#include "app/tillane_dlg.h"
#include "res/resource.h"
#include "storage/configuration.h"
#include "support/temp_dir.h"
#include "ui/accounts_list_ctrl.h"
#include "ui/platform/menu.h"
#include "ui/platform/scripted_runner.h"
#include "ui/trans_list_ctrl.h"

namespace main_window_testing {

// The configuration seeded from the test's data file, as the program seeds it from its
// own. A file that is not well formed seeds nothing: the program sets such a file aside
// before it gets here, and the tests that keep it there test the window's own guard.
class DataFileStorage : public app::Configuration::IStorage {
public:
    explicit DataFileStorage(const std::filesystem::path& dataFile) : m_storage(dataFile) {}
    void Load(app::IConfiguration& configuration) override
    {
        try {
            m_storage.Load(configuration);
        } catch (const app::Configuration::Storage::Exception::BadlyFormedXml&) {
        }
    }
    std::string ReadDataFile() override { return m_storage.ReadDataFile(); }

private:
    app::Configuration::Storage m_storage;
};

struct MainWindow {
    explicit MainWindow(const std::filesystem::path& dataFile,
                        CTillaneDlg::DataFileState state = CTillaneDlg::DataFileState::Load)
        : storage(dataFile), configuration(storage)
    {
        CAccountsListCtrl::ResetSortDirections();
        CTransListCtrl::ResetSortDirections();
        window = std::make_unique<CTillaneDlg>(settings, configuration, win::CRect {}, CTillaneDlg::Access::ReadWrite,
                                               state);
        window->SetDataFilePath(dataFile.string());
    }

    // Creates the window and lets the posted About box run (closed at once).
    void Open(win::ScriptedRunner& runner)
    {
        ASSERT_TRUE(window->Create(nullptr, win::WS_POPUP));
        runner.OnNextDialog([](win::CDialog& about) { about.PressButton(win::IDOK); });
        QCoreApplication::sendPostedEvents();
    }

    // The close box: the window asks, saves and is destroyed after the event.
    void CloseBox()
    {
        window->DispatchCloseRequest();
        QCoreApplication::sendPostedEvents();
    }

    // Whether the Edit pop-up shows a command enabled.
    bool MenuEnabled(int id)
    {
        win::CMenu menu;
        EXPECT_TRUE(menu.LoadMenu(res::IDR_MAINFRAME));
        win::CMenu* edit = menu.GetSubMenu(1);
        window->MenuAboutToShow(*edit, 1);
        return edit->IsMenuItemEnabled(id);
    }

    CAccountsListCtrl& Accounts() { return window->AccountsPage().GetAccountsList(); }
    CTransListCtrl& Transactions() { return window->TransactionsPage().GetListCtrl(); }

    FakeConfig settings;
    DataFileStorage storage;
    app::Configuration configuration;
    std::unique_ptr<CTillaneDlg> window;
};

} // namespace main_window_testing
