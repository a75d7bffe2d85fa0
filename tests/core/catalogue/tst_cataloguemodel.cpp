#include "core/catalogue/cataloguemodel.h"
#include "core/catalogue/columns.h"
#include "core/titles/titlescan.h"

#include "support/busyglobalpool.h"
#include "support/rowbuilder.h"

#include <QAbstractItemModelTester>
#include <QTest>

// A catalogue row, with its texts in one block, and the model of rows both views show.
class TestCatalogueModel : public QObject {
    Q_OBJECT

private slots:
    void rowHoldsCellsInColumnOrder();
    void cellStartStopsAtCharacters();
    void modelRefusesKeyInUse();
    void modelIsConsistent();
    void cellsShowOnOneLine();
    void hugeCellsShowTheirStart();
    void ranksMadeInTheBackgroundSortAlike();
};

void TestCatalogueModel::rowHoldsCellsInColumnOrder()
{
    const QByteArray bytes = QByteArray("h\r\n").repeated(29) +
                             "Caf\xe9 Society\r\n"
                             "Customer Reviews:\r\n\"One\"\r\n"; // the last marker first
    QByteArray scratch("left over from an earlier file");
    const CatalogueRow row = CatalogueRow::fromScan(scanTitle(bytes), scratch);
    QCOMPARE(row.text(), QString::fromUtf16(u"Caf\u00E9 Society"));
    QCOMPARE(row.cell(9), QString("\"One\"\r\n"));
    for (int column = 1; column < 9; ++column)
        QCOMPARE(row.cell(column), QString());
    QCOMPARE(row.cell(10), QString()); // beyond the last column
    QCOMPARE(row.cellUtf8(0), QByteArrayView("Caf\xc3\xa9 Society"));
}

void TestCatalogueModel::cellStartStopsAtCharacters()
{
    // 0xE9 is two bytes in UTF-8, 0x80 (the euro sign) three.
    const QByteArray bytes = QByteArray("h\r\n").repeated(29) + QByteArray(300, '\xe9') +
                             "\r\nGenre:\r\n" + QByteArray(300, '\x80') + "\r\n";
    QByteArray scratch;
    const CatalogueRow row = CatalogueRow::fromScan(scanTitle(bytes), scratch);
    const int genre = 1 + int(TitleField::Genre);
    for (int column : {0, genre}) {
        const QString start = row.cellStart(column, 96);
        QVERIFY(start.size() > 96);
        QVERIFY(start.size() < 300);
        QVERIFY(row.cell(column).startsWith(start)); // no broken character at the cut
    }
    QCOMPARE(row.cellStart(1, 96), QString());
}

void TestCatalogueModel::modelRefusesKeyInUse()
{
    CatalogueModel model;
    std::vector<CatalogueRow> rows = rowsTitled({"one", "two"});
    rows.insert(rows.begin() + 1, catalogueRow(1, "same key as one"));
    QCOMPARE(model.addRows(std::move(rows)), 2);
    QCOMPARE(model.row(1).text(), QString("two")); // the rows after a refused one move up
    std::vector<CatalogueRow> more;
    more.push_back(catalogueRow(2, "same key as two"));
    more.push_back(catalogueRow(3, "three"));
    QCOMPARE(model.addRows(std::move(more)), 1);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.row(2).text(), QString("three"));
}

void TestCatalogueModel::modelIsConsistent()
{
    CatalogueModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (const QString& header : columnHeaders())
        model.addColumn(header);
    std::vector<CatalogueRow> rows;
    rows.push_back(catalogueRow(1, "b", {"star of b"}));
    rows.push_back(catalogueRow(2, "a"));
    model.addRows(std::move(rows));
    std::vector<CatalogueRow> later;
    later.push_back(catalogueRow(3, "c"));
    model.addRows(std::move(later));
    model.sortBy(0, RowSorting::Direction::Ascending);
    QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QString("a"));
    model.sortBy(1, RowSorting::Direction::Descending);
    QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(), QString("star of b"));
    QCOMPARE(model.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("Release date"));
}

