#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The file-system side of keeping the user's data safe: the data file is replaced in one
// step, a file that could not be loaded is set aside before anything else is written to
// its name, and one copy of the program at a time holds a data file.
namespace app {

struct FileOutcome {
    bool ok = false;
    // Why it failed, in words for the user (the system's error text).
    std::string reason;
};

// Writes the bytes to a new file in the same folder, flushes it to the disk and renames
// it over the old file, which keeps its permissions. Whatever happens before the rename
// leaves the old file as it was. A link is followed: the file it points to is replaced.
// beforeRename, when given, runs between the write and the rename; returning false there
// abandons the save as a failure would (tests use it to cut a save short).
FileOutcome ReplaceFile(const std::string& path, std::string_view bytes,
                        const std::function<bool()>& beforeRename = {});

// Renames a data file that could not be loaded to "<name>.unreadable-YYYYMMDD-HHMM" (local
// time of now; "-2", "-3", ... appended when that name is taken) in the same folder.
// Returns the new path; an empty one when no file is there any more (nothing to keep);
// nothing, with the reason, when the rename failed.
std::optional<std::string> SetAsideUnreadable(const std::string& path, std::time_t now, std::string* reason);

// An advisory lock on a data file, held for the life of the object, so that a second copy
// of the program does not work on the same file. The lock lives in a hidden file next to
// the data file (".<name>.lock"), because saving replaces the data file itself.
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

private:
    int m_descriptor = -1;
    Status m_status = Status::Unavailable;
};

} // namespace app
