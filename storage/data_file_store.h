#pragma once

#include "storage/text_file.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// The file-system side of keeping the user's data safe: the data file is replaced in one
// step, a file that could not be loaded is set aside before anything else is written to
// its name, and one copy of the program at a time holds a data file.
namespace app {

// How a file operation ended: done, or why not. Every file operation of the program's
// data file and of its outputs says it this way.
struct FileOutcome {
    bool ok = false;
    // Why it failed, in words for the user (the system's error text).
    std::string reason;
    // The file the operation made, where it makes one under a name of its own (a copy kept
    // aside); empty otherwise.
    std::string path;

    static FileOutcome Done(std::string made = {}) { return {true, {}, std::move(made)}; }
    static FileOutcome Failed(std::string why) { return {false, std::move(why), {}}; }
};

// The file a path names in the end: links are followed, even to a target that does not
// exist yet, so that writing there keeps the link and writes where it points.
std::filesystem::path ResolveTarget(const std::string& path);

// What a data file was when this program last read or wrote it, so as to tell later
// whether another program has changed it since.
// The file's facts (device, inode, size, modification and change times, permission bits,
// names, whether it is a regular file) are those a read sees; the change time moves with an
// edit that puts the modification time back.
struct FileIdentity : TextFile::FileFacts {
    bool exists = false;
    // Whether the path itself is a symbolic link (followed for the facts).
    bool symbolicLink = false;
    // When this was taken: a file modified just before may be modified again within the
    // same tick of the file system's clock, unseen by the facts.
    std::int64_t takenNs = 0;
    // Of the bytes, for when the facts cannot be trusted; only when they were read.
    bool hashed = false;
    std::uint64_t hash = 0;
};

// FNV-1a of the bytes: 64 bits to tell contents apart, 32 bits to tell folders apart in a
// short name.
std::uint64_t HashBytes(std::string_view bytes);
std::uint32_t HashBytes32(std::string_view bytes);

// Describes the file a path names now (links followed), reading it for its hash.
FileIdentity IdentifyFile(const std::string& path);

// The bytes of a file read once, and the file they were read from: as it was when the read
// began (taken as of just before it), with the hash of the bytes when they were read whole.
struct FileRead {
    TextFile::BytesResult read;
    FileIdentity identity;
};

// Reads the file a path names, through `descriptor` when that is open on it (a lock's hold
// on the file), else by the path.
FileRead ReadAndIdentify(const std::string& path, int descriptor = -1);

// Whether the file a path names now holds other bytes than `known` describes, or has
// appeared or gone, or is another kind of thing than it was: a symbolic link where there
// was a file or the reverse, anything but a regular file. Only when device, inode, size,
// modification and change times are as recorded, and both times lay well before the record
// was taken, is the file not read again; otherwise its bytes tell.
bool FileChangedSince(const std::string& path, const FileIdentity& known);

// Whether the path is a symbolic link itself.
bool IsSymbolicLink(const std::string& path);

// Writes the bytes to a new file in the same folder, flushes it to the disk and renames
// it over the old file, which keeps its permissions. Whatever happens before the rename
// leaves the old file as it was. A link is followed: the file it points to is replaced.
// beforeRename, when given, runs between the write and the rename; returning false there
// abandons the save as a failure would (tests use it to cut a save short).
// written, when given, receives what the new file is after a successful save.
// options.followLinks false writes a regular file at the path itself, replacing a link
// there; options.mode, when given, is the new file's permissions instead of the old one's.
struct ReplaceOptions {
    bool followLinks = true;
    std::optional<std::uint32_t> mode;
};
FileOutcome ReplaceFile(const std::string& path, std::string_view bytes,
                        const std::function<bool()>& beforeRename = {}, FileIdentity* written = nullptr,
                        const ReplaceOptions& options = {});

// Renames a data file that could not be loaded to "<name>.unreadable-YYYYMMDD-HHMM" (local
// time of now; "-2", "-3", ... appended when that name is taken) in the same folder. A link
// stays where it is: the file it points to is renamed, beside it, as a save writes there.
// Done with the new path; done with none when no file is there any more (nothing to keep);
// failed, with the reason, when the rename failed or what is there is not a regular file.
FileOutcome SetAsideUnreadable(const std::string& path, std::time_t now);

// Removes the temporary files that writes of the file a path names left behind when they
// were cut short (".<name>.saving-XXXXXX" next to it): a write under way holds its own, and
// that one is left. Returns how many were removed.
int RemoveStaleSaves(const std::string& dataFilePath);

// Keeps a copy of the data file as it is now under "<name>.<label>-YYYYMMDD-HHMM" (local
// time of now; "-2", "-3", ... when taken) in the same folder, leaving the file itself in
// place: a second name for the same bytes where the file system allows it, else a copy.
// Done with the copy's path, or failed with the reason. With followLinks false, what the
// path itself is (a link, say) is kept under "<path>.<label>-...", not the file it leads to.
FileOutcome KeepCopy(const std::string& path, std::time_t now, const std::string& label = "original",
                     bool followLinks = true);

// Where backups of data files go: $XDG_STATE_HOME/Tillane/backups, by default
// ~/.local/state/Tillane/backups; never beside the data file.
std::filesystem::path BackupFolder();

// Keeps the data file as it is now in `folder`, once a day: the copy is named
// "<name>.<8 hex digits for the file's folder>.<YYYY-MM-DD>" (local date of now), and
// nothing is done when today's copy is already there or there is no data file yet. Only
// the newest `keep` copies of this data file stay; the temporary files of its backups cut
// short are removed.
FileOutcome BackUpDataFile(const std::string& path, const std::filesystem::path& folder, std::time_t now,
                           int keep = 10);

// An advisory lock on a data file, held for the life of the object, so that a second copy
// of the program does not work on the same file, whatever name it reaches it by. Two
// locks are taken: one on a hidden file next to the data file (".<name>.lock", which holds
// even while there is no data file yet, and is removed when the lock is let go), and one
// on the data file itself, by its device and inode, which its hard links share.
class DataFileLock {
public:
    enum class Status {
        Held,        // this process holds the lock
        HeldElsewhere, // another process holds it
        Unavailable, // no lock could be made (a read-only folder, say); nothing is held
    };

    explicit DataFileLock(const std::string& dataFilePath);
    ~DataFileLock();
    DataFileLock(const DataFileLock&) = delete;
    DataFileLock& operator=(const DataFileLock&) = delete;

    Status GetStatus() const { return m_status; }

    // After a save has put a new file under the data file's name: lock that one instead.
    void FollowDataFile();

    // The data file as locked, open for reading; -1 when it is not held (there was no
    // file yet, or it could not be opened).
    int DataFileDescriptor() const { return m_fileDescriptor; }

private:
    std::string m_dataFilePath;
    std::filesystem::path m_lockPath;
    int m_descriptor = -1;
    int m_fileDescriptor = -1;
    Status m_status = Status::Unavailable;
};

} // namespace app
