#include "gui/app/form1.h"

#include "core/catalogue/columns.h"
#include "core/catalogue/limits.h"
#include "core/catalogue/titlefilereader.h"
#include "core/details/detailstext.h"
#include "core/details/lookupurl.h"
#include "core/version.h"
#include "gui/catalogue/listview.h"
#include "gui/details/detailsbox.h"
#include "gui/details/urlopener.h"
#include "gui/twips.h"

#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QtConcurrent>

#include <cstdio>

namespace {

// How many unreadable files the problem box names before it only counts the rest.
constexpr int problemsNamed = 20;

} // namespace

Form1::Form1(const StartFolders& folders)
    : folders(folders)
    , dvdList(nullptr)
    , urlOpener(std::make_unique<DesktopUrlOpener>())
    , exit([](int status) { QCoreApplication::exit(status); })
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

    const QSize clientSize(Twips::toPixels(10155), Twips::toPixels(7365));
    resize(clientSize.width(), clientSize.height() + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connect(dvdList, &ListView::ColumnClick, this, &Form1::dvdList_ColumnClick);
    connect(dvdList, &ListView::DblClick, this, &Form1::dvdList_DblClick);
    connect(dvdList, &ListView::KeyPress, this, &Form1::dvdList_KeyPress);

    DoneTimer.setInterval(100);
    connect(&DoneTimer, &QTimer::timeout, this, &Form1::DoneTimer_Timer);
    connect(&loading, &QFutureWatcher<CatalogueContents>::finished, this, [this] {
        if (loadingTicked)
            showCatalogue();
    });
    connect(&coverCheck, &QFutureWatcher<QList<LoadProblem>>::finished, this, [this] {
        problems += coverCheck.result();
        if (!problems.isEmpty())
            reportLoadProblems();
    });
    Form_Load();
}

Form1::~Form1()
{
    unpacking.waitForFinished();
    loading.waitForFinished();
    closing = true; // the cover check stops at its next cover
    coverCheck.waitForFinished();
}

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

// Prepares the paths and the database folder, then hands over to the loading timer.
void Form1::Form_Load()
{
    if (start.prepare(locateCatalogue(folders)))
        dbextract();
    else
        startReading(); // the folder is ready: read it while the loading timer waits
    DoneTimer.start();
}

// Unpacks on a worker thread, so that the splash window keeps painting through a long first
// start; the loading timer waits for it to finish.
void Form1::dbextract()
{
    unpacking = QtConcurrent::run([this] { return start.dbextract(); });
}

void Form1::DoneTimer_Timer()
{
    if (!unpacking.isFinished())
        return;
    if (!start.failure().isEmpty()) {
        DoneTimer.stop();
        reportStartFailure();
        return;
    }
    if (!start.isReady())
        return;
    DoneTimer.stop();
    itemnum = 1;
    for (const QString& header : columnHeaders())
        AddCol(header);
    loadingTicked = true;
    startReading();
    if (loading.isFinished())
        showCatalogue();
}

// Title files are read by worker threads; the rows go into the list in one step once every file
// is read and the loading timer has ticked, in name order, exactly as reading them one by one
// would leave them. Reading changes nothing on screen, so it may start before the tick.
void Form1::startReading()
{
    if (readingStarted)
        return;
    readingStarted = true;
    loading.setFuture(QtConcurrent::run(&CatalogueLoader::load, start.databaseFolder()));
}

void Form1::showCatalogue()
{
    if (catalogueShownOnce)
        return;
    catalogueShownOnce = true;
    CatalogueContents contents = loading.result();
    for (const QString& note : start.notes())
        problems << LoadProblem{QFileInfo(start.archivePath()).fileName(), note, 0};
    problems += contents.problems;
    QStringList coverPaths;
    coverPaths.reserve(contents.coverFiles.size());
    for (const QString& cover : std::as_const(contents.coverFiles))
        coverPaths << start.databaseFolder() + cover;
    dvdImg.addAll(coverPaths, contents.imageSize);
    dvdList->setIcons(&dvdImg);
    const int rows = dvdList->addItems(std::move(contents.rows));
    shownCovers = std::move(contents.shownCovers);
    itemnum = qint16(qMin(rows + 1, maxCounter));
    show();
    // The list has the keyboard focus from the start, with its first row selected.
    dvdList->setFocus();
    emit catalogueShown();
    // Once the first paint has asked for the covers on screen, so that they come first.
    QTimer::singleShot(100, this, &Form1::checkCovers);
}

