#include "core/catalogue/catalogueloader.h"
#include "core/catalogue/coverpicture.h"
#include "core/catalogue/folderlisting.h"
#include "core/catalogue/titlefilereader.h"

#include "support/catalogbuilder.h"
#include "support/rowbuilder.h"
#include "support/systemcases.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/resource.h>
#endif

// Reading a database folder into rows: the listing, the pairing of covers and the reader of one
// title file.
class TestCatalogueLoader : public QObject {
    Q_OBJECT

private slots:
    void readerReadsFileIntoRow();
    void readerReportsUnreadableFile();
    void folderListing();
    void coverPairing_data();
    void coverPairing();
    void loadsInNameOrderWithOwnCovers();
    void brokenFilesAreReportedAndSkipped();
    void manyFilesKeepTheirOrderAndErrors();
    void fewOpenFilesAllowedStillReadsAll_data();
    void fewOpenFilesAllowedStillReadsAll();
    void coversAreCheckedAsShown_data();
    void coversAreCheckedAsShown();
    void titlesBeyondTheRowLimitAreReported();
};

void TestCatalogueLoader::readerReadsFileIntoRow()
{
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath("a.adl"), titleFileBytes("On Disk", "Drama")));
    QVERIFY(writeBytes(dir.filePath("b.adl"), titleFileBytes("Second", "Comedy")));
    TitleFileReader reader; // one reader for both files, as each loading thread does
    const TitleFileReader::Outcome first = reader.read(dir.filePath("a.adl"));
    const TitleFileReader::Outcome second = reader.read(dir.filePath("b.adl"));
    QVERIFY2(first.ok(), qPrintable(first.error));
    QCOMPARE(first.row.text(), QString("On Disk"));
    QCOMPARE(first.row.cell(1), QString("Actor of On Disk"));
    QCOMPARE(first.row.cell(5), QString("Drama"));
    QCOMPARE(first.row.cell(9), QString("\"Review of On Disk\"\r\n"));
    QCOMPARE(second.row.text(), QString("Second"));
    QCOMPARE(second.row.cell(5), QString("Comedy"));

    // Files of exactly the first buffer's 64 KB, one byte more, and far more: every byte is read.
    QByteArray start = titleFileBytes("Long");
    start.truncate(start.indexOf("Customer Reviews:\r\n") + 19);
    const QByteArray review = "\"" + QByteArray(36, 'r') + "\"\r\n"; // 40 bytes
    for (const auto& [extra, reviews] : {std::pair{0, 1000}, {1, 1000}, {0, 5000}}) {
        // A line without a quote after the reviews' marker is not shown: it pads the file.
        const qsizetype pad = 65536 - start.size() - 1000 * 40 - 2 + extra;
        const QByteArray bytes = start + QByteArray(pad, 'x') + "\r\n" + review.repeated(reviews);
        QVERIFY(writeBytes(dir.filePath("long.adl"), bytes));
        const TitleFileReader::Outcome long_ = reader.read(dir.filePath("long.adl"));
        QVERIFY2(long_.ok(), qPrintable(long_.error));
        QCOMPARE(long_.row.cellUtf8(9).size(), reviews * 40);
        if (reviews == 1000)
            QCOMPARE(bytes.size(), 65536 + extra);
    }
}

void TestCatalogueLoader::readerReportsUnreadableFile()
{
    TitleFileReader reader;
    const TitleFileReader::Outcome missing = reader.read("/nonexistent/folder/x.adl");
    QVERIFY(!missing.ok());
    QVERIFY2(missing.error.startsWith("cannot be opened: "), qPrintable(missing.error));
    QCOMPARE(missing.errorLine, 0);

    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath("short.adl"), "one line\r\n"));
    const TitleFileReader::Outcome broken = reader.read(dir.filePath("short.adl"));
    QVERIFY(!broken.ok());
    QVERIFY2(broken.error.contains("ends after line 1"), qPrintable(broken.error));
    QCOMPARE(broken.errorLine, 2);
}

