#include "gui/catalogue/listview.h"
#include "gui/details/detailsbox.h"
#include "gui/details/scrollingtextbox.h"

#include "support/catalogbuilder.h"
#include "support/formharness.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QOperatingSystemVersion>
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
    void keysScrollTheTallText_data();
    void keysScrollTheTallText();
    void shortTextInAMessageBox();
    void screenReaderHearsCaptionAndLines_data();
    void screenReaderHearsCaptionAndLines();
    void copiesItsText_data();
    void copiesItsText();
    void hugeTextIsCut();

private:
    TestForm openCatalogue();

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

// The catalogue shown, with the icon view focused; not visible when it failed to show.
TestForm TestDetailsBox::openCatalogue()
{
    record = FormRecord();
    auto form = makeForm(program.path(), &record);
    if (!waitUntilShown(*form))
        return form;
    form->activateWindow();
    form->list()->iconView()->setFocus();
    return form;
}

void TestDetailsBox::enterAndDoubleClickShowSelectedRow()
{
    auto form = openCatalogue();
    QVERIFY(form->isVisible());
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
    QVERIFY(form->isVisible());
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
    QVERIFY(form->isVisible());
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

// The text of a title with the given number of reviews of a few words each.
QString reviewsText(int reviews)
{
    QString text = "Starring:\r\nA\r\n\r\nCustomer Reviews:\r\n";
    for (int i = 1; i <= reviews; ++i)
        text += QString("\"Review %1\" by a reader: a few words on the film.\r\n").arg(i);
    return text;
}

} // namespace

void TestDetailsBox::tallTextScrollsWithinTheScreen()
{
    const QString text = reviewsText(60);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(
        DetailsBox::needsScrolling(text, QApplication::font("QMessageBoxLabel"), screen.size()));
    ScrollingTextBox box("A Film", text);
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QCOMPARE(box.windowTitle(), QString("A Film"));
    QVERIFY(box.frameGeometry().height() <= screen.height());
    QVERIFY(screen.contains(box.okButton()->mapToGlobal(box.okButton()->rect().center())));
    QCOMPARE(box.textArea()->toPlainText(), QString(text).replace("\r\n", "\n"));
    QVERIFY(box.textArea()->verticalScrollBar()->maximum() > 0); // the rest is a scroll away
    // Tab reaches the text where it was scrolled to, and Enter there still closes the box.
    QCOMPARE(QApplication::focusWidget(), box.okButton());
    QTest::keyClick(box.okButton(), Qt::Key_End, Qt::ControlModifier);
    const int scrolled = box.textArea()->verticalScrollBar()->value();
    QTest::keyClick(box.okButton(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box.textArea());
    QTest::keyClick(box.textArea(), Qt::Key_Down);
    QCOMPARE(box.textArea()->verticalScrollBar()->value(), scrolled);
    QTest::keyClick(box.textArea(), Qt::Key_Return);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Rejected));
}

namespace {

// Where a key press leaves the tall box's scrollbar: one line or one page on from where it was,
// or at the other end.
enum class Scroll { Line, Page, OtherEnd };

} // namespace

void TestDetailsBox::keysScrollTheTallText_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("fromEnd"); // the scrollbar starts at the end, not the top
    QTest::addColumn<Scroll>("scroll");
    QTest::newRow("down") << int(Qt::Key_Down) << Qt::KeyboardModifiers() << false << Scroll::Line;
    QTest::newRow("pageDown") << int(Qt::Key_PageDown) << Qt::KeyboardModifiers() << false
                              << Scroll::Page;
    QTest::newRow("ctrlEnd") << int(Qt::Key_End) << Qt::KeyboardModifiers(Qt::ControlModifier)
                             << false << Scroll::OtherEnd;
    QTest::newRow("up") << int(Qt::Key_Up) << Qt::KeyboardModifiers() << true << Scroll::Line;
    QTest::newRow("pageUp") << int(Qt::Key_PageUp) << Qt::KeyboardModifiers() << true
                            << Scroll::Page;
    QTest::newRow("ctrlHome") << int(Qt::Key_Home) << Qt::KeyboardModifiers(Qt::ControlModifier)
                              << true << Scroll::OtherEnd;
}

// The keys scroll the text while the focus stays on OK, where it was when the box opened.
void TestDetailsBox::keysScrollTheTallText()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, fromEnd);
    QFETCH(Scroll, scroll);
    ScrollingTextBox box("A Film", reviewsText(200));
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QScrollBar* bar = box.textArea()->verticalScrollBar();
    QVERIFY(bar->maximum() > 2 * bar->pageStep()); // each key has room to move a whole page
    // The text is laid out as it is scrolled through, and the end moves as lines wrap anew: once at
    // the end, the bar's range stays.
    for (int end = -1; end != bar->maximum(); QCoreApplication::processEvents()) {
        end = bar->maximum();
        bar->setValue(end);
    }
    bar->setValue(fromEnd ? bar->maximum() : 0);
    QCOMPARE(QApplication::focusWidget(), box.okButton());
    QTest::keyClick(box.okButton(), Qt::Key(key), modifiers);
    const int moved = fromEnd ? bar->maximum() - bar->value() : bar->value();
    if (scroll == Scroll::Page) // a screen's height of text: a line either way with wrapped lines
        QVERIFY2(qAbs(moved - bar->pageStep()) <= 1, qPrintable(QString::number(moved)));
    else
        QCOMPARE(moved, scroll == Scroll::Line ? bar->singleStep() : bar->maximum());
    QCOMPARE(QApplication::focusWidget(), box.okButton());
    QVERIFY(box.isVisible());
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

