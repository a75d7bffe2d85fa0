#include "core/catalogue/catalogueloader.h"
#include "gui/catalogue/elidingheader.h"
#include "gui/catalogue/imagelist.h"
#include "gui/catalogue/listview.h"

#include "support/accessibleevents.h"
#include "support/catalogbuilder.h"
#include "support/rowbuilder.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QHeaderView>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

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
    list.addItems(rowsTitled({"one", "two"}));
    list.show();
    return QTest::qWaitForWindowExposed(&list);
}

// The pictures as covers 1, 2, ..., with the icon size the loader gives them.
void addCovers(ImageList& images, const QDir& folder, const QStringList& pictures)
{
    images.setPictures(folder.path(), pictures,
                       CatalogueLoader::iconSizeOf(folder.path(), pictures));
}

// Shows a list of one column whose rows, titled after the pictures, show the pictures as covers.
bool showCovers(ListView& list, ImageList& images, const QDir& folder, const QStringList& pictures)
{
    addCovers(images, folder, pictures);
    list.setIcons(&images);
    list.addColumnHeader("Title", 1000);
    list.addItems(rowsTitled(pictures));
    list.show();
    return QTest::qWaitForWindowExposed(&list);
}

} // namespace

// The catalogue list: rows by position, both views over one selection, sorting, sizes in twips,
// and the covers of the icon view.
class TestListView : public QObject {
    Q_OBJECT

private slots:
    void listOperations();
    void sortingKeepsSelectionAndCells();
    void narrowingKeepsModelsSound();
    void viewsShareSelection();
    void headerClickReportsPosition();
    void keyPressCodes();
    void twipsAreKeptExactly();
    void coversAreReadOnDemandAndScaled();
    void unreadableCoverGetsPlaceholder();
    void reportCellsDrawTheirTextInTheirColumn();
    void pagingKeysSelectTheRowTheyReach_data();
    void pagingKeysSelectTheRowTheyReach();
    void pageKeysMoveAScreenOfCovers();
    void screenReaderHearsTitlesOfTheShownView();
    void viewSwitchNamesTheSelectedTitleFirst();
    void dividerFitsTheWidestTextOnScreen();
    void iconWallUsesItsWidth();
    void reportTableIsOneInterface();
    void doubleClickBesideTheRows();
    void coversMatchTheScreen();
    void hugeFirstCoverKeepsIconsSmall();
    void visibleCoversStayCached();
};

void TestListView::listOperations()
{
    ListView list;
    list.addColumnHeader("Title", 985.5f);
    list.addColumnHeader("Starring", 100);
    QCOMPARE(list.columnHeaderCount(), 2);
    QCOMPARE(list.columnHeaderText(2), QString("Starring"));
    std::vector<CatalogueRow> rows;
    rows.push_back(catalogueRow(1, "First", {}, 1));
    rows.push_back(catalogueRow(1, "Same key", {}, 2));
    rows.push_back(catalogueRow(2, "Second", {"s1", "s2", "s3", "s4", "s5"}, 2));
    QCOMPARE(list.addItems(std::move(rows)), 2);
    QCOMPARE(list.itemCount(), 2);
    QCOMPARE(list.itemKey(2), QString("K2"));
    QCOMPARE(list.itemText(2), QString("Second"));
    QCOMPARE(list.itemIcon(2), 2);
    QCOMPARE(list.subItem(2, 4), QString("s4"));
    QCOMPARE(list.subItem(2, 9), QString());
    QCOMPARE(list.subItem(2, 10), QString()); // there are nine
    QCOMPARE(list.subItem(3, 1), QString());  // no such row
    QCOMPARE(list.selectedItem(), 1);         // the first row, as soon as there are rows
    QCOMPARE(ListView().selectedItem(), 0);   // an empty list has none
}

