#include "gui/catalogue/listview.h"

#include "core/catalogue/cataloguemodel.h"
#include "core/catalogue/titlesearch.h"
#include "gui/catalogue/celldelegate.h"
#include "gui/catalogue/elidingheader.h"
#include "gui/catalogue/icondelegate.h"
#include "gui/catalogue/imagelist.h"
#include "gui/catalogue/rowfiltermodel.h"
#include "gui/catalogue/sortableheaderaccessible.h"
#include "gui/catalogue/titlecolumnmodel.h"
#include "gui/twips.h"

#include <QAccessible>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTimer>
#include <QTreeView>

namespace {

// What a screen reader calls either view.
const QString catalogueName = QStringLiteral("Catalogue");

int toPixels(float twips)
{
    return qMax(0, Twips::toPixels(twips));
}

} // namespace

ListView::ListView(QWidget* parent)
    : QWidget(parent)
    , model(new CatalogueModel(this))
    , shown(new RowFilterModel(this))
    , titles(new TitleColumnModel(this))
    , reportSelection(nullptr)
    , iconSelection(nullptr)
    , stack(new QStackedLayout(this))
    , iconList(new QListView(this))
    , reportList(new QTreeView(this))
    , iconDelegate(new IconDelegate(this))
    , prefetchTimer(new QTimer(this))
{
    // A screen reader sorts by a header's "Sort" action, as a click does. In place before the
    // view is first set up: that makes its accessible interface.
    SortableHeaderAccessible::install(reportList,
                                      [this](int position) { emit ColumnClick(position); });
    shown->setSourceModel(model);
    titles->setSourceModel(shown);
    iconSelection = new QItemSelectionModel(titles, this);
    reportSelection = new QItemSelectionModel(shown, this);

    iconList->setModel(titles);
    iconList->setSelectionModel(iconSelection);
    iconList->setAccessibleName(catalogueName);
    iconList->setViewMode(QListView::IconMode);
    iconList->setMovement(QListView::Static);
    iconList->setResizeMode(QListView::Adjust);
    iconList->setWrapping(true);
    iconList->setUniformItemSizes(true);
    iconList->setItemDelegate(iconDelegate);
    iconList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    iconList->setSelectionMode(QAbstractItemView::SingleSelection);
    iconList->setSelectionBehavior(QAbstractItemView::SelectRows);
    iconList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    reportList->setModel(shown);
    reportList->setSelectionModel(reportSelection);
    reportList->setAccessibleName(catalogueName);
    reportList->setRootIsDecorated(false);
    reportList->setItemsExpandable(false);
    reportList->setUniformRowHeights(true);
    reportList->setAllColumnsShowFocus(true);
    reportList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    reportList->setSelectionMode(QAbstractItemView::SingleSelection);
    reportList->setSelectionBehavior(QAbstractItemView::SelectRows);
    reportList->setTextElideMode(Qt::ElideRight);
    reportList->setItemDelegate(new CellDelegate(reportList));
    // A header cut short says so; its tooltip has the whole text.
    reportList->setHeader(new ElidingHeader(reportList));
    QHeaderView* header = reportList->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(iconList);
    stack->addWidget(reportList);
    stack->setCurrentWidget(iconList);
    setFocusProxy(iconList);

    connect(header, &QHeaderView::sectionClicked, this,
            [this](int section) { emit ColumnClick(section + 1); });
    connect(reportSelection, &QItemSelectionModel::currentChanged, this,
            &ListView::keepTitleCurrent);
    connect(header, &QHeaderView::sectionResized, this, [this](int section, int, int newSize) {
        // A width the user dragged is the column's width until the program sets another.
        if (size_t(section) < columnWidths.size() &&
            toPixels(columnWidths[size_t(section)]) != newSize)
            columnWidths[size_t(section)] = Twips::fromPixels(newSize);
    });
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(iconList), static_cast<QAbstractItemView*>(reportList)}) {
        view->installEventFilter(this);
        // A double-click anywhere in the list, on a row or beside the rows, as the list control
        // reports it; the window acts on the selected row.
        view->viewport()->installEventFilter(this);
    }

    prefetchTimer->setSingleShot(true);
    prefetchTimer->setInterval(40);
    connect(prefetchTimer, &QTimer::timeout, this, &ListView::prefetchAhead);
    connect(iconList->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ListView::schedulePrefetch);
    updateIconLayout();
    applySize();
}

ListView::~ListView() = default;

void ListView::addColumnHeader(const QString& text, float columnWidth)
{
    columnWidths.push_back(columnWidth);
    model->addColumn(text);
    applyColumnWidth(int(columnWidths.size()));
}

int ListView::columnHeaderCount() const
{
    return int(columnWidths.size());
}

