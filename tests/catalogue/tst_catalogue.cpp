#include "catalogue/catalogueloader.h"
#include "catalogue/cataloguemodel.h"
#include "catalogue/folderlisting.h"
#include "catalogue/imagelist.h"
#include "catalogue/listview.h"
#include "catalogue/rowsorting.h"

#include "support/catalogbuilder.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QListView>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

QStringList sorted(const QStringList& texts, RowSorting::Direction direction)
{
    const std::vector<int> order = RowSorting::sortedPositions(
        int(texts.size()),
        [&](int i, qsizetype maxChars) {
            return maxChars < 0 ? texts[i] : texts[i].left(maxChars + 1);
        },
        direction);
    QStringList result;
    for (int i : order)
        result << texts[i];
    return result;
}

QStringList titlesOf(const ListView& list)
{
    QStringList titles;
    for (int position = 1; position <= list.itemCount(); ++position)
        titles << list.itemText(position);
    return titles;
}

// A shown list of two rows, "one" and "two", with two columns: a selection in the icon view must
// still count as a whole row.
bool showTwoRows(ListView& list)
{
    list.addColumnHeader("Title", 1000);
    list.addColumnHeader("Starring", 1000);
    list.addItem("K1", "one", 0);
    list.addItem("K2", "two", 0);
    list.show();
    return QTest::qWaitForWindowExposed(&list);
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void sortOrder_data();
    void sortOrder();
    void longTextsTieOnPrefix();
    void cellStartStopsAtCharacters();
    void folderListing();
    void coverPairing_data();
    void coverPairing();
    void loadsInNameOrderWithOwnCovers();
    void brokenFilesAreReportedAndSkipped();
    void rowLimit();
    void modelIsConsistent();
    void listOperations();
    void sortingKeepsSelectionAndCells();
    void viewsShareSelection();
    void headerClickReportsPosition();
    void keyPressCodes();
    void twipsAreKeptExactly();
    void coversAreReadOnDemandAndScaled();
    void unreadableCoverGetsPlaceholder();
};

void TestCatalogue::sortOrder_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("ignoresCase") << QStringList{"beta", "Alpha", "gamma", "Beta2"} << false
                                 << QStringList{"Alpha", "beta", "Beta2", "gamma"};
    QTest::newRow("descending") << QStringList{"b", "C", "a"} << true << QStringList{"C", "b", "a"};
    QTest::newRow("numbersAsText")
        << QStringList{"9", "10", "100", "2"} << false << QStringList{"10", "100", "2", "9"};
    // One-digit days are not padded, so dates of one month sort 1, 10-19, 2, 20-29, 3, 30, 31, 4...
    QTest::newRow("releaseDates") << QStringList{"2002034",  "20020312", "2002031", "200203",
                                                 "20020330", "2002032",  "20020321"}
                                  << false
                                  << QStringList{"200203",   "2002031",  "20020312", "2002032",
                                                 "20020321", "20020330", "2002034"};
    QTest::newRow("stableAscending")
        << QStringList{"x", "X", "a", "x "} << false << QStringList{"a", "x", "X", "x "};
    QTest::newRow("stableDescending")
        << QStringList{"x", "a", "X"} << true << QStringList{"x", "X", "a"};
    QTest::newRow("accentsLocaleAware") << QStringList{"Zoe", "\u00C9mile", "Eve"} << false
                                        << QStringList{"\u00C9mile", "Eve", "Zoe"};
}

void TestCatalogue::sortOrder()
{
    QFETCH(QStringList, texts);
    QFETCH(bool, descending);
    QFETCH(QStringList, expected);
    // Accented letters sort among their base letters in a real locale (the C locale sorts by
    // code point).
    const QLocale before;
    if (QByteArray(QTest::currentDataTag()) == "accentsLocaleAware")
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
    QCOMPARE(sorted(texts, descending ? RowSorting::Direction::Descending
                                      : RowSorting::Direction::Ascending),
             expected);
}

