#include "gui/app/form1.h"

#include "core/catalogue/columns.h"
#include "core/catalogue/limits.h"
#include "core/catalogue/titlefilereader.h"
#include "core/details/detailstext.h"
#include "core/details/lookupurl.h"
#include "core/titles/linebreak.h"
#include "core/version.h"
#include "gui/catalogue/findbar.h"
#include "gui/catalogue/listview.h"
#include "gui/details/detailsbox.h"
#include "gui/details/urlopener.h"
#include "gui/twips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>

Form1::Form1(StartupController& startup)
    : dvdList(nullptr)
    , controller(startup)
    , urlOpener(std::make_unique<DesktopUrlOpener>())
    , lossWatch(std::make_unique<WindowLossWatch>(this))
{
    messageBox = [this](const QString& caption, const QString& text) {
        DetailsBox::showModal(this, caption, text);
    };
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Movra v" MOVRA_VERSION));
    setWindowIcon(QIcon(QStringLiteral(":/movra.png")));

    auto* client = new QWidget(this);
    setCentralWidget(client);
    dvdList = new ListView(client);
    dvdList->setPosition(120, 120);
    dvdList->setWidth(9855);
    dvdList->setHeight(6615);
    createMenus();
    createFindBar();
    createKeys();

    placeOnScreen(QSize(frameAllowance, frameAllowance * 3));

    connect(dvdList, &ListView::ColumnClick, this, &Form1::dvdList_ColumnClick);
    connect(dvdList, &ListView::DblClick, this, &Form1::dvdList_DblClick);
    connect(dvdList, &ListView::KeyPress, this, &Form1::dvdList_KeyPress);
    connect(dvdList, &ListView::CopyRequested, this, &Form1::copySelectedTitle);

    DoneTimer.setInterval(100);
    connect(&DoneTimer, &QTimer::timeout, this, &Form1::DoneTimer_Timer);
    connect(&controller, &StartupController::problemsFound, this,
            [this](const QString& report) { messageBox(windowTitle(), report); });
    Form_Load();
}

Form1::~Form1() = default;

void Form1::setUrlOpener(std::unique_ptr<UrlOpener> opener)
{
    urlOpener = std::move(opener);
}

void Form1::createMenus()
{
    QMenu* mnuView = menuBar()->addMenu(QStringLiteral("&View"));
    addMenuItem(mnuView, QStringLiteral("&Icons"), Qt::Key_F3, &Form1::mnuIcons_Click);
    addMenuItem(mnuView, QStringLiteral("&Report"), Qt::Key_F4, &Form1::mnuReport_Click);
    QMenu* mnuQuery = menuBar()->addMenu(QStringLiteral("&Query"));
    addMenuItem(mnuQuery, QStringLiteral("&Amazon"), Qt::Key_F5, &Form1::mnuAmazon_Click);
    addMenuItem(mnuQuery, QStringLiteral("&IMDb"), Qt::Key_F6, &Form1::mnuIMDb_Click);
    addMenuItem(mnuQuery, QStringLiteral("IMDb &UK"), Qt::Key_F7, &Form1::mnuIMDbUK_Click);
    addMenuItem(mnuQuery, QStringLiteral("&Google"), Qt::Key_F8, &Form1::mnuGoogle_Click);
}

// Keys beside the menus, which stay as they are: Ctrl+1 to Ctrl+9 and Ctrl+0 act as a click on
// column header 1 to 10, and Ctrl+Q closes the window as the window manager's close does.
void Form1::createKeys()
{
    const Qt::Key digits[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5,
                              Qt::Key_6, Qt::Key_7, Qt::Key_8, Qt::Key_9, Qt::Key_0};
    for (int position = 1; position <= columnCount; ++position) {
        auto* sortKey = new QAction(this);
        sortKey->setShortcut(QKeySequence(Qt::CTRL | digits[position - 1]));
        connect(sortKey, &QAction::triggered, this,
                [this, position] { dvdList_ColumnClick(position); });
        addAction(sortKey);
    }
    auto* quit = new QAction(this);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);
}

