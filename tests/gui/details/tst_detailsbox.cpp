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
    void tallTextScrollsWithinTheScreen();
    void keysScrollTheTallText_data();
    void keysScrollTheTallText();
    void shortTextInAMessageBox();
    void screenReaderHearsCaptionAndLines_data();
    void screenReaderHearsCaptionAndLines();
    void copiesItsText_data();
    void copiesItsText();
    void hugeTextIsCut();
};

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
