#include "ui/platform/dialog_builder.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "res/icon.h"
#include "res/resource.h"
#include "ui/platform/accessibility.h"
#include "ui/platform/api.h"
#include "ui/platform/controls.h"
#include "ui/platform/list_ctrl.h"
#include "ui/platform/widgets.h"

namespace win {

namespace {

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average width of the letters, rounded, as the dialog manager measures its font.
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(letters / 26 + 1) / 2, metrics.height()};
}

} // namespace

DialogBaseUnits GetDialogBaseUnits()
{
    return BaseUnitsOf(QApplication::font());
}

QFont DefaultUiFont()
{
    QFont font(QStringLiteral("Liberation Sans"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont ChooseUiFont(const QFont& desktop)
{
    // Qt's generic theme, used where no platform theme is, names this font whatever the
    // desktop: it says nothing of the user's choice.
    if (desktop.family() == QStringLiteral("Sans Serif") && desktop.pointSizeF() == 9.0)
        return DefaultUiFont();
    return desktop;
}

int ScaleForFont(int pixels)
{
    static const int reference = std::max(BaseUnitsOf(DefaultUiFont()).x, 1);
    return static_cast<int>(MulDiv(pixels, GetDialogBaseUnits().x, reference));
}

CRect MapDialogRect(const CRect& dialogUnits)
{
    const DialogBaseUnits units = GetDialogBaseUnits();
    auto x = [&](int value) { return static_cast<int>(MulDiv(value, units.x, 4)); };
    auto y = [&](int value) { return static_cast<int>(MulDiv(value, units.y, 8)); };
    return CRect{x(dialogUnits.left), y(dialogUnits.top), x(dialogUnits.right), y(dialogUnits.bottom)};
}

CRect MapDialogRect(const ControlTemplate& control)
{
    return MapDialogRect(CRect{control.x, control.y, control.x + control.cx, control.y + control.cy});
}

std::unique_ptr<CWnd> MakeWrapper(const ControlTemplate& control)
{
    switch (control.kind) {
    case ControlKind::Button:
        return std::make_unique<CButton>();
    case ControlKind::Edit:
        return std::make_unique<CEdit>();
    case ControlKind::ComboBox:
        return std::make_unique<CComboBox>();
    case ControlKind::ListView:
        return std::make_unique<CListCtrl>();
    case ControlKind::UpDown:
        return std::make_unique<CSpinButtonCtrl>();
    case ControlKind::DateTimePicker:
        return std::make_unique<CDateTimeCtrl>();
    case ControlKind::Static:
        break;
    }
    return std::make_unique<CStatic>();
}

namespace {

Qt::Alignment TextAlignment(std::uint32_t style)
{
    switch (style & 0x3u) {
    case 1:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case 2:
        return Qt::AlignRight | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

QWidget* CreateControlWidget(const ControlTemplate& control, QWidget* parent)
{
    const QString text = QString::fromStdString(control.text);
    const std::uint32_t style = control.style;
    // Before any control exists: an accessible interface, once made, stays.
    InstallAccessibleRoles();
    switch (control.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(parent);
        if ((style & SS_TYPEMASK) == SS_ICON) {
            label->setPixmap(LoadIcon(control.icon).pixmap(32, 32));
        } else {
            label->setText(text);
            label->setWordWrap((style & SS_TYPEMASK) == SS_LEFT);
            label->setAlignment((TextAlignment(style) & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
        }
        return label;
    }
    case ControlKind::Button:
        switch (style & BS_TYPEMASK) {
        case BS_GROUPBOX: {
            auto* group = new GroupBoxWidget(text, parent);
            // Like a Windows group box: behind the controls it frames, and clicks pass.
            group->setAttribute(Qt::WA_TransparentForMouseEvents);
            return group;
        }
        case BS_AUTORADIOBUTTON:
        case BS_RADIOBUTTON: {
            auto* radio = new QRadioButton(text, parent);
            radio->setAutoExclusive(false);
            return radio;
        }
        case BS_AUTOCHECKBOX:
        case BS_CHECKBOX:
            return new QCheckBox(text, parent);
        case BS_OWNERDRAW: {
            auto* button = new OwnerDrawButton(parent);
            button->setText(text);
            // Its owner draws the focus too: only a tab stop takes it.
            button->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::NoFocus);
            return button;
        }
        default: {
            auto* button = new PushButtonWidget(text, parent);
            button->setFlat((style & BS_FLAT) != 0);
            button->setAutoDefault(false);
            button->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            return button;
        }
        }
    case ControlKind::Edit: {
        auto* edit = (style & WS_BORDER) ? new QLineEdit(text, parent) : new BorderlessEditWidget(text, parent);
        edit->setAlignment(TextAlignment(style));
        if (style & ES_NUMBER)
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        return edit;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        const bool editable = (style & 0x3u) == CBS_DROPDOWN;
        combo->setEditable(editable);
        if (editable) {
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
        }
        for (const std::string& item : control.items)
            combo->addItem(QString::fromStdString(item));
        // A new combo box has no selection, whatever its items.
        combo->setCurrentIndex(-1);
        if (editable)
            combo->setEditText(QString());
        return combo;
    }
    case ControlKind::ListView: {
        auto* view = new ListViewWidget(parent);
        view->setFrameShape((style & WS_BORDER) ? QFrame::StyledPanel : QFrame::NoFrame);
        return view;
    }
    case ControlKind::UpDown: {
        auto* upDown = new UpDownWidget(parent, (style & UDS_HORZ) != 0);
        upDown->wrap = (style & UDS_WRAP) != 0;
        upDown->setBuddyInt = (style & UDS_SETBUDDYINT) != 0;
        upDown->arrowKeys = (style & UDS_ARROWKEYS) != 0;
        return upDown;
    }
    case ControlKind::DateTimePicker: {
        auto* picker = new DatePickerWidget(parent);
        picker->setCalendarPopup(true);
        picker->setTimeSpec(Qt::LocalTime);
        picker->setDisplayFormat(QStringLiteral("M/d/yyyy"));
        return picker;
    }
    }
    return new QWidget(parent);
}

std::unique_ptr<CWnd> CreateControl(const ControlTemplate& control, QWidget* parent)
{
    QWidget* widget = CreateControlWidget(control, parent);
    const CRect rect = MapDialogRect(control);
    widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        // The template's height includes the dropped-down list; the closed box is one line.
        combo->setGeometry(rect.left, rect.top, rect.Width(), combo->sizeHint().height());
    }
    widget->setEnabled((control.style & WS_DISABLED) == 0);
    widget->setVisible((control.style & WS_VISIBLE) != 0);
    widget->setFocusPolicy((control.style & WS_TABSTOP) ? Qt::StrongFocus
                           : control.kind == ControlKind::Static || control.kind == ControlKind::UpDown
                               ? Qt::NoFocus
                               : Qt::ClickFocus);
    if (control.kind == ControlKind::Button && (control.style & BS_TYPEMASK) == BS_GROUPBOX)
        widget->lower();
    std::unique_ptr<CWnd> wrapper = MakeWrapper(control);
    wrapper->Attach(widget, control.id, control.style);
    return wrapper;
}

QIcon LoadIcon(int id)
{
    QIcon icon;
    if (id != res::IDR_MAINFRAME) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return icon;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(res::DrawProgramIcon(size)));
    return icon;
}

} // namespace win