void TestCatalogue::longTextsTieOnPrefix()
{
    const QString prefix(200, u'r');
    const QStringList texts = {prefix + "b", prefix + "a", prefix + "A", "q"};
    QCOMPARE(sorted(texts, RowSorting::Direction::Ascending),
             (QStringList{"q", prefix + "a", prefix + "A", prefix + "b"}));
}

void TestCatalogue::cellStartStopsAtCharacters()
{
    const QString accented = QString(300, QChar(0x00E9)); // two bytes each in UTF-8
    const QString symbols = QString::fromUtf8("\xe2\x82\xac").repeated(300); // three bytes each
    CatalogueRow row("K1", accented, 0);
    row.addSubItem(symbols);
    row.addSubItem("short");
    for (int column : {0, 1}) {
        const QString start = row.cellStart(column, 96);
        QVERIFY(start.size() > 96);
        QVERIFY(row.cell(column).startsWith(start)); // no broken character at the cut
    }
    QCOMPARE(row.cellStart(2, 96), QString("short"));
    QCOMPARE(row.cellStart(3, 96), QString());
}

void TestCatalogue::folderListing()
{
    QTemporaryDir dir;
    const QDir db(dir.path());
    for (const char* name : {"Gamma.adl", "alpha.ADL", "Beta.adl", ".hidden.adl", "notes.txt",
                             "Beta.adl.cover.JPG", "alpha.adl.Cover.png", "x.adlx"})
        QVERIFY(writeBytes(db.filePath(name), "x"));
    QVERIFY(db.mkpath("folder.adl"));
    QCOMPARE(FolderListing::titleFiles(dir.path()),
             (QStringList{"alpha.ADL", "Beta.adl", "Gamma.adl"}));
    QCOMPARE(FolderListing::coverFiles(dir.path()),
             (QStringList{"alpha.adl.Cover.png", "Beta.adl.cover.JPG"}));
    QVERIFY(FolderListing::holdsOrdinaryFile(dir.path()));
}

void TestCatalogue::coverPairing_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("covers");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("oneEach") << QStringList{"A.adl", "B.adl", "C.adl"}
                             << QStringList{"A.adl.cover.jpg", "B.adl.cover.jpg", "C.adl.cover.jpg"}
                             << QList<int>{0, 1, 2};
    // With covers paired by position, B's missing cover would give B the cover of C.
    QTest::newRow("missingCover") << QStringList{"A.adl", "B.adl", "C.adl"}
                                  << QStringList{"A.adl.cover.jpg", "C.adl.cover.jpg"}
                                  << QList<int>{0, -1, 1};
    QTest::newRow("coverWithoutTitle")
        << QStringList{"A.adl", "C.adl"}
        << QStringList{"A.adl.cover.jpg", "B.adl.cover.jpg", "C.adl.cover.png"} << QList<int>{0, 2};
    QTest::newRow("caseIgnored") << QStringList{"Alpha.adl"} << QStringList{"ALPHA.ADL.Cover.Jpg"}
                                 << QList<int>{0};
    QTest::newRow("firstOfSeveral")
        << QStringList{"A.adl"} << QStringList{"A.adl.cover.gif", "A.adl.cover.jpg"}
        << QList<int>{0};
    QTest::newRow("noExtension") << QStringList{"A.adl"} << QStringList{"A.adl.cover."}
                                 << QList<int>{-1};
    QTest::newRow("coverInExtension")
        << QStringList{"A.adl", "A.adl.cover.adl"}
        << QStringList{"A.adl.cover.cover.jpg", "A.adl.cover.adl.cover.png"} << QList<int>{0, 1};
    QTest::newRow("prefixOfOtherTitle")
        << QStringList{"A.adl", "A.adl.x.adl"} << QStringList{"A.adl.x.adl.cover.jpg"}
        << QList<int>{-1, 0};
}

