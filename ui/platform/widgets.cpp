#include "ui/platform/widgets.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "model/decimal.h"
#include "ui/platform/dialog.h"
#include "ui/platform/list_ctrl.h"
#include "ui/platform/property_sheet.h"

namespace win {

DialogWidget::DialogWidget(CDialog& owner, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), m_owner(&owner)
{
}

void DialogWidget::reject()
{
    // Escape and the close box are the Cancel command.
    if (m_owner)
        m_owner->DispatchCommand(IDCANCEL);
    else
        QDialog::reject();
}

void DialogWidget::accept()
{
    if (m_owner)
        m_owner->DispatchCommand(IDOK);
    else
        QDialog::accept();
}

void DialogWidget::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_owner)
        m_owner->DispatchSize(SIZE_RESTORED, width(), height());
}

SheetWidget::SheetWidget(CPropertySheet& owner) : QMainWindow(nullptr), m_owner(&owner) {}

void SheetWidget::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (m_owner)
        m_owner->DispatchCloseRequest();
}

void SheetWidget::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (m_owner) {
        const QRect frame = frameGeometry();
        m_owner->DispatchMove(frame.x(), frame.y());
    }
}

SheetClientWidget::SheetClientWidget(CPropertySheet& owner, QWidget* parent) : QWidget(parent), m_owner(&owner) {}

void SheetClientWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_owner)
        m_owner->DispatchSize(window()->isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED, width(), height());
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.ViewRowCount();
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.GetColumnCount();
}

namespace {

Qt::Alignment AlignmentOf(int format)
{
    switch (format) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_list.GetItemText(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(AlignmentOf(m_list.GetColumnFormat(index.column())));
    return {};
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_list.GetColumnHeading(section));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(AlignmentOf(m_list.GetColumnFormat(section)));
    return {};
}

ListViewWidget::ListViewWidget(QWidget* parent) : QTreeView(parent)
{
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    // Qt has no "divider drag finished" signal: watch the header's viewport for the
    // mouse release that ends a resize.
    header()->viewport()->installEventFilter(this);
    connect(header(), &QHeaderView::sectionResized, this, [this](int section, int, int newSize) {
        if (m_dividerPressed)
            m_resizedWhilePressed.insert(section);
        if (m_owner)
            m_owner->ColumnResizedInView(section, newSize);
    });
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (m_owner)
            m_owner->NotifyColumnClick(section);
    });
}

bool ListViewWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == header()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_dividerPressed = true;
            m_resizedWhilePressed.clear();
        } else if (event->type() == QEvent::MouseButtonRelease && m_dividerPressed) {
            m_dividerPressed = false;
            const std::set<int> resized = std::move(m_resizedWhilePressed);
            m_resizedWhilePressed.clear();
            for (int section : resized)
                if (m_owner)
                    m_owner->NotifyEndTrack(section, header()->sectionSize(section));
        }
    }
    return QTreeView::eventFilter(watched, event);
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (m_owner && event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        m_owner->NotifyDoubleClick(index.isValid() ? index.row() : -1);
    }
}

UpDownWidget::UpDownWidget(QWidget* parent, bool horizontal)
    : QWidget(parent), m_decrease(new QToolButton(this)), m_increase(new QToolButton(this)),
      m_horizontal(horizontal)
{
    m_decrease->setArrowType(horizontal ? Qt::LeftArrow : Qt::DownArrow);
    m_increase->setArrowType(horizontal ? Qt::RightArrow : Qt::UpArrow);
    m_decrease->setAutoRepeat(true);
    m_increase->setAutoRepeat(true);
    m_decrease->setFocusPolicy(Qt::NoFocus);
    m_increase->setFocusPolicy(Qt::NoFocus);
    connect(m_decrease, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(m_increase, &QToolButton::clicked, this, [this] { Step(1); });
}

void UpDownWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_horizontal) {
        const int half = width() / 2;
        m_decrease->setGeometry(0, 0, half, height());
        m_increase->setGeometry(half, 0, width() - half, height());
    } else {
        const int half = height() / 2;
        m_increase->setGeometry(0, 0, width(), half);
        m_decrease->setGeometry(0, half, width(), height() - half);
    }
}

namespace {

QString BuddyText(QWidget* buddy)
{
    if (auto* edit = qobject_cast<QLineEdit*>(buddy))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(buddy))
        return label->text();
    return {};
}

} // namespace

int UpDownWidget::CurrentPosition() const
{
    if (setBuddyInt && buddy) {
        const std::string text = BuddyText(buddy).toStdString();
        if (!text.empty()) {
            const int low = std::min(lower, upper);
            const int high = std::max(lower, upper);
            return std::clamp(static_cast<int>(Utility::ReadDecimal(text)), low, high);
        }
    }
    return position;
}

void UpDownWidget::ShowPositionInBuddy()
{
    if (!setBuddyInt || !buddy)
        return;
    const QString text = QString::number(position);
    if (auto* edit = qobject_cast<QLineEdit*>(buddy))
        edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(buddy))
        label->setText(text);
}

bool UpDownWidget::Step(int delta)
{
    if (!isEnabled())
        return false;
    const int current = CurrentPosition();
    if (deltaPosHandler && deltaPosHandler(current, delta) != 0)
        return false;
    const int low = std::min(lower, upper);
    const int high = std::max(lower, upper);
    int proposed = current + (lower <= upper ? delta : -delta);
    if (proposed > high)
        proposed = wrap ? low : high;
    if (proposed < low)
        proposed = wrap ? high : low;
    const bool changed = proposed != position;
    position = proposed;
    ShowPositionInBuddy();
    return changed;
}

void UpDownWidget::SetBuddy(QWidget* buddyWidget)
{
    if (buddy)
        buddy->removeEventFilter(this);
    buddy = buddyWidget;
    if (buddy && arrowKeys)
        buddy->installEventFilter(this);
    ShowPositionInBuddy();
}

bool UpDownWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || (m_horizontal && key == Qt::Key_Right)) {
            Step(1);
            return true;
        }
        if (key == Qt::Key_Down || (m_horizontal && key == Qt::Key_Left)) {
            Step(-1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OwnerDrawButton::paintEvent(QPaintEvent*)
{
    if (!drawHandler)
        return;
    QPainter painter(this);
    DrawItemContext context;
    context.painter = &painter;
    context.rect = CRect{0, 0, width(), height()};
    context.action = ODA_DRAWENTIRE;
    drawHandler(context);
}

void OwnerDrawButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    if (sizeHandler)
        sizeHandler(window()->isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED, width(), height());
}

} // namespace win