void TestListView::sortingKeepsSelectionAndCells()
{
    ListView list;
    for (const char* header : {"Title", "Starring"})
        list.addColumnHeader(header, 1000);
    std::vector<CatalogueRow> rows;
    for (const char* title : {"b", "C", "a"})
        rows.push_back(catalogueRow(int(rows.size()) + 1, title, {QString("star of ") + title}));
    list.addItems(std::move(rows));
    list.selectItem(2); // "C"
    list.setSortKey(0);
    list.setSortOrder(RowSorting::Direction::Descending);
    list.setSorted(true);
    QCOMPARE(titlesOf(list), (QStringList{"C", "b", "a"}));
    QCOMPARE(list.selectedItem(), 1);
    QCOMPARE(list.subItem(1, 1), QString("star of C"));
    QCOMPARE(list.itemKey(1), QString("K2"));
    QCOMPARE(list.reportView()->header()->sortIndicatorSection(), 0);
    QCOMPARE(list.reportView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);

    // While sorted, a new key re-sorts.
    list.setSortKey(1);
    list.setSortOrder(RowSorting::Direction::Ascending);
    QCOMPARE(titlesOf(list), (QStringList{"a", "b", "C"}));
    QCOMPARE(list.selectedItem(), 3);
}

// Narrowing, sorting and adding rows in any order leave both views' models consistent, and
// rows added while narrowed show when they hold what the list is narrowed to.
void TestListView::narrowingKeepsModelsSound()
{
    ListView list;
    for (const char* header : {"Title", "Starring"})
        list.addColumnHeader(header, 1000);
    QAbstractItemModelTester report(list.reportView()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester icons(list.iconView()->model(),
                                   QAbstractItemModelTester::FailureReportingMode::QtTest);
    std::vector<CatalogueRow> rows;
    for (const char* title : {"river b", "lake", "river a"})
        rows.push_back(catalogueRow(int(rows.size()) + 1, title));
    list.addItems(std::move(rows));
    list.narrowTo("river");
    QCOMPARE(titlesOf(list), (QStringList{"river b", "river a"}));
    list.sortBy(0, RowSorting::Direction::Ascending);
    QCOMPARE(titlesOf(list), (QStringList{"river a", "river b"}));
    std::vector<CatalogueRow> more;
    more.push_back(catalogueRow(4, "sea"));
    more.push_back(catalogueRow(5, "river c"));
    list.addItems(std::move(more));
    QCOMPARE(titlesOf(list), (QStringList{"river a", "river b", "river c"}));
    QCOMPARE(list.iconView()->model()->rowCount(), 3);
    list.narrowTo("nothing at all");
    QCOMPARE(list.itemCount(), 0);
    QCOMPARE(list.reportView()->model()->headerData(1, Qt::Horizontal), QVariant("Starring"));
    list.narrowTo(QString());
    QCOMPARE(titlesOf(list), (QStringList{"lake", "river a", "river b", "river c", "sea"}));
}

void TestListView::viewsShareSelection()
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

void TestListView::headerClickReportsPosition()
{
    ListView list;
    for (const char* header : {"Title", "Starring", "Directors"})
        list.addColumnHeader(header, 1500);
    list.addColumnHeader("Customer Reviews", 600);
    list.addItems(rowsTitled({"b", "a"}));
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
    // A header cut short ends in an ellipsis; one with room shows whole.
    const auto* eliding = qobject_cast<ElidingHeader*>(header);
    QVERIFY(eliding);
    QCOMPARE(eliding->shownText(0), QString("Title"));
    const QString cut = eliding->shownText(3);
    QVERIFY2(cut.endsWith(QChar(0x2026)) && QString("Customer Reviews").startsWith(cut.chopped(1)),
             qPrintable(cut));
}

void TestListView::keyPressCodes()
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

void TestListView::twipsAreKeptExactly()
{
    ListView list;
    QVERIFY(list.setWidth(9855));
    list.addColumnHeader("Title", list.Width() / 10);
    QCOMPARE(list.columnHeaderWidth(1), 985.5f);
    QVERIFY(!list.setHeight(-200));
    QCOMPARE(list.Height(), 6615.0f);
    QVERIFY(!list.setColumnHeaderWidth(2, 100));
    QCOMPARE(list.reportView()->header()->sectionSize(0), 66);
}

void TestListView::coversAreReadOnDemandAndScaled()
{
    QTemporaryDir dir;
    const QDir db(dir.path());
    QVERIFY(writeCover(db, "first.png", Qt::red, {40, 60}));
    QVERIFY(writeCover(db, "wide.png", Qt::blue, {80, 20}));
    ImageList images;
    addCovers(images, db, {"first.png", "wide.png"});
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

// The icon view draws a neutral placeholder where a cover cannot be read, and the cover itself
// where it can.
void TestListView::unreadableCoverGetsPlaceholder()
{
    QTemporaryDir dir;
    const QDir db(dir.path());
    QVERIFY(writeCover(db, "good.png", Qt::red));
    QVERIFY(writeBytes(db.filePath("bad.png"), "\x89PNG\r\n\x1a\n truncated"));
    ImageList images;
    ListView list;
    QVERIFY(showCovers(list, images, db, {"good.png", "bad.png"}));
    QTRY_VERIFY(images.isUnreadable(2));
    QTRY_VERIFY(!images.image(1).isNull());

    const QImage shot = list.iconView()->viewport()->grab().toImage();
    auto coverCorner = [&](int row) {
        const QRect item = list.iconView()->visualRect(list.iconView()->model()->index(row, 0));
        const QSize icon = images.imageSize();
        const QPoint topLeft(item.left() + (item.width() - icon.width()) / 2, item.top() + 4);
        return shot.pixelColor(topLeft + QPoint(3, 3));
    };
    QCOMPARE(coverCorner(0), QColor(Qt::red));
    QCOMPARE(coverCorner(1), QColor(0xE4, 0xE4, 0xE4));
}

// The report view draws a cell's text within its own column, cut short where it is longer, and
// the selected row's text in the highlighted text's colour.
void TestListView::reportCellsDrawTheirTextInTheirColumn()
{
    ListView list;
    list.addColumnHeader("Title", 1000);
    list.addColumnHeader("Starring", 1000);
    list.addItems(rowsTitled({QString(200, QLatin1Char('W')), "two"}));
    list.setView(ListView::ReportView);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.selectItem(2);
    const QTreeView* view = list.reportView();
    const QImage shot = view->viewport()->grab().toImage();
    const auto pixelsIn = [&](int row, int column, auto wanted) {
        const QRect cell = view->visualRect(view->model()->index(row, column)) &
                           QRect(QPoint(), shot.size() / shot.devicePixelRatio());
        int count = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x)
                count += wanted(shot.pixelColor(x, y).lightness()) ? 1 : 0;
        }
        return count;
    };
    const auto dark = [](int lightness) {
        return lightness < 100;
    };
    const auto light = [](int lightness) {
        return lightness > 200;
    };
    QVERIFY(pixelsIn(0, 0, dark) > 0);  // the long title is drawn
    QCOMPARE(pixelsIn(0, 1, dark), 0);  // and nothing of it in the empty cell beside it
    QVERIFY(pixelsIn(1, 0, light) > 0); // on the highlight, in a light colour
}

