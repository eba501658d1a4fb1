// The data-file session's decisions, without a window: what it keeps aside, what it asks,
// and what a save leaves on disk when other programs have been at the file.
#include "storage/data_file_session.h"

#include "model/dates.h"
#include "res/resource.h"
#include "support/files_not_understood.h"
#include "support/temp_dir.h"
#include "support/tz_guard.h"
#include "support/unprivileged_user.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// A file as the program writes it: one account, one monthly transaction.
const std::string kData =
    "<TILLANE Format=\"1\">\r\r\n<CASHFLOW StartDate=\"01/01/2027\" Duration=\"13\"/>\r\r\n<ACCOUNTS>\r\r\n"
    "<ACCOUNT>\r\r\n<DESCRIPTION>Checking</DESCRIPTION>\r\r\n<AMOUNT>5</AMOUNT>\r\r\n</ACCOUNT>\r\r\n</ACCOUNTS>\r\r\n"
    "<TRANSACTIONS>\r\r\n<TRANSACTION Type=\"Monthly\">\r\r\n<DESCRIPTION>Rent</DESCRIPTION>\r\r\n"
    "<DATE>01/01/2027</DATE>\r\r\n<AMOUNT>-600</AMOUNT>\r\r\n<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"1\"/>"
    "\r\r\n</TRANSACTION>\r\r\n</TRANSACTIONS>\r\r\n</TILLANE>\r\r\n";

// Answers from a script and keeps what it was told. A text is its string id and values:
// "#433:/path/default.Tillane".
class ScriptedPrompt : public app::IDataFilePrompt {
public:
    std::string Text(int id) override { return "#" + std::to_string(id) + ":%1:%2:%3:%4:%5"; }
    void Inform(const std::string& text) override { told.push_back(text); }
    void Warn(const std::string& text) override { told.push_back(text); }
    Answer Ask(const std::string& text, Question) override
    {
        told.push_back(text);
        EXPECT_FALSE(answers.empty()) << "not expected to ask: " << text;
        if (answers.empty())
            return Answer::Cancel;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // Whether message `id` was told or asked since the last call, and forgets what was.
    bool Said(int id)
    {
        bool found = false;
        for (const std::string& text : told)
            found = found || text.starts_with("#" + std::to_string(id) + ":");
        told.clear();
        return found;
    }

    std::vector<std::string> told;
    std::deque<Answer> answers;
};

class DataFileSessionTest : public ::testing::Test {
protected:
    std::filesystem::path DataFile() const { return m_folder / "default.Tillane"; }

    // A session on the data file as start-up opens it and the window loads it.
    std::unique_ptr<app::DataFileSession> Open(const std::filesystem::path& path)
    {
        auto session = std::make_unique<app::DataFileSession>(path.string(), m_prompt);
        session->SetBackupFolder(m_folder / "backups");
        EXPECT_TRUE(session->Start().has_value());
        session->Loaded(session->TakeReading());
        return session;
    }

    std::vector<std::filesystem::path> Named(const std::string& start) const
    {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
            if (entry.path().filename().string().starts_with(start))
                found.push_back(entry.path());
        return found;
    }

    // The files start-up has set aside in the folder.
    std::vector<std::filesystem::path> SetAside() const { return Named("default.Tillane.unreadable-"); }

    testing_support::TzGuard m_tz {testing_support::kEastern};
    TempDir m_folder;
    ScriptedPrompt m_prompt;
};

// A link to a file that cannot be loaded: the file it leads to is kept aside, the link stays,
// and the save writes where it points.
TEST_F(DataFileSessionTest, ALinkToAnUnreadableFileKeepsTheLinkAndSetsTheTargetAside)
{
    std::filesystem::create_directory(m_folder / "synced");
    const auto target = m_folder / "synced" / "real.Tillane";
    WriteFileBytes(target, "not markup");
    std::filesystem::create_symlink(target, DataFile());
    app::DataFileSession session(DataFile().string(), m_prompt);
    session.SetBackupFolder(m_folder / "backups");
    EXPECT_EQ(session.Start(), app::DataFileState::SetAside);
    EXPECT_TRUE(m_prompt.Said(res::IDS_FILE_SET_ASIDE));
    EXPECT_TRUE(std::filesystem::is_symlink(DataFile()));
    ASSERT_TRUE(std::filesystem::exists(m_folder / "synced"));
    std::vector<std::filesystem::path> kept;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder / "synced"))
        if (entry.path().filename().string().starts_with("real.Tillane.unreadable-"))
            kept.push_back(entry.path());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadFileBytes(kept[0]), "not markup");

    session.Loaded(session.TakeReading());
    ASSERT_TRUE(session.Save(kData).ok);
    EXPECT_TRUE(std::filesystem::is_symlink(DataFile()));
    EXPECT_EQ(ReadFileBytes(target), kData);
}

