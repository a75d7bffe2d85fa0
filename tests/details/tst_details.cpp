#include "catalogue/listview.h"
#include "details/detailstext.h"
#include "details/lookupurl.h"

#include "support/catalogbuilder.h"
#include "support/formharness.h"

#include <QAction>
#include <QHeaderView>
#include <QListView>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTreeView>

namespace {

const QString cr = QStringLiteral("\r\n");

QString expectedText(const QStringList& cells)
{
    const QStringList labels = {
        "Starring:", "Directors:",   "Release Date:",    "Manufacturer:",    "Genre:",
        "Features:", "Mpaa Rating:", "Customer Rating:", "Customer Reviews:"};
    QStringList fields;
    for (int i = 0; i < 9; ++i)
        fields << labels[i] + cr + cells[i] + cr;
    return fields.join(cr);
}

} // namespace

Q_DECLARE_METATYPE(LookUp)

class TestDetails : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void text_data();
    void text();
    void urls_data();
    void urls();
    void enterAndDoubleClickShowSelectedRow();
    void otherKeysShowNothing();
    void queryItemsOpenOncePerChoice();

private:
    std::unique_ptr<Form1> openCatalogue();

    QTemporaryDir program;
    FormRecord record;
};

void TestDetails::initTestCase()
{
    const QDir db(program.filePath("db"));
    QVERIFY(writeTitle(db, "1.adl", "Brazil", "Comedy", "12 March, 1985"));
    QVERIFY(writeTitle(db, "2.adl", "Alien", "Horror"));
    QVERIFY(writeTitle(db, "3.adl", "Tom & Jerry", "Family"));
}

void TestDetails::text_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("allEmpty") << QStringList(9);
    QTest::newRow("twoReviews") << QStringList{"A, B",   "D",      "20020312",
                                               "Studio", "Drama",  "Widescreen",
                                               "R",      "4 of 5", "\"One\"\r\n\"Two\"\r\n"};
    QTest::newRow("noReviews") << QStringList{"A", "", "", "", "", "", "", "", ""};
    QTest::newRow("markupStaysText")
        << QStringList{"<b>bold</b>", "&amp;", "", "", "", "", "", "", ""};
}

void TestDetails::text()
{
    QFETCH(QStringList, cells);
    const QString text = detailsText(cells);
    QCOMPARE(text, expectedText(cells));
    QVERIFY(text.startsWith("Starring:\r\n" + cells[0] + "\r\n\r\nDirectors:\r\n"));
    QVERIFY(text.contains("\r\nRelease Date:\r\n"));
    QVERIFY(text.endsWith("Customer Reviews:\r\n" + cells[8] + "\r\n"));
    QVERIFY(!text.endsWith("\r\n\r\n\r\n"));
}

void TestDetails::urls_data()
{
    QTest::addColumn<LookUp>("service");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("url");
    QTest::newRow("googleAlien") << LookUp::Google << "Alien"
                                 << "http://www.google.com/search?q=%22Alien%22";
    QTest::newRow("imdbAlien") << LookUp::IMDb << "Alien"
                               << "http://www.imdb.com/find?q=Alien";
    QTest::newRow("imdbUkAlien") << LookUp::IMDbUK << "Alien"
                                 << "http://uk.imdb.com/find?q=Alien";
    QTest::newRow("amazonAlien") << LookUp::Amazon << "Alien"
                                 << "http://www.amazon.com/exec/obidos/search-handle-url/"
                                    "index%3Ddvd%26field-keywords%3DAlien";
    QTest::newRow("spacesKept") << LookUp::IMDb << "The Big Lebowski"
                                << "http://www.imdb.com/find?q=The Big Lebowski";
    QTest::newRow("emptyTitle") << LookUp::Google << ""
                                << "http://www.google.com/search?q=%22%22";
    QTest::newRow("emptyTitleImdb") << LookUp::IMDb << ""
                                    << "http://www.imdb.com/find?q=";
    QTest::newRow("ampersand") << LookUp::Google << "Tom & Jerry"
                               << "http://www.google.com/search?q=%22Tom %26 Jerry%22";
    QTest::newRow("meaningfulCharacters") << LookUp::IMDb << "100% #1 + ?/x"
                                          << "http://www.imdb.com/find?q=100%25 %231 %2B %3F%2Fx";
    QTest::newRow("quotesAndNonAscii")
        << LookUp::IMDb << QString::fromUtf8("Am\xc3\xa9lie \"2\"")
        << QString::fromUtf8("http://www.imdb.com/find?q=Am\xc3\xa9lie \"2\"");
}

