#include "core/details/platformlineend.h"
#include "core/version.h"
#include "gui/app/form1.h"
#include "gui/app/frmsplash.h"
#include "gui/catalogue/findbar.h"
#include "gui/catalogue/listview.h"
#include "gui/twips.h"

#include "support/accessibleevents.h"
#include "support/archivebuilder.h"
#include "support/catalogbuilder.h"
#include "support/formharness.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLockFile>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>

namespace {

QStringList columnTexts(const ListView& list, int column)
{
    QStringList texts;
    for (int position = 1; position <= list.itemCount(); ++position)
        texts << (column == 1 ? list.itemText(position) : list.subItem(position, column - 1));
    return texts;
}

// Sorts as a click on column header position does: by the mouse, or by Ctrl and the column's
// digit (Ctrl+0 for the tenth).
void sortByColumn(QWidget* window, ListView& list, int position, bool byKeyboard)
{
    if (byKeyboard) {
        QTest::keyClick(window, Qt::Key(Qt::Key_0 + position % 10), Qt::ControlModifier);
        return;
    }
    QHeaderView* header = list.reportView()->header();
    const QPoint centre(header->sectionViewportPosition(position - 1) +
                            header->sectionSize(position - 1) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

void clickHeader(ListView& list, int position)
{
    QHeaderView* header = list.reportView()->header();
    const QPoint centre(header->sectionViewportPosition(position - 1) +
                            header->sectionSize(position - 1) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

// A catalogue to find in: two horror films among four titles.
bool writeFindCatalogue(const QDir& db)
{
    return writeTitle(db, "1.adl", "Alien", "Horror") &&
           writeTitle(db, "2.adl", "Aliens", "Horror") &&
           writeTitle(db, "3.adl", "Brazil", "Comedy") &&
           writeTitle(db, "4.adl", "Casablanca", "Drama");
}

QString selectedTitle(const ListView& list)
{
    const int position = list.selectedItem();
    return position > 0 ? list.itemText(position) : QString();
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void loadsCatalogueInNameOrder();
    void reportsBrokenFilesOnceShown();
    void noTitleFiles();
    void parseOneAdlAppendsNumberedRow();
    void firstStartUnpacksThenShows();
    void brokenArchiveIsReportedAndEnds();
    void installedStartUnpacksForTheUser();
    void userFolderInTheWayIsReported();
    void waitsWhileAnotherStartUnpacks();
    void headerClicksSort_data();
    void headerClicksSort();
    void everythingByKeyboard();
    void releaseDatesSortAsText();
    void viewKeysAndMenus();
    void activeViewChosenAgainChangesNothing();
    void resizeRule();
    void resizeFollowsWindow();
    void findNarrowsAndEscapeRestores_data();
    void findNarrowsAndEscapeRestores();
    void findThenEnterOpensFirstMatch();
    void findIsHeard();
    void firstWindowFitsTheScreen();
    void sortWhileNarrowed();
    void findBarTakesItsHeightFromTheList();
    void splashCreatesMainWindowOnce();
    void startFailedBeforeTheMainWindowIsReported();
    void firstRowFromTheStart();
    void enterAndDoubleClickShowSelectedRow();
    void otherKeysShowNothing();
    void queryItemsOpenOncePerChoice();

private:
    TestForm openCatalogue();

    // Program folders whose db/ holds one title, and three, shared by the tests that need no
    // more.
    QTemporaryDir oneTitle;
    QTemporaryDir threeTitles;
    FormRecord opened; // what the catalogue of threeTitles showed and opened
};

void TestForm1::initTestCase()
{
    QVERIFY(writeTitle(QDir(oneTitle.filePath("db")), "a.adl", "A"));
    const QDir db(threeTitles.filePath("db"));
    QVERIFY(writeTitle(db, "1.adl", "Brazil", "Comedy", "12 March, 1985"));
    QVERIFY(writeTitle(db, "2.adl", "Alien", "Horror"));
    QVERIFY(writeTitle(db, "3.adl", "Tom & Jerry", "Family"));
}

void TestForm1::loadsCatalogueInNameOrder()
{
    QTemporaryDir program;
    const QDir db(program.filePath("db"));
    QVERIFY(writeTitle(db, "Gamma.adl", "Gamma", "Drama"));
    QVERIFY(writeTitle(db, "beta.adl", "Beta"));
    QVERIFY(writeTitle(db, "Alpha.adl", "Alpha"));
    QVERIFY(writeCover(db, "Alpha.adl.cover.png", Qt::red));
    QVERIFY(writeCover(db, "beta.adl.cover.png", Qt::green));
    QVERIFY(writeCover(db, "Gamma.adl.cover.png", Qt::blue));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));

    ListView& list = *form->list();
    QStringList headers;
    for (int position = 1; position <= list.columnHeaderCount(); ++position)
        headers << list.columnHeaderText(position);
    QCOMPARE(headers,
             (QStringList{"Title", "Starring", "Directors", "Release date", "Manufacturer", "Genre",
                          "Features", "Mpaa Rating", "Customer Rating", "Customer Reviews"}));
    QCOMPARE(columnTexts(list, 1), (QStringList{"Alpha", "Beta", "Gamma"}));
    QCOMPARE(list.itemKey(3), QString("K3"));
    QCOMPARE(list.itemIcon(3), 3);
    QCOMPARE(list.subItem(3, 5), QString("Drama"));
    QCOMPARE(list.subItem(2, 1), QString("Actor of Beta"));
    QCOMPARE(form->nextItemNumber(), qint16(4));
    QCOMPARE(list.View(), int(ListView::IconView));
    QVERIFY(!list.Sorted());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QCOMPARE(QApplication::focusWidget(), list.iconView());
    QVERIFY(record.boxes.isEmpty());

    // Each row shows its own cover once it has been read.
    QTRY_VERIFY(!form->coverImages().image(list.itemIcon(2)).isNull());
    QCOMPARE(form->coverImages().image(list.itemIcon(2)).toImage().pixelColor(5, 5),
             QColor(Qt::green));
}

void TestForm1::reportsBrokenFilesOnceShown()
{
    QTemporaryDir program;
    const QDir db(program.filePath("db"));
    QVERIFY(writeTitle(db, "a.adl", "A"));
    QByteArray broken =
        QByteArray("header\r\n").repeated(29) + "B\r\nGenre:\r\nX\r\nFeatures:\r\nOnly entry\r\n";
    QVERIFY(writeBytes(db.filePath("b.adl"), broken));
    QVERIFY(writeTitle(db, "c.adl", "C"));
    QVERIFY(writeCover(db, "a.adl.cover.png", Qt::red));
    QVERIFY(writeBytes(db.filePath("c.adl.cover.png"), "not a picture"));
    QVERIFY(db.mkpath("d.adl")); // skipped by the listing, before any file is read
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QCOMPARE(columnTexts(*form->list(), 1), (QStringList{"A", "C"}));
    QCOMPARE(form->list()->itemKey(2), QString("K2"));
    QCOMPARE(form->list()->itemIcon(2), 2); // c's own cover, not b's place
    // What loading found is told as the window shows; what the cover check finds, after.
    QTRY_COMPARE(record.boxes.size(), 4);
    QCOMPARE(record.boxes[0], QString("Movra v" MOVRA_VERSION));
    QVERIFY2(record.boxes[1].contains("b.adl: the \"Features:\" line starts a list"),
             qPrintable(record.boxes[1]));
    QVERIFY2(record.boxes[1].contains("(line 33)"), qPrintable(record.boxes[1]));
    // Named by name, whatever step found them.
    const qsizetype b = record.boxes[1].indexOf("b.adl:");
    const qsizetype d = record.boxes[1].indexOf("d.adl: is a folder");
    QVERIFY2(b >= 0 && b < d, qPrintable(record.boxes[1]));
    QCOMPARE(record.boxes[2], QString("Movra v" MOVRA_VERSION));
    QVERIFY2(record.boxes[3].contains("c.adl.cover.png: is not a picture"),
             qPrintable(record.boxes[3]));
    QVERIFY2(!record.boxes[3].contains("b.adl"), qPrintable(record.boxes[3]));
}

void TestForm1::noTitleFiles()
{
    QTemporaryDir program;
    QVERIFY(QDir(program.path()).mkpath("db"));
    QVERIFY(writeBytes(program.filePath("db/readme.txt"), "not a title"));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QCOMPARE(form->list()->itemCount(), 0);
    QCOMPARE(form->list()->columnHeaderCount(), 10);
    // Nothing is selected in an empty list: Enter and the look-ups do nothing.
    QTest::keyClick(form->list()->iconView(), Qt::Key_Return);
    QTest::keyClick(form.get(), Qt::Key_F8);
    QVERIFY(record.boxes.isEmpty());
    QVERIFY(record.urls.isEmpty());
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(form->findBar()->countLabel()->text(), QString("0 of 0 titles"));
}

void TestForm1::parseOneAdlAppendsNumberedRow()
{
    FormRecord record;
    auto form = makeForm(oneTitle.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QCOMPARE(form->nextItemNumber(), qint16(2));
    QTemporaryDir more;
    QVERIFY(writeTitle(QDir(more.path()), "b.adl", "Second", "Drama"));
    QVERIFY(writeBytes(more.filePath("short.adl"), "too short\r\n"));

    LoadProblem problem;
    QVERIFY(form->ParseOneADL(more.filePath("b.adl"), &problem));
    ListView& list = *form->list();
    QCOMPARE(list.itemCount(), 2);
    QCOMPARE(list.itemKey(2), QString("K2"));
    QCOMPARE(list.itemIcon(2), 2);
    QCOMPARE(list.itemText(2), QString("Second"));
    QCOMPARE(list.subItem(2, 5), QString("Drama"));
    QCOMPARE(form->nextItemNumber(), qint16(3));

    QVERIFY(!form->ParseOneADL(more.filePath("short.adl"), &problem));
    QCOMPARE(problem.file, QString("short.adl"));
    QVERIFY2(problem.reason.contains("ends after line 1"), qPrintable(problem.reason));
    QCOMPARE(problem.line, 2);
    QCOMPARE(list.itemCount(), 2);
    QCOMPARE(form->nextItemNumber(), qint16(3));
}

void TestForm1::firstStartUnpacksThenShows()
{
    QTemporaryDir program;
    QBuffer cover;
    cover.open(QIODevice::WriteOnly);
    QImage(10, 14, QImage::Format_RGB32).save(&cover, "PNG");
    QVERIFY(
        writeArchive(program.filePath("data.rar"), {fileEntry("One.adl", titleFileBytes("One")),
                                                    fileEntry("One.adl.cover.png", cover.data()),
                                                    fileEntry("Two.adl", titleFileBytes("Two"))}));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    // The loading timer waits for the unpacking; the columns come with the rows, once.
    QVERIFY(form->isWaitingForDatabase());
    QCOMPARE(form->list()->columnHeaderCount(), 0);
    QVERIFY(waitUntilShown(*form));
    QVERIFY(!form->isWaitingForDatabase());
    QCOMPARE(form->list()->columnHeaderCount(), 10);
    QCOMPARE(columnTexts(*form->list(), 1), (QStringList{"One", "Two"}));
    QCOMPARE(QDir(program.filePath("db")).entryList(QDir::Files).size(), 3);
    QVERIFY(record.boxes.isEmpty());
}

void TestForm1::brokenArchiveIsReportedAndEnds()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("../evil.adl", "x")}));
    FormRecord record;
    TestStart start(testFolders(program.path()), &record);
    QPointer<frmSplash> splash = new frmSplash(start.startup());
    std::unique_ptr<Form1> form;
    connect(splash.data(), &frmSplash::mainWindowCreated, this,
            [&](Form1* created) { form.reset(created); });
    connect(&start.startup(), &StartupController::failed, this, [&] {
        // The refusal is not hidden behind the splash window, now or when the box shows.
        QTimer::singleShot(0, this, [&] { QVERIFY(!splash || !splash->isVisible()); });
    });
    splash->show();
    QTRY_COMPARE(record.exits, QList<int>{1});
    QCOMPARE(record.boxes.size(), 2);
    QCOMPARE(record.boxes[0], QString("Movra")); // not the main window's caption
    QVERIFY2(record.boxes[1].contains("\"../evil.adl\" climbs out"), qPrintable(record.boxes[1]));
    QVERIFY(!splash->isVisible());
    QVERIFY(!form || !form->isVisible());
    QVERIFY(!QFile::exists(program.filePath("db")));
    form.reset();
    delete splash;
}

