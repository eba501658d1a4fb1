// Every dialog and page laid out with the UI font at 8, 10, 12 and 14 points: each text of
// its template fits its control, and the main window's tabs fit side by side.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <string>

#include "res/resource.h"
#include "ui/platform/dialog.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/property_sheet.h"

namespace {

// The text as shown: without the '&' that marks a key, "&&" as one.
QString Shown(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

// Why a control's text does not fit it, or "".
std::string Clipped(QWidget& widget)
{
    const QFontMetrics metrics(widget.font());
    QStyle* style = widget.style();
    const int width = widget.width();
    QString text;
    int room = width;
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        text = Shown(label->text());
        if (label->wordWrap()) {
            // Wrapped text: every word fits a line, and every line fits the height.
            for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                if (metrics.horizontalAdvance(word) > width)
                    return "the word \"" + word.toStdString() + "\" is wider than the label";
            // Whole lines, the last without the leading under it.
            const int wrapped = metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, text).height();
            const int lines = std::max(1, (wrapped + metrics.lineSpacing() / 2) / metrics.lineSpacing());
            const int height = (lines - 1) * metrics.lineSpacing() + metrics.height();
            if (height > widget.height())
                return "\"" + text.toStdString() + "\" needs " + std::to_string(height) + " pixels of height, has " +
                       std::to_string(widget.height());
            return "";
        }
    } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        text = Shown(group->title());
        room = width - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth) - 8;
    } else if (qobject_cast<QRadioButton*>(&widget) || qobject_cast<QCheckBox*>(&widget)) {
        const bool radio = qobject_cast<QRadioButton*>(&widget) != nullptr;
        text = Shown(static_cast<QAbstractButton&>(widget).text());
        room = width - style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth) -
               style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing);
    } else if (auto* button = qobject_cast<QPushButton*>(&widget)) {
        text = Shown(button->text());
        // The frame's two pixels a side; the text may use the padding inside it.
        room = width - 4;
    } else {
        return "";
    }
    const int advance = metrics.horizontalAdvance(text);
    if (advance > room)
        return "\"" + text.toStdString() + "\" needs " + std::to_string(advance) + " pixels, has " + std::to_string(room);
    return "";
}

class FontFitTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        m_saved = QApplication::font();
        QFont font = win::DefaultUiFont();
        font.setPointSize(GetParam());
        QApplication::setFont(font);
    }
    void TearDown() override { QApplication::setFont(m_saved); }

private:
    QFont m_saved;
};

TEST_P(FontFitTest, EveryTemplateTextFitsItsControl)
{
    for (int id : {res::IDD_ABOUTBOX, res::IDD_TRANS_EDIT, res::IDD_CASHFLOW_PAGE, res::IDD_ACCOUNTS_PAGE,
                   res::IDD_TRANS_PAGE, res::IDD_ACCOUNT_EDIT, res::IDD_START_DATE, res::IDD_WARN_BELOW}) {
        win::CDialog dialog(id);
        ASSERT_TRUE(dialog.Create(nullptr)) << id;
        for (QWidget* control : dialog.Widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const std::string clipped = Clipped(*control);
            EXPECT_EQ(clipped, "") << "dialog " << id << " at " << GetParam() << " pt";
        }
    }
}

TEST_P(FontFitTest, TheTabsFitTheWindowWithoutScrollArrows)
{
    win::CPropertyPage cashFlow(res::IDD_CASHFLOW_PAGE), accounts(res::IDD_ACCOUNTS_PAGE), transactions(res::IDD_TRANS_PAGE);
    win::CPropertySheet sheet(res::IDS_APP_TITLE);
    sheet.AddPage(&cashFlow);
    sheet.AddPage(&accounts);
    sheet.AddPage(&transactions);
    ASSERT_TRUE(sheet.Create(nullptr, win::WS_POPUP));
    auto* tabs = sheet.Widget()->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_LE(tabs->tabBar()->sizeHint().width(), tabs->width()) << GetParam() << " pt";
    sheet.DestroyWindow();
}

// A platform theme's font is the desktop's choice and is kept; Qt's generic fallback, what
// it names where no theme does, gives way to the program's own.
TEST(UiFont, TheDesktopsFontIsKeptAndQtsFallbackReplaced)
{
    const QFont theme(QStringLiteral("DejaVu Serif"), 12);
    EXPECT_EQ(win::ChooseUiFont(theme), theme);
    EXPECT_EQ(win::ChooseUiFont(QFont(QStringLiteral("Sans Serif"), 11)).pointSize(), 11);
    EXPECT_EQ(win::ChooseUiFont(QFont(QStringLiteral("Sans Serif"), 9)), win::DefaultUiFont());
}

INSTANTIATE_TEST_SUITE_P(UiFontSizes, FontFitTest, ::testing::Values(8, 10, 12, 14));

} // namespace
