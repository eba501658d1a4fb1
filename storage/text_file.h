#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Files read and written the way the Windows program's text-mode streams did, so that a
// file this program writes is byte for byte the one the Windows program wrote:
// - reading ends a line at LF or at CR LF, drops the line end and joins the lines with
//   no separator at all; a CR that is not followed by LF stays in the text;
// - writing turns every LF into CR LF (a document whose lines end CR LF therefore reaches
//   the disk with CR CR LF line ends).
namespace TextFile {

// Why a read gave the text it gave. The loader needs to tell a file that is not there
// (first run) from one that is there but could not be read (never overwrite it).
enum class ReadStatus {
    Ok,
    Missing,    // nothing exists at the path
    Unreadable, // it exists but could not be opened or read to its end, or is not a
                // regular file, or is larger than a document can be
};

// The largest file read: what a document can hold.
std::uintmax_t LargestFile();

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    // The joined lines; on a failure part-way through, what was read before it.
    std::string text;
    // Why it is Unreadable, in words for the user.
    std::string reason;
};

// Reads a regular file (a link to one is followed). Anything else (a pipe, a device, a
// folder) is refused without waiting on it or reading it, and so is a file larger than
// LargestFile.
ReadResult Read(const std::filesystem::path& path);

// What a read saw of the file itself, before it read the first byte.
struct FileFacts {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::uint32_t mode = 0;
    std::uint64_t links = 0;
    bool regular = false;
};

struct BytesResult {
    ReadStatus status = ReadStatus::Missing;
    // The bytes as they are on disk; on a failure part-way through, what was read before it.
    std::string bytes;
    // Why it is Unreadable, in words for the user.
    std::string reason;
    // Whenever the file could be opened and looked at (also when it was then refused).
    std::optional<FileFacts> facts;
};

// Read's reading without the text mode: the bytes themselves, and the file they came from.
BytesResult ReadBytes(const std::filesystem::path& path);
// The same from a file already open for reading, from its first byte; the descriptor is
// left open and its offset where it was.
BytesResult ReadBytes(int descriptor);

// The text-mode reading of bytes already in memory: lines joined without their ends.
std::string JoinLines(std::string_view bytes);
// The same in the bytes' own storage.
std::string JoinLines(std::string&& bytes);

// The text-mode form of a text: every LF becomes CR LF.
std::string ToTextMode(std::string_view text);

// Creates or truncates the file and writes the text-mode form of the text. False when
// the file could not be created, written or closed.
bool Write(const std::filesystem::path& path, std::string_view text);

} // namespace TextFile