namespace {

// Every text that a screen reader can be given from the interface and all below it.
QStringList accessibleTexts(QAccessibleInterface* node)
{
    QStringList texts;
    if (!node)
        return texts;
    for (QAccessible::Text t : {QAccessible::Name, QAccessible::Value, QAccessible::Description})
        texts << node->text(t);
    if (QAccessibleTextInterface* text = node->textInterface())
        texts << text->text(0, text->characterCount());
    for (int i = 0; i < node->childCount(); ++i)
        texts << accessibleTexts(node->child(i));
    return texts;
}

// What Ctrl+C gives for a line break, as other programs of the platform expect.
QString platformLineEnd()
{
    return QOperatingSystemVersion::currentType() == QOperatingSystemVersion::Windows ? "\r\n"
                                                                                      : "\n";
}

} // namespace

void TestDetailsBox::screenReaderHearsCaptionAndLines_data()
{
    QTest::addColumn<bool>("tall");
    QTest::newRow("messageBox") << false;
    QTest::newRow("scrolling") << true;
}

// The box is named by its caption, and its text reaches the reader with plain line ends: a CR
// would be read out as a character.
void TestDetailsBox::screenReaderHearsCaptionAndLines()
{
    QFETCH(bool, tall);
    const QString text = tall ? reviewsText(60) : "Starring:\r\nA\r\n\r\nGenre:\r\nDrama\r\n";
    std::unique_ptr<QWidget> box;
    if (tall)
        box = std::make_unique<ScrollingTextBox>("A Film", text);
    else
        box = std::make_unique<DetailsBox>("A Film", text);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(box.get());
    QVERIFY(window);
    QCOMPARE(window->text(QAccessible::Name), QString("A Film"));
    const QStringList heard = accessibleTexts(window);
    QVERIFY(heard.contains(QString(text).replace("\r\n", "\n")));
    for (const QString& said : heard)
        QVERIFY2(!said.contains(u'\r'), qPrintable(said.left(60).toUtf8().toPercentEncoding()));
    if (tall) { // Tab reaches the text, which is named by the title it is about
        QWidget* area = static_cast<ScrollingTextBox*>(box.get())->textArea();
        QCOMPARE(QAccessible::queryAccessibleInterface(area)->text(QAccessible::Name),
                 QString("A Film"));
    }
}

void TestDetailsBox::copiesItsText_data()
{
    QTest::addColumn<bool>("tall");
    QTest::addColumn<bool>("inText");    // the focus moved into the scrolling text first
    QTest::addColumn<int>("selected");   // characters selected from the start, 0 for none
    QTest::addColumn<QString>("copied"); // with LF for the platform's line end
    const QString tallText = QString(reviewsText(60)).replace("\r\n", "\n");
    QTest::newRow("messageBox") << false << false << 0 << "Genre:\nDrama\n";
    QTest::newRow("messageBoxSelection") << false << false << 8 << "Genre:\nD";
    QTest::newRow("scrolling") << true << false << 0 << tallText;
    QTest::newRow("scrollingSelection") << true << false << 11 << "Starring:\nA";
    QTest::newRow("scrollingInText") << true << true << 0 << tallText;
}

// Ctrl+C copies the selection, or the whole text when nothing is selected, with the platform's
// line ends in either box, wherever the focus is in it.
void TestDetailsBox::copiesItsText()
{
    QFETCH(bool, tall);
    QFETCH(bool, inText);
    QFETCH(int, selected);
    QFETCH(QString, copied);
    QApplication::clipboard()->clear();
    std::unique_ptr<QWidget> box;
    if (tall) {
        auto scrolling = std::make_unique<ScrollingTextBox>("A Film", reviewsText(60));
        QTextCursor cursor = scrolling->textArea()->textCursor();
        cursor.setPosition(selected, QTextCursor::KeepAnchor);
        scrolling->textArea()->setTextCursor(cursor);
        box = std::move(scrolling);
    } else {
        box = std::make_unique<DetailsBox>("A Film", "Genre:\r\nDrama\r\n");
        auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        QVERIFY(label);
        label->setSelection(0, selected);
    }
    box->show();
    QVERIFY(QTest::qWaitForWindowActive(box.get()));
    if (inText)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget() == box->findChild<QPlainTextEdit*>(), inText);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), copied.replace("\n", platformLineEnd()));
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