// Home, End and the page keys select the row they move to, also when it is already the current
// one (the item views select nothing then).
void TestListView::pagingKeysSelectTheRowTheyReach_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("key");
    QTest::newRow("homeOnFirst") << 1 << int(Qt::Key_Home);
    QTest::newRow("endOnLast") << 2 << int(Qt::Key_End);
    QTest::newRow("pageUpOnFirst") << 1 << int(Qt::Key_PageUp);
    QTest::newRow("pageDownOnLast") << 2 << int(Qt::Key_PageDown);
}

void TestListView::pagingKeysSelectTheRowTheyReach()
{
    QFETCH(int, current);
    QFETCH(int, key);
    ListView list;
    QVERIFY(showTwoRows(list));
    for (int mode : {int(ListView::IconView), int(ListView::ReportView)}) {
        list.setView(mode);
        QAbstractItemView* view = mode == ListView::IconView
                                      ? static_cast<QAbstractItemView*>(list.iconView())
                                      : static_cast<QAbstractItemView*>(list.reportView());
        list.selectItem(current);
        view->selectionModel()->clearSelection(); // the current row stays, unselected
        QCOMPARE(list.selectedItem(), 0);
        QTest::keyClick(view, Qt::Key(key));
        QCOMPARE(list.selectedItem(), current);
    }
}

// At the list's first size a screen holds about one row of covers: Page Down still moves by it.
void TestListView::pageKeysMoveAScreenOfCovers()
{
    ListView list;
    list.addColumnHeader("Title", 1000);
    QStringList titles;
    for (int i = 1; i <= 60; ++i)
        titles << QString("title %1").arg(i);
    list.addItems(rowsTitled(titles));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const int perRow = list.iconView()->viewport()->width() / list.iconView()->gridSize().width();
    QVERIFY(perRow > 1);
    QTest::keyClick(list.iconView(), Qt::Key_PageDown);
    QVERIFY2(list.selectedItem() > perRow, qPrintable(QString::number(list.selectedItem())));
    QTest::keyClick(list.iconView(), Qt::Key_PageUp);
    QCOMPARE(list.selectedItem(), 1);
}

