#include "storage/config_data_manager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

class MockConfigDataStorage : public IConfigDataStorage {
public:
    MOCK_METHOD(void, WriteInt, (const std::string&, const std::string&, int), (override));
    MOCK_METHOD(void, WriteString, (const std::string&, const std::string&, const std::string&), (override));
    MOCK_METHOD(int, ReadInt, (const std::string&, const std::string&, int), (override));
    MOCK_METHOD(std::string, ReadString, (const std::string&, const std::string&, const std::string&),
                (override));
};

} // namespace

TEST(ConfigDataManagerTest, EveryOperationReachesTheStoreAtOnceWithItsArguments)
{
    testing::StrictMock<MockConfigDataStorage> storage;
    app::ConfigDataManager manager(storage);
    testing::InSequence inOrder;
    EXPECT_CALL(storage, WriteInt("Frame", "Left", -20));
    EXPECT_CALL(storage, ReadInt("Frame", "Left", 0)).WillOnce(testing::Return(-20));
    EXPECT_CALL(storage, WriteString("CashflowList", "ColumnWidth_3", "wide"));
    EXPECT_CALL(storage, ReadString("CashflowList", "ColumnWidth_3", "narrow")).WillOnce(testing::Return("wide"));

    manager.WriteInt("Frame", "Left", -20);
    EXPECT_EQ(manager.ReadInt("Frame", "Left", 0), -20);
    manager.WriteString("CashflowList", "ColumnWidth_3", "wide");
    EXPECT_EQ(manager.ReadString("CashflowList", "ColumnWidth_3", "narrow"), "wide");
}