// An installed program: no data.rar beside it, the archive in the installed data folder. The
// first start unpacks into the user's own folder; the program's folder is never written.
void TestForm1::installedStartUnpacksForTheUser()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("prefix/bin"));
    QVERIFY(QDir(root.path()).mkpath("prefix/share/movra"));
    QVERIFY(writeArchive(root.filePath("prefix/share/movra/data.rar"),
                         {fileEntry("One.adl", titleFileBytes("One"))}));
    const StartFolders folders{root.filePath("prefix/bin"), root.filePath("prefix/share/movra"),
                               root.filePath("home/.local/share/movra"), false};
    FormRecord record;
    auto form = makeForm(folders, &record);
    QVERIFY(waitUntilShown(*form));
    QCOMPARE(columnTexts(*form->list(), 1), QStringList{"One"});
    QCOMPARE(QDir(root.filePath("home/.local/share/movra/db")).entryList(QDir::Files),
             QStringList{"One.adl"});
    QVERIFY(QDir(root.filePath("prefix/bin")).isEmpty());
    QVERIFY(record.boxes.isEmpty());
}

void TestForm1::userFolderInTheWayIsReported()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("prefix/bin"));
    QVERIFY(QDir(root.path()).mkpath("prefix/share/movra"));
    QVERIFY(writeArchive(root.filePath("prefix/share/movra/data.rar"),
                         {fileEntry("One.adl", titleFileBytes("One"))}));
    QVERIFY(writeBytes(root.filePath("home"), "a file where the user's folders should be"));
    const StartFolders folders{root.filePath("prefix/bin"), root.filePath("prefix/share/movra"),
                               root.filePath("home/.local/share/movra"), false};
    FormRecord record;
    auto form = makeForm(folders, &record);
    QTRY_COMPARE(record.exits, QList<int>{1});
    QCOMPARE(record.boxes.size(), 2);
    QVERIFY2(record.boxes[1].contains(QDir::toNativeSeparators(root.filePath("home/.local"))),
             qPrintable(record.boxes[1]));
    QVERIFY(!form->isVisible());
    QVERIFY(QDir(root.filePath("prefix/bin")).isEmpty());
}