void TestCatalogue::coverPairing()
{
    QFETCH(QStringList, titles);
    QFETCH(QStringList, covers);
    QFETCH(QList<int>, expected);
    QCOMPARE(CatalogueLoader::coverIndexOfTitles(titles, covers), expected);
}

void TestCatalogue::loadsInNameOrderWithOwnCovers()
{
    QTemporaryDir dir;
    const QDir db(dir.path());
    QVERIFY(writeTitle(db, "Gamma.adl", "Gamma"));
    QVERIFY(writeTitle(db, "beta.adl", "Beta"));
    QVERIFY(writeTitle(db, "Alpha.adl", "Alpha"));
    QVERIFY(writeCover(db, "Alpha.adl.cover.png", Qt::red, {40, 60}));
    QVERIFY(writeCover(db, "Gamma.adl.cover.png", Qt::blue));
    QVERIFY(writeCover(db, "Orphan.adl.cover.png", Qt::green));

    const CatalogueContents contents = CatalogueLoader::load(dir.path());
    QCOMPARE(contents.rows.size(), size_t(3));
    QStringList keys, titles;
    QList<int> icons;
    for (const CatalogueRow& row : contents.rows) {
        keys << row.key();
        titles << row.text();
        icons << row.icon();
        QCOMPARE(row.subItemCount(), 9);
    }
    QCOMPARE(keys, (QStringList{"K1", "K2", "K3"}));
    QCOMPARE(titles, (QStringList{"Alpha", "Beta", "Gamma"}));
    QCOMPARE(icons, (QList<int>{1, 0, 2})); // Beta has none; Gamma keeps its own
    QCOMPARE(contents.rows[0].cell(1), QString("Actor of Alpha"));
    QCOMPARE(contents.rows[0].cell(9), QString("\"Review of Alpha\"\r\n"));
    QCOMPARE(contents.imageSize, QSize(40, 60));
    QCOMPARE(contents.titlesWithoutCover, QStringList{"beta.adl"});
    QCOMPARE(contents.coversWithoutTitle, QStringList{"Orphan.adl.cover.png"});
    QVERIFY(contents.problems.isEmpty());
}

void TestCatalogue::brokenFilesAreReportedAndSkipped()
{
    QTemporaryDir dir;
    const QDir db(dir.path());
    QVERIFY(writeTitle(db, "a.adl", "A"));
    QVERIFY(writeBytes(db.filePath("b.adl"), "too short\r\n"));
    QVERIFY(writeTitle(db, "c.adl", "C"));
    QVERIFY(writeCover(db, "a.adl.cover.png", Qt::red));
    QVERIFY(writeCover(db, "b.adl.cover.png", Qt::green));
    QVERIFY(writeBytes(db.filePath("c.adl.cover.jpg"), "not a picture"));

    const CatalogueContents contents = CatalogueLoader::load(dir.path());
    QCOMPARE(contents.rows.size(), size_t(2));
    QCOMPARE(contents.rows[1].key(), QString("K2"));
    QCOMPARE(contents.rows[1].text(), QString("C"));
    QCOMPARE(contents.rows[1].icon(), 3); // its own cover, though the row before it is gone
    QCOMPARE(contents.problems.size(), 1);
    QCOMPARE(contents.problems[0].file, QString("b.adl"));
    QCOMPARE(contents.problems[0].line, 2);
    QCOMPARE(contents.shownCovers, (QStringList{"a.adl.cover.png", "c.adl.cover.jpg"}));
    const QList<LoadProblem> covers =
        CatalogueLoader::unreadableCovers(dir.path(), contents.shownCovers);
    QCOMPARE(covers.size(), 1);
    QCOMPARE(covers[0].file, QString("c.adl.cover.jpg"));
    QVERIFY(covers[0].reason.contains("not a picture"));
}

