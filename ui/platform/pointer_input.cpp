#include "ui/platform/pointer_input.h"

#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>

namespace win {

namespace {

class PointerFilter : public QObject {
public:
    PointerFilter(QWidget* widget, PointerHandlers handlers) : QObject(widget), m_widget(widget), m_handlers(std::move(handlers))
    {
        setObjectName(QStringLiteral("PointerFilter"));
    }

    void SetHandlers(PointerHandlers handlers) { m_handlers = std::move(handlers); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            ShowToolTip(mouse->position().toPoint(), mouse->globalPosition().toPoint());
            return true;
        }
        case QEvent::ToolTip: {
            const auto* help = static_cast<QHelpEvent*>(event);
            ShowToolTip(help->pos(), help->globalPos());
            return true;
        }
        case QEvent::Leave:
            QToolTip::hideText();
            return false;
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && m_handlers.clicked) {
                const QPoint at = mouse->position().toPoint();
                m_handlers.clicked(at.x(), at.y());
            }
            return true;
        }
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true;
        default:
            return false;
        }
    }

private:
    void ShowToolTip(QPoint at, QPoint global)
    {
        const std::string text = m_handlers.toolTipAt ? m_handlers.toolTipAt(at.x(), at.y()) : std::string();
        if (text.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(global, QString::fromStdString(text), m_widget);
    }

    QWidget* m_widget;
    PointerHandlers m_handlers;
};

} // namespace

void SetPointerHandlers(CWnd& window, PointerHandlers handlers)
{
    QWidget* widget = window.Widget();
    if (!widget)
        return;
    if (auto* filter = widget->findChild<PointerFilter*>(QStringLiteral("PointerFilter"), Qt::FindDirectChildrenOnly)) {
        filter->SetHandlers(std::move(handlers));
        return;
    }
    widget->setMouseTracking(true);
    widget->installEventFilter(new PointerFilter(widget, std::move(handlers)));
}

void ShowToolTipAt(CWnd& window, int x, int y, const std::string& text)
{
    QWidget* widget = window.Widget();
    if (!widget)
        return;
    if (text.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(widget->mapToGlobal(QPoint(x, y)), QString::fromStdString(text), widget);
}

void HideToolTip(CWnd& window)
{
    if (QWidget* widget = window.Widget(); widget && QToolTip::isVisible())
        QToolTip::hideText();
}

} // namespace win