void TestCatalogueLoader::folderListing()
{
    QTemporaryDir dir;
    const QDir db(dir.path());
    for (const char* name : {"Gamma.adl", "alpha.ADL", "Beta.adl", ".hidden.adl", "notes.txt",
                             "Beta.adl.cover.JPG", "alpha.adl.Cover.png", "x.adlx"})
        QVERIFY(writeBytes(db.filePath(name), "x"));
    QVERIFY(db.mkpath("folder.adl"));
    QVERIFY(db.mkpath("extras")); // no catalogue name: passed over
    // A name beyond ASCII is read as text; one that is not text in this system's encoding
    // cannot be opened by its text, and is reported.
    QVERIFY(writeBytes(db.filePath(QString::fromUtf8("\xc3\x89t\xc3\xa9.adl")), "x"));
#ifdef Q_OS_UNIX
    const QByteArray invalid = QFile::encodeName(dir.path()) + "/bad\xff.adl";
    QFile raw;
    QVERIFY(raw.open(::open(invalid.constData(), O_CREAT | O_WRONLY, 0644), QIODevice::WriteOnly,
                     QFileDevice::AutoCloseHandle));
    raw.close();
#endif
    const FolderListing::CatalogueFiles files = FolderListing::catalogueFiles(dir.path());
    QCOMPARE(files.titles, (QStringList{"alpha.ADL", "Beta.adl", "Gamma.adl",
                                        QString::fromUtf8("\xc3\x89t\xc3\xa9.adl")}));
    QCOMPARE(files.covers, (QStringList{"alpha.adl.Cover.png", "Beta.adl.cover.JPG"}));
    QStringList reasons;
    for (const FolderListing::Skipped& skipped : files.skipped)
        reasons << skipped.reason;
#ifdef Q_OS_UNIX
    QCOMPARE(reasons.size(), 3); // and the hidden file and the folder
    QVERIFY2(reasons.filter("not valid text").size() == 1, qPrintable(reasons.join('\n')));
#endif
    QVERIFY(FolderListing::holdsOrdinaryFile(dir.path()));
}

void TestCatalogueLoader::coverPairing_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("covers");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("oneEach") << QStringList{"A.adl", "B.adl", "C.adl"}
                             << QStringList{"A.adl.cover.jpg", "B.adl.cover.jpg", "C.adl.cover.jpg"}
                             << QList<int>{0, 1, 2};
    // With covers paired by position, B's missing cover would give B the cover of C.
    QTest::newRow("missingCover") << QStringList{"A.adl", "B.adl", "C.adl"}
                                  << QStringList{"A.adl.cover.jpg", "C.adl.cover.jpg"}
                                  << QList<int>{0, -1, 1};
    QTest::newRow("coverWithoutTitle")
        << QStringList{"A.adl", "C.adl"}
        << QStringList{"A.adl.cover.jpg", "B.adl.cover.jpg", "C.adl.cover.png"} << QList<int>{0, 2};
    QTest::newRow("caseIgnored") << QStringList{"Alpha.adl"} << QStringList{"ALPHA.ADL.Cover.Jpg"}
                                 << QList<int>{0};
    QTest::newRow("firstOfSeveral")
        << QStringList{"A.adl"} << QStringList{"A.adl.cover.gif", "A.adl.cover.jpg"}
        << QList<int>{0};
    QTest::newRow("noExtension") << QStringList{"A.adl"} << QStringList{"A.adl.cover."}
                                 << QList<int>{-1};
    QTest::newRow("coverInExtension")
        << QStringList{"A.adl", "A.adl.cover.adl"}
        << QStringList{"A.adl.cover.cover.jpg", "A.adl.cover.adl.cover.png"} << QList<int>{0, 1};
    QTest::newRow("prefixOfOtherTitle")
        << QStringList{"A.adl", "A.adl.x.adl"} << QStringList{"A.adl.x.adl.cover.jpg"}
        << QList<int>{-1, 0};
    // Where names tell case apart, two titles of one name in two cases keep their own covers,
    // and a cover named exactly after one of them is not the other's.
    QTest::newRow("exactCaseFirst")
        << QStringList{"A.adl", "a.adl"} << QStringList{"A.adl.cover.png", "a.adl.cover.png"}
        << QList<int>{0, 1};
    QTest::newRow("exactCoverNotShared")
        << QStringList{"A.adl", "a.adl"} << QStringList{"a.adl.cover.png"} << QList<int>{-1, 0};
}

