#include "gui/catalogue/listview.h"
#include "gui/details/detailsbox.h"
#include "gui/details/scrollingtextbox.h"

#include "support/catalogbuilder.h"
#include "support/formharness.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>

class TestDetailsBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void firstRowFromTheStart();
    void enterAndDoubleClickShowSelectedRow();
    void otherKeysShowNothing();
    void queryItemsOpenOncePerChoice();
    void tallTextScrollsWithinTheScreen();
    void shortTextInAMessageBox();
    void copiesItsText();
    void hugeTextIsCut();

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

// Right after the start, with nothing touched: the first row is selected and the list has the
// keyboard focus, so Enter and the look-ups act on it.
void TestDetailsBox::firstRowFromTheStart()
{
    record = FormRecord();
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    form->activateWindow();
    QTRY_VERIFY(form->list()->iconView()->hasFocus());
    QCOMPARE(form->list()->selectedItem(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(record.boxes.value(0), QString("Brazil"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    QCOMPARE(record.urls, QStringList{"http://www.amazon.com/exec/obidos/search-handle-url/"
                                      "index%3Ddvd%26field-keywords%3DBrazil"});
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

namespace {

// The text of a title with sixty reviews of a few lines each.
QString sixtyReviews()
{
    QString text = "Starring:\r\nA\r\n\r\nCustomer Reviews:\r\n";
    for (int i = 1; i <= 60; ++i)
        text += QString("\"Review %1\" by a reader: a few words on the film.\r\n").arg(i);
    return text;
}

} // namespace

void TestDetailsBox::tallTextScrollsWithinTheScreen()
{
    const QString text = sixtyReviews();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(
        DetailsBox::needsScrolling(text, QApplication::font("QMessageBoxLabel"), screen.size()));
    ScrollingTextBox box("A Film", text);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.windowTitle(), QString("A Film"));
    QVERIFY(box.frameGeometry().height() <= screen.height());
    QVERIFY(screen.contains(box.okButton()->mapToGlobal(box.okButton()->rect().center())));
    QCOMPARE(box.textArea()->toPlainText(), QString(text).replace("\r\n", "\n"));
    QVERIFY(box.textArea()->verticalScrollBar()->maximum() > 0); // the rest is a scroll away
    QTest::keyClick(&box, Qt::Key_Return);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
    box.show();
    QTest::keyClick(&box, Qt::Key_Escape);
    QVERIFY(!box.isVisible());
}

void TestDetailsBox::shortTextInAMessageBox()
{
    const QString text = "Starring:\r\nA\r\n\r\nGenre:\r\nDrama\r\n";
    QVERIFY(!DetailsBox::needsScrolling(text, QApplication::font("QMessageBoxLabel"),
                                        QSize(1024, 768)));
    DetailsBox box("A Film", text);
    QCOMPARE(box.text(), text);
    QCOMPARE(box.textFormat(), Qt::PlainText);
    QCOMPARE(box.icon(), QMessageBox::NoIcon);
    QCOMPARE(box.buttons().size(), 1);
}

void TestDetailsBox::copiesItsText()
{
    const QString text = sixtyReviews();
    ScrollingTextBox tall("A Film", text);
    tall.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tall));
    QTest::keyClick(&tall, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString(text).replace("\r\n", "\n"));
    QTextCursor cursor = tall.textArea()->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    tall.textArea()->setTextCursor(cursor);
    QTest::keyClick(&tall, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("Starring:"));

    DetailsBox box("A Film", "Genre:\r\nDrama\r\n");
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("Genre:\r\nDrama\r\n"));
    box.close();
}

void TestDetailsBox::hugeTextIsCut()
{
    const QString small = "Customer Reviews:\r\n\"short\"\r\n";
    QCOMPARE(DetailsBox::shownText(small), small);
    const QString huge = "Customer Reviews:\r\n" + QString("\"x\"\r\n").repeated(1000 * 1000);
    const QString shown = DetailsBox::shownText(huge);
    QVERIFY(shown.size() < huge.size());
    QVERIFY(huge.startsWith(shown.left(1024 * 1024)));
    QVERIFY2(shown.endsWith(
                 QString("(%1 more characters are not shown)").arg(huge.size() - 1024 * 1024)),
             qPrintable(shown.right(80)));
}

QTEST_MAIN(TestDetailsBox)
#include "tst_detailsbox.moc"