void TestCatalogue::rowLimit()
{
    QVERIFY(CatalogueLoader::maxRows == 32767);
    std::vector<CatalogueRow> rows;
    CatalogueModel model;
    rows.emplace_back("K1", "one", 1);
    rows.emplace_back("K1", "duplicate key", 2);
    rows.emplace_back("K2", "two", 2);
    QCOMPARE(model.addRows(std::move(rows)), 2);
    QVERIFY(!model.addRow(CatalogueRow("K2", "again", 0)));
}

void TestCatalogue::modelIsConsistent()
{
    CatalogueModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int column = 0; column < 10; ++column)
        model.addColumn(QString::number(column));
    model.addRow(CatalogueRow("K1", "b", 1));
    model.addRow(CatalogueRow("K2", "a", 2));
    model.addSubItem(0, "sub of b");
    model.sortBy(0, RowSorting::Direction::Ascending);
    model.sortBy(1, RowSorting::Direction::Descending);
    QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(), QString("sub of b"));
}

void TestCatalogue::listOperations()
{
    ListView list;
    list.addColumnHeader("Title", 985.5f);
    list.addColumnHeader("Starring", 100);
    QCOMPARE(list.columnHeaderCount(), 2);
    QCOMPARE(list.columnHeaderText(2), QString("Starring"));
    QVERIFY(list.addItem("K1", "First", 1));
    QVERIFY(!list.addItem("K1", "Same key", 2));
    QVERIFY(list.addItem("K2", "Second", 2));
    for (int index = 1; index <= 9; ++index)
        QVERIFY(list.addSubItem(2, QString("cell %1").arg(index)));
    QVERIFY(!list.addSubItem(2, "tenth"));
    QVERIFY(!list.addSubItem(3, "no such row"));
    QCOMPARE(list.itemCount(), 2);
    QCOMPARE(list.itemKey(2), QString("K2"));
    QCOMPARE(list.itemIcon(2), 2);
    QCOMPARE(list.subItem(2, 3), QString("cell 3"));
    QCOMPARE(list.subItem(1, 3), QString());
    QCOMPARE(list.selectedItem(), 0);
    QCOMPARE(list.View(), int(ListView::IconView));
    QVERIFY(!list.Sorted());
    QCOMPARE(list.SortKey(), 0);
    QCOMPARE(list.SortOrder(), int(ListView::Ascending));
}

void TestCatalogue::sortingKeepsSelectionAndCells()
{
    ListView list;
    for (const char* header : {"Title", "Starring"})
        list.addColumnHeader(header, 1000);
    const QStringList titles = {"b", "C", "a"};
    for (int i = 0; i < titles.size(); ++i) {
        list.addItem(QString("K%1").arg(i + 1), titles[i], i + 1);
        list.addSubItem(i + 1, "star of " + titles[i]);
    }
    list.selectItem(2); // "C"
    list.setSortKey(0);
    list.setSortOrder(ListView::Descending);
    list.setSorted(true);
    QCOMPARE(titlesOf(list), (QStringList{"C", "b", "a"}));
    QCOMPARE(list.selectedItem(), 1);
    QCOMPARE(list.subItem(1, 1), QString("star of C"));
    QCOMPARE(list.itemKey(1), QString("K2"));
    QCOMPARE(list.reportView()->header()->sortIndicatorSection(), 0);
    QCOMPARE(list.reportView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);

    // While sorted, a new key re-sorts.
    list.setSortKey(1);
    list.setSortOrder(ListView::Ascending);
    QCOMPARE(titlesOf(list), (QStringList{"a", "b", "C"}));
    QCOMPARE(list.selectedItem(), 3);
}

void TestCatalogue::viewsShareSelection()
{
    ListView list;
    QVERIFY(showTwoRows(list));
    list.iconView()->setFocus();
    QTest::keyClick(list.iconView(), Qt::Key_Home);
    QTest::keyClick(list.iconView(), Qt::Key_Right);
    QCOMPARE(list.selectedItem(), 2);
    list.setView(ListView::ReportView);
    QVERIFY(list.reportView()->isVisible());
    QVERIFY(!list.iconView()->isVisible());
    QTest::keyClick(list.reportView(), Qt::Key_Up);
    QCOMPARE(list.selectedItem(), 1);
    list.setView(ListView::IconView);
    QCOMPARE(list.iconView()->currentIndex().row(), 0);
}

