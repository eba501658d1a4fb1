#include "storage/text_file.h"

#include "storage/xml_document.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TextFile {

std::string JoinLines(std::string&& bytes)
{
    // In place: the text is never longer than the bytes.
    std::size_t length = 0;
    std::size_t lineStart = 0;
    while (lineStart < bytes.size()) {
        std::size_t feed = bytes.find('\n', lineStart);
        std::size_t lineEnd = feed == std::string::npos ? bytes.size() : feed;
        // Text mode turns CR LF into LF; any other CR is an ordinary character.
        if (feed != std::string::npos && lineEnd > lineStart && bytes[lineEnd - 1] == '\r')
            --lineEnd;
        if (length != lineStart)
            std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(lineStart),
                      bytes.begin() + static_cast<std::ptrdiff_t>(lineEnd),
                      bytes.begin() + static_cast<std::ptrdiff_t>(length));
        length += lineEnd - lineStart;
        lineStart = feed == std::string::npos ? bytes.size() : feed + 1;
    }
    bytes.resize(length);
    return std::move(bytes);
}

std::string JoinLines(std::string_view bytes)
{
    return JoinLines(std::string(bytes));
}

std::string ToTextMode(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            bytes.push_back('\r');
        bytes.push_back(c);
    }
    return bytes;
}

std::uintmax_t LargestFile()
{
    return CXmlDocument::kLargestDocument;
}

namespace {

std::string TooLarge()
{
    return "it is larger than the " + std::to_string(LargestFile() >> 20) + " MB a data file can be";
}

} // namespace

BytesResult ReadBytes(int descriptor)
{
    BytesResult result;
    struct stat info {};
    if (::fstat(descriptor, &info) != 0) {
        result.status = ReadStatus::Unreadable;
        result.reason = std::strerror(errno);
        return result;
    }
    result.facts = FileFacts {static_cast<std::uint64_t>(info.st_dev),
                              static_cast<std::uint64_t>(info.st_ino),
                              static_cast<std::uint64_t>(info.st_size),
                              static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                              static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec,
                              static_cast<std::uint32_t>(info.st_mode & 07777),
                              static_cast<std::uint64_t>(info.st_nlink),
                              S_ISREG(info.st_mode)};
    if (!S_ISREG(info.st_mode)) {
        result.status = ReadStatus::Unreadable;
        result.reason = "it is not a regular file";
        return result;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > LargestFile()) {
        result.status = ReadStatus::Unreadable;
        result.reason = TooLarge();
        return result;
    }
    std::string& bytes = result.bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    bool failed = false;
    for (off_t offset = 0;;) {
        // pread: the descriptor may be someone else's, whose offset is theirs.
        const ssize_t got = ::pread(descriptor, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            failed = true;
            result.reason = std::strerror(errno);
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        offset += got;
        // A file that grows while it is read is still held to the limit.
        if (bytes.size() > LargestFile()) {
            failed = true;
            result.reason = TooLarge();
            break;
        }
    }
    result.status = failed ? ReadStatus::Unreadable : ReadStatus::Ok;
    return result;
}

BytesResult ReadBytes(const std::filesystem::path& path)
{
    // Without O_NONBLOCK, opening a pipe would wait for a writer that may never come.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        const int error = errno;
        BytesResult result;
        result.status = error == ENOENT ? ReadStatus::Missing : ReadStatus::Unreadable;
        result.reason = std::strerror(error);
        return result;
    }
    BytesResult result = ReadBytes(descriptor);
    ::close(descriptor);
    return result;
}

ReadResult Read(const std::filesystem::path& path)
{
    BytesResult read = ReadBytes(path);
    ReadResult result;
    result.status = read.status;
    result.reason = std::move(read.reason);
    result.text = JoinLines(std::move(read.bytes));
    return result;
}

bool Write(const std::filesystem::path& path, std::string_view text)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const std::string bytes = ToTextMode(text);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    return written && flushed && closed;
}

} // namespace TextFile
