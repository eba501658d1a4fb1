#include "storage/data_file_session.h"

#include "model/dates.h"
#include "res/resource.h"
#include "storage/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

DataFileReading ReadDataFileOnce(const std::string& path, const DataFileReadOptions& options)
{
    FileRead read = ReadAndIdentify(path, options.lock ? options.lock->DataFileDescriptor() : -1);
    DataFileReading reading;
    reading.identity = read.identity;
    switch (read.read.status) {
    case TextFile::ReadStatus::Missing:
        reading.loaded.status = DataFile::Status::Missing;
        break;
    case TextFile::ReadStatus::Unreadable:
        reading.loaded.status = DataFile::Status::Unreadable;
        reading.loaded.reason = std::move(read.read.reason);
        break;
    case TextFile::ReadStatus::Ok: {
        std::string text = TextFile::JoinLines(std::move(read.read.bytes));
        reading.loaded = DataFile::ParseDocument(std::move(text), Today(), options.findDifferences);
        break;
    }
    }
    return reading;
}

namespace {

// The kind of a file that is not a regular one, in words.
int KindOf(mode_t mode)
{
    return S_ISDIR(mode) ? res::IDS_KIND_FOLDER : S_ISFIFO(mode) ? res::IDS_KIND_PIPE
                                              : S_ISSOCK(mode)  ? res::IDS_KIND_SOCKET
                                                                : res::IDS_KIND_DEVICE;
}

std::string Octal(std::uint32_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

} // namespace

DataFileSession::DataFileSession(std::string path, IDataFilePrompt& prompt, DataFileState state)
    : m_path(std::move(path)), m_prompt(&prompt), m_state(state), m_backupFolder(BackupFolder())
{
}

DataFileSession::~DataFileSession() = default;

std::string DataFileSession::Text(int id, std::initializer_list<std::string_view> values)
{
    return FillIn(m_prompt->Text(id), values);
}

std::optional<DataFileState> DataFileSession::Start()
{
    m_lock = std::make_unique<DataFileLock>(m_path);
    const DataFileLock* lock = m_lock.get();
    if (lock->GetStatus() == DataFileLock::Status::HeldElsewhere) {
        m_prompt->Inform(Text(res::IDS_FILE_IN_USE, {m_path}));
        return std::nullopt;
    }
    // Only a regular file is ever loaded, set aside or replaced: a folder (or a pipe, a
    // device) at that path is the user's by mistake, never Tillane's to move or write over.
    struct stat info {};
    if (::stat(m_path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        m_prompt->Warn(Text(res::IDS_FILE_NOT_REGULAR, {m_path, m_prompt->Text(KindOf(info.st_mode))}));
        return std::nullopt;
    }
    if (lock->GetStatus() == DataFileLock::Status::Held) {
        // Saves cut short by a crash left their temporary files; no copy is saving now.
        RemoveStaleSaves(m_path);
    } else {
        // No lock file could be made. When the folder cannot be written, nothing marks the
        // file as in use and no save can succeed there: said now, not at the first save.
        const std::filesystem::path folder = ResolveTarget(m_path).parent_path();
        const std::string where = folder.empty() ? std::string(".") : folder.string();
        if (::faccessat(AT_FDCWD, where.c_str(), W_OK, AT_EACCESS) != 0)
            m_prompt->Warn(Text(res::IDS_FILE_FOLDER_NOT_WRITABLE, {where, std::strerror(errno)}));
    }
    return Safeguard();
}

DataFileState DataFileSession::Safeguard()
{
    m_reading.reset();
    if (IsSymbolicLink(m_path) && !std::filesystem::exists(m_path)) {
        // Starting with the sample data would be a made-up start over what the link was
        // meant to reach (a folder not mounted yet, a synced file not there yet).
        const std::string target = ResolveTarget(m_path).string();
        if (m_prompt->Ask(Text(res::IDS_FILE_LINK_MISSING, {m_path, target}),
                          IDataFilePrompt::Question::YesNoDefaultNo) != IDataFilePrompt::Answer::Yes) {
            m_reading = DataFileReading {};
            return m_state = DataFileState::LinkTargetMissing;
        }
        // Read after the answer, as the window would: the target may have come meanwhile.
    }
    // The one reading of the file: the window loads it, and a save compares with it.
    m_reading = ReadDataFileOnce(m_path, {.findDifferences = true, .lock = m_lock.get()});
    const DataFile::LoadResult& probe = m_reading->loaded;
    const DataFile::Status status = probe.status;
    if (status != DataFile::Status::Unreadable && status != DataFile::Status::Malformed &&
        status != DataFile::Status::NotDataFile)
        return m_state = probe.differences > 0 ? DataFileState::LoadKeepingOriginal : DataFileState::Load;

    const std::string why = status == DataFile::Status::Unreadable
                                ? (probe.reason.empty() ? Text(res::IDS_FILE_WHY_UNREADABLE)
                                                        : Text(res::IDS_FILE_WHY_UNREADABLE_BECAUSE, {probe.reason}))
                            : status == DataFile::Status::Malformed ? Text(res::IDS_FILE_WHY_MALFORMED)
                                                                    : Text(res::IDS_FILE_WHY_NOT_DATA_FILE);
    const FileOutcome keptAs = SetAsideUnreadable(m_path, Now());
    if (keptAs.ok && keptAs.path.empty()) {
        // Gone since the look above: there is nothing to keep, and a missing file is the first run.
        m_reading = DataFileReading {};
        return m_state = DataFileState::Load;
    }
    m_reading = DataFileReading {};
    if (keptAs.ok) {
        m_prompt->Warn(Text(res::IDS_FILE_SET_ASIDE, {m_path, why, keptAs.path}));
        return m_state = DataFileState::SetAside;
    }
    m_prompt->Warn(Text(res::IDS_FILE_UNTOUCHABLE, {m_path, why, keptAs.reason}));
    return m_state = DataFileState::Untouchable;
}

DataFileReading DataFileSession::TakeReading()
{
    std::optional<DataFileReading> reading = std::exchange(m_reading, std::nullopt);
    return reading ? std::move(*reading) : ReadDataFileOnce(m_path, {.findDifferences = true, .lock = m_lock.get()});
}

void DataFileSession::Loaded(const DataFileReading& reading)
{
    // The file the bytes came from, as it was when the read began: a change since makes
    // the next save ask, not lose it.
    m_onDisk = reading.identity;
    m_loadNotes = reading.loaded.notes;
    m_loadDifferences = reading.loaded.differences;
    const DataFile::Status status = reading.loaded.status;
    m_unreadable = status != DataFile::Status::Loaded && status != DataFile::Status::Missing &&
                   status != DataFile::Status::Empty;
}

bool DataFileSession::CannotSave() const
{
    return m_state == DataFileState::LinkTargetMissing || m_state == DataFileState::Untouchable;
}

DataFileSession::ChangeChoice DataFileSession::CheckForChanges(bool closing)
{
    if (m_unreadable || (m_state != DataFileState::Load && m_state != DataFileState::LoadKeepingOriginal))
        return ChangeChoice::Save;
    if (!FileChangedSince(m_path, m_onDisk))
        return ChangeChoice::Save;
    // Something else than a file there now (a pipe, say) is neither loaded nor replaced:
    // the save refuses it.
    if (struct stat info {}; ::stat(m_path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return ChangeChoice::Save;
    const bool gone = !IdentifyFile(m_path).exists;
    const std::string text =
        Text(res::IDS_FILE_CHANGED_ASK,
             {m_path, m_prompt->Text(gone ? res::IDS_CHANGED_DELETED : res::IDS_CHANGED_CHANGED),
              m_prompt->Text(gone ? res::IDS_CHANGED_SAVED_AGAIN : res::IDS_CHANGED_KEPT_FIRST),
              m_prompt->Text(closing ? res::IDS_CHANGED_AND_CLOSE : res::IDS_CHANGED_AND_LOAD),
              m_prompt->Text(closing ? res::IDS_CHANGED_CANCEL_CLOSING : res::IDS_CHANGED_CANCEL)});
    const IDataFilePrompt::Answer answer = m_prompt->Ask(text, IDataFilePrompt::Question::YesNoCancel);
    if (answer == IDataFilePrompt::Answer::Yes)
        return ChangeChoice::Save;
    if (answer != IDataFilePrompt::Answer::No)
        return ChangeChoice::Cancel;
    if (m_prompt->Ask(Text(res::IDS_FILE_LOSE_CHANGES), IDataFilePrompt::Question::YesNoDefaultNo) !=
        IDataFilePrompt::Answer::Yes)
        return ChangeChoice::Cancel;
    if (closing) {
        // Theirs stays as it is; a deleted file stays deleted.
        m_keptNoFile = gone;
    }
    return ChangeChoice::Theirs;
}

DataFileReading DataFileSession::ReadTheirs()
{
    m_reading.reset();
    DataFileReading reading = ReadDataFileOnce(m_path);
    m_state = reading.loaded.differences > 0 ? DataFileState::LoadKeepingOriginal : DataFileState::Load;
    m_keptNoFile = reading.loaded.status == DataFile::Status::Missing;
    m_replaceReadOnly = false;
    Loaded(reading);
    // The other program's file is a new one, most likely: hold that one now.
    if (m_lock)
        m_lock->FollowDataFile();
    return reading;
}

FileOutcome DataFileSession::KeepTheirs(const std::string& path)
{
    // A link where the window had a file (or a file where it had a link) is kept as it is,
    // the link itself: the save then writes a file of its own at the path, never through a
    // link that came while the window was open.
    const bool identityChanged = IsSymbolicLink(path) != m_onDisk.symbolicLink;
    return KeepCopy(path, Now(), "changed-elsewhere", !identityChanged);
}

std::optional<std::uint32_t> DataFileSession::ModeToSave(const FileIdentity& now)
{
    if (!now.exists || (now.mode & S_IRUSR) != 0)
        return std::nullopt;
    // A file its owner cannot read would be set aside as unreadable at the next start.
    const std::uint32_t loaded = m_onDisk.exists && (m_onDisk.mode & S_IRUSR) ? m_onDisk.mode : 0600;
    m_prompt->Warn(Text(res::IDS_FILE_MODE_RESTORED, {m_path, Octal(now.mode), Octal(loaded)}));
    return loaded;
}

FileOutcome DataFileSession::Save(std::string_view bytes)
{
    FileOutcome outcome = SaveInOrder(bytes);
    if (!outcome.ok && !CannotSave()) {
        // Nothing can be made beside the data file: the folder is what to fix.
        const std::filesystem::path target = ResolveTarget(m_path);
        const std::string folder = target.parent_path().empty() ? "." : target.parent_path().string();
        if (::faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
            outcome.reason = Text(res::IDS_SAVE_FOLDER_NOT_WRITABLE, {folder, outcome.reason});
    }
    return outcome;
}

FileOutcome DataFileSession::SaveInOrder(std::string_view bytes)
{
    if (m_state == DataFileState::LinkTargetMissing)
        return FileOutcome::Failed(Text(res::IDS_SAVE_LINK_MISSING));
    if (m_state == DataFileState::Untouchable)
        return FileOutcome::Failed(Text(res::IDS_SAVE_UNTOUCHABLE));
    const std::string& path = m_path;
    // Only a regular file is replaced: a pipe put there meanwhile would hang a read and
    // is not the user's data.
    if (struct stat info {}; ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return FileOutcome::Failed(Text(res::IDS_SAVE_NOT_REGULAR, {m_prompt->Text(KindOf(info.st_mode))}));
    bool followLinks = true;
    if (!m_unreadable && FileChangedSince(path, m_onDisk) && IdentifyFile(path).exists) {
        // Another program's version of the file is kept before this one replaces it.
        followLinks = IsSymbolicLink(path) == m_onDisk.symbolicLink;
        const FileOutcome copy = KeepTheirs(path);
        if (!copy.ok)
            return FileOutcome::Failed(Text(res::IDS_SAVE_THEIRS_NOT_KEPT, {copy.reason}));
        // What was loaded is gone from the disk; there is no original left to keep.
        if (m_state == DataFileState::LoadKeepingOriginal)
            m_state = DataFileState::Load;
        m_prompt->Inform(Text(res::IDS_FILE_CHANGED_KEPT, {path, copy.path}));
    }
    if (m_state == DataFileState::LoadKeepingOriginal) {
        const FileOutcome copy = KeepCopy(path, Now());
        if (!copy.ok)
            return FileOutcome::Failed(Text(res::IDS_SAVE_ORIGINAL_NOT_KEPT, {copy.reason}));
        m_state = DataFileState::Load;
        std::string differences;
        for (const std::string& note : m_loadNotes)
            differences += "\u2022 " + note + "\n";
        if (m_loadDifferences > m_loadNotes.size())
            differences += Text(res::IDS_MORE_DIFFERENCES, {std::to_string(m_loadDifferences - m_loadNotes.size())}) + "\n";
        m_prompt->Inform(Text(res::IDS_ORIGINAL_KEPT, {path, differences, copy.path}));
    }
    if (m_unreadable) {
        // The file there was not understood: keep it before writing anything to its name.
        if (const FileOutcome kept = SetAsideUnreadable(path, Now()); !kept.ok)
            return FileOutcome::Failed(Text(res::IDS_SAVE_NOT_SET_ASIDE, {kept.reason}));
        m_unreadable = false;
    }
    const FileIdentity now = followLinks ? IdentifyFile(path) : FileIdentity {};
    if (now.exists && (now.mode & S_IRUSR) != 0 && (now.mode & 0222) == 0 && !m_replaceReadOnly) {
        // Read-only by the user's choice, most likely: ask, and keep it so.
        if (m_prompt->Ask(Text(res::IDS_FILE_READ_ONLY_ASK, {path}), IDataFilePrompt::Question::YesNoDefaultNo) !=
            IDataFilePrompt::Answer::Yes)
            return FileOutcome::Failed(Text(res::IDS_SAVE_READ_ONLY_KEPT));
        m_replaceReadOnly = true;
    }
    // The names the file had when loaded (not the copy of the original kept just now).
    if (now.exists && m_onDisk.links > 1 && !m_toldHardLinks) {
        // A save writes a new file: the other names stay with the old one.
        m_toldHardLinks = true;
        m_prompt->Inform(Text(res::IDS_FILE_HARD_LINKS_SPLIT, {path, std::to_string(m_onDisk.links)}));
    }
    if (followLinks) {
        if (const FileOutcome backup = BackUpDataFile(path, m_backupFolder, Now()); !backup.ok && !m_toldBackupFailure) {
            // Told once a run; the save itself goes on.
            m_toldBackupFailure = true;
            m_prompt->Warn(Text(res::IDS_FILE_BACKUP_FAILED, {path, m_backupFolder.string(), backup.reason}));
        }
    }
    FileIdentity written;
    ReplaceOptions options;
    options.followLinks = followLinks;
    options.mode = ModeToSave(now);
    // A file of its own in place of a link: with the permissions the data file had.
    if (!followLinks && m_onDisk.exists)
        options.mode = m_onDisk.mode;
    const FileOutcome outcome = ReplaceFile(path, bytes, {}, &written, options);
    if (!outcome.ok)
        return outcome;
    m_onDisk = written;
    m_keptNoFile = false;
    if (m_lock)
        m_lock->FollowDataFile();
    return outcome;
}

} // namespace app
