#include "gui/catalogue/listview.h"

#include "support/catalogbuilder.h"
#include "support/formharness.h"

#include <QAction>
#include <QHeaderView>
#include <QListView>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTreeView>

class TestDetailsBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void enterAndDoubleClickShowSelectedRow();
    void otherKeysShowNothing();
    void queryItemsOpenOncePerChoice();

private:
    std::unique_ptr<Form1> openCatalogue();

    QTemporaryDir program;
    FormRecord record;
};

void TestDetailsBox::initTestCase()
{
    const QDir db(program.filePath("db"));
    QVERIFY(writeTitle(db, "1.adl", "Brazil", "Comedy", "12 March, 1985"));
    QVERIFY(writeTitle(db, "2.adl", "Alien", "Horror"));
    QVERIFY(writeTitle(db, "3.adl", "Tom & Jerry", "Family"));
}

std::unique_ptr<Form1> TestDetailsBox::openCatalogue()
{
    record = FormRecord();
    auto form = makeForm(program.path(), &record);
    if (!waitUntilShown(*form))
        return nullptr;
    form->activateWindow();
    form->list()->iconView()->setFocus();
    return form;
}

void TestDetailsBox::enterAndDoubleClickShowSelectedRow()
{
    auto form = openCatalogue();
    QVERIFY(form);
    ListView& list = *form->list();
    list.selectItem(2); // Brazil, in name order 1.adl, 2.adl, 3.adl: Brazil, Alien, Tom & Jerry
    QCOMPARE(list.itemText(2), QString("Alien"));
    QTest::keyClick(list.iconView(), Qt::Key_Return);
    QCOMPARE(record.boxes.size(), 2);
    QCOMPARE(record.boxes[0], QString("Alien"));
    QCOMPARE(record.boxes[1], "Starring:\r\nActor of Alien\r\n\r\nDirectors:\r\n\r\n\r\n"
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
    QCOMPARE(record.boxes.size(), 4);
    QCOMPARE(record.boxes[2], QString("Tom & Jerry"));
    QVERIFY(record.boxes[3].contains("Family"));
    QTest::keyClick(list.reportView(), Qt::Key_Enter);
    QCOMPARE(record.boxes.size(), 6);
    QCOMPARE(record.boxes[4], QString("Tom & Jerry"));
}

void TestDetailsBox::otherKeysShowNothing()
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

void TestDetailsBox::queryItemsOpenOncePerChoice()
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

QTEST_MAIN(TestDetailsBox)
#include "tst_detailsbox.moc"
