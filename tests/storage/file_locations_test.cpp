#include "storage/file_locations.h"

#include <gtest/gtest.h>

TEST(FileLocationsTest, DataFileSitsInTheFolderAfterExactlyOneSeparator)
{
    struct Case {
        const char* folder;
        const char* path;
    };
    const Case cases[] = {
        {"/home/ann/Documents", "/home/ann/Documents/default.Tillane"},
        {"/home/ann/Documents/", "/home/ann/Documents/default.Tillane"},
        {"/home/ann/Documents///", "/home/ann/Documents/default.Tillane"},
        {"/home/ann/Documents  ", "/home/ann/Documents/default.Tillane"},
        {"/home/ann/Documents/ / ", "/home/ann/Documents/default.Tillane"},
        {"/home/ann/My Documents", "/home/ann/My Documents/default.Tillane"},
        {"/", "/default.Tillane"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeDataFilePath(c.folder), c.path) << '"' << c.folder << '"';
}

namespace {

class FixedFolder : public IDocumentsFolderProvider {
public:
    std::string GetDocumentsFolder() const override
    {
        ++calls;
        return "/srv/docs/";
    }
    mutable int calls = 0;
};

} // namespace

// The folder, the provider and the override are fixed once per run, so one test covers
// them all in order.
TEST(FileLocationsTest, FolderIsAskedOnceAndTheFirstOverrideWinsForTheRun)
{
    EXPECT_THROW(GetDocumentsFolder(), std::logic_error);

    static FixedFolder provider;
    static FixedFolder ignored;
    InstallDocumentsFolderProvider(provider);
    InstallDocumentsFolderProvider(ignored);
    EXPECT_EQ(GetDataFilePath(), "/srv/docs/default.Tillane");
    EXPECT_EQ(GetDocumentsFolder(), "/srv/docs/");
    EXPECT_EQ(provider.calls, 1);
    EXPECT_EQ(ignored.calls, 0);

    EXPECT_TRUE(SetDataFilePathOverride("/tmp/other.Tillane"));
    EXPECT_FALSE(SetDataFilePathOverride("/tmp/third.Tillane"));
    EXPECT_EQ(GetDataFilePath(), "/tmp/other.Tillane");
}
