// The user's data file survives what goes wrong: files that cannot be loaded are kept,
// failed saves are reported and leave the old file, a save killed half way leaves the old
// file, and a second copy of the program keeps its hands off a file in use.
//
// The tests run as root in the build containers, where permissions do not stop anything:
// "cannot read" and "cannot write" are then made real by running that step with the
// effective user id of an unprivileged user (nobody), and by permissions otherwise.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/tillane_app.h"
#include "main_window_support.h"
#include "model/dates.h"
#include "storage/data_file.h"
#include "storage/data_file_session.h"
#include "storage/text_file.h"
#include "support/files_not_understood.h"
#include "support/tz_guard.h"
#include "support/unprivileged_user.h"

namespace {

using main_window_testing::MainWindow;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

using testing_support::AsUnprivilegedUser;

// Another program's edit that keeps the file's size and modification time: only its
// bytes tell.
void EditInPlaceKeepingSizeAndTime(const std::filesystem::path& path, const std::string& bytes)
{
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class ReliabilityTest : public ::testing::Test {
protected:
    std::filesystem::path DataFile() const { return m_folder / "default.Tillane"; }

    // The files the program has set aside in the folder.
    std::vector<std::filesystem::path> SetAside() const
    {
        std::vector<std::filesystem::path> kept;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
            if (entry.path().filename().string().rfind("default.Tillane.unreadable-", 0) == 0)
                kept.push_back(entry.path());
        return kept;
    }

    // Everything in the folder but the lock file.
    std::vector<std::string> FolderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
            if (entry.path().filename() != ".default.Tillane.lock")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Nobody may write in the folder any more (until the test gives the permissions back).
    void MakeFolderReadOnly() const
    {
        using std::filesystem::perms;
        std::filesystem::permissions(m_folder.Path(),
                                     perms::owner_read | perms::owner_exec | perms::others_read | perms::others_exec);
    }

    static std::string SomeData()
    {
        DataFile::Contents contents;
        contents.accounts = {{"Checking", 120}};
        return TextFile::ToTextMode(DataFile::WriteDocument(contents, Today()));
    }

    testing_support::TzGuard m_tz {testing_support::kEastern};
    testing_support::TempDir m_folder;
    win::ScriptedRunner m_runner;
};

using testing_support::kNotUnderstood;

// The window's own guard: it loads nothing and keeps the file before the save on closing.
TEST_F(ReliabilityTest, AFileTheWindowCouldNotLoadIsKeptByteForByte)
{
    for (const auto& c : kNotUnderstood) {
        SCOPED_TRACE(c.name);
        for (const auto& kept : SetAside())
            std::filesystem::remove(kept);
        WriteFileBytes(DataFile(), c.bytes);
        {
            MainWindow main(DataFile());
            main.Open(m_runner);
            EXPECT_TRUE(main.window->DataFileUnreadable());
            EXPECT_EQ(main.Accounts().GetItemCount(), 0) << "no sample data either";
            EXPECT_EQ(ReadFileBytes(DataFile()), c.bytes) << "nothing written yet";
            main.window->KeyDown('S', true, false, false);
            EXPECT_TRUE(m_runner.MessageBoxes().empty());
            main.CloseBox();
        }
        const auto kept = SetAside();
        ASSERT_EQ(kept.size(), 1u) << "kept once, not again at the second save";
        EXPECT_EQ(ReadFileBytes(kept[0]), c.bytes);
        EXPECT_EQ(DataFile::LoadFile(DataFile(), Today()).status, DataFile::Status::Loaded);
    }
}

// A file that could not be loaded and has since gone leaves nothing to keep: saving goes
// on as usual.
TEST_F(ReliabilityTest, AFileThatCouldNotBeLoadedAndHasGoneSavesNormally)
{
    WriteFileBytes(DataFile(), kNotUnderstood[0].bytes);
    MainWindow main(DataFile());
    main.Open(m_runner);
    ASSERT_TRUE(main.window->DataFileUnreadable());
    std::filesystem::remove(DataFile());
    main.window->KeyDown('S', true, false, false);
    EXPECT_TRUE(m_runner.MessageBoxes().empty());
    EXPECT_EQ(DataFile::LoadFile(DataFile(), Today()).status, DataFile::Status::Loaded);
    EXPECT_TRUE(SetAside().empty());
    main.CloseBox();
    EXPECT_TRUE(m_runner.MessageBoxes().empty());
}

// After start-up has kept a file it could not load, the window starts empty (no sample
// data: the user has data, elsewhere) and saves.
TEST_F(ReliabilityTest, AfterStartUpKeptAFileTheWindowStartsEmptyAndSaves)
{
    {
        MainWindow main(DataFile(), CTillaneDlg::DataFileState::SetAside);
        main.Open(m_runner);
        EXPECT_EQ(main.Accounts().GetItemCount(), 0);
        EXPECT_EQ(main.Transactions().GetItemCount(), 0);
        main.CloseBox();
    }
    EXPECT_EQ(DataFile::LoadFile(DataFile(), Today()).status, DataFile::Status::Loaded);
}

// A file that is there but cannot be read (permission denied) is kept by the window too
// (start-up's guard is the session's).
TEST_F(ReliabilityTest, AFileThatCannotBeReadIsKeptByteForByte)
{
    const std::string bytes = SomeData();
    std::filesystem::permissions(m_folder.Path(), std::filesystem::perms::all);

    // The window: the file cannot be read while it loads; the save comes later.
    WriteFileBytes(DataFile(), bytes);
    std::filesystem::permissions(DataFile(), std::filesystem::perms::none);
    {
        MainWindow main(DataFile());
        {
            AsUnprivilegedUser unprivileged;
            ASSERT_TRUE(main.window->Create(nullptr, win::WS_POPUP));
        }
        m_runner.OnNextDialog([](win::CDialog& about) { about.PressButton(win::IDOK); });
        QCoreApplication::sendPostedEvents();
        EXPECT_TRUE(main.window->DataFileUnreadable());
        EXPECT_EQ(main.Accounts().GetItemCount(), 0) << "not the sample data: the file is there";
        main.CloseBox();
    }
    const auto kept = SetAside();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadFileBytes(kept[0]), bytes);
}

// Saving into a folder the user cannot write: Save tells the user, closing asks, No keeps
// the window open, and the old file stays as it was throughout.
TEST_F(ReliabilityTest, ASaveThatFailsIsReportedAndLeavesTheOldFile)
{
    const std::string bytes = SomeData();
    WriteFileBytes(DataFile(), bytes);
    MainWindow main(DataFile());
    main.Open(m_runner);
    ASSERT_EQ(main.Accounts().GetItemCount(), 1);
    main.Accounts().AddAccount("Savings", 300, CAccountsListCtrl::Selection::Leave);
    const std::vector<std::string> before = FolderNames();

    MakeFolderReadOnly();
    {
        AsUnprivilegedUser unprivileged;
        EXPECT_TRUE(main.window->KeyDown('S', true, false, false));
        ASSERT_EQ(m_runner.MessageBoxes().size(), 1u);
        const std::string& text = m_runner.MessageBoxes()[0].text;
        EXPECT_NE(text.find("could not save"), std::string::npos) << text;
        EXPECT_NE(text.find(DataFile().string()), std::string::npos) << text;
        EXPECT_NE(text.find("ermission denied"), std::string::npos) << text;

        m_runner.AnswerNextMessageBox(win::IDNO);
        main.CloseBox();
        EXPECT_TRUE(main.window->HasWindow()) << "No keeps the window open";
        ASSERT_EQ(m_runner.MessageBoxes().size(), 2u);
        EXPECT_EQ(m_runner.MessageBoxes()[1].type & 0xF, win::MB_YESNO);
    }
    EXPECT_EQ(ReadFileBytes(DataFile()), bytes);
    EXPECT_EQ(FolderNames(), before) << "no half-written file left behind";

    // Once the cause is fixed, closing saves.
    std::filesystem::permissions(m_folder.Path(), std::filesystem::perms::all);
    main.CloseBox();
    EXPECT_FALSE(main.window->HasWindow());
    EXPECT_EQ(DataFile::LoadFile(DataFile(), Today()).contents.accounts.size(), 2u);
}

// Closing when the save fails: Save & Exit asks once whether to close anyway; a window
// that goes away without being closed (the program ending under it) says why and offers
// to try again or to close without saving. Either way the old file stays as it was.
TEST_F(ReliabilityTest, ClosingWithoutSavingWhenTheUserSaysSo)
{
    for (const bool goesAway : {false, true}) {
        SCOPED_TRACE(goesAway ? "the window goes away" : "Save & Exit");
        const std::string bytes = SomeData();
        WriteFileBytes(DataFile(), bytes);
        const std::size_t asked = m_runner.MessageBoxes().size();
        MainWindow main(DataFile());
        main.Open(m_runner);
        main.Accounts().AddAccount("Savings", 300, CAccountsListCtrl::Selection::Leave);
        MakeFolderReadOnly();
        {
            AsUnprivilegedUser unprivileged;
            if (goesAway) {
                m_runner.AnswerNextMessageBox(win::IDRETRY);
                m_runner.AnswerNextMessageBox(win::IDCANCEL);
                main.window->DestroyWindow();
            } else {
                m_runner.AnswerNextMessageBox(win::IDYES);
                main.window->PostCommand(res::ID_SAVE_AND_EXIT);
                QCoreApplication::sendPostedEvents();
                QCoreApplication::sendPostedEvents();
            }
            EXPECT_FALSE(main.window->HasWindow());
        }
        std::filesystem::permissions(m_folder.Path(), std::filesystem::perms::all);
        const std::vector<win::MessageBoxRecord> boxes(m_runner.MessageBoxes().begin() + static_cast<std::ptrdiff_t>(asked),
                                                       m_runner.MessageBoxes().end());
        if (goesAway) {
            ASSERT_EQ(boxes.size(), 2u) << "asked again after Retry, not after Cancel";
            for (const win::MessageBoxRecord& box : boxes) {
                EXPECT_EQ(box.type & win::MB_TYPEMASK, win::MB_RETRYCANCEL);
                EXPECT_NE(box.text.find(DataFile().string()), std::string::npos) << box.text;
                EXPECT_NE(box.text.find("ermission denied"), std::string::npos) << box.text;
            }
        } else {
            EXPECT_EQ(boxes.size(), 1u) << "asked once, not again when the window went";
        }
        EXPECT_EQ(ReadFileBytes(DataFile()), bytes);
    }
}

// A save killed between writing the new file and renaming it over the old one.
TEST_F(ReliabilityTest, ASaveKilledBeforeTheRenameLeavesTheOldFile)
{
    const std::string bytes = SomeData();
    WriteFileBytes(DataFile(), bytes);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        app::ReplaceFile(DataFile().string(), "<TILLANE Format=\"1\"/>\r\r\n", [] {
            ::kill(::getpid(), SIGKILL);
            return true;
        });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the save must have been killed half way";
    EXPECT_EQ(ReadFileBytes(DataFile()), bytes);

    // The next run loads the old data, whatever the killed save left in the folder.
    MainWindow main(DataFile());
    main.Open(m_runner);
    EXPECT_FALSE(main.window->DataFileUnreadable());
    ASSERT_EQ(main.Accounts().GetItemCount(), 1);
    EXPECT_EQ(main.Accounts().GetItemText(0, 0), "Checking");
}

} // namespace

