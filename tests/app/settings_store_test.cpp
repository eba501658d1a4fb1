#include "app/documents_folder.h"
#include "app/settings_store.h"

#include "storage/configuration.h"

#include "support/temp_dir.h"

#include <QDir>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>

using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

QString IniIn(const TempDir& dir)
{
    return QString::fromStdString((dir / "Tillane.conf").string());
}

} // namespace

TEST(SettingsStoreTest, AWrittenValueIsOnDiskAtOnceForAFreshStore)
{
    TempDir dir;
    app::ConfigDataStorage writer(IniIn(dir));
    writer.WriteInt("Frame", "Left", -20);
    writer.WriteInt("CashflowList", "ColumnWidth_2", 75);
    writer.WriteString("Frame", "Name", "main window");

    // Still open, the writer has already put everything into the file.
    const std::string bytes = ReadFileBytes(dir / "Tillane.conf");
    EXPECT_NE(bytes.find("[Frame]"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("Left=-20"), std::string::npos) << bytes;

    app::ConfigDataStorage reader(IniIn(dir));
    EXPECT_EQ(reader.ReadInt("Frame", "Left", 0), -20);
    EXPECT_EQ(reader.ReadInt("CashflowList", "ColumnWidth_2", 100), 75);
    EXPECT_EQ(reader.ReadString("Frame", "Name", ""), "main window");
}

TEST(SettingsStoreTest, UnwrittenKeysAndOtherLetterCaseGiveTheDefault)
{
    TempDir dir;
    app::ConfigDataStorage store(IniIn(dir));
    store.WriteInt("Frame", "Width", 640);
    store.WriteString("Frame", "Text", "wide");

    EXPECT_EQ(store.ReadInt("Frame", "Height", 7), 7);
    EXPECT_EQ(store.ReadInt("frame", "width", 7), 7);
    EXPECT_EQ(store.ReadInt("Frame", "WIDTH", 7), 7);
    EXPECT_EQ(store.ReadInt("Frame", "Text", 7), 7);
    EXPECT_EQ(store.ReadString("AccountsList", "ColumnWidth_0", "none"), "none");
    EXPECT_EQ(app::ConfigDataStorage(IniIn(dir)).ReadInt("Frame", "Width", 0), 640);
}

TEST(SettingsStoreTest, TheProgramStoreLivesInThePrivateConfigFolder)
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(configHome, nullptr);
    app::ConfigDataStorage store;
    EXPECT_EQ(store.FileName().toStdString(), std::string(configHome) + "/Ardenholt/Tillane.conf");
    store.WriteInt("Frame", "Top", 33);
    EXPECT_EQ(app::ConfigDataStorage().ReadInt("Frame", "Top", 0), 33);
}

TEST(SettingsStoreTest, ManagerReachesTheInstalledStore)
{
    app::InstallSettingsStore();
    GetConfigDataManager().WriteInt("Frame", "Height", 480);
    EXPECT_EQ(app::ConfigDataStorage().ReadInt("Frame", "Height", 0), 480);
}

TEST(DocumentsFolderTest, AMissingDocumentsFolderFallsBackToHome)
{
    TempDir dir;
    const QString existing = QString::fromStdString(dir.Path().string());
    const QString home = QStringLiteral("/home/someone");
    EXPECT_EQ(app::ChooseDocumentsFolder(existing, home), existing);
    EXPECT_EQ(app::ChooseDocumentsFolder(existing + "/absent", home), home);
    EXPECT_EQ(app::ChooseDocumentsFolder(QString(), home), home);
    testing_support::WriteFileBytes(dir / "file", "x");
    EXPECT_EQ(app::ChooseDocumentsFolder(QString::fromStdString((dir / "file").string()), home), home);
}

TEST(DocumentsFolderTest, TheDataFileGoesIntoThePrivateDocumentsFolder)
{
    app::InstallDocumentsFolder();
    const std::string expected = QDir::homePath().toStdString() + "/Documents";
    EXPECT_EQ(GetDocumentsFolder(), expected);
    EXPECT_EQ(GetDataFilePath(), expected + "/default.Tillane");
}

TEST(DocumentsFolderTest, TheRunTimeConfigurationIsSeededFromTheDataFileThere)
{
    app::InstallDocumentsFolder();
    testing_support::WriteFileBytes(GetDataFilePath(), "<TILLANE>\r\r\n<CASHFLOW Duration=\"24\"/>\r\r\n</TILLANE>\r\r\n");
    EXPECT_EQ(GetConfiguration().GetInt("CashFlow", "Duration"), 24);
    std::filesystem::remove(GetDataFilePath());
    // Made once: the file is not read again.
    EXPECT_EQ(GetConfiguration().GetInt("CashFlow", "Duration"), 24);
}