void TestCatalogue::headerClickReportsPosition()
{
    ListView list;
    for (const char* header : {"Title", "Starring", "Directors"})
        list.addColumnHeader(header, 1500);
    list.addItem("K1", "b", 0);
    list.addItem("K2", "a", 0);
    list.setView(ListView::ReportView);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy clicks(&list, &ListView::ColumnClick);
    QHeaderView* header = list.reportView()->header();
    const QPoint third(header->sectionViewportPosition(2) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, third);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.first().first().toInt(), 3);
    // The list does not sort by itself: the window decides.
    QCOMPARE(titlesOf(list), (QStringList{"b", "a"}));
}

void TestCatalogue::keyPressCodes()
{
    ListView list;
    QVERIFY(showTwoRows(list));
    QSignalSpy keys(&list, &ListView::KeyPress);
    QTest::keyClick(list.iconView(), Qt::Key_Return);
    QTest::keyClick(list.iconView(), Qt::Key_Enter);
    QTest::keyClick(list.iconView(), Qt::Key_A);
    QTest::keyClick(list.iconView(), Qt::Key_Down);
    QList<int> codes;
    for (const QList<QVariant>& args : keys)
        codes << args.first().toInt();
    QCOMPARE(codes, (QList<int>{13, 13, 'a'}));
}

void TestCatalogue::twipsAreKeptExactly()
{
    ListView list;
    QVERIFY(list.setWidth(9855));
    QCOMPARE(list.width(), 657);
    list.addColumnHeader("Title", list.Width() / 10);
    QCOMPARE(list.columnHeaderWidth(1), 985.5f);
    QVERIFY(!list.setHeight(-200));
    QCOMPARE(list.Height(), 6615.0f);
    QVERIFY(!list.setColumnHeaderWidth(2, 100));
    QCOMPARE(list.reportView()->header()->sectionSize(0), 66);
}

void TestCatalogue::coversAreReadOnDemandAndScaled()
{
    QTemporaryDir dir;
    const QDir db(dir.path());
    QVERIFY(writeCover(db, "first.png", Qt::red, {40, 60}));
    QVERIFY(writeCover(db, "wide.png", Qt::blue, {80, 20}));
    ImageList images;
    QCOMPARE(images.add(db.filePath("first.png")), 1);
    QCOMPARE(images.add(db.filePath("wide.png")), 2);
    QCOMPARE(images.imageSize(), QSize(40, 60));
    QCOMPARE(images.cachedBytes(), 0); // nothing read yet

    QSignalSpy ready(&images, &ImageList::imageReady);
    QVERIFY(images.image(2).isNull());
    QTRY_VERIFY(!images.image(2).isNull());
    const QPixmap wide = images.image(2);
    QCOMPARE(wide.size(), QSize(40, 10)); // fits inside 40 x 60, aspect ratio kept
    QCOMPARE(wide.toImage().pixelColor(20, 5), QColor(Qt::blue));
    QVERIFY(images.image(3).isNull());
    QVERIFY(!images.isUnreadable(2));
}

void TestCatalogue::unreadableCoverGetsPlaceholder()
{
    QTemporaryDir dir;
    const QDir db(dir.path());
    QVERIFY(writeCover(db, "good.png", Qt::red));
    QVERIFY(writeBytes(db.filePath("bad.png"), "\x89PNG\r\n\x1a\n truncated"));
    ImageList images;
    images.add(db.filePath("good.png"));
    images.add(db.filePath("bad.png"));
    images.image(2);
    QTRY_VERIFY(images.isUnreadable(2));
    QVERIFY(images.image(2).isNull());
}

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