// An edit in place that keeps the size and puts the modification time back, on a file
// last changed well before it was loaded: its change time gives it away, and the bytes
// tell.
TEST_F(DataFileSessionTest, AnEditKeepingSizeAndModificationTimeIsSeen)
{
    WriteFileBytes(DataFile(), kData);
    app::DataFileSession session(DataFile().string(), m_prompt);
    session.SetBackupFolder(m_folder / "backups");
    ASSERT_TRUE(session.Start().has_value());
    app::DataFileReading reading = session.TakeReading();
    // Loaded ten seconds after the file was last written.
    reading.identity.takenNs += 10'000'000'000;
    session.Loaded(reading);
    EXPECT_EQ(session.CheckForChanges(false), app::DataFileSession::ChangeChoice::Save);

    struct stat before {};
    ASSERT_EQ(::stat(DataFile().c_str(), &before), 0);
    std::string theirs = kData;
    theirs.replace(theirs.find("Checking"), 8, "Chequing");
    {
        std::fstream file(DataFile(), std::ios::in | std::ios::out | std::ios::binary);
        file.write(theirs.data(), static_cast<std::streamsize>(theirs.size()));
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, DataFile().c_str(), times, 0), 0);

    m_prompt.answers = {app::IDataFilePrompt::Answer::Cancel};
    EXPECT_EQ(session.CheckForChanges(false), app::DataFileSession::ChangeChoice::Cancel);
    EXPECT_TRUE(m_prompt.Said(res::IDS_FILE_CHANGED_ASK));
    EXPECT_EQ(ReadFileBytes(DataFile()), theirs);
}

// A data file replaced by a link while the window is open is another file: "keep mine"
// keeps the link aside and writes a file of its own at the path, never through the link.
TEST_F(DataFileSessionTest, ALinkThatReplacedTheFileIsKeptAsideAndNeverWrittenThrough)
{
    WriteFileBytes(DataFile(), kData);
    const auto session = Open(DataFile());
    const auto elsewhere = m_folder / "someone else's";
    WriteFileBytes(elsewhere, kData);
    std::filesystem::remove(DataFile());
    std::filesystem::create_symlink(elsewhere, DataFile());

    m_prompt.answers = {app::IDataFilePrompt::Answer::Yes};
    EXPECT_EQ(session->CheckForChanges(false), app::DataFileSession::ChangeChoice::Save);
    ASSERT_TRUE(session->Save("mine").ok);
    EXPECT_EQ(ReadFileBytes(elsewhere), kData);
    EXPECT_FALSE(std::filesystem::is_symlink(DataFile()));
    EXPECT_EQ(ReadFileBytes(DataFile()), "mine");
    const auto kept = Named("default.Tillane.changed-elsewhere-");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_symlink(kept[0]));
}

