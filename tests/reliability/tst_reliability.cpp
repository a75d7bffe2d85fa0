// Whatever a real collection or a hostile folder throws at a start: several starts at once, pipes
// and devices where files should be, covers that promise enormous pictures. Nothing may be lost,
// hang, or grow without bound.

#include "core/catalogue/coverpicture.h"
#include "core/catalogue/titlefilereader.h"
#include "gui/app/form1.h"
#include "gui/catalogue/listview.h"

#include "support/archivebuilder.h"
#include "support/catalogbuilder.h"
#include "support/formharness.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QListView>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

#include "support/systemcases.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The peak resident memory of this process so far, in megabytes; 0 where it cannot be read.
qint64 peakMemoryMb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
    }
    return 0;
}

bool makeFifo(const QString& path)
{
#ifdef Q_OS_UNIX
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace

class TestReliability : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void racingFirstStarts_data();
    void racingFirstStarts();
    void startKilledWhileUnpacking();
    void everyLockEndsTheWait_data();
    void everyLockEndsTheWait();
    void pipesAndDevicesNeverStall();
    void readersRefuseSpecialFiles();
    void hugeDeclaredCoverStaysSmall();
    void endsWhileAThreadEnds();

private:
    QString writeLargeArchive(const QString& path);

    QStringList archiveNames;
};

void TestReliability::initTestCase()
{
    for (int i = 0; i < 1500; ++i)
        archiveNames << QString("t%1.adl").arg(i, 4, 10, QChar('0'));
}

// Enough entries that unpacking takes a while, so that starts overlap.
QString TestReliability::writeLargeArchive(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    RarWriter writer(&file);
    for (const QString& name : std::as_const(archiveNames))
        writer.addFile(name, titleFileBytes(name) + QByteArray(4000, 'x'), 1700000000);
    writer.finish();
    return path;
}

void TestReliability::racingFirstStarts_data()
{
    QTest::addColumn<QList<int>>("delays"); // milliseconds after the first, one a start
    QTest::newRow("together") << QList<int>{0, 0};
    QTest::newRow("threeTogether") << QList<int>{0, 0, 0};
    QTest::newRow("secondSoonAfter") << QList<int>{0, 5};
    QTest::newRow("secondWhileUnpacking") << QList<int>{0, 40};
    QTest::newRow("secondLate") << QList<int>{0, 150};
}

// Several starts on one first start: every one of them ends ready, and db/ holds exactly what
// the archive holds, with nothing left beside it.
void TestReliability::racingFirstStarts()
{
    QFETCH(QList<int>, delays);
    QTemporaryDir program;
    QVERIFY(!writeLargeArchive(program.filePath("data.rar")).isEmpty());
    std::vector<std::unique_ptr<QProcess>> starts;
    QElapsedTimer clock;
    clock.start();
    for (int delay : delays) {
        while (clock.elapsed() < delay)
            QThread::usleep(200);
        starts.push_back(std::make_unique<QProcess>());
        starts.back()->setProcessChannelMode(QProcess::ForwardedChannels);
        starts.back()->start(QCoreApplication::applicationDirPath() + "/startprobe",
                             {program.path()});
    }
    for (auto& start : starts) {
        QVERIFY(start->waitForFinished(60000));
        QCOMPARE(start->exitStatus(), QProcess::NormalExit);
        QCOMPARE(start->exitCode(), 0);
    }
    QCOMPARE(entriesOf(program.filePath("db")), archiveNames);
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
}

// A start killed in the middle of unpacking leaves its lock and staging folder; the next start
// takes both over and unpacks the whole catalogue.
void TestReliability::startKilledWhileUnpacking()
{
    QTemporaryDir program;
    QVERIFY(!writeLargeArchive(program.filePath("data.rar")).isEmpty());
    QProcess doomed;
    doomed.start(QCoreApplication::applicationDirPath() + "/startprobe", {program.path()});
    QVERIFY(doomed.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!entriesOf(program.filePath("db.unpacking")).isEmpty() ||
                                 doomed.state() == QProcess::NotRunning,
                             20000);
    doomed.kill();
    doomed.waitForFinished();
    QProcess next;
    next.setProcessChannelMode(QProcess::ForwardedChannels);
    next.start(QCoreApplication::applicationDirPath() + "/startprobe", {program.path()});
    QVERIFY(next.waitForFinished(60000));
    QCOMPARE(next.exitCode(), 0);
    QCOMPARE(entriesOf(program.filePath("db")), archiveNames);
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
}