// The icon view has one item per title, named by it, and the item a screen reader is told has the
// focus is the title selected. The hidden view's selection does not move, so it says nothing.
void TestListView::screenReaderHearsTitlesOfTheShownView()
{
    ListView list;
    for (const char* header : {"Title", "Starring", "Directors"})
        list.addColumnHeader(header, 1000);
    std::vector<CatalogueRow> rows;
    for (const char* title : {"one", "two", "three"})
        rows.push_back(catalogueRow(int(rows.size()) + 1, title, {QString("star of ") + title}));
    list.addItems(std::move(rows));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    QAccessibleInterface* icons = QAccessible::queryAccessibleInterface(list.iconView());
    QCOMPARE(icons->text(QAccessible::Name), QString("Catalogue"));
    QCOMPARE(icons->childCount(), 3);
    QCOMPARE(icons->child(1)->text(QAccessible::Name), QString("two"));
    QCOMPARE(icons->child(1)->text(QAccessible::Description), QString("Starring: star of two"));
    QSignalSpy hiddenMoved(list.reportView()->selectionModel(),
                           &QItemSelectionModel::currentChanged);
    QTest::keyClick(list.iconView(), Qt::Key_Right);
    QTest::keyClick(list.iconView(), Qt::Key_Right);
    QCOMPARE(icons->focusChild()->text(QAccessible::Name), QString("three"));
    QCOMPARE(hiddenMoved.count(), 0);

    list.setView(ListView::ReportView);
    QVERIFY(!list.iconView()->currentIndex().isValid()); // nothing left behind in the hidden view
    QVERIFY(!list.iconView()->selectionModel()->hasSelection());
    QAccessibleInterface* report = QAccessible::queryAccessibleInterface(list.reportView());
    QCOMPARE(report->text(QAccessible::Name), QString("Catalogue"));
    // Each column header can be sorted by, as a click on it sorts.
    QAccessibleInterface* directors = report->child(2);
    QCOMPARE(directors->text(QAccessible::Name), QString("Directors"));
    QVERIFY(directors->actionInterface());
    QCOMPARE(directors->actionInterface()->actionNames(), QStringList{"Sort"});
    QCOMPARE(report->indexOfChild(directors), 2);
    QSignalSpy sorted(&list, &ListView::ColumnClick);
    directors->actionInterface()->doAction("Sort");
    QCOMPARE(sorted.count(), 1);
    QCOMPARE(sorted.first().first().toInt(), 3);
    QCOMPARE(report->focusChild()->text(QAccessible::Name), QString("three"));
    QSignalSpy iconsMoved(list.iconView()->selectionModel(), &QItemSelectionModel::currentChanged);
    QTest::keyClick(list.reportView(), Qt::Key_Up);
    QCOMPARE(report->focusChild()->text(QAccessible::Name), QString("two"));
    QCOMPARE(iconsMoved.count(), 0);

    // Sorted, the column's header says how, and the reader hears it once, after the title it is
    // on again: the items it knew are gone.
    list.reportView()->setFocus();
    QTRY_VERIFY(list.reportView()->hasFocus());
    QCoreApplication::processEvents();
    AccessibleEvents heard;
    list.sortBy(2, RowSorting::Direction::Ascending);
    QCOMPARE(report->child(2)->text(QAccessible::Name), QString("Directors, sorted ascending"));
    QCOMPARE(report->child(2)->text(QAccessible::Description), QString("sorted ascending"));
    QCOMPARE(report->child(0)->text(QAccessible::Name), QString("Title"));
    QTRY_COMPARE(heard.namesOf(QAccessible::ObjectShow), QStringList{"Directors, ascending"});
    QCOMPARE(heard.all().last().role, QAccessible::Notification);
    QCOMPARE(heard.namesOf(QAccessible::Focus), QStringList{"two"});
}

