#include "ui/platform/control_look.h"

#include <QMetaObject>
#include <QVariant>
#include <QWidget>

namespace win {

namespace {

constexpr const char* kTextColourProperty = "tillaneTextColour";

} // namespace

void ShowAsTextLine(CWnd& button, COLORREF colour)
{
    QWidget* widget = button.Widget();
    if (!widget)
        return;
    widget->setProperty(kTextColourProperty, static_cast<unsigned>(colour));
    widget->setStyleSheet(QStringLiteral("QPushButton { text-align: left; border: none; padding: 0 2px; color: rgb(%1, %2, %3); }")
                              .arg(GetRValue(colour))
                              .arg(GetGValue(colour))
                              .arg(GetBValue(colour)));
}

COLORREF GetTextColor(const CWnd& window)
{
    const QWidget* widget = window.Widget();
    if (!widget)
        return RGB(0, 0, 0);
    return static_cast<COLORREF>(widget->property(kTextColourProperty).toUInt());
}

void SetToolTip(CWnd& window, const std::string& text)
{
    if (QWidget* widget = window.Widget())
        widget->setToolTip(QString::fromStdString(text));
}

void PostCall(CWnd& window, std::function<void()> call)
{
    QWidget* widget = window.Widget();
    if (!widget) {
        call();
        return;
    }
    QMetaObject::invokeMethod(widget, std::move(call), Qt::QueuedConnection);
}

} // namespace win
