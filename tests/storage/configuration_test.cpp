#include "storage/configuration.h"

#include <gtest/gtest.h>

namespace {

// Seeds nothing, like a missing data file.
class NoStorage : public app::Configuration::IStorage {
public:
    void Load(app::IConfiguration&) override { ++loads; }
    std::string ReadDataFile() override { return {}; }
    int loads = 0;
};

class FailingStorage : public app::Configuration::IStorage {
public:
    void Load(app::IConfiguration&) override { throw app::Configuration::Storage::Exception::BadlyFormedXml(); }
    std::string ReadDataFile() override { return "<"; }
};

} // namespace

TEST(ConfigurationTest, ConstructionSeedsFromTheStorageOnce)
{
    NoStorage storage;
    app::Configuration configuration(storage);
    EXPECT_EQ(storage.loads, 1);
    FailingStorage failing;
    EXPECT_THROW(app::Configuration{failing}, app::Configuration::Storage::Exception::BadlyFormedXml);
}

TEST(ConfigurationTest, DurationDefaultsToThirteenOnlyUnderItsExactNames)
{
    NoStorage storage;
    app::Configuration configuration(storage);
    EXPECT_EQ(configuration.GetInt("CashFlow", "Duration"), 13);
    EXPECT_EQ(configuration.GetString("CashFlow", "Duration"), "13");
    EXPECT_EQ(configuration.GetString("cashflow", "duration"), "");
    EXPECT_EQ(configuration.GetString("CashFlow", "duration"), "");
    EXPECT_EQ(configuration.GetInt("Cashflow", "Duration"), 0);

    // Even set empty on purpose, the duration reads as its default.
    configuration.SetString("CashFlow", "Duration", "");
    EXPECT_EQ(configuration.GetInt("CashFlow", "Duration"), 13);
    configuration.SetInt("CashFlow", "Duration", 24);
    EXPECT_EQ(configuration.GetString("CashFlow", "Duration"), "24");
}

TEST(ConfigurationTest, ValuesRoundTripAndNumbersReadLikeAtoi)
{
    NoStorage storage;
    app::Configuration configuration(storage);
    configuration.SetInt("S", "negative", -2147483647 - 1);
    EXPECT_EQ(configuration.GetInt("S", "negative"), -2147483647 - 1);
    EXPECT_EQ(configuration.GetString("S", "negative"), "-2147483648");

    configuration.SetString("S", "text", "12 apples");
    EXPECT_EQ(configuration.GetInt("S", "text"), 12);

    EXPECT_EQ(configuration.GetString("Other", "unset"), "");
    configuration.SetString("Other", "unset", "now set");
    EXPECT_EQ(configuration.GetString("Other", "unset"), "now set");
    EXPECT_EQ(configuration.GetString("other", "unset"), "");
}