// After F3 or F4 a screen reader is told of the view, then of its selected title: of no other
// title before it.
void TestListView::viewSwitchNamesTheSelectedTitleFirst()
{
    ListView list;
    list.addColumnHeader("Title", 1000);
    list.addColumnHeader("Starring", 1000);
    list.addItems(rowsTitled({"one", "two", "three"}));
    list.show();
    QVERIFY(QTest::qWaitForWindowActive(&list));
    list.iconView()->setFocus();
    list.selectItem(3);
    for (int mode : {int(ListView::ReportView), int(ListView::IconView)}) {
        AccessibleEvents heard;
        list.setView(mode);
        QTRY_VERIFY(!heard.namesOf(QAccessible::Focus).isEmpty() &&
                    heard.namesOf(QAccessible::Focus).last() == "three");
        QStringList titles = heard.namesOf(QAccessible::Focus);
        titles.removeAll("Catalogue"); // the view itself
        QCOMPARE(titles.value(0), QString("three"));
        QVERIFY2(!titles.contains("one") && !titles.contains("two"), qPrintable(titles.join(',')));
    }
}

// A double-click on a column divider fits the column to the widest text of the rows on screen,
// never narrower than its header; the next resize of the window gives it its tenth again.
void TestListView::dividerFitsTheWidestTextOnScreen()
{
    ListView list;
    list.addColumnHeader("Title", 600);
    list.addColumnHeader("Starring", 600);
    const QString longest = "Bright Water over the Broad Meadows of the North";
    list.addItems(rowsTitled({"Brazil", longest, "Alien"}));
    list.setView(ListView::ReportView);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QHeaderView* header = list.reportView()->header();
    const int before = header->sectionSize(0);
    const QPoint divider(header->sectionViewportPosition(1) - 1, header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, divider);
    const int widest = list.reportView()->fontMetrics().horizontalAdvance(longest);
    QVERIFY2(header->sectionSize(0) > qMax(before, widest),
             qPrintable(QString("%1 of %2").arg(header->sectionSize(0)).arg(widest)));
    // A column of short cells keeps the width its header needs.
    const QPoint second(header->sectionViewportPosition(1) + header->sectionSize(1) - 1,
                        header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, second);
    QVERIFY(header->sectionSize(1) >= header->sectionSizeHint(1));
    QVERIFY(list.setColumnHeaderWidth(1, 600));
    QCOMPARE(header->sectionSize(0), qRound(list.columnHeaderWidth(1) / 15));
}

// The covers spread over the view's width: whatever is left over is less than a pixel per column.
void TestListView::iconWallUsesItsWidth()
{
    ListView list;
    list.addColumnHeader("Title", 1000);
    QStringList titles;
    for (int i = 1; i <= 40; ++i)
        titles << QString("title %1").arg(i);
    list.addItems(rowsTitled(titles));
    for (float width : {9855.0f, 12000.0f, 7000.0f}) {
        list.setWidth(width);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QListView* view = list.iconView();
        const int columns = (view->viewport()->width() - 1) / view->gridSize().width();
        QVERIFY(columns > 1);
        // The last of a row stands on the first row.
        QCOMPARE(view->visualRect(view->model()->index(columns - 1, 0)).top(), 0);
        const int band = view->viewport()->width() - 1 - columns * view->gridSize().width();
        QVERIFY2(band < columns,
                 qPrintable(QString("%1 px left of %2").arg(band).arg(view->viewport()->width())));
        // Each cover stands in the middle of its cell: the first as far from the view's edge as
        // the last, but for what is left over and a pixel of rounding.
        const QRect first = view->visualRect(view->model()->index(0, 0));
        const QRect last = view->visualRect(view->model()->index(columns - 1, 0));
        const int leftOver = view->viewport()->width() - columns * view->gridSize().width();
        QVERIFY(qAbs(first.left() - (view->viewport()->width() - last.right() - 1)) <=
                leftOver + 1);
    }
}

