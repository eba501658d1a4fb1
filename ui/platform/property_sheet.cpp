#include "ui/platform/property_sheet.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTabWidget>

#include "ui/platform/api.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/widgets.h"
#include "ui/platform/win_app.h"

namespace win {

std::string CPropertyPage::GetCaption() const
{
    const DialogTemplate* pageTemplate = GetTemplate();
    return pageTemplate ? pageTemplate->caption : std::string();
}

int CTabCtrl::GetCurSel() const
{
    auto* tabs = qobject_cast<QTabWidget*>(Widget());
    return tabs ? tabs->currentIndex() : -1;
}

int CTabCtrl::GetItemCount() const
{
    auto* tabs = qobject_cast<QTabWidget*>(Widget());
    return tabs ? tabs->count() : 0;
}

namespace {

// The place of one page in the tab control; keeps the page's window filling it.
class PageHost : public QWidget {
public:
    explicit PageHost(QWidget* parent) : QWidget(parent) {}

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        for (QObject* child : children())
            if (auto* page = qobject_cast<QWidget*>(child); page && page->isWindowType() == false)
                page->setGeometry(0, 0, width(), height());
    }
};

// Offers every key press meant for the sheet's window to the sheet before the focused
// control sees it (the pre-translation of a Windows message loop).
class KeyFilter : public QObject {
public:
    KeyFilter(CPropertySheet& sheet, QObject* parent) : QObject(parent), m_sheet(sheet) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        QWidget* window = widget->window();
        if (window != m_sheet.Widget())
            return false;
        // A key event travels up from the focused control to its parents; take it once.
        QWidget* focus = window->focusWidget();
        if (focus ? widget != focus : widget != window)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const int virtualKey = VirtualKeyOf(key->key());
        if (virtualKey == 0)
            return false;
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        return m_sheet.KeyDown(virtualKey, modifiers & Qt::ControlModifier,
                               (modifiers & Qt::ShiftModifier) || key->key() == Qt::Key_Backtab,
                               modifiers & Qt::AltModifier);
    }

    static int VirtualKeyOf(int key)
    {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return 'A' + (key - Qt::Key_A);
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return '0' + (key - Qt::Key_0);
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Down:
            return VK_DOWN;
        default:
            return 0;
        }
    }

private:
    CPropertySheet& m_sheet;
};

} // namespace

CPropertySheet::CPropertySheet(int captionId, CWnd* parent, int selectPage)
    : m_caption(LoadString(captionId)), m_parent(parent), m_firstPage(selectPage)
{
}

CPropertySheet::~CPropertySheet()
{
    if (HasWindow())
        DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    m_pages.push_back(page);
    if (auto* tabs = qobject_cast<QTabWidget*>(m_tabControl.Widget()))
        tabs->addTab(new PageHost(tabs), QString::fromStdString(page->GetCaption()));
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return m_pages[static_cast<std::size_t>(index)];
}

