#include "app/about_dlg.h"
#include "app/browser.h"
#include "app/tillane_app.h"
#include "res/resource.h"
#include "ui/platform/scripted_runner.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QStringList>

namespace {

struct FakeBrowser : app::url::IBrowserImpl {
    bool IsAvailable() override { return available; }
    void Launch(const std::string& address) override { launched.push_back(address); }
    bool available = false;
    std::vector<std::string> launched;
};

// Puts a fake launcher in place of the desktop's for one test.
struct InstalledBrowser {
    InstalledBrowser() : previous(app::url::Browser::Install(fake)) {}
    ~InstalledBrowser() { app::url::Browser::Install(previous); }
    FakeBrowser fake;
    app::url::IBrowserImpl& previous;
};

TEST(AboutBox, ShowsTheVersionLineThePlatformAndAThinBorder)
{
    win::ScriptedRunner runner;
    CAboutDlg about;
    std::string shown;
    QStringList texts;
    QImage image;
    runner.OnNextDialog([&](win::CDialog& dialog) {
        shown = dialog.GetDlgItemText(res::IDC_VERSION);
        for (const QLabel* label : dialog.Widget()->findChildren<QLabel*>())
            texts << label->text();
        image = dialog.Widget()->grab().toImage();
        dialog.PressButton(win::IDOK);
    });
    EXPECT_EQ(about.DoModal(), win::IDOK);
    EXPECT_EQ(shown, "Version " + VersionText());
    EXPECT_TRUE(texts.contains(QStringLiteral("Tillane for Linux"))) << texts.join(u'|').toStdString();
    // One dark line all round, the dialog's face inside it.
    ASSERT_FALSE(image.isNull());
    const QRgb face = image.pixel(image.width() / 2, 2);
    for (const QPoint point : {QPoint(0, 0), QPoint(image.width() - 1, image.height() / 2),
                               QPoint(image.width() / 2, image.height() - 1), QPoint(0, image.height() / 2)}) {
        EXPECT_LT(qGray(image.pixel(point)), 128) << point.x() << "," << point.y();
        EXPECT_NE(image.pixel(point), face);
    }
    EXPECT_GT(qGray(image.pixel(1, image.height() / 2)), 128) << "the border is one pixel thin";
}

TEST(AboutBox, HomePageOpensTheBrowserOrExplainsHowToGetThere)
{
    InstalledBrowser browser;
    win::ScriptedRunner runner;
    CAboutDlg about;
    bool stillOpen = false;
    runner.OnNextDialog([&](win::CDialog& dialog) {
        dialog.PressButton(res::IDC_HOME_PAGE);
        stillOpen = !dialog.IsEnded();
        browser.fake.available = true;
        dialog.PressButton(res::IDC_HOME_PAGE);
        dialog.PressButton(win::IDOK);
    });
    about.DoModal();
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(runner.MessageBoxes().size(), 1u);
    const auto& message = runner.MessageBoxes()[0];
    EXPECT_EQ(message.caption, "Application Error");
    EXPECT_EQ(message.text, "Unable to launch your Internet browser.\n\nTo get to Tillane home page you can start your "
                            "browser manually\nand enter the following line in the Address bar:\n\n" +
                                std::string(app::url::kHomePage));
    EXPECT_EQ(message.type, win::MB_OK | win::MB_ICONEXCLAMATION);
    EXPECT_EQ(browser.fake.launched, std::vector<std::string> {app::url::kHomePage});
}

} // namespace
