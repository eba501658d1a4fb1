#include "storage/text_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(TextFileTest, ReadingDropsLineEndsOfEveryKindButKeepsALoneCarriageReturn)
{
    struct Case {
        const char* bytes;
        const char* text;
    };
    const Case cases[] = {
        {"<A>\n<B/>\n</A>\n", "<A><B/></A>"},
        {"<A>\r\n<B/>\r\n</A>\r\n", "<A><B/></A>"},
        {"<A>\r\r\n<B/>\r\r\n</A>\r\r\n", "<A>\r<B/>\r</A>\r"},
        {"one\rtwo", "one\rtwo"},
        {"no end", "no end"},
        {"\n\n\r\n", ""},
        {"ends in cr\r", "ends in cr\r"},
        {"", ""},
    };
    TempDir dir;
    for (const Case& c : cases) {
        WriteFileBytes(dir / "f", c.bytes);
        const TextFile::ReadResult result = TextFile::Read(dir / "f");
        EXPECT_EQ(result.status, TextFile::ReadStatus::Ok) << c.bytes;
        EXPECT_EQ(result.text, c.text) << c.bytes;
    }
}

// The joining is done in the bytes' own storage: over random mixes of line ends it gives
// what taking the text line by line gives.
TEST(TextFileTest, JoiningInPlaceTakesTheTextLineByLine)
{
    std::mt19937 random(17);
    const char pieces[] = {'a', 'b', '\r', '\n'};
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        const int length = std::uniform_int_distribution<int>(0, 40)(random);
        for (int i = 0; i < length; ++i)
            bytes += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
        std::string expected;
        std::size_t lineStart = 0;
        for (std::size_t feed; (feed = bytes.find('\n', lineStart)) != std::string::npos; lineStart = feed + 1) {
            std::string line = bytes.substr(lineStart, feed - lineStart);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            expected += line;
        }
        expected += bytes.substr(lineStart);
        EXPECT_EQ(TextFile::JoinLines(std::string_view(bytes)), expected);
        EXPECT_EQ(TextFile::JoinLines(std::string(bytes)), expected);
    }
}

TEST(TextFileTest, WritingTurnsEveryLineFeedIntoCarriageReturnLineFeed)
{
    TempDir dir;
    ASSERT_TRUE(TextFile::Write(dir / "f", "<A>\r\n<B/>\r\n</A>\r\nlast\nx\r"));
    EXPECT_EQ(ReadFileBytes(dir / "f"), "<A>\r\r\n<B/>\r\r\n</A>\r\r\nlast\r\nx\r");
}

TEST(TextFileTest, WritingTruncatesAnExistingFile)
{
    TempDir dir;
    WriteFileBytes(dir / "f", std::string(1000, 'x'));
    ASSERT_TRUE(TextFile::Write(dir / "f", "short"));
    EXPECT_EQ(ReadFileBytes(dir / "f"), "short");
}

TEST(TextFileTest, AMissingFileIsToldApartFromOneThatCannotBeRead)
{
    TempDir dir;
    EXPECT_EQ(TextFile::Read(dir / "absent").status, TextFile::ReadStatus::Missing);
    EXPECT_EQ(TextFile::Read(dir / "no-folder" / "absent").status, TextFile::ReadStatus::Missing);

    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(TextFile::Read(dir / "folder").status, TextFile::ReadStatus::Unreadable);

    if (geteuid() != 0) {
        WriteFileBytes(dir / "locked", "<TILLANE/>");
        std::filesystem::permissions(dir / "locked", std::filesystem::perms::none);
        const TextFile::ReadResult locked = TextFile::Read(dir / "locked");
        EXPECT_EQ(locked.status, TextFile::ReadStatus::Unreadable);
        EXPECT_EQ(locked.text, "");
    }
}

TEST(TextFileTest, OnlyARegularFileWithinTheLimitIsRead)
{
    TempDir dir;
    // A pipe with no writer would block an ordinary open for ever; a device never ends.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    for (const std::filesystem::path& odd : {dir / "pipe", std::filesystem::path("/dev/zero")}) {
        const TextFile::ReadResult read = TextFile::Read(odd);
        EXPECT_EQ(read.status, TextFile::ReadStatus::Unreadable) << odd;
        EXPECT_EQ(read.reason, "it is not a regular file");
        EXPECT_EQ(read.text, "");
    }

    // A file one byte over the limit is refused before a byte is read (it is sparse).
    const auto huge = dir / "huge";
    WriteFileBytes(huge, "");
    std::filesystem::resize_file(huge, TextFile::LargestFile() + 1);
    const TextFile::ReadResult tooLarge = TextFile::Read(huge);
    EXPECT_EQ(tooLarge.status, TextFile::ReadStatus::Unreadable);
    EXPECT_NE(tooLarge.reason.find("larger than"), std::string::npos) << tooLarge.reason;

    std::filesystem::create_symlink(dir / "real", dir / "link");
    WriteFileBytes(dir / "real", "a\r\nb");
    EXPECT_EQ(TextFile::Read(dir / "link").text, "ab");
}

TEST(TextFileTest, WritingIntoAMissingFolderFails)
{
    TempDir dir;
    EXPECT_FALSE(TextFile::Write(dir / "no-folder" / "f", "text"));
    EXPECT_FALSE(TextFile::Write(dir.Path(), "text"));
}