void TestDetails::urls()
{
    QFETCH(LookUp, service);
    QFETCH(QString, title);
    QFETCH(QString, url);
    QCOMPARE(lookUpUrl(service, title), url);
}

std::unique_ptr<Form1> TestDetails::openCatalogue()
{
    record = FormRecord();
    auto form = makeForm(program.path(), &record);
    if (!waitUntilShown(*form))
        return nullptr;
    form->activateWindow();
    form->list()->iconView()->setFocus();
    return form;
}

void TestDetails::enterAndDoubleClickShowSelectedRow()
{
    auto form = openCatalogue();
    QVERIFY(form);
    ListView& list = *form->list();
    list.selectItem(2); // Brazil, in name order 1.adl, 2.adl, 3.adl: Brazil, Alien, Tom & Jerry
    QCOMPARE(list.itemText(2), QString("Alien"));
    QTest::keyClick(list.iconView(), Qt::Key_Return);
    QCOMPARE(record.boxes.size(), 2);
    QCOMPARE(record.boxes[0], QString("Alien"));
    QCOMPARE(record.boxes[1], expectedText({"Actor of Alien", "", "", "", "Horror", "", "", "",
                                            "\"Review of Alien\"\r\n"}));

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
    QCOMPARE(record.boxes.size(), 4);
    QCOMPARE(record.boxes[2], QString("Tom & Jerry"));
    QVERIFY(record.boxes[3].contains("Family"));
    QTest::keyClick(list.reportView(), Qt::Key_Enter);
    QCOMPARE(record.boxes.size(), 6);
    QCOMPARE(record.boxes[4], QString("Tom & Jerry"));
}

void TestDetails::otherKeysShowNothing()
{
    auto form = openCatalogue();
    QVERIFY(form);
    ListView& list = *form->list();
    list.selectItem(1);
    QTest::keyClick(list.iconView(), Qt::Key_Right);
    QCOMPARE(list.selectedItem(), 2); // arrows still move the selection
    QTest::keyClick(list.iconView(), Qt::Key_A);
    QTest::keyClick(list.iconView(), Qt::Key_5);
    QTest::keyClick(list.iconView(), Qt::Key_Down);
    QTest::keyClick(list.iconView(), Qt::Key_Space);
    QVERIFY(record.boxes.isEmpty());
}

void TestDetails::queryItemsOpenOncePerChoice()
{
    auto form = openCatalogue();
    QVERIFY(form);
    form->list()->selectItem(3);
    for (Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8})
        QTest::keyClick(form.get(), key);
    QCOMPARE(record.urls, (QStringList{"http://www.amazon.com/exec/obidos/search-handle-url/"
                                       "index%3Ddvd%26field-keywords%3DTom %26 Jerry",
                                       "http://www.imdb.com/find?q=Tom %26 Jerry",
                                       "http://uk.imdb.com/find?q=Tom %26 Jerry",
                                       "http://www.google.com/search?q=%22Tom %26 Jerry%22"}));
    record.urls.clear();
    QMenu* query = form->menuBar()->actions().at(1)->menu();
    query->actions().at(3)->trigger();
    query->actions().at(3)->trigger();
    query->actions().at(1)->trigger();
    QCOMPARE(record.urls, (QStringList{"http://www.google.com/search?q=%22Tom %26 Jerry%22",
                                       "http://www.google.com/search?q=%22Tom %26 Jerry%22",
                                       "http://www.imdb.com/find?q=Tom %26 Jerry"}));
}

QTEST_MAIN(TestDetails)
#include "tst_details.moc"