// Where nothing can be saved (a link to a missing file the user chose not to create, an
// unreadable file that could not be set aside), closing without changes just closes; after
// a change, the failed save is told and the window may stay open.
TEST_F(ReliabilityTest, ClosingWhereNothingCanBeSavedAsksOnlyAfterAChange)
{
    for (const auto state : {CTillaneDlg::DataFileState::LinkTargetMissing, CTillaneDlg::DataFileState::Untouchable}) {
        for (const bool changed : {false, true}) {
            SCOPED_TRACE(static_cast<int>(state) * 10 + changed);
            MainWindow main(DataFile(), state);
            main.Open(m_runner);
            if (changed)
                main.window->History().AddAccount("Mine", 9);
            const std::size_t asked = m_runner.MessageBoxes().size();
            main.CloseBox();
            EXPECT_EQ(m_runner.MessageBoxes().size(), asked + (changed ? 1 : 0));
            EXPECT_EQ(main.window->HasWindow(), changed);
            if (changed) {
                m_runner.AnswerNextMessageBox(win::IDYES);
                main.CloseBox();
                EXPECT_FALSE(main.window->HasWindow());
            }
        }
    }
    EXPECT_FALSE(std::filesystem::exists(DataFile()));
}

// Another program's change to the data file is never overwritten without the user's word:
// a save or a close asks, and each answer does what it says.
TEST_F(ReliabilityTest, AFileChangedByAnotherProgramIsOnlyReplacedWhenTheUserSaysSo)
{
    enum class Change { Replaced, EditedInPlaceKeepingSizeAndTime, Deleted };
    enum class Answer { KeepMine, KeepTheirs, DeclineToLoseChanges, Cancel };
    const auto copies = [&] {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
            if (entry.path().filename().string().rfind("default.Tillane.changed-elsewhere-", 0) == 0)
                found.push_back(entry.path());
        return found;
    };
    for (const Change change : {Change::Replaced, Change::EditedInPlaceKeepingSizeAndTime, Change::Deleted}) {
        for (const Answer answer : {Answer::KeepMine, Answer::KeepTheirs, Answer::DeclineToLoseChanges, Answer::Cancel}) {
            SCOPED_TRACE(static_cast<int>(change) * 10 + static_cast<int>(answer));
            for (const auto& copy : copies())
                std::filesystem::remove(copy);
            DataFile::Contents mine;
            mine.startDate = Today();
            mine.warnBelow = -50;
            mine.accounts = {{"Checking", 120}};
            WriteFileBytes(DataFile(), TextFile::ToTextMode(DataFile::WriteDocument(mine, Today())));
            MainWindow main(DataFile());
            main.Open(m_runner);
            const std::size_t asked = m_runner.MessageBoxes().size();
            main.window->KeyDown('S', true, false, false);
            main.window->KeyDown('S', true, false, false);
            ASSERT_EQ(m_runner.MessageBoxes().size(), asked) << "an unchanged file, and the window's own save";
            main.window->History().AddAccount("Mine", 9);

            // Theirs differs in every CASHFLOW field too, at the same size.
            std::string theirs = ReadFileBytes(DataFile());
            theirs.replace(theirs.find("Checking"), 8, "Chequing");
            const TimeValue theirStart = AddDays(Today(), 40);
            theirs.replace(theirs.find("StartDate=\"") + 11, 10, FormatDate(theirStart));
            theirs.replace(theirs.find("Duration=\"13\""), 13, "Duration=\"24\"");
            theirs.replace(theirs.find("WarnBelow=\"-50\""), 15, "WarnBelow=\"-70\"");
            if (change == Change::Replaced) {
                WriteFileBytes(m_folder / "new", theirs);
                std::filesystem::rename(m_folder / "new", DataFile());
            } else if (change == Change::EditedInPlaceKeepingSizeAndTime) {
                ASSERT_NO_FATAL_FAILURE(EditInPlaceKeepingSizeAndTime(DataFile(), theirs));
            } else {
                std::filesystem::remove(DataFile());
                theirs.clear();
            }
            const bool gone = change == Change::Deleted;

            switch (answer) {
            case Answer::KeepMine:
                m_runner.AnswerNextMessageBox(win::IDYES);
                break;
            case Answer::KeepTheirs:
                m_runner.AnswerNextMessageBox(win::IDNO);
                m_runner.AnswerNextMessageBox(win::IDYES);
                break;
            case Answer::DeclineToLoseChanges:
                m_runner.AnswerNextMessageBox(win::IDNO);
                m_runner.AnswerNextMessageBox(win::IDNO);
                break;
            case Answer::Cancel:
                m_runner.AnswerNextMessageBox(win::IDCANCEL);
                break;
            }
            main.window->KeyDown('S', true, false, false);
            ASSERT_GT(m_runner.MessageBoxes().size(), asked);
            EXPECT_NE(m_runner.MessageBoxes()[asked].text.find(gone ? "deleted" : "changed by another program"),
                      std::string::npos);
            const auto onDisk = DataFile::LoadFile(DataFile(), Today());
            if (answer == Answer::KeepMine) {
                EXPECT_EQ(onDisk.contents.accounts.size(), 2u);
                const auto kept = copies();
                ASSERT_EQ(kept.size(), gone ? 0u : 1u);
                if (!gone) {
                    EXPECT_EQ(ReadFileBytes(kept[0]), theirs);
                    EXPECT_NE(m_runner.MessageBoxes().back().text.find(kept[0].string()), std::string::npos);
                }
            } else {
                EXPECT_EQ(std::filesystem::exists(DataFile()), !gone);
                if (!gone) {
                    EXPECT_EQ(ReadFileBytes(DataFile()), theirs);
                }
                EXPECT_TRUE(copies().empty());
            }
            if (answer == Answer::KeepTheirs) {
                EXPECT_EQ(main.Accounts().GetItemCount(), gone ? 0 : 1);
                if (!gone) {
                    EXPECT_EQ(main.Accounts().GetItemText(0, 0), "Chequing");
                }
                EXPECT_FALSE(main.window->History().CanUndo()) << "the steps were for the data now gone";
                if (!gone) {
                    const CCashFlowListCtrl& projection = main.window->CashFlowPage().CashFlowList();
                    EXPECT_EQ(projection.GetStartDate(), theirStart);
                    EXPECT_EQ(projection.GetDuration(), 24u);
                    EXPECT_EQ(main.window->CashFlowPage().WarnBelow(), -70);
                }
            } else {
                EXPECT_EQ(main.Accounts().GetItemCount(), 2);
            }

            // Closing: after an answer that settled it, nothing more is asked; otherwise the
            // same question, whose Cancel keeps the window open.
            const std::size_t beforeClose = m_runner.MessageBoxes().size();
            const bool settled = answer == Answer::KeepMine || answer == Answer::KeepTheirs;
            if (!settled) {
                m_runner.AnswerNextMessageBox(win::IDCANCEL);
                main.CloseBox();
                EXPECT_TRUE(main.window->HasWindow());
                m_runner.AnswerNextMessageBox(win::IDNO);
                m_runner.AnswerNextMessageBox(win::IDYES);
            }
            main.CloseBox();
            EXPECT_FALSE(main.window->HasWindow());
            EXPECT_EQ(m_runner.MessageBoxes().size(), beforeClose + (settled ? 0 : 3));
            if ((!settled || answer == Answer::KeepTheirs) && !gone) {
                EXPECT_EQ(ReadFileBytes(DataFile()), theirs) << "kept theirs on closing";
            }
            if ((!settled || answer == Answer::KeepTheirs) && gone) {
                EXPECT_FALSE(std::filesystem::exists(DataFile())) << "theirs is no file: none is written";
            }
        }
    }
    // Kept deleted, then something added: that is saved as usual on closing.
    WriteFileBytes(DataFile(), SomeData());
    MainWindow main(DataFile());
    main.Open(m_runner);
    main.window->History().AddAccount("Mine", 9);
    std::filesystem::remove(DataFile());
    m_runner.AnswerNextMessageBox(win::IDNO);
    m_runner.AnswerNextMessageBox(win::IDYES);
    main.window->KeyDown('S', true, false, false);
    main.window->History().AddAccount("Later", 5);
    main.CloseBox();
    EXPECT_EQ(DataFile::LoadFile(DataFile(), Today()).contents.accounts.size(), 1u);
}

