#include "storage/text_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

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

TEST(TextFileTest, WritingIntoAMissingFolderFails)
{
    TempDir dir;
    EXPECT_FALSE(TextFile::Write(dir / "no-folder" / "f", "text"));
    EXPECT_FALSE(TextFile::Write(dir.Path(), "text"));
}