// A line of the report view has room for one line: a cell's line breaks show as " / ", and its
// tooltip holds its lines as they are.
void TestCatalogueModel::cellsShowOnOneLine()
{
    CatalogueModel model;
    for (const QString& header : columnHeaders())
        model.addColumn(header);
    const QByteArray bytes =
        QByteArray("h\r\n").repeated(29) +
        "T\r\nCustomer Reviews:\r\n\"One\" <b>ok</b>\r\nnot a review\r\n\"Two\"\r\n";
    QByteArray scratch;
    std::vector<CatalogueRow> rows;
    rows.push_back(CatalogueRow::fromScan(scanTitle(bytes), scratch));
    rows.back().setSequenceNumber(1);
    model.addRows(std::move(rows));
    const QModelIndex reviews = model.index(0, 9);
    QCOMPARE(reviews.data(Qt::DisplayRole).toString(), QString("\"One\" <b>ok</b> / \"Two\""));
    // The tooltip shows the markup as typed, one review a line.
    const QString tooltip = reviews.data(Qt::ToolTipRole).toString();
    QVERIFY2(tooltip.contains("&lt;b&gt;ok&lt;/b&gt;<br>"), qPrintable(tooltip));
    QCOMPARE(tooltip.count("<br>"), 2);
    QVERIFY(!model.index(0, 3).data(Qt::ToolTipRole).isValid()); // an empty cell has none
}

// A cell of megabytes gives the views only its start, however often they ask.
void TestCatalogueModel::hugeCellsShowTheirStart()
{
    CatalogueModel model;
    for (const QString& header : columnHeaders())
        model.addColumn(header);
    const QByteArray title(20000, 'T');
    const QByteArray bytes = QByteArray("h\r\n").repeated(29) + title +
                             "\r\nCustomer Reviews:\r\n" +
                             QByteArray("\"a review\"\r\n").repeated(400000);
    QByteArray scratch;
    std::vector<CatalogueRow> rows;
    rows.push_back(CatalogueRow::fromScan(scanTitle(bytes), scratch));
    rows.back().setSequenceNumber(1);
    model.addRows(std::move(rows));
    const QString shownTitle = model.index(0, 0).data(Qt::DisplayRole).toString();
    const QString shownReviews = model.index(0, 9).data(Qt::DisplayRole).toString();
    QVERIFY(shownTitle.size() < 2000);
    QVERIFY(shownTitle.endsWith(QChar(0x2026)));
    QVERIFY(shownReviews.size() < 2000);
    QVERIFY(shownReviews.startsWith("\"a review\" / \"a review\""));
    QVERIFY(model.index(0, 9).data(Qt::ToolTipRole).toString().size() < 20000);
    QCOMPARE(model.row(0).cell(9).size(), qsizetype(400000) * 12); // the row keeps it whole
}

// Ranked on another thread or at the first sort, every column sorts the same way; rows added
// later are ranked anew.
void TestCatalogueModel::ranksMadeInTheBackgroundSortAlike()
{
    auto fill = [](CatalogueModel& model) {
        for (const QString& header : columnHeaders())
            model.addColumn(header);
        std::vector<CatalogueRow> rows;
        const QStringList words{"delta", "Alpha", "charlie", "alpha", "Bravo", "echo", "bravo"};
        for (int i = 0; i < 40; ++i) {
            QStringList cells;
            for (int column = 1; column < ::columnCount; ++column)
                cells << words[(i * column + column) % words.size()] + QString::number(i % 3);
            cells.last() = '"' + cells.last() + '"'; // a review line
            rows.push_back(catalogueRow(i + 1, words[i % words.size()], cells));
        }
        model.addRows(std::move(rows));
    };
    auto titles = [](const CatalogueModel& model) {
        QStringList keys;
        for (int row = 0; row < model.rowCount(); ++row)
            keys << model.row(row).key();
        return keys;
    };
    CatalogueModel atOnce;
    CatalogueModel background;
    fill(atOnce);
    fill(background);
    {
        // Ranking goes on while the application's shared pool is busy.
        const BusyGlobalPool busy;
        background.rankInBackground();
        QTRY_VERIFY(background.isRanked(::columnCount - 1));
    }
    for (int column = 0; column < ::columnCount; ++column) {
        QVERIFY(background.isRanked(column));
        QVERIFY(!atOnce.isRanked(column));
        for (auto direction :
             {RowSorting::Direction::Ascending, RowSorting::Direction::Descending}) {
            atOnce.sortBy(column, direction);
            background.sortBy(column, direction);
            QCOMPARE(titles(background), titles(atOnce));
        }
    }
    std::vector<CatalogueRow> later;
    later.push_back(catalogueRow(41, "aardvark"));
    background.addRows(std::move(later));
    QVERIFY(!background.isRanked(0));
    background.sortBy(0, RowSorting::Direction::Ascending);
    QCOMPARE(background.row(0).text(), QString("aardvark"));
}

QTEST_GUILESS_MAIN(TestCatalogueModel)
#include "tst_cataloguemodel.moc"