void TestCatalogueLoader::coverPairing()
{
    QFETCH(QStringList, titles);
    QFETCH(QStringList, covers);
    QFETCH(QList<int>, expected);
    QCOMPARE(CatalogueLoader::coverIndexOfTitles(titles, covers), expected);
}

void TestCatalogueLoader::loadsInNameOrderWithOwnCovers()
{
    QTemporaryDir dir;
    const QDir db(dir.path());
    QVERIFY(writeTitle(db, "Gamma.adl", "Gamma"));
    QVERIFY(writeTitle(db, "beta.adl", "Beta"));
    QVERIFY(writeTitle(db, "Alpha.adl", "Alpha"));
    QVERIFY(writeCover(db, "Alpha.adl.cover.png", Qt::red, {40, 60}));
    QVERIFY(writeCover(db, "Gamma.adl.cover.png", Qt::blue));
    QVERIFY(writeCover(db, "Orphan.adl.cover.png", Qt::green));

    const CatalogueContents contents = CatalogueLoader::load(dir.path());
    QStringList keys, titles;
    QList<int> icons;
    for (const CatalogueRow& row : contents.rows) {
        keys << row.key();
        titles << row.text();
        icons << row.icon();
    }
    QCOMPARE(keys, (QStringList{"K1", "K2", "K3"}));
    QCOMPARE(titles, (QStringList{"Alpha", "Beta", "Gamma"}));
    QCOMPARE(icons, (QList<int>{1, 0, 2})); // Beta has none; Gamma keeps its own
    QCOMPARE(contents.rows[0].cell(1), QString("Actor of Alpha"));
    QCOMPARE(contents.rows[0].cell(9), QString("\"Review of Alpha\"\r\n"));
    QCOMPARE(contents.imageSize, QSize(40, 60));
    QCOMPARE(contents.titlesWithoutCover, QStringList{"beta.adl"});
    QCOMPARE(contents.coversWithoutTitle, QStringList{"Orphan.adl.cover.png"});
    QVERIFY(contents.problems.isEmpty());
}

void TestCatalogueLoader::brokenFilesAreReportedAndSkipped()
{
    QTemporaryDir dir;
    const QDir db(dir.path());
    QVERIFY(writeTitle(db, "a.adl", "A"));
    QVERIFY(writeBytes(db.filePath("b.adl"), "too short\r\n"));
    QVERIFY(writeTitle(db, "c.adl", "C"));
    QVERIFY(writeCover(db, "a.adl.cover.png", Qt::red));
    QVERIFY(writeCover(db, "b.adl.cover.png", Qt::green));
    QVERIFY(writeBytes(db.filePath("c.adl.cover.jpg"), "not a picture"));

    const CatalogueContents contents = CatalogueLoader::load(dir.path());
    QCOMPARE(contents.rows.size(), size_t(2));
    QCOMPARE(contents.rows[1].key(), QString("K2"));
    QCOMPARE(contents.rows[1].text(), QString("C"));
    QCOMPARE(contents.rows[1].icon(), 3); // its own cover, though the row before it is gone
    QCOMPARE(contents.problems.size(), 1);
    QCOMPARE(contents.problems[0].file, QString("b.adl"));
    QCOMPARE(contents.problems[0].line, 2);
    QCOMPARE(contents.shownCovers, (QStringList{"a.adl.cover.png", "c.adl.cover.jpg"}));
    const QList<LoadProblem> covers =
        CatalogueLoader::unreadableCovers(dir.path(), contents.shownCovers);
    QCOMPARE(covers.size(), 1);
    QCOMPARE(covers[0].file, QString("c.adl.cover.jpg"));
    QVERIFY(covers[0].reason.contains("not a picture"));
}