QAction* Form1::addMenuItem(QMenu* menu, const QString& caption, Qt::Key shortcut,
                            void (Form1::*handler)())
{
    QAction* action = menu->addAction(caption);
    action->setShortcut(QKeySequence(shortcut));
    // Shortcuts work whenever the window is active, without the menu open.
    addAction(action);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

// The start (finding the catalogue, unpacking it on a first start, reading it) is under way on
// other threads since main began it: the loading timer waits for it.
void Form1::Form_Load()
{
    DoneTimer.start();
}

// Waits until the database folder is ready, then adds the columns and shows the rows, as soon as
// every title file is read.
void Form1::DoneTimer_Timer()
{
    if (!controller.isFolderReady())
        return;
    DoneTimer.stop();
    itemnum = 1;
    for (const QString& header : columnHeaders())
        AddCol(header);
    if (controller.hasContents())
        showCatalogue();
    else
        connect(&controller, &StartupController::catalogueRead, this, &Form1::showCatalogue,
                Qt::SingleShotConnection);
}

// The rows go into the list in one step, in name order, exactly as reading the title files one
// by one would leave them.
void Form1::showCatalogue()
{
    CatalogueContents contents = controller.takeContents();
    dvdImg.setPictures(controller.databaseFolder(), contents.coverFiles, contents.imageSize);
    dvdList->setIcons(&dvdImg);
    const int rows = dvdList->addItems(std::move(contents.rows));
    itemnum = qint16(qMin(rows + 1, maxCounter));
    show();
    // The list has the keyboard focus from the start, with its first row selected.
    dvdList->setFocus();
    emit catalogueShown();
    controller.catalogueShown();
    // The rows are ranked for sorting once the first paint has asked for the covers on screen and
    // they are read, so that they come first; the covers are checked once the rows are ranked.
    dvdList->shownView()->viewport()->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && watched == dvdList->shownView()->viewport()) {
        watched->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &Form1::checkCoversOnceDrawn, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::checkCoversOnceDrawn()
{
    if (dvdImg.isBusy()) {
        connect(&dvdImg, &ImageList::idle, this, &Form1::checkCoversOnceDrawn,
                Qt::SingleShotConnection);
        return;
    }
    connect(&ranking, &QFutureWatcher<void>::finished, &controller, &StartupController::checkCovers,
            Qt::SingleShotConnection);
    ranking.setFuture(dvdList->prepareToSort());
}

void Form1::AddCol(const QString& colname)
{
    dvdList->addColumnHeader(colname, dvdList->Width() / 10.0f);
}

bool Form1::ParseOneADL(const QString& adlname, LoadProblem* problem)
{
    TitleFileReader::Outcome read = TitleFileReader().read(adlname);
    if (!read.ok()) {
        if (problem)
            *problem = LoadProblem{QFileInfo(adlname).fileName(), read.error, read.errorLine};
        return false;
    }
    read.row.setSequenceNumber(itemnum);
    read.row.setIcon(itemnum);
    std::vector<CatalogueRow> rows;
    rows.push_back(std::move(read.row));
    if (dvdList->addItems(std::move(rows)) == 0) {
        if (problem)
            *problem = LoadProblem{QFileInfo(adlname).fileName(),
                                   QStringLiteral("its row key %1 is already in use")
                                       .arg(CatalogueRow::keyFor(itemnum)),
                                   0};
        return false;
    }
    if (itemnum < maxCounter)
        ++itemnum;
    return true;
}

// A second click on the sort column reverses the order; another column sorts ascending. Either
// way the list ends sorted, in the report view: shown first, so that the icon view, out of sight
// by then, does not lay out every row again for the new order.
void Form1::LV_ColumnSort(ListView& listViewControl, int columnIndex)
{
    const int key = columnIndex - 1;
    using RowSorting::Direction;
    Direction order = Direction::Ascending;
    if (listViewControl.SortKey() == key && listViewControl.SortOrder() == Direction::Ascending)
        order = Direction::Descending;
    listViewControl.setView(ListView::ReportView);
    listViewControl.sortBy(key, order);
}

void Form1::nfobox()
{
    const int position = dvdList->selectedItem();
    if (position == 0)
        return;
    messageBox(dvdList->itemText(position), detailsText(subItems(position)));
    // Back to the title the box was about, for the keyboard and for a screen reader.
    dvdList->setFocus();
}

QStringList Form1::subItems(int position) const
{
    QStringList cells;
    for (int index = 1; index <= titleFieldCount; ++index)
        cells << dvdList->subItem(position, index);
    return cells;
}

// The selected title, then its details as the box shows them, with the platform's line ends.
void Form1::copySelectedTitle()
{
    const int position = dvdList->selectedItem();
    if (position == 0)
        return;
    const QString text = dvdList->itemText(position) + cr + cr + detailsText(subItems(position));
    QGuiApplication::clipboard()->setText(withPlatformLineEnds(text));
}

void Form1::layoutList(float outerWidth, float outerHeight)
{
    // Each step is tried even when the one before was refused.
    dvdList->setWidth(outerWidth - 350.0f);
    // An open find bar takes its height from the bottom of the list.
    dvdList->setHeight(outerHeight - 1000.0f - findBarHeight());
    const float columnWidth = dvdList->Width() / 10.0f;
    for (int position = 1; position <= columnCount; ++position)
        dvdList->setColumnHeaderWidth(position, columnWidth);
    placeFindBar();
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    Form_Resize();
}

// The window manager may give the window its frame only after it is first shown: the outer size
// then grows without a resize, and the rule is applied again for it. The first time, the window
// is placed again with its real frame, if that one does not fit the screen.
void Form1::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (!isVisible())
        return;
    if (!placedWithFrame && frameGeometry() != geometry()) {
        placedWithFrame = true;
        const QScreen* shownOn = screen();
        if (shownOn && !shownOn->availableGeometry().contains(frameGeometry()))
            placeOnScreen(frameGeometry().size() - size());
    }
    if (frameGeometry().size() != laidOutFor)
        Form_Resize();
}

// The window's first size is its designed client area, 10155 x 7365 twips, below the menu bar,
// but never more than the screen's available area holds with the frame around it; centred, with
// its title bar on the screen, at any scale.
void Form1::placeOnScreen(QSize frame)
{
    const QSize designed(Twips::toPixels(10155),
                         Twips::toPixels(7365) + menuBar()->sizeHint().height());
    const QScreen* shownOn = isVisible() ? screen() : QGuiApplication::primaryScreen();
    if (!shownOn) {
        resize(designed);
        return;
    }
    const QRect available = shownOn->availableGeometry();
    resize(designed.boundedTo(available.size() - frame));
    const QRect outer(QPoint(), size() + frame);
    QPoint topLeft = available.center() - outer.center();
    topLeft.setX(qMax(topLeft.x(), available.left()));
    topLeft.setY(qMax(topLeft.y(), available.top()));
    move(topLeft); // where the frame's corner goes
}

void Form1::Form_Resize()
{
    if (isMinimized())
        return;
    const QRect outer = frameGeometry();
    laidOutFor = outer.size();
    layoutList(Twips::fromPixels(outer.width()), Twips::fromPixels(outer.height()));
}

void Form1::lookUp(LookUp service)
{
    const int position = dvdList->selectedItem();
    if (position == 0)
        return;
    urlOpener->open(lookUpUrl(service, dvdList->itemText(position)));
}

// The find bar waits hidden below the list, and neither of its keys has a menu item: the platform's
// find key (Ctrl+F) shows it, or goes back into its field; Escape, in the field or in the list,
// clears and hides it.
void Form1::createFindBar()
{
    finder = new FindBar(centralWidget());
    finder->hide();
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, &Form1::showFindBar);
    addAction(find);
    closeFindKey = new QAction(this);
    closeFindKey->setShortcut(QKeySequence(Qt::Key_Escape));
    closeFindKey->setEnabled(false);
    connect(closeFindKey, &QAction::triggered, this, &Form1::closeFindBar);
    addAction(closeFindKey);
    connect(finder, &FindBar::queryChanged, this, &Form1::narrowList);
    connect(finder, &FindBar::moveIntoList, this, &Form1::moveIntoList);
}