bool CPropertySheet::Create(CWnd* parent, std::uint32_t style, std::uint32_t)
{
    if (HasWindow())
        return false;
    if (parent)
        m_parent = parent;
    auto* window = new SheetWidget(*this);
    window->setWindowTitle(QString::fromStdString(m_caption));
    auto* client = new SheetClientWidget(*this, window);
    window->setCentralWidget(client);
    auto* tabs = new QTabWidget(client);
    tabs->setFocusPolicy(Qt::NoFocus);
    for (CPropertyPage* page : m_pages)
        tabs->addTab(new PageHost(tabs), QString::fromStdString(page->GetCaption()));
    m_tabControl.Attach(tabs, 0x3020, WS_CHILD | WS_VISIBLE | WS_TABSTOP);

    // The sheet's first size fits its largest page, as a Windows property sheet does.
    int pageWidth = 0;
    int pageHeight = 0;
    for (CPropertyPage* page : m_pages)
        if (const DialogTemplate* pageTemplate = page->GetTemplate()) {
            const CRect size = MapDialogRect(CRect{0, 0, pageTemplate->cx, pageTemplate->cy});
            pageWidth = std::max(pageWidth, size.Width());
            pageHeight = std::max(pageHeight, size.Height());
        }
    const CRect margin = MapDialogRect(CRect{0, 0, 4, 4});
    const int tabBar = tabs->tabBar()->sizeHint().height();
    tabs->setGeometry(margin.right, margin.bottom, pageWidth + 4, pageHeight + tabBar + 4);
    client->resize(tabs->width() + 2 * margin.right, tabs->height() + 2 * margin.bottom);
    window->resize(client->size());

    Attach(window, 0, style);
    QObject::connect(tabs, &QTabWidget::currentChanged, window, [this](int index) {
        if (CPropertyPage* page = GetPage(index); page && !page->HasWindow())
            SetActivePage(index);
    });
    qApp->installEventFilter(new KeyFilter(*this, window));
    SetActivePage(std::clamp(m_firstPage, 0, std::max(0, GetPageCount() - 1)));
    OnInitDialog();
    if (style & WS_VISIBLE)
        window->show();
    return true;
}

int CPropertySheet::GetActiveIndex() const
{
    if (m_tabControl.HasWindow())
        return m_tabControl.GetCurSel();
    return m_firstPage;
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(GetActiveIndex()); }

bool CPropertySheet::SetActivePage(int index)
{
    CPropertyPage* page = GetPage(index);
    auto* tabs = qobject_cast<QTabWidget*>(m_tabControl.Widget());
    if (!page || !tabs)
        return false;
    QWidget* host = tabs->widget(index);
    if (!page->HasWindow()) {
        CStatic hostWindow;
        hostWindow.Attach(host, 0, WS_CHILD | WS_VISIBLE);
        if (!page->Create(&hostWindow))
            return false;
        hostWindow.Detach();
        page->Widget()->setGeometry(0, 0, host->width(), host->height());
        page->Widget()->show();
    }
    tabs->setCurrentIndex(index);
    return true;
}

CTabCtrl* CPropertySheet::GetTabControl() { return m_tabControl.HasWindow() ? &m_tabControl : nullptr; }

bool CPropertySheet::CreateChildControl(CWnd& control, ControlKind kind, const std::string& text,
                                        std::uint32_t style, const CRect& rect, int id)
{
    auto* window = dynamic_cast<SheetWidget*>(Widget());
    if (!window)
        return false;
    ControlTemplate description;
    description.id = id;
    description.kind = kind;
    description.text = text;
    description.style = style;
    QWidget* widget = CreateControlWidget(description, window->centralWidget());
    widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    widget->setEnabled((style & WS_DISABLED) == 0);
    widget->setVisible((style & WS_VISIBLE) != 0);
    control.Attach(widget, id, style);
    return true;
}

void CPropertySheet::SetMenu(CMenu* menu)
{
    m_menu = menu;
    BindMenuBar();
}

void CPropertySheet::BindMenuBar()
{
    auto* window = dynamic_cast<SheetWidget*>(Widget());
    if (!window)
        return;
    auto* bar = new QMenuBar(window);
    window->setMenuBar(bar);
    if (!m_menu)
        return;
    for (int position = 0; position < m_menu->GetMenuItemCount(); ++position) {
        CMenu* popup = m_menu->GetSubMenu(position);
        if (!popup)
            continue;
        QMenu* menu = bar->addMenu(QString::fromStdString(m_menu->GetMenuString(position)));
        popup->BindPopup(menu);
        QObject::connect(menu, &QMenu::aboutToShow, window,
                         [this, popup, position] { MenuAboutToShow(*popup, position); });
        // Show each command's first accelerator beside it. As the action's shortcut, not
        // as text after a tab, so that screen readers read the item's name and its keys
        // apart; the shortcut only counts while the focus is on the menu itself, which
        // it never is: the accelerator table gives the keys their commands.
        if (m_accelerators)
            for (QAction* action : menu->actions())
                for (const AcceleratorEntry& entry : m_accelerators->entries)
                    if (action->data().toInt() == entry.command && entry.command != 0) {
                        QString keys = entry.control ? QStringLiteral("Ctrl+") : QString();
                        if (entry.shift)
                            keys += QStringLiteral("Shift+");
                        if (entry.alt)
                            keys += QStringLiteral("Alt+");
                        keys += QChar(entry.virtualKey);
                        action->setShortcutContext(Qt::WidgetShortcut);
                        action->setShortcut(QKeySequence(keys));
                        break;
                    }
    }
    // Commands run after the menu has closed, as a posted command would.
    QObject::connect(bar, &QMenuBar::triggered, window, [this](QAction* action) {
        if (const int id = action->data().toInt(); id != 0)
            PostCommand(id);
    });
}