QString ListView::columnHeaderText(int position) const
{
    return model->headerData(position - 1, Qt::Horizontal, Qt::DisplayRole).toString();
}

float ListView::columnHeaderWidth(int position) const
{
    return position >= 1 && position <= columnHeaderCount() ? columnWidths[size_t(position - 1)]
                                                            : 0;
}

bool ListView::setColumnHeaderWidth(int position, float columnWidth)
{
    if (position < 1 || position > columnHeaderCount() || columnWidth < 0)
        return false;
    columnWidths[size_t(position - 1)] = columnWidth;
    applyColumnWidth(position);
    return true;
}

int ListView::addItems(std::vector<CatalogueRow> rows)
{
    const bool wasEmpty = model->rowCount() == 0;
    const int added = model->addRows(std::move(rows));
    if (added > 0 && sorted)
        applySort();
    // New rows show when they hold what the list is narrowed to.
    if (added > 0 && !narrowedTo.isEmpty())
        applyRowFilter(narrowedTo);
    // As on the list control: the first row is the selected one as soon as there are rows.
    if (wasEmpty && added > 0)
        selectItem(1);
    return added;
}

int ListView::itemCount() const
{
    return shown->rowCount();
}

int ListView::totalItemCount() const
{
    return model->rowCount();
}

void ListView::narrowTo(const QString& query)
{
    if (const int selected = selectedItem(); selected > 0)
        keptSequence = model->row(rowOf(selected)).sequenceNumber();
    narrowedTo = SearchQuery(query).findsEverything() ? QString() : query;
    applyRowFilter(query);
    int position = positionOfSequence(keptSequence);
    if (position == 0 && itemCount() > 0)
        position = 1;
    if (position == 0) {
        shownSelection()->clear();
        return;
    }
    // While the keyboard is in the find field, a screen reader hears what is typed there, not
    // each title the narrowing selects.
    const QSignalBlocker quiet(shownView()->hasFocus() ? nullptr : shownSelection());
    selectItem(position);
    shownView()->scrollTo(shownSelection()->currentIndex());
    shownView()->viewport()->update();
}

void ListView::prepareToNarrow()
{
    indexNewRows();
}

void ListView::applyRowFilter(const QString& query)
{
    if (SearchQuery(query).findsEverything()) {
        shown->setRowFilter(nullptr);
        return;
    }
    indexNewRows();
    std::fill(passes.begin(), passes.end(), false);
    for (int entry : search->find(query))
        passes[size_t(sequenceOfEntry[size_t(entry)])] = true;
    shown->setRowFilter([this](const CatalogueRow& row) {
        const size_t sequence = size_t(qMax(0, row.sequenceNumber()));
        return sequence < passes.size() && passes[sequence];
    });
}

// The index takes the rows it does not know yet, wherever sorting has put them.
void ListView::indexNewRows()
{
    if (!search)
        search = std::make_unique<TitleSearch>();
    if (search->entryCount() == model->rowCount())
        return;
    for (int row = 0; row < model->rowCount(); ++row) {
        const CatalogueRow& item = model->row(row);
        const size_t sequence = size_t(qMax(0, item.sequenceNumber()));
        if (sequence >= indexed.size()) {
            indexed.resize(sequence + 1, false);
            passes.resize(sequence + 1, false);
        }
        if (indexed[sequence])
            continue;
        indexed[sequence] = true;
        search->addRow(item);
        sequenceOfEntry.push_back(int(sequence));
    }
}

// The position among the rows shown of the row with that sequence number; 0 when it is hidden.
int ListView::positionOfSequence(int sequence) const
{
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->row(row).sequenceNumber() == sequence) {
            const QModelIndex index = shown->mapFromSource(model->index(row, 0));
            return index.isValid() ? index.row() + 1 : 0;
        }
    }
    return 0;
}

QString ListView::itemKey(int position) const
{
    const int row = rowOf(position);
    return row < 0 ? QString() : model->row(row).key();
}

QString ListView::itemText(int position) const
{
    const int row = rowOf(position);
    return row < 0 ? QString() : model->row(row).text();
}

int ListView::itemIcon(int position) const
{
    const int row = rowOf(position);
    return row < 0 ? 0 : model->row(row).icon();
}

QString ListView::subItem(int position, int index) const
{
    const int row = rowOf(position);
    if (row < 0 || index < 1 || index > titleFieldCount)
        return {};
    return model->row(row).cell(index);
}

