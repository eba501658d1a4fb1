#include "ui/platform/wnd.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QWidget>

namespace win {

CWnd::CWnd() = default;

CWnd::~CWnd() { Detach(); }

bool CWnd::HasWindow() const { return !m_widget.isNull(); }

QWidget* CWnd::Widget() const { return m_widget.data(); }

void CWnd::Attach(QWidget* widget, int id, std::uint32_t style)
{
    Detach();
    m_widget = widget;
    m_id = id;
    m_style = style;
    if (widget) {
        // The connection dies with the widget or with Detach; the CWnd outlives neither.
        QObject::connect(widget, &QObject::destroyed, widget, [this] {
            m_widget = nullptr;
            OnWindowDestroyed();
        });
        m_destroyConnected = true;
        BindWidget();
        PreSubclassWindow();
    }
}

QWidget* CWnd::Detach()
{
    QWidget* widget = m_widget.data();
    if (widget && m_destroyConnected)
        QObject::disconnect(widget, &QObject::destroyed, widget, nullptr);
    m_destroyConnected = false;
    m_widget = nullptr;
    return widget;
}

void CWnd::SetWindowText(const std::string& text)
{
    QWidget* widget = Widget();
    if (!widget)
        return;
    const QString value = QString::fromStdString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(value);
    else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->isEditable())
            combo->setEditText(value);
        else
            combo->setCurrentIndex(combo->findText(value, Qt::MatchFixedString));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(value);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(value);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(value);
    else
        widget->setWindowTitle(value);
}

std::string CWnd::GetWindowText() const
{
    QWidget* widget = Widget();
    if (!widget)
        return {};
    QString value;
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        value = edit->text();
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        value = combo->currentText();
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        value = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        value = group->title();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        value = label->text();
    else
        value = widget->windowTitle();
    return value.toStdString();
}

void CWnd::EnableWindow(bool enable)
{
    if (QWidget* widget = Widget())
        widget->setEnabled(enable);
}

bool CWnd::IsWindowEnabled() const { return Widget() && Widget()->isEnabled(); }

void CWnd::ShowWindow(bool show)
{
    if (QWidget* widget = Widget())
        widget->setVisible(show);
}

bool CWnd::IsZoomed() const
{
    QWidget* widget = Widget();
    return widget && widget->isWindow() && (widget->isMaximized() || widget->isFullScreen());
}

void CWnd::SetFocus()
{
    if (QWidget* widget = Widget())
        widget->setFocus(Qt::OtherFocusReason);
}

bool CWnd::HasFocus() const
{
    QWidget* widget = Widget();
    if (!widget)
        return false;
    QWidget* focus = widget->window()->focusWidget();
    // Composite controls (an editable combo box) give the focus to an inner widget.
    return focus && (focus == widget || widget->isAncestorOf(focus));
}

namespace {

CRect FromQRect(const QRect& rect)
{
    return CRect{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

} // namespace

CRect CWnd::GetWindowRect() const
{
    QWidget* widget = Widget();
    if (!widget)
        return {};
    if (widget->isWindow())
        return FromQRect(widget->frameGeometry());
    const QPoint topLeft = widget->mapToGlobal(QPoint(0, 0));
    return CRect{topLeft.x(), topLeft.y(), topLeft.x() + widget->width(), topLeft.y() + widget->height()};
}

CRect CWnd::GetClientRect() const
{
    QWidget* widget = ClientWidget();
    if (!widget)
        return {};
    return CRect{0, 0, widget->width(), widget->height()};
}

void CWnd::ScreenToClient(CRect& rect) const
{
    QWidget* widget = ClientWidget();
    if (!widget)
        return;
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    rect.left -= origin.x();
    rect.right -= origin.x();
    rect.top -= origin.y();
    rect.bottom -= origin.y();
}

void CWnd::ClientToScreen(CRect& rect) const
{
    QWidget* widget = ClientWidget();
    if (!widget)
        return;
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    rect.left += origin.x();
    rect.right += origin.x();
    rect.top += origin.y();
    rect.bottom += origin.y();
}

void CWnd::MoveWindow(const CRect& rect, bool repaint)
{
    MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

void CWnd::MoveWindow(int x, int y, int width, int height, bool repaint)
{
    QWidget* widget = Widget();
    if (!widget)
        return;
    if (widget->isWindow()) {
        // The rectangle is the outer one: take off what the frame adds. Before the window
        // is shown the frame is not known yet; the rectangle is applied again once it is.
        const QRect frame = widget->frameGeometry();
        const QRect inner = widget->geometry();
        if (frame == inner && !widget->isVisible())
            m_outerRectBeforeFrame = CRect{x, y, x + width, y + height};
        const int extraWidth = frame.width() - inner.width();
        const int extraHeight = frame.height() - inner.height();
        widget->move(x, y);
        widget->resize(std::max(0, width - extraWidth), std::max(0, height - extraHeight));
    } else {
        widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
    }
    if (repaint)
        widget->update();
}

void CWnd::SetWindowPos(int x, int y, int width, int height, unsigned flags)
{
    QWidget* widget = Widget();
    if (!widget)
        return;
    CRect rect;
    if (widget->isWindow()) {
        rect = GetWindowRect();
    } else {
        const QRect geometry = widget->geometry();
        rect = FromQRect(geometry);
    }
    if (!(flags & SWP_NOMOVE)) {
        const int w = rect.Width();
        const int h = rect.Height();
        rect = CRect{x, y, x + w, y + h};
    }
    if (!(flags & SWP_NOSIZE)) {
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
    }
    MoveWindow(rect, true);
}

void CWnd::SetMinimumClientSize(int cx, int cy)
{
    if (QWidget* client = ClientWidget())
        client->setMinimumSize(std::max(0, cx), std::max(0, cy));
}

void CWnd::FrameKnown(int left, int top, int right, int bottom)
{
    QWidget* widget = Widget();
    if (!widget || !m_outerRectBeforeFrame || (left <= 0 && top <= 0 && right <= 0 && bottom <= 0))
        return;
    const CRect outer = *m_outerRectBeforeFrame;
    m_outerRectBeforeFrame.reset();
    widget->move(outer.left, outer.top);
    widget->resize(std::max(0, outer.Width() - left - right), std::max(0, outer.Height() - top - bottom));
}

void CWnd::Invalidate(bool erase)
{
    (void)erase; // a repaint always starts from the widget's background
    if (QWidget* widget = Widget())
        widget->update();
}

bool CWnd::DestroyWindow()
{
    QWidget* widget = Detach();
    if (!widget)
        return false;
    OnWindowDestroyed();
    delete widget;
    return true;
}

} // namespace win
