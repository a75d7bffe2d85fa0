#include "gui/catalogue/listview.h"

#include "core/catalogue/cataloguemodel.h"
#include "gui/catalogue/announcer.h"
#include "gui/catalogue/coverprefetcher.h"
#include "gui/catalogue/icondelegate.h"
#include "gui/catalogue/iconlistview.h"
#include "gui/catalogue/imagelist.h"
#include "gui/catalogue/listevents.h"
#include "gui/catalogue/reportaccessible.h"
#include "gui/catalogue/reporttreeview.h"
#include "gui/catalogue/rowfiltermodel.h"
#include "gui/catalogue/titlecolumnmodel.h"
#include "gui/twips.h"

#include <QHeaderView>
#include <QStackedLayout>
#include <QTimer>

namespace {

// What a screen reader calls either view.
const QString catalogueName = QStringLiteral("Catalogue");

} // namespace

ListView::ListView(QWidget* parent)
    : QWidget(parent)
    , model(new CatalogueModel(this))
    , shown(new RowFilterModel(this))
    , titles(new TitleColumnModel(this))
    , stack(new QStackedLayout(this))
    , iconList(new IconListView(this))
    , reportList(new ReportTreeView(this))
    , iconDelegate(new IconDelegate(this))
    , prefetcher(new CoverPrefetcher(iconList))
    , announcer(new Announcer(this))
    , sorting(new ListSorting(model, reportList->header(), this))
    , events(new ListEvents(this))
{
    ReportAccessible::install();
    shown->setSourceModel(model);
    shown->setFilter(&filter);
    titles->setSourceModel(shown);
    iconSelection = new QItemSelectionModel(titles, this);
    reportSelection = new QItemSelectionModel(shown, this);

    iconList->setModel(titles);
    iconList->setSelectionModel(iconSelection);
    iconList->setAccessibleName(catalogueName);
    iconList->setItemDelegate(iconDelegate);
    reportList->setModel(shown);
    reportList->setSelectionModel(reportSelection);
    reportList->setAccessibleName(catalogueName);

    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(iconList);
    stack->addWidget(reportList);
    stack->setCurrentWidget(iconList);
    setFocusProxy(iconList);

    QHeaderView* header = reportList->header();
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int section) { emit ColumnClick(section + 1); });
    // A screen reader sorts by a header's "Sort" action, as a click does.
    connect(reportList, &ReportTreeView::sortRequested, this,
            [this](int column) { emit ColumnClick(column + 1); });
    events->watch(iconList);
    events->watch(reportList);
    connect(events, &ListEvents::doubleClicked, this, &ListView::DblClick);
    connect(events, &ListEvents::keyPressed, this, &ListView::KeyPress);
    connect(events, &ListEvents::copyRequested, this, &ListView::CopyRequested);
    connect(sorting, &ListSorting::sorted, this, [this] {
        keepSelectedInView();
        announceCurrentAgain();
    });
    iconList->setItemSize(iconDelegate->itemSize(font()));
    applySize();
}

ListView::~ListView() = default;

QListView* ListView::iconView() const
{
    return iconList;
}

QTreeView* ListView::reportView() const
{
    return reportList;
}

void ListView::addColumnHeader(const QString& text, float columnWidth)
{
    model->addColumn(text);
    reportList->appendColumnTwips(columnWidth);
}

int ListView::columnHeaderCount() const
{
    return reportList->columnCountInTwips();
}

QString ListView::columnHeaderText(int position) const
{
    return model->headerData(position - 1, Qt::Horizontal, Qt::DisplayRole).toString();
}

float ListView::columnHeaderWidth(int position) const
{
    return reportList->columnTwips(position - 1);
}

bool ListView::setColumnHeaderWidth(int position, float columnWidth)
{
    if (position < 1 || position > columnHeaderCount() || columnWidth < 0)
        return false;
    reportList->setColumnTwips(position - 1, columnWidth);
    return true;
}

int ListView::addItems(std::vector<CatalogueRow> rows)
{
    const bool wasEmpty = model->rowCount() == 0;
    const int added = model->addRows(std::move(rows));
    if (added > 0)
        sorting->keepInOrder();
    // New rows show when they hold what the list is narrowed to.
    if (added > 0 && !filter.findsEverything()) {
        filter.indexRows(*model);
        shown->refilter();
    }
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
    filter.indexRows(*model);
    if (filter.setQuery(query))
        shown->refilter();
    int position = shown->positionOfSequence(keptSequence);
    if (position == 0 && itemCount() > 0)
        position = 1;
    if (position == 0) {
        shownSelection()->clear();
        return;
    }
    selectItem(position);
    shownView()->scrollTo(shownSelection()->currentIndex());
    announceCurrentAgain();
}

void ListView::prepareToNarrow()
{
    filter.indexRows(*model);
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
    prefetcher->setImageList(images);
    if (images) {
        connect(images, &ImageList::imageReady, iconList->viewport(),
                qOverload<>(&QWidget::update));
        connect(images, &QObject::destroyed, this, [this] { setIcons(nullptr); });
    }
    iconList->setItemSize(iconDelegate->itemSize(font()));
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
    // The view coming on show takes the selected row while it has no focus, so that it tells a
    // screen reader nothing yet: once it has the focus, it names the selected title first.
    if (selected > 0)
        selectItem(selected);
    else
        shownSelection()->clear();
    stack->setCurrentWidget(view);
    setFocusProxy(view);
    prefetcher->setActive(mode == IconView);
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

void ListView::sortBy(int key, RowSorting::Direction order)
{
    sorting->sortBy(key, order);
    // After what the sort's other changes tell a screen reader, such as the view it ends in.
    const QString said = columnHeaderText(key + 1) + (order == RowSorting::Direction::Ascending
                                                          ? QLatin1String(", ascending")
                                                          : QLatin1String(", descending"));
    QTimer::singleShot(0, announcer, [this, said] { announcer->announce(said); });
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

void ListView::applySize()
{
    resize(Twips::toPixelSize(widthTwips), Twips::toPixelSize(heightTwips));
}

void ListView::keepSelectedInView()
{
    const QModelIndex current = shownSelection()->currentIndex();
    if (current.isValid())
        shownView()->scrollTo(current);
}

// A sort or a find replaces the items a screen reader knows, the one it was on among them: it
// hears the selected title again rather than nothing, or an item that is gone.
void ListView::announceCurrentAgain()
{
    if (shownView() == iconList)
        iconList->announceCurrent();
    else
        reportList->announceCurrent();
}

// The catalogue row at a position of the rows on show.
int ListView::rowOf(int position) const
{
    if (position < 1 || position > shown->rowCount())
        return -1;
    return shown->mapToSource(shown->index(position - 1, 0)).row();
}