bool CPropertySheet::LoadAccelerators(int id)
{
    m_accelerators = FindAcceleratorTable(id);
    return m_accelerators != nullptr;
}

void CPropertySheet::SetIcon(int iconId)
{
    const QIcon icon = LoadIcon(iconId);
    if (QWidget* window = Widget())
        window->setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
}

void CPropertySheet::PostCommand(int id)
{
    QWidget* window = Widget();
    if (!window)
        return;
    QMetaObject::invokeMethod(
        window, [this, id] { OnCommand(id); }, Qt::QueuedConnection);
}

void CPropertySheet::EndDialog(int result)
{
    m_result = result;
    DispatchClose();
}

void CPropertySheet::DispatchClose()
{
    QWidget* window = Widget();
    if (!window || m_destroying)
        return;
    // Destroying a window from inside one of its own events is not safe in Qt: do it as
    // soon as the current event has been handled.
    QMetaObject::invokeMethod(
        window, [this] { DestroyWindow(); }, Qt::QueuedConnection);
}

bool CPropertySheet::DestroyWindow()
{
    auto* window = dynamic_cast<SheetWidget*>(Widget());
    if (!window || m_destroying)
        return false;
    m_destroying = true;
    OnDestroy();
    window->Detach();
    if (auto* client = dynamic_cast<SheetClientWidget*>(window->centralWidget()))
        client->Detach();
    Detach();
    m_tabControl.Detach();
    delete window;
    m_destroying = false;
    if (CWinApp* app = CWinApp::GetApp())
        app->WindowDestroyed(this);
    return true;
}

QWidget* CPropertySheet::ClientWidget() const
{
    auto* window = dynamic_cast<SheetWidget*>(Widget());
    return window ? window->centralWidget() : nullptr;
}

bool CPropertySheet::KeyDown(int virtualKey, bool control, bool shift, bool alt)
{
    return PreTranslateKeyDown(virtualKey, control, shift, alt);
}

bool CPropertySheet::OnInitDialog() { return true; }

bool CPropertySheet::OnCommand(int) { return false; }

void CPropertySheet::OnInitMenuPopup(CMenu&, int) {}

bool CPropertySheet::IsPushButtonFocused() const
{
    return FocusedPushButton(Widget()) != nullptr;
}

bool CPropertySheet::PreTranslateKeyDown(int virtualKey, bool control, bool shift, bool alt)
{
    if (m_accelerators)
        if (const int command = m_accelerators->Translate(virtualKey, control, shift, alt); command != 0) {
            OnCommand(command);
            return true;
        }
    if (!control || alt || GetPageCount() == 0)
        return false;
    int step = 0;
    if (virtualKey == VK_TAB)
        step = shift ? -1 : 1;
    else if (virtualKey == VK_NEXT && !shift)
        step = 1;
    else if (virtualKey == VK_PRIOR && !shift)
        step = -1;
    if (step == 0)
        return false;
    const int count = GetPageCount();
    SetActivePage((GetActiveIndex() + step + count) % count);
    return true;
}

void CPropertySheet::OnSize(int, int, int) {}

void CPropertySheet::OnMove(int, int) {}

void CPropertySheet::OnDestroy() {}

} // namespace win
