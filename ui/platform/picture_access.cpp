#include "ui/platform/picture_access.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace win {

namespace {

constexpr const char* kPictureProperty = "tillanePicture";
constexpr const char* kValueTextProperty = "tillanePictureValueText";
constexpr const char* kValueProperty = "tillanePictureValue";
constexpr const char* kMinimumProperty = "tillanePictureMinimum";
constexpr const char* kMaximumProperty = "tillanePictureMaximum";

class PictureAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit PictureAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Chart) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return widget()->property(kValueTextProperty).toString();
        return QAccessibleWidget::text(kind);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return widget()->property(kValueProperty); }
    // The value follows the keyboard, not the other way round.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return widget()->property(kMaximumProperty); }
    QVariant minimumValue() const override { return widget()->property(kMinimumProperty); }
    QVariant minimumStepSize() const override { return 0; }
};

QAccessibleInterface* PictureFactory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->property(kPictureProperty).toBool())
        return new PictureAccessible(widget);
    return nullptr;
}

} // namespace

void SetPictureAccess(CWnd& window, const PictureAccess& access)
{
    QWidget* widget = window.Widget();
    if (!widget)
        return;
    static const bool installed = [] {
        QAccessible::installFactory(PictureFactory);
        return true;
    }();
    (void)installed;
    widget->setProperty(kPictureProperty, true);
    widget->setAccessibleName(QString::fromStdString(access.name));
    widget->setAccessibleDescription(QString::fromStdString(access.description));
    const QString valueText = QString::fromStdString(access.valueText);
    const QVariant value = access.value ? QVariant(*access.value) : QVariant();
    widget->setProperty(kMinimumProperty, access.minimum);
    widget->setProperty(kMaximumProperty, access.maximum);
    if (widget->property(kValueTextProperty).toString() == valueText && widget->property(kValueProperty) == value)
        return;
    widget->setProperty(kValueTextProperty, valueText);
    widget->setProperty(kValueProperty, value);
    QAccessibleValueChangeEvent event(widget, value.isValid() ? value : QVariant(valueText));
    QAccessible::updateAccessibility(&event);
}

} // namespace win
