#include "ui/platform/owner_draw_button.h"

#include "ui/platform/device_context.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWidget>

namespace win {

// The Qt widget behind the button. It lives under its parent's ownership and forgets its
// owner when either of them goes first.
class OwnerDrawButton::Window : public QWidget {
public:
    Window(OwnerDrawButton& owner, QWidget* parent) : QWidget(parent), m_owner(&owner)
    {
        // Erased to the button face before every paint, like an invalidation with erase.
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Button);
    }
    ~Window() override
    {
        if (m_owner)
            m_owner->m_window = nullptr;
    }
    void Detach() { m_owner = nullptr; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!m_owner)
            return;
        QPainter painter(this);
        CDC dc(painter);
        m_owner->DrawItem(dc, ODA_DRAWENTIRE);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        if (m_owner)
            m_owner->OnSize(SIZE_RESTORED, event->size().width(), event->size().height());
    }

private:
    OwnerDrawButton* m_owner;
};

OwnerDrawButton::~OwnerDrawButton()
{
    if (m_window) {
        m_window->Detach();
        delete m_window;
    }
}

void OwnerDrawButton::Create(QWidget* parent, const CRect& rect)
{
    if (m_window) {
        m_window->Detach();
        delete m_window;
    }
    m_window = new Window(*this, parent);
    m_window->setEnabled(false);
    m_window->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    m_window->show();
}

QWidget* OwnerDrawButton::GetWindow() const
{
    return m_window;
}

void OwnerDrawButton::MoveWindow(const CRect& rect)
{
    if (m_window)
        m_window->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

void OwnerDrawButton::Invalidate()
{
    if (m_window)
        m_window->update();
}

void OwnerDrawButton::OnSize(int, int, int) {}

} // namespace win
