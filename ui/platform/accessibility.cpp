#include "ui/platform/accessibility.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "ui/platform/resources.h"
#include "ui/platform/widgets.h"

namespace win {

namespace {

QString WithoutKeyMark(const QString& text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == u'&')
            continue;
        plain += text[i];
    }
    return plain;
}

// A radio button of this layer: Qt's own interface reports a radio button whose
// exclusivity Qt does not keep as a check box.
class RadioButtonAccessible : public QAccessibleWidget {
public:
    explicit RadioButtonAccessible(QRadioButton* button) : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button()->isChecked();
        return state;
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return Button()->accessibleName().isEmpty() ? WithoutKeyMark(Button()->text()) : Button()->accessibleName();
        if (kind == QAccessible::Accelerator)
            return QKeySequence::mnemonic(Button()->text()).toString(QKeySequence::NativeText);
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == pressAction())
            Button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QRadioButton* Button() const { return static_cast<QRadioButton*>(widget()); }
};

QAccessibleInterface* MakeAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("QRadioButton"))
        if (auto* radio = qobject_cast<QRadioButton*>(object))
            return new RadioButtonAccessible(radio);
    return nullptr;
}

int IndexOf(const DialogTemplate& dialogTemplate, int id)
{
    for (std::size_t i = 0; i < dialogTemplate.controls.size(); ++i)
        if (dialogTemplate.controls[i].id == id)
            return static_cast<int>(i);
    return -1;
}

} // namespace

QString PlainLabelText(const std::string& text)
{
    QString plain = WithoutKeyMark(QString::fromStdString(text)).trimmed();
    if (plain.endsWith(u':'))
        plain.chop(1);
    return plain;
}

void SetAccessibleName(QWidget& widget, const QString& name)
{
    if (auto* upDown = dynamic_cast<UpDownWidget*>(&widget)) {
        upDown->SetName(name);
        return;
    }
    widget.setAccessibleName(name);
    QLineEdit* text = nullptr;
    if (auto* combo = qobject_cast<QComboBox*>(&widget))
        text = combo->lineEdit();
    else if (qobject_cast<QAbstractSpinBox*>(&widget))
        text = widget.findChild<QLineEdit*>();
    if (text)
        text->setAccessibleName(name);
}

void NameControls(const DialogTemplate& dialogTemplate, const std::vector<QWidget*>& widgets)
{
    const auto& controls = dialogTemplate.controls;
    for (std::size_t i = 0; i < controls.size() && i < widgets.size(); ++i) {
        const ControlTemplate& control = controls[i];
        const int buddyIndex = control.buddy != 0 ? IndexOf(dialogTemplate, control.buddy) : -1;
        if (buddyIndex < 0 || static_cast<std::size_t>(buddyIndex) >= widgets.size())
            continue;
        QWidget* buddy = widgets[static_cast<std::size_t>(buddyIndex)];
        if (auto* label = qobject_cast<QLabel*>(widgets[i]))
            label->setBuddy(buddy);
        else if (auto* group = dynamic_cast<GroupBoxWidget*>(widgets[i]))
            group->buddy = buddy;
        SetAccessibleName(*buddy, PlainLabelText(control.text));
    }
    // A name of the control's own counts over its label's.
    for (std::size_t i = 0; i < controls.size() && i < widgets.size(); ++i) {
        if (!controls[i].name.empty())
            SetAccessibleName(*widgets[i], QString::fromStdString(controls[i].name));
        else if (controls[i].kind == ControlKind::ListView && widgets[i]->accessibleName().isEmpty())
            SetAccessibleName(*widgets[i], QString::fromStdString(dialogTemplate.caption));
    }
}

void InstallAccessibleRoles()
{
    static const bool installed = [] {
        QAccessible::installFactory(MakeAccessible);
        return true;
    }();
    (void)installed;
}

} // namespace win