// Whatever stands at db.lock, a start ends with the catalogue or one message naming the file, in
// at most 30 seconds or as soon as the start that holds it is done; the user's files stay as
// they are.
void TestReliability::everyLockEndsTheWait_data()
{
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");     // on standard error
    QTest::newRow("empty") << 0 << QString(); // what a power cut right after creating it leaves
    QTest::newRow("folder") << 1 << "db.lock is a folder; move it away";
    QTest::newRow("danglingLink") << 1 << "db.lock is a link";
    QTest::newRow("linkToOtherFile") << 1 << "db.lock is a link";
    QTest::newRow("unreadable") << 1 << "db.lock cannot be read (permission denied)";
    QTest::newRow("otherHost")
        << 1
        << "belongs to process 4242 on the computer far-away-host, which has held it for 30 "
           "seconds; when no Movra runs on far-away-host, delete that file";
    QTest::newRow("liveStartHere") << 0 << "Waiting for another start of Movra to finish unpacking";
}

void TestReliability::everyLockEndsTheWait()
{
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const QString kind = QTest::currentDataTag();
    if (kind == "unreadable")
        SKIP_UNLESS_SYSTEM_CAN(SystemCases::noUnreadableFiles());
    if (kind.contains("link", Qt::CaseInsensitive))
        SKIP_UNLESS_SYSTEM_CAN(SystemCases::noLinks());
    QTemporaryDir program;
    QTemporaryDir elsewhere;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", titleFileBytes("A"))}));
    const QString lock = program.filePath("db.lock");
    QVERIFY(writeBytes(elsewhere.filePath("precious.txt"), "the user's"));
    QLockFile held(lock);
    if (kind == "empty" || kind == "unreadable" || kind == "otherHost")
        QVERIFY(writeBytes(lock, kind == "otherHost"    ? "4242\nmovra\nfar-away-host\n"
                                 : kind == "unreadable" ? "4242\nmovra\n"
                                                        : ""));
    if (kind == "unreadable")
        QVERIFY(QFile::setPermissions(lock, QFileDevice::Permissions()));
    if (kind == "folder")
        QVERIFY(QDir(program.path()).mkpath("db.lock/sub"));
    if (kind == "danglingLink")
        QVERIFY(QFile::link(elsewhere.filePath("nothing"), lock));
    if (kind == "linkToOtherFile")
        QVERIFY(QFile::link(elsewhere.filePath("precious.txt"), lock));
    if (kind == "liveStartHere")
        QVERIFY(held.tryLock(0));

    QProcess start;
    start.start(QCoreApplication::applicationDirPath() + "/startprobe", {program.path()});
    QVERIFY(start.waitForStarted());
    QByteArray errors;
    if (kind == "liveStartHere") {
        QTRY_VERIFY_WITH_TIMEOUT(
            (errors += start.readAllStandardError()).contains(message.toUtf8()), 20000);
        QCOMPARE(start.state(), QProcess::Running); // it waits
        held.unlock();
    }
    QVERIFY(start.waitForFinished(45000));
    errors += start.readAllStandardError();
    QCOMPARE(start.exitCode(), exitCode);
    QVERIFY2(errors.contains(message.toUtf8()), errors.constData());
    if (exitCode == 0) {
        QCOMPARE(entriesOf(program.filePath("db")), QStringList{"a.adl"});
        QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
        return;
    }
    QVERIFY2(errors.contains(QDir::toNativeSeparators(lock).toLocal8Bit()), errors.constData());
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db.lock"}));
    QCOMPARE(entriesOf(elsewhere.path()), QStringList{"precious.txt"});
    QFile precious(elsewhere.filePath("precious.txt"));
    QVERIFY(precious.open(QIODevice::ReadOnly));
    QCOMPARE(precious.readAll(), QByteArray("the user's"));
}

