#include "storage/configuration.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

using BadlyFormedXml = app::Configuration::Storage::Exception::BadlyFormedXml;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

int SeededDuration(const std::filesystem::path& file)
{
    app::Configuration::Storage storage(file);
    app::Configuration configuration(storage);
    return configuration.GetInt("CashFlow", "Duration");
}

} // namespace

TEST(ConfigurationStorageTest, DurationIsSeededFromCashflowWhenInRange)
{
    struct Case {
        const char* document;
        int duration;
    };
    const Case cases[] = {
        {"<TILLANE><CASHFLOW Duration=\"24\"/></TILLANE>", 24},
        {"<TILLANE><CASHFLOW Duration=\"1\"/></TILLANE>", 1},
        {"<TILLANE><CASHFLOW Duration=\"99\"/></TILLANE>", 99},
        {"<TILLANE><CASHFLOW Duration=\"0\"/></TILLANE>", 13},
        {"<TILLANE><CASHFLOW Duration=\"100\"/></TILLANE>", 13},
        {"<TILLANE><CASHFLOW Duration=\"-5\"/></TILLANE>", 13},
        {"<TILLANE><CASHFLOW Duration=\"abc\"/></TILLANE>", 13},
        {"<TILLANE><CASHFLOW Duration=\"4294967320\"/></TILLANE>", 13},
        {"<TILLANE><CASHFLOW StartDate=\"01/01/2007\"/></TILLANE>", 13},
        {"<TILLANE><ACCOUNTS/></TILLANE>", 13},
        {"<TILLANE/>", 13},
        {"<OTHER><CASHFLOW Duration=\"24\"/></OTHER>", 13},
        {"<TILLANE><ACCOUNTS/><CASHFLOW Duration=\"24\"/></TILLANE>", 24},
    };
    TempDir dir;
    for (const Case& c : cases) {
        WriteFileBytes(dir / "default.Tillane", c.document);
        EXPECT_EQ(SeededDuration(dir / "default.Tillane"), c.duration) << c.document;
    }
}

TEST(ConfigurationStorageTest, OnlyANonEmptyMalformedFileIsAnError)
{
    TempDir dir;
    EXPECT_EQ(SeededDuration(dir / "absent"), 13);
    EXPECT_EQ(SeededDuration(dir.Path()), 13);
    WriteFileBytes(dir / "empty", "");
    EXPECT_EQ(SeededDuration(dir / "empty"), 13);
    WriteFileBytes(dir / "lines", "\r\r\n");
    EXPECT_THROW(SeededDuration(dir / "lines"), BadlyFormedXml);
    WriteFileBytes(dir / "broken", "<TILLANE><CASHFLOW Duration=\"24\"/>");
    EXPECT_THROW(SeededDuration(dir / "broken"), BadlyFormedXml);
}

TEST(ConfigurationStorageTest, ReadDataFileJoinsLines)
{
    TempDir dir;
    WriteFileBytes(dir / "f", "<TILLANE>\r\r\n<CASHFLOW/>\n</TILLANE>\r\n");
    app::Configuration::Storage storage(dir / "f");
    EXPECT_EQ(storage.ReadDataFile(), "<TILLANE>\r<CASHFLOW/></TILLANE>");
}