// While another start unpacks the catalogue (it holds the lock beside db/), this one waits with
// its window hidden, then shows what the other one unpacked, without unpacking again.
void TestForm1::waitsWhileAnotherStartUnpacks()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"),
                         {fileEntry("FromArchive.adl", titleFileBytes("From the archive"))}));
    auto other = std::make_unique<QLockFile>(program.filePath("db.lock"));
    QVERIFY(other->lock());
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QSignalSpy waiting(&form->startup(), &StartupController::waitingForOtherStart);
    // Nothing shows while the other start holds the lock: a bounded wait for what must not come.
    QVERIFY(!QTest::qWaitFor([&] { return form->isVisible(); }, 500));
    QVERIFY(form->isWaitingForDatabase());
    QCOMPARE(waiting.count(), 1); // for the splash to say
    QCOMPARE(waiting.first().first().toString(),
             QString("Waiting for another start of Movra to finish unpacking…"));
    QCOMPARE(form->list()->columnHeaderCount(), 0);

    QVERIFY(writeTitle(QDir(program.filePath("db")), "Other.adl", "Unpacked by the other"));
    other.reset();
    QVERIFY(waitUntilShown(*form));
    QCOMPARE(columnTexts(*form->list(), 1), QStringList{"Unpacked by the other"});
    QCOMPARE(form->list()->columnHeaderCount(), 10);
    QVERIFY(record.boxes.isEmpty());
}