// Enough title files for the readers to share them out, a number that fills no share evenly: each
// row still comes from its own file in name order, each broken file is reported by name, and no
// file is left open.
void TestCatalogueLoader::manyFilesKeepTheirOrderAndErrors()
{
    const qsizetype openBefore = SystemCases::openFileCount();
    QTemporaryDir dir;
    const QDir db(dir.path());
    const QList<int> broken{2, 333, 999};
    QStringList expectedTitles, expectedProblems;
    for (int i = 1; i <= 1000; ++i) {
        const QString name = QString("t%1.adl").arg(i, 4, 10, QChar(u'0'));
        if (broken.contains(i)) {
            QVERIFY(writeBytes(db.filePath(name), "too short\r\n"));
            expectedProblems << name;
        } else {
            QVERIFY(writeTitle(db, name, QString("Title %1").arg(i)));
            expectedTitles << QString("Title %1").arg(i);
        }
    }
    const CatalogueContents contents = CatalogueLoader::load(dir.path());
    QStringList titles, problems;
    for (const CatalogueRow& row : contents.rows)
        titles << row.text();
    for (const LoadProblem& problem : contents.problems)
        problems << problem.file;
    QCOMPARE(titles, expectedTitles);
    QCOMPARE(problems, expectedProblems);
    if (openBefore > 0)
        QCOMPARE(SystemCases::openFileCount(), openBefore);
}

// A process that may hold only a few more files open, or some more while it holds many: fewer
// readers open fewer files ahead, all of them together within what is left, and every title file
// is still read.
void TestCatalogueLoader::fewOpenFilesAllowedStillReadsAll_data()
{
    QTest::addColumn<int>("heldOpen"); // by the rest of the program
    QTest::addColumn<int>("allowedMore");
    QTest::newRow("fewMore") << 0 << 6;
    QTest::newRow("someMoreWithManyHeld") << 200 << 60;
}

void TestCatalogueLoader::fewOpenFilesAllowedStillReadsAll()
{
    SKIP_UNLESS_SYSTEM_CAN(SystemCases::noOpenFileLimit());
    QFETCH(int, heldOpen);
    QFETCH(int, allowedMore);
    QTemporaryDir dir;
    const QDir db(dir.path());
    for (int i = 1; i <= 300; ++i)
        QVERIFY(writeTitle(db, QString("t%1.adl").arg(i, 3, 10, QChar(u'0')), "T"));
    std::vector<std::unique_ptr<QFile>> held;
    for (int i = 0; i < heldOpen; ++i) {
        held.push_back(std::make_unique<QFile>(db.filePath("t001.adl")));
        QVERIFY(held.back()->open(QIODevice::ReadOnly));
    }
    const CatalogueContents contents =
        SystemCases::withOpenFileLimit(SystemCases::openFileCount() + allowedMore,
                                       [&] { return CatalogueLoader::load(dir.path()); });
    QCOMPARE(contents.problems.size(), 0);
    QCOMPARE(contents.rows.size(), size_t(300));
}

// Row keys are 16-bit numbers: the 32,768th title file is reported, and no row K32768 is made.
void TestCatalogueLoader::titlesBeyondTheRowLimitAreReported()
{
    QTemporaryDir dir;
    const QByteArray bytes = QByteArray("h\r\n").repeated(29) + "T\r\n";
    for (int i = 1; i <= 32768; ++i)
        QVERIFY(writeBytes(dir.filePath(QString("t%1.adl").arg(i, 5, 10, QChar(u'0'))), bytes));
    const CatalogueContents contents = CatalogueLoader::load(dir.path());
    QCOMPARE(contents.rows.size(), size_t(32767));
    QCOMPARE(contents.rows.back().key(), QString("K32767"));
    QCOMPARE(contents.problems.size(), 1);
    QCOMPARE(contents.problems[0].file, QString("t32768.adl"));
    QVERIFY2(contents.problems[0].reason.contains("32767"),
             qPrintable(contents.problems[0].reason));
}

