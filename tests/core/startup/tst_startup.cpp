#include "core/startup/startup.h"

#include "support/archivebuilder.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT

private slots:
    void paths();
    void presenceTest_data();
    void presenceTest();
    void unpacksIntoDatabaseFolder();
    void countsEventsOfBothPasses();
    void countingRules();
    void entryLimit();
    void refusesHostileArchiveWhole();
    void brokenArchivesLeaveNothing_data();
    void brokenArchivesLeaveNothing();
    void databaseFolderCannotBeCreated();
    void keepsWhatAnEmptyLookingFolderHeld();
    void interruptedUnpackIsRedone();
    void setAsideFolderIsRestored();
};

void TestStartUp::paths()
{
    StartUp start;
    start.prepare(portableLocation(QStringLiteral("/opt/movies")));
    QCOMPARE(start.lineBreak(), QString("\r\n"));
    QCOMPARE(start.databaseFolder(), QDir::toNativeSeparators("/opt/movies/db/"));
    QCOMPARE(start.archivePath(), QDir::toNativeSeparators("/opt/movies/data.rar"));

    const CatalogueLocation atRoot = portableLocation(QStringLiteral("/"));
    QCOMPARE(atRoot.dbdir, QDir::toNativeSeparators("/db/"));
    QCOMPARE(atRoot.dbfile, QDir::toNativeSeparators("/data.rar"));
}

void TestStartUp::presenceTest_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("mustUnpack");
    QTest::newRow("missing") << QStringList{} << QStringList{} << true;
    QTest::newRow("empty") << QStringList{"db"} << QStringList{} << true;
    QTest::newRow("onlySubfolders")
        << QStringList{"db", "db/sub"} << QStringList{"db/sub/x.adl"} << true;
    QTest::newRow("onlyHiddenFiles") << QStringList{"db"} << QStringList{"db/.hidden"} << true;
    QTest::newRow("oneFileOfAnyName") << QStringList{"db"} << QStringList{"db/notes.txt"} << false;
    QTest::newRow("titleFile") << QStringList{"db"} << QStringList{"db/a.adl"} << false;
}

void TestStartUp::presenceTest()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(bool, mustUnpack);
    QTemporaryDir program;
    for (const QString& folder : folders)
        QVERIFY(QDir(program.path()).mkpath(folder));
    for (const QString& file : files)
        touch(program.filePath(file));
    StartUp start;
    QCOMPARE(start.prepare(portableLocation(program.path())), mustUnpack);
    QCOMPARE(start.isReady(), !mustUnpack);
}

void TestStartUp::unpacksIntoDatabaseFolder()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"),
                         {fileEntry("Alpha.adl", "a"), fileEntry("Alpha.adl.cover.jpg", "c"),
                          fileEntry("Beta.adl", "b")}));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY2(start.dbextract(), qPrintable(start.failure()));
    QVERIFY(start.isReady());
    QCOMPARE(entriesOf(program.filePath("db")),
             (QStringList{"Alpha.adl", "Alpha.adl.cover.jpg", "Beta.adl"}));
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));

    StartUp again;
    QVERIFY(!again.prepare(portableLocation(program.path())));
    QVERIFY(again.isReady());
}

void TestStartUp::countsEventsOfBothPasses()
{
    QTemporaryDir program;
    QVERIFY(
        writeArchive(program.filePath("data.rar"),
                     {fileEntry("a.adl", "a"), fileEntry("b.adl", "b"), fileEntry("c.adl", "c")}));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QStringList seen; // counted, listed and ready after each event
    connect(&start, &StartUp::entryCounted, this, [&] {
        seen << QString("%1/%2/%3")
                    .arg(start.entriesCounted())
                    .arg(start.entriesListed())
                    .arg(start.isReady() ? "done" : "-");
    });
    QVERIFY(start.dbextract());
    QCOMPARE(seen, (QStringList{"1/0/-", "2/0/-", "3/0/-", "1/3/-", "2/3/-", "3/3/done"}));
}

void TestStartUp::countingRules()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(start.dbextract()); // one entry: its single extraction event makes the folder ready
    QVERIFY(start.isReady());

    // More events than listed: the flag stays set, later events only count.
    start.UnRar1_FileDone({});
    start.UnRar1_FileDone({});
    QVERIFY(start.isReady());
    QCOMPARE(start.entriesCounted(), qint16(3));
}