void TestForm1::headerClicksSort_data()
{
    QTest::addColumn<bool>("byKeyboard");
    QTest::newRow("mouse") << false;
    QTest::newRow("ctrlAndDigit") << true;
}

void TestForm1::headerClicksSort()
{
    QFETCH(bool, byKeyboard);
    QTemporaryDir program;
    const QDir db(program.filePath("db"));
    QVERIFY(writeTitle(db, "1.adl", "Brazil", "Comedy"));
    QVERIFY(writeTitle(db, "2.adl", "alien", "Horror"));
    QVERIFY(writeTitle(db, "3.adl", "Casablanca", "Drama"));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    ListView& list = *form->list();
    QTest::keyClick(form.get(), Qt::Key_F4);
    QCOMPARE(list.View(), int(ListView::ReportView));

    sortByColumn(form.get(), list, 1, byKeyboard); // the first click on Title sorts Z to A
    QCOMPARE(columnTexts(list, 1), (QStringList{"Casablanca", "Brazil", "alien"}));
    QCOMPARE(list.View(), int(ListView::ReportView));
    QVERIFY(list.Sorted());
    sortByColumn(form.get(), list, 1, byKeyboard);
    QCOMPARE(columnTexts(list, 1), (QStringList{"alien", "Brazil", "Casablanca"}));
    sortByColumn(form.get(), list, 6, byKeyboard); // Genre: A to Z, then Z to A
    QCOMPARE(columnTexts(list, 6), (QStringList{"Comedy", "Drama", "Horror"}));
    sortByColumn(form.get(), list, 6, byKeyboard);
    QCOMPARE(columnTexts(list, 6), (QStringList{"Horror", "Drama", "Comedy"}));
    sortByColumn(form.get(), list, 10, byKeyboard); // Customer Reviews: Ctrl+0
    QCOMPARE(list.SortKey(), 9);
    sortByColumn(form.get(), list, 1, byKeyboard); // another column: A to Z
    QCOMPARE(columnTexts(list, 1), (QStringList{"alien", "Brazil", "Casablanca"}));
    QCOMPARE(list.SortKey(), 0);
    QCOMPARE(list.SortOrder(), RowSorting::Direction::Ascending);

    // The icon view shows the sorted order too, and cells moved with their rows.
    QTest::keyClick(form.get(), Qt::Key_F3);
    QCOMPARE(list.View(), int(ListView::IconView));
    QCOMPARE(list.iconView()->model()->index(0, 0).data().toString(), QString("alien"));
    QCOMPARE(list.subItem(1, 5), QString("Horror"));
}

// A click on any cell selects its row with the title current, so that the other view shows the
// selection and typing finds titles; Ctrl+C copies the title with its details; the box gives the
// focus back to the list; Ctrl+Q closes the window.
void TestForm1::everythingByKeyboard()
{
    QTemporaryDir program;
    const QDir db(program.filePath("db"));
    for (const char* title : {"Alpha", "Beta", "Gamma"})
        QVERIFY(writeTitle(db, QString(title) + ".adl", title));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    form->setMessageBox([&](const QString& caption, const QString&) {
        record.boxes << caption;
        form->menuBar()->setFocus(); // as a real box takes the focus
    });
    QVERIFY(waitUntilShown(*form));
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    ListView& list = *form->list();
    QTest::keyClick(form.get(), Qt::Key_F4);
    QTreeView* report = list.reportView();
    const QRect starring = report->visualRect(report->model()->index(1, 1));
    QTest::mouseClick(report->viewport(), Qt::LeftButton, {}, starring.center());
    QCOMPARE(report->currentIndex().column(), 0);
    QTest::keyClick(form.get(), Qt::Key_F3);
    QVERIFY(list.iconView()->selectionModel()->isRowSelected(1));
    QCOMPARE(list.iconView()->currentIndex().row(), 1);
    QTest::keyClick(list.iconView(), Qt::Key_G);
    QCOMPARE(list.itemText(list.selectedItem()), QString("Gamma"));

    QTest::keyClick(list.iconView(), Qt::Key_C, Qt::ControlModifier);
    const QString copied = QGuiApplication::clipboard()->text();
    const QString lineEnd = platformLineEnd();
    QVERIFY2(
        copied.startsWith(QString("Gamma\n\nStarring:\nActor of Gamma\n").replace("\n", lineEnd)),
        qPrintable(copied));
    QCOMPARE(copied.count(lineEnd), copied.count('\n')); // every line ends the platform's way

    QTest::keyClick(list.iconView(), Qt::Key_Return);
    QCOMPARE(record.boxes, QStringList{"Gamma"});
    QCOMPARE(QApplication::focusWidget(), list.iconView());
    QCOMPARE(report->model()->headerData(9, Qt::Horizontal, Qt::ToolTipRole).toString(),
             QString("Customer Reviews"));

    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!form->isVisible());
}

void TestForm1::releaseDatesSortAsText()
{
    QTemporaryDir program;
    const QDir db(program.filePath("db"));
    QVERIFY(writeTitle(db, "a.adl", "A", {}, "2 March, 2002"));
    QVERIFY(writeTitle(db, "b.adl", "B", {}, "10 March, 2002"));
    QVERIFY(writeTitle(db, "c.adl", "C", {}, "March, 2002"));
    QVERIFY(writeTitle(db, "d.adl", "D", {}, "1 March, 2002"));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QTest::keyClick(form.get(), Qt::Key_F4);
    clickHeader(*form->list(), 4);
    QCOMPARE(columnTexts(*form->list(), 4),
             (QStringList{"200203", "2002031", "20020310", "2002032"}));
}

