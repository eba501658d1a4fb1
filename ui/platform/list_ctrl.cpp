#include "ui/platform/list_ctrl.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMetaObject>

#include "common/folded_text.h"
#include "ui/platform/api.h"
#include "ui/platform/widgets.h"

namespace win {

namespace {

const std::string& FirstText(const ListRow& row)
{
    static const std::string empty;
    return row.texts.empty() ? empty : row.texts[0];
}

// A stable merge sort that only ever asks "is b before a": whatever the comparison
// answers, it stays within the rows and keeps equal rows in their order.
void StableSort(std::vector<ListRow>& rows, const std::function<int(std::uintptr_t, std::uintptr_t)>& compare)
{
    std::vector<ListRow> buffer(rows.size());
    for (std::size_t width = 1; width < rows.size(); width *= 2) {
        for (std::size_t left = 0; left < rows.size(); left += 2 * width) {
            const std::size_t middle = std::min(left + width, rows.size());
            const std::size_t right = std::min(left + 2 * width, rows.size());
            std::size_t i = left;
            std::size_t j = middle;
            std::size_t out = left;
            while (i < middle && j < right) {
                if (compare(rows[j].data, rows[i].data) < 0)
                    buffer[out++] = std::move(rows[j++]);
                else
                    buffer[out++] = std::move(rows[i++]);
            }
            while (i < middle)
                buffer[out++] = std::move(rows[i++]);
            while (j < right)
                buffer[out++] = std::move(rows[j++]);
        }
        std::swap(rows, buffer);
    }
}

} // namespace

CListCtrl::CListCtrl() : m_model(std::make_unique<ListModel>(*this)) {}

CListCtrl::~CListCtrl()
{
    if (auto* view = dynamic_cast<ListViewWidget*>(Widget())) {
        view->SetOwner(nullptr);
        view->setModel(nullptr);
    }
}

static ListViewWidget* ViewOf(const CListCtrl& list) { return dynamic_cast<ListViewWidget*>(list.Widget()); }

bool CListCtrl::FitsInOrder(std::size_t row) const
{
    const std::string& text = FirstText(m_rows.At(row));
    return (row == 0 || CompareFolded(FirstText(m_rows.At(row - 1)), text) <= 0) &&
           (row + 1 >= m_rows.Size() || CompareFolded(text, FirstText(m_rows.At(row + 1))) <= 0);
}

bool CListCtrl::IsOrdered() const
{
    const std::string* previous = nullptr;
    bool ordered = true;
    m_rows.ForEach([&](std::size_t, const ListRow& row) {
        const std::string& text = FirstText(row);
        ordered = !previous || CompareFolded(*previous, text) <= 0;
        previous = &text;
        return ordered;
    });
    return ordered;
}

std::size_t CListCtrl::SortedPosition(const std::string& text) const
{
    const auto greater = [&](const ListRow& row) { return CompareFolded(FirstText(row), text) > 0; };
    if (m_ordered) {
        // Rows in folded order: the first greater row is where "not greater" ends.
        std::size_t low = 0;
        std::size_t high = m_rows.Size();
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (greater(m_rows.At(middle)))
                high = middle;
            else
                low = middle + 1;
        }
        return low;
    }
    std::size_t position = m_rows.Size();
    m_rows.ForEach([&](std::size_t row, const ListRow& existing) {
        if (!greater(existing))
            return true;
        position = row;
        return false;
    });
    return position;
}

bool CListCtrl::Notifying() const { return m_updateDepth == 0 && ViewOf(*this) != nullptr; }