// A cover whose header is sound but whose picture cannot be decoded is reported like any other
// that cannot be shown: the check decodes as the view does.
void TestCatalogueLoader::coversAreCheckedAsShown_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reported"); // what the check says of it; empty: nothing
    QImage picture(40, 60, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 6, y * 4, (x * y) % 256));
    }
    const auto encoded = [&](const char* format) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, format);
        return buffer.data();
    };
    const QByteArray png = encoded("PNG");
    QByteArray brokenIdat = png; // a flipped byte of pixel data: the chunk's checksum is wrong
    const qsizetype idat = brokenIdat.indexOf("IDAT");
    brokenIdat[idat + 12] = char(brokenIdat[idat + 12] ^ 0x55);
    const QByteArray jpeg = encoded("JPEG");
    const qsizetype scan = jpeg.indexOf("\xff\xda");
    const int scanHeader = (uchar(jpeg[scan + 2]) << 8) | uchar(jpeg[scan + 3]);
    const QString undecodable = "cannot be decoded";
    QTest::newRow("png") << png << QString();
    QTest::newRow("jpeg") << jpeg << QString();
    QTest::newRow("pngWithBrokenIdat") << brokenIdat << undecodable;
    QTest::newRow("jpegCutAfterHeader") << jpeg.left(scan + 2 + scanHeader) << undecodable;
    // A thumbnail's end marker early in the file is not the picture's end.
    const QByteArray thumbnail = QByteArray("\xff\xe1\x00\x06\xff\xd9\xff\xd9", 8);
    QTest::newRow("jpegWithThumbnailCutShort")
        << jpeg.left(2) + thumbnail + jpeg.mid(2, scan + 2 + scanHeader - 2) << undecodable;
    // Scans beyond what any cover has, each marker in a comment of its own here: counted before
    // anything is decoded.
    const QByteArray scanMarkers = QByteArray("\xff\xfe\x00\x04\xff\xda", 6).repeated(101);
    QTest::newRow("jpegOfManyScans") << jpeg.left(2) + scanMarkers + jpeg.mid(2) << "scans";
}

void TestCatalogueLoader::coversAreCheckedAsShown()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reported);
    QTemporaryDir dir;
    const QString cover =
        QString("a.adl.cover.%1").arg(QTest::currentDataTag()[0] == 'j' ? "jpg" : "png");
    QVERIFY(writeBytes(dir.filePath(cover), bytes));
    QVERIFY(CoverPicture::readHeader(dir.filePath(cover)).problem.isEmpty());
    const QList<LoadProblem> problems = CatalogueLoader::unreadableCovers(dir.path(), {cover});
    QCOMPARE(problems.size(), reported.isEmpty() ? 0 : 1);
    if (!problems.isEmpty())
        QVERIFY2(problems[0].reason.contains(reported), qPrintable(problems[0].reason));
    // The view shows the placeholder for exactly the covers the check reports.
    QCOMPARE(CoverPicture::readScaled(dir.filePath(cover), {365, 512}).isNull(),
             !reported.isEmpty());
    // Every icon takes the size of the first cover that can be shown.
    QVERIFY(writeCover(dir.path(), "b.adl.cover.png", Qt::blue, {20, 30}));
    QCOMPARE(CatalogueLoader::iconSizeOf(dir.path(), {cover, "b.adl.cover.png"}),
             reported.isEmpty() ? QSize(40, 60) : QSize(20, 30));
}

QTEST_GUILESS_MAIN(TestCatalogueLoader)
#include "tst_catalogueloader.moc"