void TestForm1::viewKeysAndMenus()
{
    const QTemporaryDir& program = oneTitle;
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));

    QStringList menu;
    for (QAction* top : form->menuBar()->actions()) {
        menu << top->text();
        for (QAction* item : top->menu()->actions()) {
            menu << item->text() + " " + item->shortcut().toString();
            QVERIFY(!item->isCheckable());
        }
    }
    QCOMPARE(menu, (QStringList{"&View", "&Icons F3", "&Report F4", "&Query", "&Amazon F5",
                                "&IMDb F6", "IMDb &UK F7", "&Google F8"}));
    QCOMPARE(form->windowTitle(), QString("Movra v" MOVRA_VERSION));

    QTest::keyClick(form.get(), Qt::Key_F4);
    QCOMPARE(form->list()->View(), int(ListView::ReportView));
    QTest::keyClick(form.get(), Qt::Key_F4); // already active: nothing changes
    QCOMPARE(form->list()->View(), int(ListView::ReportView));
    QTest::keyClick(form.get(), Qt::Key_F3);
    QCOMPARE(form->list()->View(), int(ListView::IconView));
    QVERIFY(!form->list()->Sorted());
}

// In the icon view, scrolled down, View > Icons (F3) keeps the view where it is; so does View >
// Report in the report view.
void TestForm1::activeViewChosenAgainChangesNothing()
{
    QTemporaryDir program;
    for (int i = 0; i < 60; ++i)
        QVERIFY(writeTitle(QDir(program.filePath("db")),
                           QString("t%1.adl").arg(i, 2, 10, QChar('0')),
                           QString("Title %1").arg(i)));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    ListView& list = *form->list();
    QScrollBar* icons = list.iconView()->verticalScrollBar();
    QVERIFY(icons->maximum() > 0);
    icons->setValue(icons->maximum());
    QTest::keyClick(form.get(), Qt::Key_F3);
    QCOMPARE(icons->value(), icons->maximum());
    QCOMPARE(list.selectedItem(), 1);

    QTest::keyClick(form.get(), Qt::Key_F4);
    QScrollBar* report = list.reportView()->verticalScrollBar();
    QVERIFY(report->maximum() > 0);
    report->setValue(report->maximum());
    QTest::keyClick(form.get(), Qt::Key_F4);
    QCOMPARE(report->value(), report->maximum());
}

void TestForm1::resizeRule()
{
    const QTemporaryDir& program = oneTitle;
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    ListView& list = *form->list();
    // Before the columns exist only the list is sized.
    form->layoutList(8000, 6000);
    QCOMPARE(list.Width(), 7650.0f);
    QCOMPARE(list.Height(), 5000.0f);
    QVERIFY(waitUntilShown(*form));

    form->layoutList(8000, 6000);
    for (int position = 1; position <= 10; ++position)
        QCOMPARE(list.columnHeaderWidth(position), 765.0f);
    // Too flat a window keeps the list's height; the width still follows.
    form->layoutList(10000, 900);
    QCOMPARE(list.Width(), 9650.0f);
    QCOMPARE(list.Height(), 5000.0f);
    QCOMPARE(list.columnHeaderWidth(10), 965.0f);
    // A column the user dragged gets its tenth back.
    list.reportView()->header()->resizeSection(2, 300);
    QCOMPARE(list.columnHeaderWidth(3), 4500.0f);
    form->layoutList(10000, 6000);
    QCOMPARE(list.columnHeaderWidth(3), 965.0f);
    QCOMPARE(list.columnHeaderWidth(1), 965.0f);
}

void TestForm1::resizeFollowsWindow()
{
    const QTemporaryDir& program = oneTitle;
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    form->resize(600, 450);
    QTRY_COMPARE(form->width(), 600);
    const float outerWidth = float(form->frameGeometry().width()) * 15;
    const float outerHeight = float(form->frameGeometry().height()) * 15;
    QCOMPARE(form->list()->Width(), outerWidth - 350);
    QCOMPARE(form->list()->Height(), outerHeight - 1000);
    QCOMPARE(form->list()->columnHeaderWidth(7), (outerWidth - 350) / 10);
    QCOMPARE(form->list()->pos(), QPoint(8, 8));
}

void TestForm1::findNarrowsAndEscapeRestores_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("selectedWhileShown");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("selectedAfterEscape");
    const QStringList horror{"Alien", "Aliens"};
    QTest::newRow("hiddenSelectionGoesToFirstMatch") << int(ListView::IconView) << "Casablanca"
                                                     << "horror" << horror << "Alien"
                                                     << "2 of 4 titles"
                                                     << "Alien";
    QTest::newRow("shownSelectionStays") << int(ListView::ReportView) << "Aliens"
                                         << "ALI" << horror << "Aliens"
                                         << "2 of 4 titles"
                                         << "Aliens";
    QTest::newRow("noMatchSelectsNothing") << int(ListView::IconView) << "Brazil"
                                           << "zzz" << QStringList{} << ""
                                           << "No title matches"
                                           << "Brazil";
}