void Form1::showFindBar()
{
    if (finder->isHidden()) {
        dvdList->prepareToNarrow();
        finder->showCount(dvdList->itemCount(), dvdList->totalItemCount());
        finder->show();
        closeFindKey->setEnabled(true);
        Form_Resize();
    }
    finder->focusField();
}

// The whole list again, with the title selected last still selected and in view.
void Form1::closeFindBar()
{
    if (finder->isHidden())
        return;
    finder->clear();
    finder->hide();
    closeFindKey->setEnabled(false);
    Form_Resize();
    dvdList->narrowTo(QString());
    dvdList->setFocus();
}

void Form1::narrowList(const QString& query)
{
    dvdList->narrowTo(query);
    finder->showCount(dvdList->itemCount(), dvdList->totalItemCount());
}

// With nothing found, the focus stays where the user can type on, and hears why again.
void Form1::moveIntoList()
{
    if (dvdList->itemCount() == 0) {
        finder->announceCount();
        return;
    }
    dvdList->selectItem(1);
    dvdList->setFocus();
}

float Form1::findBarHeight() const
{
    return finder && !finder->isHidden() ? Twips::fromPixels(finder->sizeHint().height()) : 0.0f;
}

// Right below the list, as wide as the list.
void Form1::placeFindBar()
{
    if (!finder || finder->isHidden())
        return;
    const QRect list = dvdList->geometry();
    finder->setGeometry(list.left(), list.bottom() + 1, list.width(), finder->sizeHint().height());
}

void Form1::mnuIcons_Click()
{
    dvdList->setView(ListView::IconView);
}

void Form1::mnuReport_Click()
{
    dvdList->setView(ListView::ReportView);
}

void Form1::mnuAmazon_Click()
{
    lookUp(LookUp::Amazon);
}

void Form1::mnuIMDb_Click()
{
    lookUp(LookUp::IMDb);
}

void Form1::mnuIMDbUK_Click()
{
    lookUp(LookUp::IMDbUK);
}

void Form1::mnuGoogle_Click()
{
    lookUp(LookUp::Google);
}

void Form1::dvdList_ColumnClick(int columnIndex)
{
    LV_ColumnSort(*dvdList, columnIndex);
}

void Form1::dvdList_DblClick()
{
    nfobox();
}

void Form1::dvdList_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        nfobox();
}