// Checks that every cover on show can be read, once the covers on screen have been drawn, and
// then reports all the files that could not be read in one message box.
void Form1::checkCovers()
{
    if (dvdImg.isBusy()) {
        connect(&dvdImg, &ImageList::idle, this, &Form1::checkCovers, Qt::SingleShotConnection);
        return;
    }
    if (coverCheck.future().isValid())
        return;
    coverCheck.setFuture(QtConcurrent::run([this, folder = start.databaseFolder(),
                                            covers = shownCovers] {
        return CatalogueLoader::unreadableCovers(folder, covers, [this] { return closing.load(); });
    }));
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

void Form1::LV_ColumnSort(ListView& listViewControl, int columnIndex)
{
    const int key = columnIndex - 1;
    using RowSorting::Direction;
    if (listViewControl.SortKey() == key) {
        listViewControl.setSortOrder(listViewControl.SortOrder() == Direction::Ascending
                                         ? Direction::Descending
                                         : Direction::Ascending);
    } else {
        listViewControl.setSortKey(qint16(key));
        listViewControl.setSortOrder(Direction::Ascending);
    }
    listViewControl.setView(ListView::IconView);
    listViewControl.setSorted(true);
    listViewControl.setView(ListView::ReportView);
    listViewControl.setSorted(true);
}

void Form1::nfobox()
{
    const int position = dvdList->selectedItem();
    if (position == 0)
        return;
    QStringList cells;
    for (int index = 1; index <= titleFieldCount; ++index)
        cells << dvdList->subItem(position, index);
    messageBox(dvdList->itemText(position), detailsText(cells));
}

void Form1::layoutList(float outerWidth, float outerHeight)
{
    // Each step is tried even when the one before was refused.
    dvdList->setWidth(outerWidth - 350.0f);
    dvdList->setHeight(outerHeight - 1000.0f);
    const float columnWidth = dvdList->Width() / 10.0f;
    for (int position = 1; position <= columnCount; ++position)
        dvdList->setColumnHeaderWidth(position, columnWidth);
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

void Form1::Form_Resize()
{
    if (isMinimized())
        return;
    const QRect outer = frameGeometry();
    layoutList(Twips::fromPixels(outer.width()), Twips::fromPixels(outer.height()));
}

void Form1::reportStartFailure()
{
    emit startFailed(start.failure());
    // Also on standard error, for whoever started Movra from a terminal or a script. The box is
    // captioned apart from the main window, which never showed.
    std::fprintf(stderr, "movra: %s\n", qPrintable(start.failure()));
    messageBox(QStringLiteral("Movra"), start.failure());
    exit(1);
}

void Form1::reportLoadProblems()
{
    QStringList lines;
    for (int i = 0; i < problems.size() && i < problemsNamed; ++i) {
        const LoadProblem& problem = problems[i];
        QString line = problem.file + QLatin1String(": ") + problem.reason;
        if (problem.line > 0)
            line += QStringLiteral(" (line %1)").arg(problem.line);
        lines << line;
    }
    if (problems.size() > problemsNamed)
        lines << QStringLiteral("... and %1 more.").arg(problems.size() - problemsNamed);
    messageBox(windowTitle(), QStringLiteral("Some files of the catalogue in %1 could not be read "
                                             "and are not shown as they should be:\n\n")
                                      .arg(QDir::toNativeSeparators(start.databaseFolder())) +
                                  lines.join(QLatin1Char('\n')));
}

void Form1::lookUp(LookUp service)
{
    const int position = dvdList->selectedItem();
    if (position == 0)
        return;
    urlOpener->open(lookUpUrl(service, dvdList->itemText(position)));
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