// Ctrl+F, typing, Escape: both views show the rows found, the bar says how many, and Escape
// brings the whole list back with the title selected last.
void TestForm1::findNarrowsAndEscapeRestores()
{
    QFETCH(int, view);
    QFETCH(QString, selected);
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    QFETCH(QString, selectedWhileShown);
    QFETCH(QString, count);
    QFETCH(QString, selectedAfterEscape);
    QTemporaryDir program;
    QVERIFY(writeFindCatalogue(QDir(program.filePath("db"))));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    ListView& list = *form->list();
    if (view == ListView::ReportView)
        QTest::keyClick(form.get(), Qt::Key_F4);
    list.selectItem(int(columnTexts(list, 1).indexOf(selected)) + 1);

    QTest::keyClick(list.shownView(), Qt::Key_F, Qt::ControlModifier);
    FindBar& bar = *form->findBar();
    QVERIFY(bar.isVisible());
    QCOMPARE(QApplication::focusWidget(), bar.field());
    QTest::keyClicks(bar.field(), typed);
    QCOMPARE(columnTexts(list, 1), shown);
    QCOMPARE(list.iconView()->model()->rowCount(), shown.size());
    QCOMPARE(list.reportView()->model()->rowCount(), shown.size());
    QCOMPARE(selectedTitle(list), selectedWhileShown);
    QCOMPARE(bar.countLabel()->text(), count);
    QCOMPARE(QAccessible::queryAccessibleInterface(bar.countLabel())->text(QAccessible::Name),
             count);
    QCOMPARE(bar.field()->palette().color(QPalette::Base) != bar.palette().color(QPalette::Base),
             shown.isEmpty());

    QTest::keyClick(bar.field(), Qt::Key_Escape);
    QVERIFY(!bar.isVisible());
    QVERIFY(bar.field()->text().isEmpty());
    QCOMPARE(list.itemCount(), 4);
    QCOMPARE(selectedTitle(list), selectedAfterEscape);
    QCOMPARE(QApplication::focusWidget(), list.shownView());
}

// Enter in the field goes into the list on the first match, and Enter there opens its details;
// with nothing found, the list's keys do nothing.
void TestForm1::findThenEnterOpensFirstMatch()
{
    QTemporaryDir program;
    QVERIFY(writeFindCatalogue(QDir(program.filePath("db"))));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    ListView& list = *form->list();
    list.selectItem(2); // Aliens, which the query shows, but not first
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    QLineEdit* field = form->findBar()->field();
    QTest::keyClicks(field, "horror");
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), list.shownView());
    QTest::keyClick(list.shownView(), Qt::Key_Return);
    QCOMPARE(record.boxes.value(0), QString("Alien"));

    // Ctrl+F from the list: back in the field, its text selected, so that typing replaces it.
    QTest::keyClick(list.shownView(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), field);
    QCOMPARE(field->selectedText(), QString("horror"));
    AccessibleEvents heard;
    QTest::keyClicks(field, "zzz");
    QCOMPARE(list.itemCount(), 0);
    // Nothing found: Down and Enter leave the focus where the user can type on, and say why.
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), field);
    QCOMPARE(heard.namesOf(QAccessible::ObjectShow),
             (QStringList{"No title matches", "No title matches"}));
    QTest::mouseDClick(list.shownView()->viewport(), Qt::LeftButton);
    QTest::keyClick(form.get(), Qt::Key_F8);
    QCOMPARE(record.boxes.size(), 2);
    QVERIFY(record.urls.isEmpty());
}

// The find field has a visible label, and a screen reader hears the count once the typing pauses,
// once for each count, while the focus stays in the field; the clear button has a name.
void TestForm1::findIsHeard()
{
    QTemporaryDir program;
    QVERIFY(writeFindCatalogue(QDir(program.filePath("db"))));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    AccessibleEvents opening;
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    FindBar& bar = *form->findBar();
    // The reader hears of the field's focus before its caret or selection: told of those first,
    // it takes the field as focused already and says nothing.
    QStringList heardOfField;
    for (const AccessibleEvents::Event& event : opening.all()) {
        if (event.name == "Find titles" &&
            (event.type == QAccessible::Focus || event.type == QAccessible::TextCaretMoved ||
             event.type == QAccessible::TextSelectionChanged))
            heardOfField << (event.type == QAccessible::Focus ? "focus" : "text");
    }
    QCOMPARE(heardOfField.value(0), QString("focus"));
    QCOMPARE(bar.label()->text(), QString("Find titles:"));
    QCOMPARE(bar.label()->buddy(), bar.field());
    QVERIFY(bar.label()->isVisible());
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(bar.field());
    QCOMPARE(field->text(QAccessible::Name), QString("Find titles"));
    QStringList buttons;
    for (QToolButton* button : bar.field()->findChildren<QToolButton*>())
        buttons << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
    QCOMPARE(buttons, QStringList{"Clear the find field"});

    AccessibleEvents heard;
    QTest::keyClicks(bar.field(), "hor");
    QCOMPARE(heard.namesOf(QAccessible::ObjectShow), QStringList()); // not while typing
    QTRY_COMPARE(heard.namesOf(QAccessible::ObjectShow), QStringList{bar.countLabel()->text()});
    QVERIFY(bar.countLabel()->text().endsWith(" titles"));
    QTest::keyClicks(bar.field(), "ror"); // the same titles: nothing new to hear
    QTest::keyClicks(bar.field(), "zz");
    QTRY_COMPARE(heard.namesOf(QAccessible::ObjectShow).size(), 2);
    QCOMPARE(heard.namesOf(QAccessible::ObjectShow).last(), QString("No title matches"));
    QCOMPARE(QApplication::focusWidget(), bar.field());
}

