#include "core/startup/stagingswap.h"

#include "support/catalogbuilder.h"
#include "support/systemcases.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// The staging folder and the set-aside folder beside db/: only folders a start marked as its own
// are cleared or moved, and the swap leaves db/ whole either way.
class TestStagingSwap : public QObject {
    Q_OBJECT

private slots:
    void onlyMarkedFoldersAreOurs_data();
    void onlyMarkedFoldersAreOurs();
    void installKeepsWhatDbHeld();
};

void TestStagingSwap::onlyMarkedFoldersAreOurs_data()
{
    QTest::addColumn<QString>("marker"); // what stands under the marker's name
    QTest::newRow("file") << "file";
    QTest::newRow("none") << "none";
    QTest::newRow("folder") << "folder"; // a user's folder named like the marker is no marker
    QTest::newRow("link") << "link";     // nor is a link to a file
}

void TestStagingSwap::onlyMarkedFoldersAreOurs()
{
    QFETCH(QString, marker);
    if (marker == "link")
        SKIP_UNLESS_SYSTEM_CAN(SystemCases::noLinks());
    QTemporaryDir program;
    QTemporaryDir elsewhere;
    const StagingSwap swap(program.filePath("db"));
    const QDir staging(swap.stagingFolder());
    QVERIFY(staging.mkpath("keep"));
    QVERIFY(writeBytes(staging.filePath("keep/notes.txt"), "the user's"));
    const QString mark = staging.filePath(StagingSwap::markerName());
    if (marker == "file")
        QVERIFY(writeBytes(mark, "made by a start"));
    else if (marker == "folder")
        QVERIFY(QDir().mkpath(mark));
    else if (marker == "link")
        QVERIFY(writeBytes(elsewhere.filePath("target"), "x") &&
                QFile::link(elsewhere.filePath("target"), mark));
    const bool ours = marker == "file";
    QCOMPARE(swap.hasLeftovers(), ours);
    QCOMPARE(swap.unmarkedRefusal().contains("Movra did not make it"), !ours);
    StagingSwap(program.filePath("db")).recover();
    QCOMPARE(QFile::exists(staging.filePath("keep/notes.txt")), !ours);
}

// A db/ that holds only a folder and a hidden file keeps them beside the new catalogue.
void TestStagingSwap::installKeepsWhatDbHeld()
{
    QTemporaryDir program;
    StagingSwap swap(program.filePath("db"));
    QVERIFY(QDir(program.path()).mkpath("db/sub"));
    QVERIFY(writeBytes(program.filePath("db/.hidden"), "h"));
    QVERIFY(swap.makeStagingFolder());
    QVERIFY(!swap.makeStagingFolder()); // made once
    QVERIFY(writeBytes(QDir(swap.stagingFolder()).filePath("a.adl"), "a"));
    QVERIFY(swap.install());
    QCOMPARE(QDir(program.filePath("db"))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             (QStringList{".hidden", "a.adl", "sub"}));
    QCOMPARE(QDir(program.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"db"});
}

QTEST_GUILESS_MAIN(TestStagingSwap)
#include "tst_stagingswap.moc"