bool CListCtrl::IsValidRow(int row) const
{
    if (row < 0 || row >= GetItemCount()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

int CListCtrl::InsertColumn(int column, const std::string& heading, int format, int width)
{
    if (column < 0)
        return -1;
    const int index = std::min(column, GetColumnCount());
    if (Notifying())
        m_model->beginInsertColumns(QModelIndex(), index, index);
    m_columns.insert(m_columns.begin() + index, Column{heading, format, width < 0 ? 0 : width});
    // Cells of existing rows move right with their column.
    for (std::size_t r = 0; r < m_rows.Size(); ++r) {
        auto& texts = m_rows.At(r).texts;
        if (static_cast<std::size_t>(index) < texts.size())
            texts.insert(texts.begin() + index, std::string());
    }
    if (index == 0)
        m_ordered = IsOrdered();
    if (Notifying()) {
        m_model->endInsertColumns();
        ApplyColumnsToView();
    }
    return index;
}

int CListCtrl::GetColumnCount() const { return static_cast<int>(m_columns.size()); }

int CListCtrl::GetColumnWidth(int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return 0;
    return m_columns[static_cast<std::size_t>(column)].width;
}

int CListCtrl::GetStringWidth(const std::string& text) const
{
    const QWidget* view = ViewOf(*this);
    const QFontMetrics metrics(view ? view->font() : QApplication::font());
    return metrics.horizontalAdvance(QString::fromStdString(text));
}

int CListCtrl::GetHeightForRows(int rows) const
{
    const ListViewWidget* view = ViewOf(*this);
    if (!view)
        return 0;
    return view->header()->sizeHint().height() + std::max(0, rows) * view->RowHeight() + 2 * view->frameWidth();
}

bool CListCtrl::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= GetColumnCount() || width < 0)
        return false;
    m_columns[static_cast<std::size_t>(column)].width = width;
    if (auto* view = ViewOf(*this))
        view->header()->resizeSection(column, width);
    return true;
}

std::string CListCtrl::GetColumnHeading(int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return {};
    return m_columns[static_cast<std::size_t>(column)].heading;
}

int CListCtrl::GetColumnFormat(int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return LVCFMT_LEFT;
    return m_columns[static_cast<std::size_t>(column)].format;
}

std::uint32_t CListCtrl::GetExtendedStyle() const { return m_extendedStyle; }

std::uint32_t CListCtrl::SetExtendedStyle(std::uint32_t style)
{
    const std::uint32_t old = m_extendedStyle;
    m_extendedStyle = style;
    ApplyExtendedStyleToView();
    return old;
}

int CListCtrl::GetItemCount() const
{
    return m_source ? m_source->GetRowCount() : static_cast<int>(m_rows.Size());
}

int CListCtrl::ViewRowCount() const { return m_source ? m_shownRowCount : GetItemCount(); }

int CListCtrl::InsertItem(int index, const std::string& text) { return InsertItem(index, text, 0); }

int CListCtrl::InsertItem(int index, const std::string& text, std::uintptr_t data)
{
    if (index < 0 || m_source) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    const std::size_t position = GetStyle() & LVS_SORTASCENDING
                                     ? SortedPosition(text)
                                     : std::min(static_cast<std::size_t>(index), m_rows.Size());
    const int row = static_cast<int>(position);
    if (Notifying())
        m_model->beginInsertRows(QModelIndex(), row, row);
    m_rows.Insert(position, ListRow{{text}, data, false});
    m_ordered = m_ordered && FitsInOrder(position);
    if (Notifying())
        m_model->endInsertRows();
    return row;
}

int CListCtrl::InsertItemAt(int index, const std::string& text, std::uintptr_t data)
{
    if (index < 0 || m_source) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    const int row = static_cast<int>(std::min(static_cast<std::size_t>(index), m_rows.Size()));
    if (Notifying())
        m_model->beginInsertRows(QModelIndex(), row, row);
    m_rows.Insert(static_cast<std::size_t>(row), ListRow{{text}, data, false});
    if (Notifying())
        m_model->endInsertRows();
    return row;
}

int CListCtrl::AppendItem(std::vector<std::string> texts, std::uintptr_t data)
{
    if (m_source)
        return -1;
    const int row = GetItemCount();
    if (Notifying())
        m_model->beginInsertRows(QModelIndex(), row, row);
    m_rows.Append(ListRow{std::move(texts), data, false});
    m_ordered = m_ordered && FitsInOrder(m_rows.Size() - 1);
    if (Notifying())
        m_model->endInsertRows();
    return row;
}

void CListCtrl::ReplaceAllRows(std::vector<ListRow> rows)
{
    if (m_source)
        return;
    UpdateBatch batch(*this);
    m_rows.Assign(std::move(rows));
    m_ordered = IsOrdered();
}

bool CListCtrl::DeleteItem(int row)
{
    if (m_source || !IsValidRow(row))
        return false;
    const bool notifying = Notifying();
    // A single-selection view selects the next row when the selected one goes; the rows
    // left keep the selection they had, so a deleted selected row leaves none.
    m_syncingSelection = true;
    if (notifying)
        m_model->beginRemoveRows(QModelIndex(), row, row);
    m_rows.Erase(static_cast<std::size_t>(row));
    if (notifying)
        m_model->endRemoveRows();
    m_syncingSelection = false;
    if (notifying)
        ApplySelectionToView();
    return true;
}