// A read-only file is replaced only when the user says so, and stays read-only; a file
// made unreadable while open is saved with the permissions it had when loaded.
TEST_F(DataFileSessionTest, PermissionsAreAskedAboutAndNeverLeaveAFileThatCannotBeReadBack)
{
    WriteFileBytes(DataFile(), kData);
    ::chmod(DataFile().c_str(), 0444);
    auto session = Open(DataFile());
    m_prompt.answers = {app::IDataFilePrompt::Answer::No};
    EXPECT_FALSE(session->Save("mine").ok);
    EXPECT_TRUE(m_prompt.Said(res::IDS_FILE_READ_ONLY_ASK));
    EXPECT_EQ(ReadFileBytes(DataFile()), kData);
    m_prompt.answers = {app::IDataFilePrompt::Answer::Yes};
    ASSERT_TRUE(session->Save("mine").ok);
    ASSERT_TRUE(session->Save("mine again").ok);
    EXPECT_EQ(m_prompt.told.size(), 1u) << "asked once: " << ::testing::PrintToString(m_prompt.told);
    m_prompt.told.clear();
    struct stat info {};
    ASSERT_EQ(::stat(DataFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);

    session.reset();
    ::chmod(DataFile().c_str(), 0640);
    WriteFileBytes(DataFile(), kData);
    session = Open(DataFile());
    ::chmod(DataFile().c_str(), 0);
    ASSERT_TRUE(session->Save("mine").ok);
    EXPECT_TRUE(m_prompt.Said(res::IDS_FILE_MODE_RESTORED));
    ASSERT_EQ(::stat(DataFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// A folder the user cannot write: no lock, said at start; the save's error names the folder.
TEST_F(DataFileSessionTest, AFolderThatCannotBeWrittenIsToldAtStartAndNamedBySaves)
{
    const auto folder = m_folder / "shared";
    std::filesystem::create_directory(folder);
    WriteFileBytes(folder / "default.Tillane", kData);
    std::filesystem::permissions(m_folder.Path(), std::filesystem::perms::all);
    constexpr auto kReadAndSearch = std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                    std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                                    std::filesystem::perms::others_read | std::filesystem::perms::others_exec;
    std::filesystem::permissions(folder, kReadAndSearch);
    struct Restore {
        std::filesystem::path folder;
        ~Restore() { std::filesystem::permissions(folder, std::filesystem::perms::owner_all); }
    } restore {folder};
    testing_support::AsUnprivilegedUser unprivileged;
    app::DataFileSession session((folder / "default.Tillane").string(), m_prompt);
    session.SetBackupFolder(m_folder / "backups");
    EXPECT_TRUE(session.Start().has_value());
    ASSERT_FALSE(m_prompt.told.empty());
    EXPECT_TRUE(m_prompt.told[0].starts_with("#" + std::to_string(res::IDS_FILE_FOLDER_NOT_WRITABLE) + ":" +
                                            folder.string() + ":"))
        << m_prompt.told[0];
    m_prompt.told.clear();
    session.Loaded(session.TakeReading());
    const app::FileOutcome saved = session.Save("mine");
    EXPECT_FALSE(saved.ok);
    EXPECT_TRUE(saved.reason.starts_with("#" + std::to_string(res::IDS_SAVE_FOLDER_NOT_WRITABLE) + ":" +
                                         folder.string() + ":"))
        << saved.reason;
}

// Saving writes a new file: a second name of the old one keeps the old data, and the first
// save says so.
TEST_F(DataFileSessionTest, TheFirstSaveSaysThatItSplitsAHardLink)
{
    WriteFileBytes(DataFile(), kData);
    std::filesystem::create_hard_link(DataFile(), m_folder / "other name");
    const auto session = Open(DataFile());
    ASSERT_TRUE(session->Save("mine").ok);
    EXPECT_TRUE(m_prompt.Said(res::IDS_FILE_HARD_LINKS_SPLIT));
    EXPECT_EQ(ReadFileBytes(m_folder / "other name"), kData);
    std::filesystem::create_hard_link(DataFile(), m_folder / "third name");
    ASSERT_TRUE(session->Save("mine again").ok);
    EXPECT_TRUE(m_prompt.told.empty()) << "said once";
}

// A pipe put where the data file was is neither asked about, read nor replaced.
TEST_F(DataFileSessionTest, APipePutInPlaceOfTheFileIsRefusedWithoutWaiting)
{
    WriteFileBytes(DataFile(), kData);
    const auto session = Open(DataFile());
    std::filesystem::remove(DataFile());
    ASSERT_EQ(::mkfifo(DataFile().c_str(), 0600), 0);
    EXPECT_EQ(session->CheckForChanges(true), app::DataFileSession::ChangeChoice::Save);
    const app::FileOutcome saved = session->Save("mine");
    EXPECT_FALSE(saved.ok);
    EXPECT_TRUE(saved.reason.starts_with("#" + std::to_string(res::IDS_SAVE_NOT_REGULAR) + ":")) << saved.reason;
    EXPECT_TRUE(std::filesystem::is_fifo(DataFile()));
    EXPECT_TRUE(m_prompt.told.empty());
}

using testing_support::kNotUnderstood;

// Start-up keeps a file it could not load before the window exists, and says where; a
// file that cannot be read (permission denied) too.
TEST_F(DataFileSessionTest, StartUpKeepsAFileItCouldNotLoadAndSaysWhere)
{
    for (const auto& c : kNotUnderstood) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(DataFile(), c.bytes);
        app::DataFileSession session(DataFile().string(), m_prompt);
        EXPECT_EQ(session.Start(), app::DataFileState::SetAside);
        const auto kept = SetAside();
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(ReadFileBytes(kept[0]), c.bytes);
        EXPECT_FALSE(std::filesystem::exists(DataFile()));
        ASSERT_EQ(m_prompt.told.size(), 1u);
        EXPECT_NE(m_prompt.told[0].find(kept[0].string()), std::string::npos) << m_prompt.told[0];
        EXPECT_TRUE(m_prompt.Said(res::IDS_FILE_SET_ASIDE));
        std::filesystem::remove(kept[0]);
    }

    WriteFileBytes(DataFile(), kData);
    std::filesystem::permissions(m_folder.Path(), std::filesystem::perms::all);
    std::filesystem::permissions(DataFile(), std::filesystem::perms::none);
    {
        testing_support::AsUnprivilegedUser unprivileged;
        app::DataFileSession session(DataFile().string(), m_prompt);
        EXPECT_EQ(session.Start(), app::DataFileState::SetAside);
    }
    const auto kept = SetAside();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadFileBytes(kept[0]), kData);
}

// Only a regular file is ever set aside or replaced: a folder, a pipe or a socket at the
// data file's path (or a link to one) is refused at start with the reason, and a session
// that meets one there anyway does not save over it.
TEST_F(DataFileSessionTest, AFolderPipeOrSocketAsTheDataFileIsRefusedAndLeftWhereItIs)
{
    enum class Kind { Folder, LinkToFolder, Pipe, Socket };
    for (const Kind kind : {Kind::Folder, Kind::LinkToFolder, Kind::Pipe, Kind::Socket}) {
        SCOPED_TRACE(static_cast<int>(kind));
        std::filesystem::remove_all(DataFile());
        if (kind == Kind::Folder) {
            std::filesystem::create_directory(DataFile());
            WriteFileBytes(DataFile() / "inside", "the user's");
        } else if (kind == Kind::LinkToFolder) {
            std::filesystem::create_directories(m_folder / "elsewhere");
            std::filesystem::create_directory_symlink(m_folder / "elsewhere", DataFile());
        } else if (kind == Kind::Pipe) {
            ASSERT_EQ(::mkfifo(DataFile().c_str(), 0600), 0);
        } else {
            const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            ASSERT_LT(DataFile().string().size(), sizeof address.sun_path);
            std::strcpy(address.sun_path, DataFile().c_str());
            ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ::close(listening);
        }
        struct stat before {};
        ASSERT_EQ(::lstat(DataFile().c_str(), &before), 0);
        const auto unchanged = [&] {
            struct stat now {};
            EXPECT_EQ(::lstat(DataFile().c_str(), &now), 0);
            EXPECT_EQ(now.st_ino, before.st_ino);
            EXPECT_EQ(now.st_mode, before.st_mode);
            EXPECT_TRUE(SetAside().empty());
        };
        {
            app::DataFileSession session(DataFile().string(), m_prompt);
            EXPECT_FALSE(session.Start().has_value());
        }
        ASSERT_EQ(m_prompt.told.size(), 1u);
        EXPECT_NE(m_prompt.told[0].find(DataFile().string()), std::string::npos);
        EXPECT_TRUE(m_prompt.Said(res::IDS_FILE_NOT_REGULAR));
        unchanged();

        app::DataFileSession session(DataFile().string(), m_prompt);
        session.SetBackupFolder(m_folder / "backups");
        session.Loaded(session.TakeReading());
        EXPECT_FALSE(session.Save(kData).ok);
        m_prompt.told.clear();
        unchanged();
    }
}

// A second copy of the program on a file that is open: told, and the file left alone,
// even a file the first copy could not load.
TEST_F(DataFileSessionTest, ASecondCopyOnTheSameFileIsRefusedAndTouchesNothing)
{
    const std::string bytes = kNotUnderstood[1].bytes;
    WriteFileBytes(DataFile(), bytes);
    app::DataFileLock first(DataFile().string());
    ASSERT_EQ(first.GetStatus(), app::DataFileLock::Status::Held);
    app::DataFileSession second(DataFile().string(), m_prompt);
    EXPECT_FALSE(second.Start().has_value());
    ASSERT_EQ(m_prompt.told.size(), 1u);
    EXPECT_NE(m_prompt.told[0].find(DataFile().string()), std::string::npos);
    EXPECT_TRUE(m_prompt.Said(res::IDS_FILE_IN_USE));
    EXPECT_EQ(ReadFileBytes(DataFile()), bytes);
    EXPECT_TRUE(SetAside().empty());
}

// A link whose target is missing is never replaced by a file, and nothing is made up over
// it unless the user asks for the target to be created.
TEST_F(DataFileSessionTest, ALinkToAMissingFileStaysALink)
{
    const auto target = m_folder / "mounted" / "real.Tillane";
    std::filesystem::create_directory(m_folder / "mounted");
    std::filesystem::create_symlink(target, DataFile());
    for (const auto answer : {app::IDataFilePrompt::Answer::No, app::IDataFilePrompt::Answer::Yes}) {
        const bool create = answer == app::IDataFilePrompt::Answer::Yes;
        app::DataFileSession session(DataFile().string(), m_prompt);
        session.SetBackupFolder(m_folder / "backups");
        m_prompt.answers = {answer};
        EXPECT_EQ(session.Start(), create ? app::DataFileState::Load : app::DataFileState::LinkTargetMissing);
        ASSERT_EQ(m_prompt.told.size(), 1u);
        EXPECT_NE(m_prompt.told[0].find(target.string()), std::string::npos);
        EXPECT_TRUE(m_prompt.Said(res::IDS_FILE_LINK_MISSING));
        session.Loaded(session.TakeReading());
        EXPECT_EQ(session.Save(kData).ok, create);
        EXPECT_TRUE(std::filesystem::is_symlink(DataFile()));
        EXPECT_EQ(std::filesystem::exists(target), create);
    }
}

// That file changed the way a person or another program may change it, and what the
// window says of it ("TODAY": today's date).
struct ChangedFile {
    const char* from;
    const char* to;
    const char* note;
};
const ChangedFile kChangedFiles[] = {
    {"<AMOUNT>-600", "<AMOUNT>1,500", "AMOUNT \"1,500\" of \"Rent\" read as 1"},
    {"<AMOUNT>-600", "<AMOUNT>1500.75", "AMOUNT \"1500.75\" of \"Rent\" read as 1500"},
    {"<AMOUNT>5", "<AMOUNT>$100", "AMOUNT \"$100\" of \"Checking\" read as 0"},
    {"<AMOUNT>-600", "<AMOUNT>99999999999999999999", "AMOUNT \"99999999999999999999\" of \"Rent\" read as 2147483647"},
    {"<DATE>01/01/2027", "<DATE>02/30/2027", "DATE \"02/30/2027\" of \"Rent\" read as 03/02/2027"},
    {"<DATE>01/01/2027", "<DATE>13/01/2027", "DATE \"13/01/2027\" of \"Rent\" read as 01/01/2028"},
    {"<DATE>01/01/2027", "<DATE>", "DATE \"\" of \"Rent\" read as TODAY"},
    {"Duration=\"13\"", "Duration=\"0\"", "CASHFLOW Duration \"0\" read as 13"},
    {"<REPEAT Type=\"Monthly\"", "<REPEAT Type=\"Hourly\"", "REPEAT Type \"Hourly\" of \"Rent\" read as Once"},
    {"Day=\"1\"", "Day=\"32\"", "REPEAT Day \"32\" of \"Rent\" read as 0"},
    {"<ACCOUNT>", "<!-- savings next year --><ACCOUNT>", "a comment in ACCOUNTS"},
    {"<TRANSACTION Type=\"Monthly\"", "<TRANSACTION Note=\"landlord\" Type=\"Monthly\"",
     "attribute Note on TRANSACTION of \"Rent\""},
    {"</TILLANE>\r\r\n", "</TILLANE>\r\r\nPS: ask the bank", "text \"PS: ask the bank\" after the document"},
    {"</TILLANE>\r\r\n", "</TILLANE>\r\r\n<TILLANE Format=\"1\"/>", "element TILLANE after the document"},
    {"<DESCRIPTION>Rent", "<DESCRIPTION>Rent &#65;", "reference &#65; in DESCRIPTION of \"Rent &#65;\" read as text"},
    {"<TILLANE", "<?xml version=\"1.0\"?>\r\r\n<TILLANE", "a processing instruction before the document"},
    {"<TRANSACTIONS>", "<ACCOUNTS><ACCOUNT><DESCRIPTION>Savings</DESCRIPTION></ACCOUNT></ACCOUNTS><TRANSACTIONS>",
     "element ACCOUNTS in TILLANE"},
};


// A file that a save would change (values the loader mends, content it does not read) is
// copied as it was before the first save, once, and the user is told where and what
// differs; the file saved then holds just what the program writes.
TEST_F(DataFileSessionTest, AFileASaveWouldChangeIsCopiedBeforeTheFirstSave)
{
    for (const ChangedFile& change : kChangedFiles) {
        SCOPED_TRACE(change.to);
        std::string bytes = kData;
        bytes.replace(bytes.find(change.from), std::strlen(change.from), change.to);
        std::string note = change.note;
        if (const auto at = note.find("TODAY"); at != std::string::npos)
            note.replace(at, 5, FormatDate(Today()));
        WriteFileBytes(DataFile(), bytes);
        app::DataFileSession session(DataFile().string(), m_prompt);
        session.SetBackupFolder(m_folder / "backups");
        EXPECT_EQ(session.Start(), app::DataFileState::LoadKeepingOriginal);
        EXPECT_TRUE(m_prompt.told.empty()) << "nothing to say before a save";
        session.Loaded(session.TakeReading());
        ASSERT_TRUE(session.Save(kData).ok);
        ASSERT_TRUE(session.Save(kData).ok);
        const auto copies = Named("default.Tillane.original-");
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(ReadFileBytes(copies[0]), bytes);
        ASSERT_EQ(m_prompt.told.size(), 1u);
        EXPECT_NE(m_prompt.told[0].find(copies[0].string()), std::string::npos) << m_prompt.told[0];
        EXPECT_NE(m_prompt.told[0].find(note), std::string::npos) << m_prompt.told[0];
        EXPECT_TRUE(m_prompt.Said(res::IDS_ORIGINAL_KEPT));
        EXPECT_EQ(ReadFileBytes(DataFile()), kData);
        std::filesystem::remove(copies[0]);
    }
}

TEST_F(DataFileSessionTest, TheFirstSaveOfTheDayKeepsTheFileAsItWasInTheBackups)
{
    WriteFileBytes(DataFile(), kData);
    const auto session = Open(DataFile());
    ASSERT_TRUE(session->Save("first").ok);
    ASSERT_TRUE(session->Save("second").ok);
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder / "backups"))
        kept.push_back(ReadFileBytes(entry.path()));
    EXPECT_EQ(kept, std::vector<std::string> {kData});
    EXPECT_EQ(ReadFileBytes(DataFile()), "second");
    EXPECT_TRUE(m_prompt.told.empty());
}

} // namespace
