#include "core/startup/startupcontroller.h"

#include "support/archivebuilder.h"
#include "support/busyglobalpool.h"
#include "support/catalogbuilder.h"

#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The folders of a program under test, whose user folder lies inside it.
StartFolders foldersOf(const QString& program)
{
    return {program, program + "/share/movra", program + "/user", true};
}

} // namespace

// The steps of a start, without windows: each begun by the end of the one before, failures
// reported once, and a wait for another start told while it lasts.
class TestStartupController : public QObject {
    Q_OBJECT

private slots:
    void stepsOfAStart_data();
    void stepsOfAStart();
    void failureIsToldOnce();
    void waitsForAnotherStart();
};

void TestStartupController::stepsOfAStart_data()
{
    QTest::addColumn<bool>("firstStart"); // the catalogue is unpacked from data.rar first
    QTest::newRow("catalogueThere") << false;
    QTest::newRow("firstStart") << true;
}

void TestStartupController::stepsOfAStart()
{
    QFETCH(bool, firstStart);
    using State = StartupController::State;
    QTemporaryDir program;
    const QByteArray broken = QByteArray("too short\r\n");
    if (firstStart) {
        QVERIFY(writeArchive(program.filePath("data.rar"),
                             {fileEntry("a.adl", titleFileBytes("A")), fileEntry("b.adl", broken),
                              fileEntry("a.adl.cover.png", "not a picture")}));
    } else {
        const QDir db(program.filePath("db"));
        QVERIFY(writeTitle(db, "a.adl", "A"));
        QVERIFY(writeBytes(db.filePath("b.adl"), broken));
        QVERIFY(writeBytes(db.filePath("a.adl.cover.png"), "not a picture"));
    }
    // Every step goes on while the application's shared pool is busy.
    const BusyGlobalPool busy;
    StartupController start(foldersOf(program.path()));
    QSignalSpy read(&start, &StartupController::catalogueRead);
    QSignalSpy problems(&start, &StartupController::problemsFound);
    QSignalSpy failed(&start, &StartupController::failed);
    QCOMPARE(start.state(), State::Idle);
    QVERIFY(!start.isFolderReady());
    start.begin();
    QCOMPARE(start.state(), State::Locate);
    QVERIFY(read.wait(10000));
    QCOMPARE(start.state(), State::Read);
    QVERIFY(start.isFolderReady() && start.hasContents());
    const CatalogueContents contents = start.takeContents();
    QCOMPARE(contents.rows.size(), size_t(1));
    QCOMPARE(contents.rows[0].text(), QString("A"));
    QCOMPARE(start.state(), State::Shown);
    QVERIFY(problems.isEmpty()); // nothing is told before the rows are on screen

    start.catalogueShown(); // the title file that cannot be read, at once
    QCOMPARE(problems.count(), 1);
    QVERIFY2(problems[0][0].toString().contains("b.adl: "), qPrintable(problems[0][0].toString()));
    start.checkCovers(); // then the cover, apart
    QCOMPARE(start.state(), State::Check);
    QTRY_COMPARE(start.state(), State::Done);
    QCOMPARE(problems.count(), 2);
    QVERIFY2(problems[1][0].toString().contains("a.adl.cover.png: "),
             qPrintable(problems[1][0].toString()));
    QVERIFY(!problems[1][0].toString().contains("b.adl"));
    QVERIFY(failed.isEmpty());
}

void TestStartupController::failureIsToldOnce()
{
    QTemporaryDir program; // neither db/ nor data.rar
    StartupController start(foldersOf(program.path()));
    QSignalSpy failed(&start, &StartupController::failed);
    QSignalSpy read(&start, &StartupController::catalogueRead);
    start.begin();
    start.begin(); // begun once
    QVERIFY(failed.wait(10000));
    QVERIFY(!read.wait(200)); // nor does the reading that follows say it read a catalogue
    QCOMPARE(start.state(), StartupController::State::Failed);
    QVERIFY(!start.isFolderReady());
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed[0][0].toString(), start.failure());
    QVERIFY2(start.failure().contains("data.rar"), qPrintable(start.failure()));
}

// Another start holds the lock: this one says so once and waits, then reads what the other
// unpacked.
void TestStartupController::waitsForAnotherStart()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", titleFileBytes("A"))}));
    auto other = std::make_unique<QLockFile>(program.filePath("db.lock"));
    QVERIFY(other->lock());
    StartupController start(foldersOf(program.path()));
    QSignalSpy waiting(&start, &StartupController::waitingForOtherStart);
    QSignalSpy read(&start, &StartupController::catalogueRead);
    start.begin();
    QVERIFY(waiting.wait(10000));
    QCOMPARE(start.state(), StartupController::State::Locate);
    QVERIFY(writeTitle(QDir(program.filePath("db")), "other.adl", "Unpacked by the other"));
    other.reset();
    QVERIFY(read.wait(10000));
    QCOMPARE(waiting.count(), 1);
    QCOMPARE(start.takeContents().rows[0].text(), QString("Unpacked by the other"));
}

QTEST_GUILESS_MAIN(TestStartupController)
#include "tst_startupcontroller.moc"