// The first window follows the designed size, but never larger than the screen can show with its
// title bar. CTest runs this again at twice the scale, where the designed size does not fit.
void TestForm1::firstWindowFitsTheScreen()
{
    FormRecord record;
    auto form = makeForm(oneTitle.path(), &record);
    QVERIFY(waitUntilShown(*form));
    const QRect available = form->screen()->availableGeometry();
    QVERIFY2(available.contains(form->frameGeometry()),
             qPrintable(QString("%1,%2 %3x%4 on %5x%6")
                            .arg(form->frameGeometry().x())
                            .arg(form->frameGeometry().y())
                            .arg(form->frameGeometry().width())
                            .arg(form->frameGeometry().height())
                            .arg(available.width())
                            .arg(available.height())));
    const int designedWidth = Twips::toPixels(10155);
    QCOMPARE(form->width(), qMin(designedWidth, available.width() - 16));
}

// A header click sorts the rows found, and the whole list keeps that order after Escape in the
// list.
void TestForm1::sortWhileNarrowed()
{
    QTemporaryDir program;
    QVERIFY(writeFindCatalogue(QDir(program.filePath("db"))));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    ListView& list = *form->list();
    QTest::keyClick(form.get(), Qt::Key_F4);
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(form->findBar()->field(), "horror");
    clickHeader(list, 1); // Title, first click: Z to A
    QCOMPARE(columnTexts(list, 1), (QStringList{"Aliens", "Alien"}));
    QCOMPARE(selectedTitle(list), QString("Alien"));
    QTest::keyClick(form->findBar()->field(), Qt::Key_Down);
    QTest::keyClick(list.shownView(), Qt::Key_Escape);
    QVERIFY(form->findBar()->isHidden());
    QCOMPARE(columnTexts(list, 1), (QStringList{"Casablanca", "Brazil", "Aliens", "Alien"}));
    QCOMPARE(selectedTitle(list), QString("Aliens"));
    QTest::keyClick(form.get(), Qt::Key_F3);
    QCOMPARE(list.iconView()->model()->index(3, 0).data().toString(), QString("Alien"));
}

// The open bar takes its height from the bottom of the list, and nothing else moves; closed, the
// list is as the layout rule makes it.
void TestForm1::findBarTakesItsHeightFromTheList()
{
    const QTemporaryDir& program = oneTitle;
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    ListView& list = *form->list();
    const float outerWidth = float(form->frameGeometry().width()) * 15;
    const float outerHeight = float(form->frameGeometry().height()) * 15;
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    const FindBar& bar = *form->findBar();
    QCOMPARE(bar.countLabel()->text(), QString("1 of 1 titles"));
    const float barHeight = float(bar.height()) * 15;
    QVERIFY(barHeight > 0);
    QCOMPARE(list.Height(), outerHeight - 1000 - barHeight);
    QCOMPARE(list.Width(), outerWidth - 350);
    QCOMPARE(list.pos(), QPoint(8, 8));
    const QRect below(list.geometry().bottomLeft() + QPoint(0, 1),
                      QSize(list.width(), bar.height()));
    QCOMPARE(bar.geometry(), below);
    QCOMPARE(list.columnHeaderWidth(4), (outerWidth - 350) / 10);
    QTest::keyClick(bar.field(), Qt::Key_Escape);
    QCOMPARE(list.Height(), outerHeight - 1000);
    QCOMPARE(list.Width(), outerWidth - 350);
    QCOMPARE(list.pos(), QPoint(8, 8));
}

void TestForm1::splashCreatesMainWindowOnce()
{
    const QTemporaryDir& program = oneTitle;
    FormRecord record;
    TestStart start(testFolders(program.path()), &record);
    QPointer<frmSplash> splash = new frmSplash(start.startup());
    QCOMPARE(splash->lblProductName->text(), QString("Movra"));
    QCOMPARE(splash->lblCompanyProduct->text(), QString("Velmire"));
    QCOMPARE(splash->lblVersion->text(), QString("Version " MOVRA_VERSION));
    QCOMPARE(splash->lblWarning->text(), QString("Loading..."));
    QSignalSpy created(splash.data(), &frmSplash::mainWindowCreated);
    splash->show();
    QVERIFY(created.isEmpty());
    QTRY_COMPARE(created.count(), 1);
    std::unique_ptr<Form1> form(created.first().first().value<Form1*>());
    QVERIFY(form);
    form->setAttribute(Qt::WA_DeleteOnClose, false);
    QVERIFY(waitUntilShown(*form));
    QTRY_VERIFY(splash.isNull()); // closed and gone once the main window shows
    QCOMPARE(created.count(), 1);
    form->close();
}

// A start that fails before the main window exists is reported all the same, and ends the
// program; the splash window goes out of the way.
void TestForm1::startFailedBeforeTheMainWindowIsReported()
{
    QTemporaryDir program; // neither db/ nor data.rar
    FormRecord record;
    TestStart start(testFolders(program.path()), &record);
    QPointer<frmSplash> splash = new frmSplash(start.startup());
    QSignalSpy created(splash.data(), &frmSplash::mainWindowCreated);
    splash->show();
    QTRY_COMPARE(record.exits, QList<int>{1});
    QCOMPARE(record.boxes.value(0), QString("Movra"));
    QVERIFY2(record.boxes.value(1).contains("data.rar"), qPrintable(record.boxes.value(1)));
    QVERIFY(!splash->isVisible());
    if (!created.isEmpty())
        delete created.first().first().value<Form1*>();
    delete splash;
}

