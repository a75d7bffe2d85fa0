// Under a real X server, with the desktop's own ways of opening a browser and showing a box: the
// look-ups reach a stand-in browser, and Enter shows the details box.

#include "gui/app/form1.h"
#include "gui/catalogue/listview.h"
#include "gui/details/scrollingtextbox.h"

#include "support/catalogbuilder.h"

#include <QApplication>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <xcb/xcb.h>

namespace {

// Shows each modal box to look() as soon as it opens, and closes it if look() has not: a box other
// than the one a test expects then fails the test at once instead of waiting for a click.
void closeBoxesAsTheyOpen(QTimer& timer, const std::function<void(QWidget*)>& look)
{
    QObject::connect(&timer, &QTimer::timeout, [look] {
        QPointer<QWidget> box = QApplication::activeModalWidget();
        if (!box || !box->isVisible())
            return;
        look(box);
        if (auto* dialog = qobject_cast<QDialog*>(box.data()); dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });
    timer.start(50);
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void lookUpsReachTheBrowser();
    void enterShowsTheBox();
    void tallDetailsStayOnScreen();
    void windowDestroyedFromOutsideEndsEveryLoop(); // last: no event loop runs after it
    void cleanupTestCase();

private:
    QStringList recordedUrls() const;

    QTemporaryDir program;
    QString urlLog;
    std::unique_ptr<StartupController> start;
    Form1* form = nullptr;
};

void TestDesktop::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs a real X server: CTest runs this under scripts/with-xvfb");
    QVERIFY(writeTitle(QDir(program.filePath("db")), "a.adl", "Tom & Jerry", "Family"));
    QByteArray reviews = "Customer Reviews:\r\n";
    for (int i = 1; i <= 60; ++i)
        reviews += "\"Review " + QByteArray::number(i) + "\": a few words on the film.\r\n";
    QVERIFY(writeBytes(program.filePath("db/b.adl"),
                       QByteArray("h\r\n").repeated(29) + "Long Reviews\r\n" + reviews));

    // The browser Qt starts when the desktop has no opener of its own: a script that writes down
    // the address it is given.
    urlLog = program.filePath("urls.txt");
    const QString browser = program.filePath("browser.sh");
    QVERIFY(writeBytes(browser, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + urlLog.toUtf8() + "'\n"));
    QFile::setPermissions(browser, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("DEFAULT_BROWSER", browser.toUtf8());

    start = std::make_unique<StartupController>(
        StartFolders{program.path(), {}, program.filePath("user"), true});
    start->begin();
    form = new Form1(*start);
    QTRY_VERIFY_WITH_TIMEOUT(form->isVisible(), 10000);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->activateWindow(); // a bare X server has no window manager to do it
    QVERIFY(QTest::qWaitForWindowActive(form));
    form->list()->selectItem(1);
    form->list()->iconView()->setFocus();
}

void TestDesktop::lookUpsReachTheBrowser()
{
    for (Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8})
        QTest::keyClick(form, key);
    QTRY_COMPARE_WITH_TIMEOUT(recordedUrls().size(), 4, 10000);
    QStringList urls = recordedUrls();
    QCOMPARE(urls, (QStringList{
                       "http://www.amazon.com/exec/obidos/search-handle-url/"
                       "index%3Ddvd%26field-keywords%3DTom%20%26%20Jerry",
                       "http://www.imdb.com/find?q=Tom%20%26%20Jerry",
                       "http://uk.imdb.com/find?q=Tom%20%26%20Jerry",
                       "http://www.google.com/search?q=%22Tom%20%26%20Jerry%22",
                   }));
}

void TestDesktop::enterShowsTheBox()
{
    QByteArray opened;
    QString caption;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QTimer closer;
    closeBoxesAsTheyOpen(closer, [&](QWidget* modal) {
        opened = modal->metaObject()->className();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            caption = box->windowTitle();
            text = box->text();
            format = box->textFormat();
            box->accept();
        }
    });
    QTest::keyClick(form->list()->iconView(), Qt::Key_Return);
    QCOMPARE(opened, QByteArray("DetailsBox"));
    QCOMPARE(caption, QString("Tom & Jerry"));
    QVERIFY2(text.startsWith("Starring:\r\nActor of Tom & Jerry\r\n\r\nDirectors:\r\n"),
             qPrintable(text));
    QVERIFY(text.contains("Genre:\r\nFamily\r\n"));
    QCOMPARE(format, Qt::PlainText); // a review holding markup is shown as it is
}

// A title with sixty reviews: the box keeps within the 768-pixel screen, OK in reach, and the
// text scrolls inside it.
void TestDesktop::tallDetailsStayOnScreen()
{
    form->list()->selectItem(2);
    QByteArray opened;
    QRect box;
    QRect button;
    int scrollRange = 0;
    QTimer closer;
    closeBoxesAsTheyOpen(closer, [&](QWidget* modal) {
        opened = modal->metaObject()->className();
        if (auto* tall = qobject_cast<ScrollingTextBox*>(modal)) {
            box = tall->frameGeometry();
            button = QRect(tall->okButton()->mapToGlobal(QPoint(0, 0)), tall->okButton()->size());
            scrollRange = tall->textArea()->verticalScrollBar()->maximum();
            QTest::keyClick(tall, Qt::Key_Return);
        }
    });
    QTest::keyClick(form->list()->iconView(), Qt::Key_Return);
    QCOMPARE(opened, QByteArray("ScrollingTextBox"));
    const QRect screen = form->screen()->availableGeometry();
    QVERIFY2(screen.contains(box), qPrintable(QString("box %1,%2 %3x%4")
                                                  .arg(box.x())
                                                  .arg(box.y())
                                                  .arg(box.width())
                                                  .arg(box.height())));
    QVERIFY(screen.contains(button));
    QVERIFY(scrollRange > 0);
}

// Another program destroys the main window while a box is open: the box's loop and the program's
// end, rather than waiting for ever on windows no one can see.
void TestDesktop::windowDestroyedFromOutsideEndsEveryLoop()
{
    const auto window = xcb_window_t(form->internalWinId());
    bool destroyed = false;
    QTimer destroyer;
    connect(&destroyer, &QTimer::timeout, [&] {
        if (destroyed || !QApplication::activeModalWidget())
            return;
        destroyed = true;
        xcb_connection_t* other = xcb_connect(nullptr, nullptr);
        // Checked: the server has done it before the connection closes.
        free(xcb_request_check(other, xcb_destroy_window_checked(other, window)));
        xcb_disconnect(other);
    });
    destroyer.start(50);
    bool stillOpen = false;
    QTimer::singleShot(5000, [&] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            stillOpen = true;
            box->done(QDialog::Rejected);
        }
    });
    QTest::keyClick(form->list()->iconView(), Qt::Key_Return);
    QVERIFY(destroyed);
    QVERIFY(!stillOpen);
}

void TestDesktop::cleanupTestCase()
{
    delete form;
}

QStringList TestDesktop::recordedUrls() const
{
    QFile log(urlLog);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