bool CListCtrl::DeleteAllItems()
{
    if (m_source)
        return false;
    UpdateBatch batch(*this);
    m_rows.Clear();
    m_ordered = true;
    return true;
}

std::string CListCtrl::GetItemText(int row, int column) const
{
    if (row < 0 || row >= GetItemCount() || column < 0)
        return {};
    if (m_source)
        return column < GetColumnCount() ? m_source->GetCellText(row, column) : std::string();
    const auto& texts = m_rows.At(static_cast<std::size_t>(row)).texts;
    return static_cast<std::size_t>(column) < texts.size() ? texts[static_cast<std::size_t>(column)] : std::string();
}

std::string CListCtrl::GetItemTextStart(int row, int column, std::size_t bytes) const
{
    if (row < 0 || row >= GetItemCount() || column < 0)
        return {};
    if (m_source)
        return column < GetColumnCount() ? m_source->GetCellTextStart(row, column, bytes) : std::string();
    const auto& texts = m_rows.At(static_cast<std::size_t>(row)).texts;
    if (static_cast<std::size_t>(column) >= texts.size())
        return {};
    return texts[static_cast<std::size_t>(column)].substr(0, bytes);
}

bool CListCtrl::SetItemText(int row, int column, const std::string& text)
{
    if (m_source || !IsValidRow(row) || column < 0 || (column >= GetColumnCount() && column > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    auto& texts = m_rows.At(static_cast<std::size_t>(row)).texts;
    if (texts.size() <= static_cast<std::size_t>(column))
        texts.resize(static_cast<std::size_t>(column) + 1);
    texts[static_cast<std::size_t>(column)] = text;
    if (column == 0)
        m_ordered = m_ordered && FitsInOrder(static_cast<std::size_t>(row));
    if (Notifying()) {
        const QModelIndex index = m_model->index(row, column);
        emit m_model->dataChanged(index, index, {Qt::DisplayRole});
    }
    return true;
}

std::uintptr_t CListCtrl::GetItemData(int row) const
{
    if (m_source || row < 0 || static_cast<std::size_t>(row) >= m_rows.Size())
        return 0;
    return m_rows.At(static_cast<std::size_t>(row)).data;
}

bool CListCtrl::SetItemData(int row, std::uintptr_t data)
{
    if (m_source || !IsValidRow(row))
        return false;
    m_rows.At(static_cast<std::size_t>(row)).data = data;
    return true;
}

bool CListCtrl::SetItemState(int row, unsigned state, unsigned mask)
{
    if (!IsValidRow(row))
        return false;
    if (!(mask & LVIS_SELECTED))
        return true;
    const bool select = (state & LVIS_SELECTED) != 0;
    if (m_source) {
        if (select && (GetStyle() & LVS_SINGLESEL))
            for (int other = m_source->GetNextSelectedRow(-1); other != -1;
                 other = m_source->GetNextSelectedRow(other))
                if (other != row)
                    m_source->SetRowSelected(other, false);
        m_source->SetRowSelected(row, select);
        if (Notifying())
            ApplySelectionToView();
        return true;
    }
    const auto target = static_cast<std::size_t>(row);
    if (select && (GetStyle() & LVS_SINGLESEL))
        for (std::size_t other = m_rows.NextSelected(0); other != ListRowStore::npos;
             other = m_rows.NextSelected(other + 1))
            if (other != target)
                m_rows.SetSelected(other, false);
    m_rows.SetSelected(target, select);
    if (Notifying())
        ApplySelectionToView();
    return true;
}

unsigned CListCtrl::GetItemState(int row, unsigned mask) const
{
    if (row < 0 || row >= GetItemCount())
        return 0;
    if (m_source)
        return (m_source->IsRowSelected(row) ? LVIS_SELECTED : 0u) & mask;
    return (m_rows.At(static_cast<std::size_t>(row)).selected ? LVIS_SELECTED : 0u) & mask;
}

bool CListCtrl::GetCheck(int row) const
{
    return !m_source && row >= 0 && row < GetItemCount() && m_rows.At(static_cast<std::size_t>(row)).checked;
}

bool CListCtrl::SetCheck(int row, bool checked)
{
    if (m_source || !IsValidRow(row))
        return false;
    m_rows.At(static_cast<std::size_t>(row)).checked = checked;
    if (Notifying()) {
        const QModelIndex index = m_model->index(row, 0);
        emit m_model->dataChanged(index, index, {Qt::CheckStateRole});
    }
    return true;
}

int CListCtrl::GetSelectedCount() const
{
    if (!m_source)
        return static_cast<int>(m_rows.SelectedCount());
    int count = 0;
    for (int row = m_source->GetNextSelectedRow(-1); row != -1; row = m_source->GetNextSelectedRow(row))
        ++count;
    return count;
}

int CListCtrl::GetNextItem(int start, unsigned flags) const
{
    if (m_source) {
        if (flags & LVNI_SELECTED)
            return m_source->GetNextSelectedRow(start < 0 ? -1 : start);
        const int next = start < 0 ? 0 : start + 1;
        return next < GetItemCount() ? next : -1;
    }
    const std::size_t first = start < 0 ? 0 : static_cast<std::size_t>(start) + 1;
    if (!(flags & LVNI_SELECTED))
        return first < m_rows.Size() ? static_cast<int>(first) : -1;
    const std::size_t next = m_rows.NextSelected(first);
    return next == ListRowStore::npos ? -1 : static_cast<int>(next);
}

bool CListCtrl::EnsureVisible(int row)
{
    if (!IsValidRow(row))
        return false;
    if (auto* view = ViewOf(*this); view && m_updateDepth == 0 && ViewInSync())
        view->ShowRow(m_model->index(row, 0));
    return true;
}

bool CListCtrl::SortItems(CompareFunction compare, std::uintptr_t sortData)
{
    if (!compare)
        return false;
    return SortItems([compare, sortData](std::uintptr_t a, std::uintptr_t b) { return compare(a, b, sortData); });
}

bool CListCtrl::SortItems(const std::function<int(std::uintptr_t, std::uintptr_t)>& compare)
{
    if (!compare || m_source)
        return false;
    UpdateBatch batch(*this);
    std::vector<ListRow> rows = m_rows.TakeAll();
    StableSort(rows, compare);
    m_rows.Assign(std::move(rows));
    m_ordered = IsOrdered();
    return true;
}

void CListCtrl::BeginUpdate()
{
    // Owner data needs no reset up front: the view keeps its row count until the refresh.
    if (m_updateDepth++ == 0 && !m_source && ViewOf(*this)) {
        m_model->beginResetModel();
        m_pendingReset = true;
    }
}

void CListCtrl::EndUpdate()
{
    if (m_updateDepth == 0 || --m_updateDepth > 0)
        return;
    if (m_pendingReset) {
        m_pendingReset = false;
        m_model->endResetModel();
        ApplyColumnsToView();
        ApplySelectionToView();
    }
    RefreshFromSource();
}

void CListCtrl::SetDataSource(IListDataSource* source)
{
    if (source == m_source)
        return;
    const bool reset = ViewOf(*this) != nullptr;
    if (reset)
        m_model->beginResetModel();
    m_source = source;
    m_shownRowCount = source ? source->GetRowCount() : 0;
    m_sourceChanged = false;
    if (reset) {
        m_model->endResetModel();
        ApplyColumnsToView();
        ApplySelectionToView();
    }
}

void CListCtrl::DataSourceChanged()
{
    if (!m_source)
        return;
    m_sourceChanged = true;
    if (m_updateDepth > 0 || m_refreshPosted || !ViewOf(*this))
        return;
    // One refresh for every change made before the event loop runs again.
    m_refreshPosted = true;
    QMetaObject::invokeMethod(
        m_model.get(),
        [this] {
            m_refreshPosted = false;
            if (m_updateDepth == 0)
                RefreshFromSource();
        },
        Qt::QueuedConnection);
}

void CListCtrl::FlushDataSourceChanges()
{
    if (m_updateDepth == 0)
        RefreshFromSource();
}

void CListCtrl::RefreshFromSource()
{
    if (!m_source || !m_sourceChanged)
        return;
    m_sourceChanged = false;
    auto* view = ViewOf(*this);
    if (!view)
        return;
    const int count = m_source->GetRowCount();
    if (count == m_shownRowCount) {
        // As many rows as the view has laid out: it keeps its layout (a reset would size
        // every row again and forget the current row) and paints the rows in sight again,
        // reading them afresh. It keeps nothing of any row's texts, and all rows are one
        // line high, so a repaint is all a change needs.
        view->viewport()->update();
    } else {
        m_model->beginResetModel();
        m_shownRowCount = count;
        m_model->endResetModel();
        ApplyColumnsToView();
    }
    ApplySelectionToView();
}

void CListCtrl::NotifyEndTrack(int column, int width)
{
    if (column < 0 || column >= GetColumnCount())
        return;
    SetColumnWidth(column, width);
    OnEndTrack(column);
}

void CListCtrl::OnDoubleClick(int) {}

void CListCtrl::OnColumnClick(int) {}

void CListCtrl::OnEndTrack(int) {}

void CListCtrl::OnContextMenu(int, const CPoint&) {}

void CListCtrl::PreSubclassWindow() {}

void CListCtrl::BindWidget()
{
    auto* view = ViewOf(*this);
    if (!view)
        return;
    if (CListCtrl* previous = view->Owner(); previous && previous != this)
        previous->Detach();
    view->SetOwner(this);
    if (m_source) {
        m_shownRowCount = m_source->GetRowCount();
        m_sourceChanged = false;
    }
    view->setModel(m_model.get());
    const std::uint32_t style = GetStyle();
    view->setSelectionMode(style & LVS_SINGLESEL ? QAbstractItemView::SingleSelection
                                                 : QAbstractItemView::ExtendedSelection);
    view->header()->setSectionsClickable(!(style & LVS_NOSORTHEADER));
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, view,
                     [this] { SelectionChangedInView(); });
    ApplyColumnsToView();
    ApplySelectionToView();
    ApplyExtendedStyleToView();
}

void CListCtrl::OnWindowDestroyed() {}

void CListCtrl::ApplyColumnsToView()
{
    auto* view = ViewOf(*this);
    if (!view || m_updateDepth > 0)
        return;
    for (int c = 0; c < GetColumnCount(); ++c)
        view->header()->resizeSection(c, m_columns[static_cast<std::size_t>(c)].width);
}

void CListCtrl::ApplySelectionToView()
{
    auto* view = ViewOf(*this);
    if (!view || m_updateDepth > 0 || !ViewInSync() || !view->selectionModel())
        return;
    m_syncingSelection = true;
    QItemSelection selection;
    if (m_source || m_rows.SelectedCount() > 0)
        for (int r = GetNextItem(-1, LVNI_SELECTED); r != -1; r = GetNextItem(r, LVNI_SELECTED))
            selection.select(m_model->index(r, 0), m_model->index(r, std::max(0, GetColumnCount() - 1)));
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_syncingSelection = false;
}

void CListCtrl::ApplyExtendedStyleToView()
{
    auto* view = ViewOf(*this);
    if (!view)
        return;
    view->SetWholeRowFocus((m_extendedStyle & LVS_EX_FULLROWSELECT) != 0);
}

void CListCtrl::SelectionChangedInView()
{
    auto* view = ViewOf(*this);
    if (m_syncingSelection || !view)
        return;
    const QModelIndexList selected = view->selectionModel()->selectedRows();
    if (m_source) {
        // The view's rows are the source's rows only while no refresh is due; otherwise
        // the refresh shows the source's selection again.
        if (!ViewInSync())
            return;
        for (int row = m_source->GetNextSelectedRow(-1); row != -1; row = m_source->GetNextSelectedRow(row))
            m_source->SetRowSelected(row, false);
        for (const QModelIndex& index : selected)
            if (index.row() < GetItemCount())
                m_source->SetRowSelected(index.row(), true);
        return;
    }
    for (int r = GetNextItem(-1, LVNI_SELECTED); r != -1; r = GetNextItem(r, LVNI_SELECTED))
        m_rows.SetSelected(static_cast<std::size_t>(r), false);
    for (const QModelIndex& index : selected)
        m_rows.SetSelected(static_cast<std::size_t>(index.row()), true);
}

void CListCtrl::ColumnResizedInView(int column, int width)
{
    if (column >= 0 && column < GetColumnCount())
        m_columns[static_cast<std::size_t>(column)].width = width;
}

} // namespace win