int ListView::selectedItem() const
{
    const QModelIndexList rows = shownSelection()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void ListView::selectItem(int position)
{
    if (position < 1 || position > itemCount())
        return;
    QItemSelectionModel* selection = shownSelection();
    selection->setCurrentIndex(selection->model()->index(position - 1, 0),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QAbstractItemView* ListView::shownView() const
{
    return viewMode == IconView ? static_cast<QAbstractItemView*>(iconList)
                                : static_cast<QAbstractItemView*>(reportList);
}

QItemSelectionModel* ListView::shownSelection() const
{
    return viewMode == IconView ? iconSelection : reportSelection;
}

void ListView::setIcons(ImageList* imageList)
{
    if (images)
        disconnect(images, nullptr, this, nullptr);
    images = imageList;
    iconDelegate->setImageList(images);
    if (images) {
        connect(images, &ImageList::imageReady, iconList->viewport(),
                qOverload<>(&QWidget::update));
        connect(images, &QObject::destroyed, this, [this] { setIcons(nullptr); });
    }
    updateIconLayout();
}

void ListView::setView(int mode)
{
    // Choosing the mode already shown changes nothing: no scrolling, no new layout.
    if ((mode != IconView && mode != ReportView) || mode == viewMode)
        return;
    const int selected = selectedItem();
    const bool hadFocus = stack->currentWidget()->hasFocus();
    QItemSelectionModel* hiding = shownSelection();
    viewMode = mode;
    QAbstractItemView* view = shownView();
    stack->setCurrentWidget(view);
    setFocusProxy(view);
    // The view coming on show takes the selected row before the focus, so that the first title
    // a screen reader hears is the selected one; it changed nothing while hidden.
    if (selected > 0)
        selectItem(selected);
    else
        shownSelection()->clear();
    {
        // The view going out of sight keeps no selected or current title for a screen reader
        // to find.
        const QSignalBlocker quiet(hiding);
        hiding->clear();
    }
    if (hadFocus)
        view->setFocus();
    if (shownSelection()->currentIndex().isValid())
        view->scrollTo(shownSelection()->currentIndex());
}

void ListView::setSortKey(int key)
{
    if (key == sortKey)
        return;
    sortKey = key;
    if (sorted)
        applySort();
}

void ListView::setSortOrder(RowSorting::Direction order)
{
    if (order == sortOrder)
        return;
    sortOrder = order;
    if (sorted)
        applySort();
}

void ListView::setSorted(bool on)
{
    const bool switchedOn = on && !sorted;
    sorted = on;
    reportList->header()->setSortIndicatorShown(sorted);
    if (switchedOn)
        applySort();
}

void ListView::sortBy(int key, RowSorting::Direction order)
{
    sortKey = key;
    sortOrder = order;
    sorted = true;
    reportList->header()->setSortIndicatorShown(true);
    applySort();
}

bool ListView::setWidth(float twips)
{
    if (twips < 0)
        return false;
    widthTwips = twips;
    applySize();
    return true;
}

bool ListView::setHeight(float twips)
{
    if (twips < 0)
        return false;
    heightTwips = twips;
    applySize();
    return true;
}

void ListView::setPosition(float left, float top)
{
    move(Twips::toPixels(left), Twips::toPixels(top));
}

bool ListView::eventFilter(QObject* watched, QEvent* event)
{
    const bool isView = watched == iconList || watched == reportList;
    if (event->type() == QEvent::Resize && watched == iconList)
        updateVisibleCovers();
    if (event->type() == QEvent::FocusIn && isView)
        QTimer::singleShot(0, this, &ListView::announceCurrent);
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == iconList->viewport() || watched == reportList->viewport()) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        emit DblClick();
    if (event->type() == QEvent::KeyPress && isView) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            emit CopyRequested();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            emit KeyPress(13);
        else if (!key->text().isEmpty())
            emit KeyPress(key->text().at(0).unicode());
        if (watched == iconList && pageIconView(*key))
            return true;
        if (movesCurrentRow(*key)) {
            // The view selects nothing when the row it moves to is already the current one; the
            // list always selects the row a key moves to.
            static_cast<QObject*>(watched)->event(event);
            selectCurrentRow();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool ListView::movesCurrentRow(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        return true;
    default:
        return false;
    }
}

void ListView::selectCurrentRow()
{
    QItemSelectionModel* selection = shownSelection();
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && !selection->isRowSelected(current.row()))
        selection->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// Page Up and Page Down move by the covers one screen shows, at least one row of them; the icon
// view's own paging measures in pixels and, with a screen of about one row, stays where it is.
bool ListView::pageIconView(const QKeyEvent& key)
{
    if ((key.key() != Qt::Key_PageUp && key.key() != Qt::Key_PageDown) ||
        key.modifiers() != Qt::NoModifier || itemCount() == 0)
        return false;
    const QSize grid = iconList->gridSize();
    const QSize area = iconList->viewport()->size();
    if (grid.isEmpty())
        return false;
    const int perRow = qMax(1, area.width() / grid.width());
    const int step = perRow * qMax(1, area.height() / grid.height());
    const int from = qMax(1, selectedItem());
    const int to =
        key.key() == Qt::Key_PageDown ? qMin(itemCount(), from + step) : qMax(1, from - step);
    selectItem(to);
    iconList->scrollTo(iconSelection->currentIndex());
    return true;
}

// The report view's current cell stays in the title column whichever cell is clicked, so that
// the whole row is what is selected and typing a title's first letters finds titles.
void ListView::keepTitleCurrent(const QModelIndex& current)
{
    if (current.isValid() && current.column() != 0)
        reportSelection->setCurrentIndex(current.siblingAtColumn(0), QItemSelectionModel::NoUpdate);
}

void ListView::applySize()
{
    resize(toPixels(widthTwips), toPixels(heightTwips));
    updateVisibleCovers();
}

void ListView::applyColumnWidth(int position)
{
    reportList->header()->resizeSection(position - 1, toPixels(columnWidths[size_t(position - 1)]));
}

void ListView::applySort()
{
    const int column = qBound(0, sortKey, columnCount - 1);
    const Qt::SortOrder order =
        sortOrder == RowSorting::Direction::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
    model->sort(column, order);
    reportList->header()->setSortIndicator(column, order);
    const QModelIndex current = shownSelection()->currentIndex();
    if (current.isValid())
        shownView()->scrollTo(current);
}

void ListView::updateIconLayout()
{
    const QSize item = iconDelegate->itemSize(font());
    iconList->setIconSize(iconDelegate->iconSize());
    iconList->setGridSize(item + QSize(4, 4));
    iconList->setSpacing(0);
    iconList->verticalScrollBar()->setSingleStep(item.height() / 3);
    iconList->doItemsLayout();
    updateVisibleCovers();
}

void ListView::schedulePrefetch()
{
    if (images)
        prefetchTimer->start();
}

// Reads the covers of the next two screens and the previous one, so that scrolling finds them
// ready; the visible ones are asked for as they are drawn.
void ListView::prefetchAhead()
{
    if (!images || viewMode != IconView)
        return;
    const QSize grid = iconList->gridSize();
    const QRect area = iconList->viewport()->rect();
    if (grid.isEmpty() || area.isEmpty())
        return;
    const QModelIndex first = iconList->indexAt(QPoint(grid.width() / 2, grid.height() / 2));
    if (!first.isValid())
        return;
    const int perScreen = coversPerScreen();
    // Two screens ahead and one behind, as far as the cache has room beside the screen itself.
    const int room = images->prefetchRoom();
    const int ahead = qMin(2 * perScreen, room * 2 / 3);
    const int behind = qMin(perScreen, room - ahead);
    const int to = qMin(titles->rowCount(), first.row() + perScreen + ahead);
    for (int row = first.row() + perScreen; row < to; ++row)
        images->prefetch(titles->index(row, 0).data(CatalogueModel::IconRole).toInt());
    for (int row = qMax(0, first.row() - behind); row < first.row(); ++row)
        images->prefetch(titles->index(row, 0).data(CatalogueModel::IconRole).toInt());
}

// How many covers the icon view shows at most: partly visible rows count.
int ListView::coversPerScreen() const
{
    const QSize grid = iconList->gridSize();
    const QSize area = iconList->viewport()->size();
    if (grid.isEmpty())
        return 0;
    return qMax(1, area.width() / grid.width()) * (area.height() / grid.height() + 2);
}

void ListView::updateVisibleCovers()
{
    if (images)
        images->setVisibleCount(coversPerScreen());
}

// The catalogue row at a position of the rows on show.
// A view that takes the focus tells a screen reader only its own name: the selected title is named
// once the focus has arrived, whatever brought it back (a closed box, the find field, a menu).
void ListView::announceCurrent()
{
    QAbstractItemView* view = shownView();
    const QModelIndex current = view->currentIndex();
    if (!QAccessible::isActive() || !current.isValid() || !view->hasFocus())
        return;
    // Children are counted as the views count them: a list by its items, a table row by row
    // after the row of headers.
    const int child = view == iconList
                          ? current.row()
                          : (current.row() + 1) * view->model()->columnCount() + current.column();
    QAccessibleEvent focus(view, QAccessible::Focus);
    focus.setChild(child);
    QAccessible::updateAccessibility(&focus);
}

int ListView::rowOf(int position) const
{
    if (position < 1 || position > shown->rowCount())
        return -1;
    return shown->mapToSource(shown->index(position - 1, 0)).row();
}