// A pipe as a title file and as a cover, and a title file that is a link to a device: the window
// shows with the readable titles, the others are reported, and the window closes.
void TestReliability::pipesAndDevicesNeverStall()
{
    SKIP_UNLESS_SYSTEM_CAN(SystemCases::noSpecialFiles());
    QTemporaryDir program;
    const QDir db(program.filePath("db"));
    QVERIFY(writeTitle(db, "a.adl", "Readable"));
    QVERIFY(makeFifo(db.filePath("b.adl")));
    QVERIFY(makeFifo(db.filePath("a.adl.cover.png")));
    QVERIFY(QFile::link("/dev/zero", db.filePath("z.adl")));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QCOMPARE(form->list()->itemCount(), 1);
    QCOMPARE(form->list()->itemText(1), QString("Readable"));
    QTRY_COMPARE(record.boxes.size(), 2);
    for (const char* line : {"a.adl.cover.png: is not a regular file",
                             "b.adl: is not a regular file", "z.adl: is not a regular file"})
        QVERIFY2(record.boxes[1].contains(line), qPrintable(record.boxes[1]));
    form.reset(); // closing waits for nothing that can block
}

// The readers themselves, handed what the listing would skip: they answer at once.
void TestReliability::readersRefuseSpecialFiles()
{
    SKIP_UNLESS_SYSTEM_CAN(SystemCases::noSpecialFiles());
    QTemporaryDir dir;
    QVERIFY(makeFifo(dir.filePath("pipe")));
    TitleFileReader reader;
    QCOMPARE(reader.read(dir.filePath("pipe")).error, QString("is not a regular file"));
    QCOMPARE(reader.read("/dev/zero").error, QString("is not a regular file"));
    QVERIFY(CoverPicture::readScaled(dir.filePath("pipe"), QSize(100, 100)).isNull());
    QCOMPARE(CoverPicture::readHeader(dir.filePath("pipe")).problem,
             QString("is not a regular file"));
}

// A 60-byte first cover whose header declares 60000 x 60000 pixels, and a real but large one:
// the icons keep a sane size, the huge one is reported, and memory stays bounded.
void TestReliability::hugeDeclaredCoverStaysSmall()
{
    QTemporaryDir program;
    const QDir db(program.filePath("db"));
    QVERIFY(writeTitle(db, "a.adl", "Declares a huge cover"));
    QVERIFY(writeTitle(db, "b.adl", "Has a large cover"));
    QVERIFY(writeBytes(db.filePath("a.adl.cover.png"), pngDeclaring(60000, 60000)));
    QVERIFY(writeCover(db, "b.adl.cover.png", Qt::blue, {4000, 5600}));
    FormRecord record;
    auto form = makeForm(program.path(), &record);
    QVERIFY(waitUntilShown(*form));
    QTRY_COMPARE(record.boxes.size(), 2);
    QVERIFY2(record.boxes[1].contains("a.adl.cover.png: is a picture of 60000 x 60000 pixels"),
             qPrintable(record.boxes[1]));
    QCOMPARE(form->coverImages().imageSize(), QSize(365, 512));
    form->list()->iconView()->viewport()->grab(); // paints both covers
    QTRY_VERIFY(!form->coverImages().image(2).isNull());
    const qint64 peak = peakMemoryMb();
    QVERIFY2(peak < 600, qPrintable(QString("peak memory %1 MB").arg(peak)));
}

// The process ends while another of its threads is still on its way out, holding what the
// threads library holds then: it ends all the same, with its status and its output.
void TestReliability::endsWhileAThreadEnds()
{
    QProcess probe;
    probe.start(QCoreApplication::applicationDirPath() + "/endprobe", QStringList());
    QVERIFY(probe.waitForStarted());
    const bool ended = probe.waitForFinished(60000);
    if (!ended)
        probe.kill();
    QVERIFY2(ended, "endprobe hung at its end");
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 3);
    QCOMPARE(probe.readAllStandardOutput(), QByteArray("ending"));
}

QTEST_MAIN(TestReliability)
#include "tst_reliability.moc"