// Right after the start, with nothing touched: the first row is selected and the list has the
// keyboard focus, so Enter and the look-ups act on it.
void TestForm1::firstRowFromTheStart()
{
    opened = FormRecord();
    auto form = makeForm(threeTitles.path(), &opened);
    QVERIFY(waitUntilShown(*form));
    form->activateWindow();
    QTRY_VERIFY(form->list()->iconView()->hasFocus());
    QCOMPARE(form->list()->selectedItem(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(opened.boxes.value(0), QString("Brazil"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    QCOMPARE(opened.urls, QStringList{"http://www.amazon.com/exec/obidos/search-handle-url/"
                                      "index%3Ddvd%26field-keywords%3DBrazil"});
}

// The catalogue shown, with the icon view focused; not visible when it failed to show.
TestForm TestForm1::openCatalogue()
{
    opened = FormRecord();
    auto form = makeForm(threeTitles.path(), &opened);
    if (!waitUntilShown(*form))
        return form;
    form->activateWindow();
    form->list()->iconView()->setFocus();
    return form;
}

void TestForm1::enterAndDoubleClickShowSelectedRow()
{
    auto form = openCatalogue();
    QVERIFY(form->isVisible());
    ListView& list = *form->list();
    list.selectItem(2); // Brazil, in name order 1.adl, 2.adl, 3.adl: Brazil, Alien, Tom & Jerry
    QCOMPARE(list.itemText(2), QString("Alien"));
    QTest::keyClick(list.iconView(), Qt::Key_Return);
    QCOMPARE(opened.boxes.size(), 2);
    QCOMPARE(opened.boxes[0], QString("Alien"));
    QCOMPARE(opened.boxes[1], "Starring:\r\nActor of Alien\r\n\r\nDirectors:\r\n\r\n\r\n"
                              "Release Date:\r\n\r\n\r\nManufacturer:\r\n\r\n\r\n"
                              "Genre:\r\nHorror\r\n\r\nFeatures:\r\n\r\n\r\n"
                              "Mpaa Rating:\r\n\r\n\r\nCustomer Rating:\r\n\r\n\r\n"
                              "Customer Reviews:\r\n\"Review of Alien\"\r\n\r\n");

    // After a re-sort the box still shows the selected row's own cells.
    QTest::keyClick(form.get(), Qt::Key_F4);
    QHeaderView* header = list.reportView()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    QCOMPARE(list.itemText(1), QString("Tom & Jerry"));
    QCOMPARE(list.selectedItem(), 3);
    const QRect row = list.reportView()->visualRect(list.reportView()->model()->index(0, 0));
    // A real double-click: press and release, then the double-click and its release.
    QTest::mouseClick(list.reportView()->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list.reportView()->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(opened.boxes.size(), 4);
    QCOMPARE(opened.boxes[2], QString("Tom & Jerry"));
    QVERIFY(opened.boxes[3].contains("Family"));
    QTest::keyClick(list.reportView(), Qt::Key_Enter);
    QCOMPARE(opened.boxes.size(), 6);
    QCOMPARE(opened.boxes[4], QString("Tom & Jerry"));
}

void TestForm1::otherKeysShowNothing()
{
    auto form = openCatalogue();
    QVERIFY(form->isVisible());
    ListView& list = *form->list();
    list.selectItem(1);
    QTest::keyClick(list.iconView(), Qt::Key_Right);
    QCOMPARE(list.selectedItem(), 2); // arrows still move the selection
    QTest::keyClick(list.iconView(), Qt::Key_A);
    QTest::keyClick(list.iconView(), Qt::Key_5);
    QTest::keyClick(list.iconView(), Qt::Key_Down);
    QTest::keyClick(list.iconView(), Qt::Key_Space);
    QVERIFY(opened.boxes.isEmpty());
}

void TestForm1::queryItemsOpenOncePerChoice()
{
    auto form = openCatalogue();
    QVERIFY(form->isVisible());
    form->list()->selectItem(3);
    for (Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8})
        QTest::keyClick(form.get(), key);
    QCOMPARE(opened.urls, (QStringList{"http://www.amazon.com/exec/obidos/search-handle-url/"
                                       "index%3Ddvd%26field-keywords%3DTom %26 Jerry",
                                       "http://www.imdb.com/find?q=Tom %26 Jerry",
                                       "http://uk.imdb.com/find?q=Tom %26 Jerry",
                                       "http://www.google.com/search?q=%22Tom %26 Jerry%22"}));
    opened.urls.clear();
    QMenu* query = form->menuBar()->actions().at(1)->menu();
    query->actions().at(3)->trigger();
    query->actions().at(3)->trigger();
    query->actions().at(1)->trigger();
    QCOMPARE(opened.urls, (QStringList{"http://www.google.com/search?q=%22Tom %26 Jerry%22",
                                       "http://www.google.com/search?q=%22Tom %26 Jerry%22",
                                       "http://www.imdb.com/find?q=Tom %26 Jerry"}));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
