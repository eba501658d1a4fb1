#pragma once

#include "common/fill_in.h"

#include "storage/data_file.h"
#include "storage/data_file_store.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// The data file read and parsed once: what start-up checks, what seeds the configuration
// and what the window loads all come from the same bytes.
struct DataFileReading {
    DataFile::LoadResult loaded;
    // The file the bytes came from (nothing exists when it was missing): what a later save
    // compares with to tell whether another program has changed the file since.
    FileIdentity identity;
};

struct DataFileReadOptions {
    // Find out how a save would differ from what the file holds.
    bool findDifferences = true;
    // Read through the lock's hold on the file, when it has one: the bytes are those of
    // the file locked.
    const DataFileLock* lock = nullptr;
};

DataFileReading ReadDataFileOnce(const std::string& path, const DataFileReadOptions& options = {});

// What start-up found of the data file, and so what the window does with it.
enum class DataFileState {
    // Load it as usual (the sample data when there is none).
    Load,
    // It could not be read, or is of a format this version refuses, and has been kept
    // under another name: start empty.
    SetAside,
    // It could not be read and could not be kept safe: start empty, never save.
    Untouchable,
    // Load it, but a save would not write what it holds (values the loader mended,
    // content it passes over): keep a copy of it before the first save, and tell the
    // user where and what differs.
    LoadKeepingOriginal,
    // It is a link to a file that does not exist, and the user chose not to create
    // it: start empty, never save (the link stays a link).
    LinkTargetMissing,
};

// The questions and news a data-file session has for the user. The window answers with
// message boxes; tests answer from a script.
class IDataFilePrompt {
public:
    enum class Answer { Yes, No, Cancel };
    enum class Question {
        YesNo,           // Yes by default
        YesNoDefaultNo,  // No by default
        YesNoCancel,
    };
    virtual ~IDataFilePrompt() = default;
    // The string table's text of `id`, with %1, %2, ... for the values to fill in.
    virtual std::string Text(int id) = 0;
    virtual void Inform(const std::string& text) = 0;
    virtual void Warn(const std::string& text) = 0;
    virtual Answer Ask(const std::string& text, Question question) = 0;
};

// Keeps the user's data file safe for one run of the window: holds the lock, tells at
// start what it found (and keeps aside what cannot be loaded), remembers which file was
// loaded or last saved, and on each save asks before replacing another program's version,
// keeps a copy of what a save would not write back, makes the day's backup and writes the
// file whole. It decides and asks; the window shows and loads.
class DataFileSession {
public:
    // What the user chose when another program has changed the file.
    enum class ChangeChoice {
        Save,   // no change, or the user keeps the window's data (theirs is kept aside)
        Theirs, // the user keeps the file on disk: ReadTheirs gives it
        Cancel, // nothing is written
    };

    DataFileSession(std::string path, IDataFilePrompt& prompt, DataFileState state = DataFileState::Load);
    ~DataFileSession();
    DataFileSession(const DataFileSession&) = delete;
    DataFileSession& operator=(const DataFileSession&) = delete;

    const std::string& Path() const { return m_path; }
    DataFileState State() const { return m_state; }
    void SetPrompt(IDataFilePrompt& prompt) { m_prompt = &prompt; }
    // Where the day's backups go (BackupFolder by default).
    void SetBackupFolder(std::filesystem::path folder) { m_backupFolder = std::move(folder); }

    // Start-up: takes the lock, held for the session's life. Nothing when the window must
    // not start: another copy holds the file, or the path names something else than a
    // regular file (the user has been told, and it is not touched, not even read).
    // Otherwise the temporary files of saves cut short are removed and Safeguard answers.
    std::optional<DataFileState> Start();
    // A file that exists but cannot be loaded (unreadable, not well formed, not a Tillane
    // document, a format this version refuses) is kept under another name before
    // anything is written to its own, and the user is told where. The file is read once,
    // through the lock's hold on it when there is one.
    DataFileState Safeguard();

    // The reading start-up made (once), else a reading of the file now.
    DataFileReading TakeReading();
    // What the window loaded: the file a later save compares with, and how it loaded.
    void Loaded(const DataFileReading& reading);
    // Whether the file's text was not loaded (missing it is not: unreadable, not a data file).
    bool Unreadable() const { return m_unreadable; }
    const DataFile::Notes& LoadNotes() const { return m_loadNotes; }
    std::size_t LoadDifferences() const { return m_loadDifferences; }

    // Before a save: whether another program has changed the file since it was loaded or
    // last saved, and if so what the user chooses (a close keeps theirs without loading it).
    ChangeChoice CheckForChanges(bool closing);
    // The file as it is now, for the window to load in place of its data when the user
    // kept theirs; forgets what it knew of the old one.
    DataFileReading ReadTheirs();

    // Writes the bytes as the data file, after what must come first (another program's
    // version kept, the original kept, an unreadable file kept aside, the day's backup);
    // says why when it could not.
    FileOutcome Save(std::string_view bytes);
    // Whether no save is possible in this run (the user chose not to create a link's
    // missing target, or an unreadable file could not be kept aside).
    bool CannotSave() const;
    // Whether closing has nothing to write: no file was the version the user kept, or no
    // save is possible, and `changed` tells that the window holds nothing new.
    bool NothingToSave(bool changed) const { return (m_keptNoFile || CannotSave()) && !changed; }

private:
    std::string Text(int id, std::initializer_list<std::string_view> values = {});
    FileOutcome SaveInOrder(std::string_view bytes);
    static std::time_t Now() { return std::time(nullptr); }
    // Keeps the file there now aside before a save replaces it: another program's version.
    FileOutcome KeepTheirs(const std::string& path);
    // The permissions to save with: the file's own, unless they would keep this program
    // from reading it back (the user is told then).
    std::optional<std::uint32_t> ModeToSave(const FileIdentity& now);

    std::string m_path;
    IDataFilePrompt* m_prompt;
    DataFileState m_state;
    std::unique_ptr<DataFileLock> m_lock;
    std::optional<DataFileReading> m_reading;
    std::filesystem::path m_backupFolder;
    // The data file as loaded or last saved.
    FileIdentity m_onDisk;
    bool m_unreadable = false;
    // The user kept another program's deletion of the data file.
    bool m_keptNoFile = false;
    bool m_toldBackupFailure = false;
    bool m_toldHardLinks = false;
    // The user said to save in a read-only file all the same.
    bool m_replaceReadOnly = false;
    DataFile::Notes m_loadNotes;
    std::size_t m_loadDifferences = 0;
};

} // namespace app