void TestStartUp::entryLimit()
{
    StartUp start;
    for (int i = 0; i < 32767; ++i)
        start.UnRar1_FileDone({});
    QCOMPARE(start.entriesCounted(), qint16(32767));
    QVERIFY(start.failure().isEmpty());
    start.UnRar1_FileDone({});
    QCOMPARE(start.entriesCounted(), qint16(32767)); // never wraps around
    QVERIFY2(start.failure().contains("more than 32767 entries"), qPrintable(start.failure()));
}

void TestStartUp::refusesHostileArchiveWhole()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(
        program.filePath("data.rar"),
        {fileEntry("a.adl", "a"), fileEntry("../evil.adl", "x"), fileEntry("b.adl", "b")}));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(!start.dbextract());
    QVERIFY2(start.failure().contains("\"../evil.adl\" climbs out"), qPrintable(start.failure()));
    QVERIFY2(start.failure().contains(QDir::toNativeSeparators(program.filePath("data.rar"))),
             qPrintable(start.failure()));
    QVERIFY(!start.isReady());
    QCOMPARE(entriesOf(program.path()), QStringList{"data.rar"});
}

void TestStartUp::brokenArchivesLeaveNothing_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray() << "the file does not exist";
    QTest::newRow("notRar") << QByteArray("PK\x03\x04 not a rar") << "not a RAR archive";
    QBuffer empty;
    empty.open(QIODevice::WriteOnly);
    RarWriter(&empty).finish();
    QTest::newRow("empty") << empty.data() << "holds no files";
    QBuffer truncated;
    truncated.open(QIODevice::WriteOnly);
    RarWriter writer(&truncated);
    writer.addFile("a.adl", QByteArray(30000, 'a'), 0);
    writer.finish();
    QTest::newRow("truncated") << truncated.data().left(20000) << "truncated";
}

void TestStartUp::brokenArchivesLeaveNothing()
{
    QFETCH(QByteArray, archive);
    QFETCH(QString, reason);
    QTemporaryDir program;
    if (!archive.isEmpty()) {
        QFile file(program.filePath("data.rar"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(archive);
    }
    const QStringList before = entriesOf(program.path());
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(!start.dbextract());
    QVERIFY2(start.failure().contains(reason), qPrintable(start.failure()));
    QVERIFY(!start.isReady());
    QCOMPARE(entriesOf(program.path()), before);
}

void TestStartUp::databaseFolderCannotBeCreated()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    touch(program.filePath("db")); // a file where the folder should go
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(!start.dbextract());
    QVERIFY2(start.failure().contains("cannot be created"), qPrintable(start.failure()));
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
}

void TestStartUp::keepsWhatAnEmptyLookingFolderHeld()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    QVERIFY(QDir(program.path()).mkpath("db/sub"));
    touch(program.filePath("db/.hidden"));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY2(start.dbextract(), qPrintable(start.failure()));
    QCOMPARE(entriesOf(program.filePath("db")), (QStringList{".hidden", "a.adl", "sub"}));
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
}

void TestStartUp::interruptedUnpackIsRedone()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"),
                         {fileEntry("a.adl", "a"), fileEntry("b.adl", "b")}));
    // What a start stopped halfway through unpacking leaves behind.
    QVERIFY(QDir(program.path()).mkpath("db.unpacking"));
    touch(program.filePath("db.unpacking/a.adl"));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(!QFile::exists(program.filePath("db.unpacking")));
    QVERIFY(start.dbextract());
    QCOMPARE(entriesOf(program.filePath("db")), (QStringList{"a.adl", "b.adl"}));
}

void TestStartUp::setAsideFolderIsRestored()
{
    QTemporaryDir program;
    QVERIFY(QDir(program.path()).mkpath("db.previous/sub"));
    touch(program.filePath("db.previous/.hidden"));
    StartUp start;
    start.prepare(portableLocation(program.path()));
    QCOMPARE(entriesOf(program.filePath("db")), (QStringList{".hidden", "sub"}));
    QVERIFY(!QFile::exists(program.filePath("db.previous")));
}

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_startup.moc"
