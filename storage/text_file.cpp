#include "storage/text_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace TextFile {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

std::string JoinLines(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    std::size_t lineStart = 0;
    while (lineStart < bytes.size()) {
        const std::size_t feed = bytes.find('\n', lineStart);
        if (feed == std::string_view::npos) {
            text.append(bytes.substr(lineStart));
            break;
        }
        std::size_t lineEnd = feed;
        // Text mode turns CR LF into LF; any other CR is an ordinary character.
        if (lineEnd > lineStart && bytes[lineEnd - 1] == '\r')
            --lineEnd;
        text.append(bytes.substr(lineStart, lineEnd - lineStart));
        lineStart = feed + 1;
    }
    return text;
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

ReadResult Read(const std::filesystem::path& path)
{
    ReadResult result;
    errno = 0;
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result.status = errno == ENOENT ? ReadStatus::Missing : ReadStatus::Unreadable;
        return result;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, got);
        if (got < sizeof buffer)
            break;
    }
    // A folder opens but cannot be read: that is an error, not an empty file.
    result.status = std::ferror(file.get()) ? ReadStatus::Unreadable : ReadStatus::Ok;
    result.text = JoinLines(bytes);
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