// The report view's accessible table is one interface, made once, with the headers' action its
// own. At the program's end the accessibility cache deletes its interfaces in no set order: the
// table and the cells it made go either way round.
void TestListView::reportTableIsOneInterface()
{
    ListView list;
    list.addColumnHeader("Title", 1000);
    std::vector<CatalogueRow> rows;
    rows.push_back(catalogueRow(1, "one"));
    list.addItems(std::move(rows));
    list.setView(ListView::ReportView);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QAccessibleInterface* report = QAccessible::queryAccessibleInterface(list.reportView());
    QCOMPARE(dynamic_cast<QAccessibleInterface*>(report->tableInterface()), report);
    QCOMPARE(QAccessible::queryAccessibleInterface(list.reportView()), report);
    QAccessibleInterface* title = report->child(0);
    QVERIFY(title->actionInterface());
    QCOMPARE(title->parent(), report);

    const QAccessible::Id titleId = QAccessible::uniqueId(title);
    QAccessible::deleteAccessibleInterface(titleId); // a header first
    QAccessibleInterface* again = report->child(0);  // made anew when asked for
    QVERIFY(again && again->isValid() && QAccessible::uniqueId(again) != titleId);
    QCOMPARE(report->child(1)->text(QAccessible::Name), QString("one"));
    const QAccessible::Id cellId = QAccessible::uniqueId(report->child(1));
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(report)); // then the table
    QVERIFY(!QAccessible::accessibleInterface(cellId));
    QAccessibleInterface* fresh = QAccessible::queryAccessibleInterface(list.reportView());
    QVERIFY(fresh && fresh->child(0)->actionInterface());
}

void TestListView::doubleClickBesideTheRows()
{
    ListView list;
    QVERIFY(showTwoRows(list));
    QSignalSpy clicks(&list, &ListView::DblClick);
    QWidget* viewport = list.iconView()->viewport();
    const QPoint empty(viewport->width() - 3, viewport->height() - 3);
    QVERIFY(!list.iconView()->indexAt(empty).isValid());
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, empty);
    QCOMPARE(clicks.count(), 1);
    QTest::mouseDClick(viewport, Qt::RightButton, {}, empty);
    QCOMPARE(clicks.count(), 1);
}

// Covers are decoded for the device pixel ratio of the screen the list is on, and tagged with it.
// CTest runs this at the usual scale and again with QT_SCALE_FACTOR=2.
void TestListView::coversMatchTheScreen()
{
    QTemporaryDir dir;
    QVERIFY(writeCover(QDir(dir.path()), "a.png", Qt::red, {300, 420}));
    QVERIFY(writeCover(QDir(dir.path()), "b.png", Qt::blue, {150, 210}));
    ImageList images;
    ListView list;
    QVERIFY(showCovers(list, images, QDir(dir.path()), {"a.png", "b.png"}));
    const qreal ratio = list.iconView()->viewport()->devicePixelRatioF();
    QTRY_VERIFY(!images.image(2).isNull());
    const QPixmap cover = images.image(2);
    QCOMPARE(cover.devicePixelRatio(), ratio);
    QCOMPARE(cover.deviceIndependentSize().toSize(), QSize(300, 420));
    QCOMPARE(cover.size(), QSize(qRound(300 * ratio), qRound(420 * ratio)));
}

// A first cover whose header promises an enormous picture is not read, and does not fix the
// icon size: the first cover that can be read does, bounded to a sane size.
void TestListView::hugeFirstCoverKeepsIconsSmall()
{
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath("huge.png"), pngDeclaring(60000, 60000)));
    QVERIFY(writeCover(QDir(dir.path()), "large.png", Qt::green, {2000, 2800}));

    ImageList images;
    addCovers(images, QDir(dir.path()), {"huge.png", "large.png"});
    QCOMPARE(images.imageSize(), QSize(365, 512));
    QVERIFY(images.image(1).isNull());
    QTRY_VERIFY(!images.image(2).isNull());
    QCOMPARE(images.image(2).size(), QSize(365, 512));
    QVERIFY(images.image(1).isNull());
    QVERIFY(images.isUnreadable(1));
}

// The cache always holds every cover on screen: a cover larger than the least budget, and more
// of them on screen than it holds, are still read once and kept.
void TestListView::visibleCoversStayCached()
{
    QTemporaryDir dir;
    QVERIFY(writeCover(QDir(dir.path()), "cover.png", Qt::yellow, {512, 512}));
    ImageList images;
    const int shown = 60; // 1 MB each: more than the least budget holds
    addCovers(images, QDir(dir.path()), QStringList(shown, "cover.png"));
    images.setVisibleCount(shown);
    for (int i = 1; i <= shown; ++i)
        images.image(i);
    QTRY_VERIFY_WITH_TIMEOUT(!images.isBusy(), 20000);
    for (int i = 1; i <= shown; ++i)
        QVERIFY2(!images.image(i).isNull(), qPrintable(QString("cover %1 was dropped").arg(i)));
}

QTEST_MAIN(TestListView)
#include "tst_listview.moc"
