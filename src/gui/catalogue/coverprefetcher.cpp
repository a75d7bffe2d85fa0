#include "gui/catalogue/coverprefetcher.h"

#include "core/catalogue/cataloguemodel.h"
#include "gui/catalogue/iconlistview.h"
#include "gui/catalogue/imagelist.h"

#include <QEvent>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>

CoverPrefetcher::CoverPrefetcher(IconListView* view)
    : QObject(view)
    , view(view)
{
    timer.setSingleShot(true);
    timer.setInterval(40);
    connect(&timer, &QTimer::timeout, this, &CoverPrefetcher::prefetchAhead);
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (images && active)
            timer.start();
    });
    view->installEventFilter(this);
}

void CoverPrefetcher::setImageList(ImageList* imageList)
{
    images = imageList;
    followScreen();
    updateVisibleCount();
}

void CoverPrefetcher::setActive(bool on)
{
    active = on;
    if (!active)
        timer.stop();
}

bool CoverPrefetcher::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view) {
        if (event->type() == QEvent::Resize)
            updateVisibleCount();
        else if (event->type() == QEvent::Show)
            followScreen();
    }
    return QObject::eventFilter(watched, event);
}

// The ratio of the screen the view is on now, and from now on that of every screen its window
// moves to.
void CoverPrefetcher::followScreen()
{
    QWindow* window = view->window()->windowHandle();
    if (window && !followingWindow) {
        followingWindow = true;
        connect(window, &QWindow::screenChanged, this, &CoverPrefetcher::followScreen);
    }
    if (images && window)
        images->setDevicePixelRatio(window->devicePixelRatio());
}

void CoverPrefetcher::updateVisibleCount()
{
    if (images)
        images->setVisibleCount(view->coversPerScreen());
}

// Two screens ahead and one behind, as far as the cache has room beside the screen itself.
void CoverPrefetcher::prefetchAhead()
{
    const QSize grid = view->gridSize();
    if (!images || !active || grid.isEmpty() || view->viewport()->rect().isEmpty())
        return;
    const QModelIndex first = view->indexAt(QPoint(grid.width() / 2, grid.height() / 2));
    if (!first.isValid())
        return;
    const int perScreen = view->coversPerScreen();
    const int room = images->prefetchRoom();
    const int ahead = qMin(2 * perScreen, room * 2 / 3);
    const int behind = qMin(perScreen, room - ahead);
    QAbstractItemModel* model = view->model();
    const int to = qMin(model->rowCount(), first.row() + perScreen + ahead);
    auto prefetch = [&](int row) {
        images->prefetch(model->index(row, 0).data(CatalogueModel::IconRole).toInt());
    };
    for (int row = first.row() + perScreen; row < to; ++row)
        prefetch(row);
    for (int row = qMax(0, first.row() - behind); row < first.row(); ++row)
        prefetch(row);
}