// Start-up reads the file once: the window loads what the checks read, and a save compares
// the file with those bytes, so a change made in between (in place, same size and time)
// is neither loaded unseen nor overwritten unasked.
TEST_F(ReliabilityTest, TheWindowLoadsTheBytesStartUpCheckedAndASaveComparesWithThem)
{
    const std::string ours = SomeData();
    WriteFileBytes(DataFile(), ours);
    CMessageBoxPrompt prompt(nullptr);
    auto session = std::make_unique<app::DataFileSession>(DataFile().string(), prompt);
    const auto state = session->Start();
    ASSERT_EQ(state, CTillaneDlg::DataFileState::Load);
    DataFileReading reading = session->TakeReading();

    std::string theirs = ours;
    theirs.replace(theirs.find("Checking"), 8, "Chequing");
    ASSERT_NO_FATAL_FAILURE(EditInPlaceKeepingSizeAndTime(DataFile(), theirs));

    MainWindow main(DataFile(), *state);
    main.window->UseSession(std::move(session));
    main.window->LoadWhenOpening(std::move(reading));
    main.Open(m_runner);
    ASSERT_EQ(main.Accounts().GetItemCount(), 1);
    EXPECT_EQ(main.Accounts().GetItemText(0, 0), "Checking");

    m_runner.AnswerNextMessageBox(win::IDCANCEL);
    main.window->KeyDown('S', true, false, false);
    ASSERT_EQ(m_runner.MessageBoxes().size(), 1u);
    EXPECT_NE(m_runner.MessageBoxes()[0].text.find("changed by another program"), std::string::npos);
    m_runner.AnswerNextMessageBox(win::IDNO);
    m_runner.AnswerNextMessageBox(win::IDYES);
    main.CloseBox();
    EXPECT_FALSE(main.window->HasWindow());
    EXPECT_EQ(ReadFileBytes(DataFile()), theirs);
}
