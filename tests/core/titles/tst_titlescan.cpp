#include "core/titles/releasedate.h"
#include "core/titles/titlescan.h"
#include "core/titles/windows1252.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// A title file: 29 header lines, the title on line 30, then the body lines, all ending in CR LF.
QByteArray titleFile(const QByteArrayList& body, const QByteArray& title = "A Film Title")
{
    QByteArray bytes;
    for (int line = 1; line < titleLineNumber; ++line)
        bytes += "header line " + QByteArray::number(line) + "\r\n";
    bytes += title + "\r\n";
    for (const QByteArray& line : body)
        bytes += line + "\r\n";
    return bytes;
}

using Cells = QStringList; // the nine cells, Starring to Customer Reviews

// The cells as the scan gives them one by one, after checking that the catalogue's rows, which
// take them as UTF-8, get the same.
QStringList cellsOf(const TitleScan& scan)
{
    QStringList cells;
    for (const TitleFieldInfo& field : titleFields) {
        cells << scan.fieldText(field.field);
        QByteArray utf8 = "before ";
        scan.appendFieldUtf8(field.field, utf8);
        if (utf8 != "before " + cells.last().toUtf8())
            return {QStringLiteral("UTF-8 differs: ") + QString::fromUtf8(utf8)};
    }
    return cells;
}

Cells withCell(TitleField field, const QString& value)
{
    Cells cells(titleFieldCount);
    cells[static_cast<int>(field)] = value;
    return cells;
}

} // namespace

class TestTitleScan : public QObject {
    Q_OBJECT

private slots:
    void releaseDate_data();
    void releaseDate();
    void monthNames();
    void bodyScan_data();
    void bodyScan();
    void lineEndings_data();
    void lineEndings();
    void formatBreaks_data();
    void formatBreaks();
    void windows1252Bytes();
    void windows1252ToUtf8_data();
    void windows1252ToUtf8();
    void workedExample();
};

void TestTitleScan::releaseDate_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("cell");
    QTest::newRow("long") << QByteArray("12 March, 2002") << QByteArray("20020312");
    QTest::newRow("short") << QByteArray("March, 2002") << QByteArray("200203");
    QTest::newRow("oneDigitDay") << QByteArray("5 March, 2002") << QByteArray("2002035");
    QTest::newRow("lowerCaseMonth") << QByteArray("12 march, 2002") << QByteArray("200212");
    QTest::newRow("monthFirst") << QByteArray("March 12, 2002") << QByteArray("2002March");
    QTest::newRow("yearOnly") << QByteArray("2002") << QByteArray("002");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
    QTest::newRow("december") << QByteArray("31 December, 1999") << QByteArray("19991231");
    QTest::newRow("twoBlanksBeforeMonth") << QByteArray("1  May, 2000") << QByteArray("20001");
    QTest::newRow("commaAtEnd") << QByteArray("May,") << QByteArray("05");
    QTest::newRow("noComma") << QByteArray("12 March 2002") << QByteArray("2 Ma12");
    // The year is read from two past the comma; here that is the last character.
    QTest::newRow("yearStartsAtLastCharacter") << QByteArray("May, 7") << QByteArray("705");
}

void TestTitleScan::releaseDate()
{
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, cell);
    QCOMPARE(normaliseReleaseDate(value), cell);
}

void TestTitleScan::monthNames()
{
    const QStringList names = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(monthNumber(names[i].toLatin1()), QByteArray::number(i + 101).right(2));
    QCOMPARE(monthNumber("MAY"), QByteArray());
    QCOMPARE(monthNumber("Sept"), QByteArray());
    QCOMPARE(monthNumber(" May"), QByteArray());
}

void TestTitleScan::bodyScan_data()
{
    QTest::addColumn<QByteArrayList>("body");
    QTest::addColumn<Cells>("cells");

    QTest::newRow("noBody") << QByteArrayList{} << Cells(titleFieldCount);
    QTest::newRow("listJoined") << QByteArrayList{"Starring:", "First Actor", "Second Actor", ""}
                                << withCell(TitleField::Starring, "First Actor, Second Actor");
    QTest::newRow("listOpensWithEmptyEntry") << QByteArrayList{"Starring:", "", "A", "B", ""}
                                             << withCell(TitleField::Starring, ", A, B");
    // The first value line is taken even when empty; the next empty line closes the list.
    QTest::newRow("listEmptyThenClosed")
        << QByteArrayList{"Directors:", "", ""} << withCell(TitleField::Directors, "");
    QTest::newRow("blanksInsideList")
        << QByteArrayList{"Features:", "Widescreen", "   ", "Dolby", ""}
        << withCell(TitleField::Features, "Widescreen,    , Dolby");
    QTest::newRow("commaInsideEntry") << QByteArrayList{"Directors:", "Smith, John", ""}
                                      << withCell(TitleField::Directors, "Smith, John");
    QTest::newRow("markerWithTextAround") << QByteArrayList{"  -- Genre: (see below)", "Drama"}
                                          << withCell(TitleField::Genre, "Drama");
    QTest::newRow("markerWrongCase")
        << QByteArrayList{"genre:", "Drama", "GENRE:", "Comedy"} << Cells(titleFieldCount);
    QTest::newRow("releaseDateCapitalD")
        << QByteArrayList{"Release Date:", "12 March, 2002"} << Cells(titleFieldCount);
    QTest::newRow("valueNotOnMarkerLine")
        << QByteArrayList{"Genre: Drama", "Comedy"} << withCell(TitleField::Genre, "Comedy");
    QTest::newRow("singleLineKeepsBlanks") << QByteArrayList{"Mpaa Rating:", "  PG-13  "}
                                           << withCell(TitleField::MpaaRating, "  PG-13  ");
    QTest::newRow("singleLineMayBeEmpty")
        << QByteArrayList{"Manufacturer:", "", "Genre:", "Drama"} << [] {
               Cells cells = withCell(TitleField::Genre, "Drama");
               return cells;
           }();
    QTest::newRow("twoStarringBlocks")
        << QByteArrayList{"Starring:", "A", "B", "", "Starring:", "C", ""}
        << withCell(TitleField::Starring, "C");
    QTest::newRow("laterSingleLineReplaces")
        << QByteArrayList{"Genre:", "Drama", "Genre:", "Comedy"}
        << withCell(TitleField::Genre, "Comedy");
    // A value line holding a later marker is also that marker's line: Genre takes the Features
    // marker line as its value, and the lines after it form the Features list.
    QTest::newRow("valueHoldsLaterMarker")
        << QByteArrayList{"Genre:", "Features:", "Widescreen", "Subtitles", ""} << [] {
               Cells cells = withCell(TitleField::Genre, "Features:");
               cells[int(TitleField::Features)] = "Widescreen, Subtitles";
               return cells;
           }();
    // A value line holding an earlier marker is only a value; the lines after it are scanned as
    // ordinary body lines.
    QTest::newRow("valueHoldsEarlierMarker")
        << QByteArrayList{"Genre:", "Directors:", "A Director", ""}
        << withCell(TitleField::Genre, "Directors:");
    // The first marker in test order consumes the marker line's successors; the later marker on
    // the same line is never seen.
    QTest::newRow("twoMarkersOnOneLine")
        << QByteArrayList{"Starring: Genre:", "A", "", "x"} << withCell(TitleField::Starring, "A");
    // A marker may stand after another colon, and a colon inside a marker's letters is no marker.
    QTest::newRow("markerAfterAnotherColon")
        << QByteArrayList{"See the note: Genre:", "Drama"} << withCell(TitleField::Genre, "Drama");
    QTest::newRow("colonInsideMarker")
        << QByteArrayList{"Gen:re:", "Drama", "Ge:", "x"} << Cells(titleFieldCount);
    QTest::newRow("earlierMarkerSecondOnLine")
        << QByteArrayList{"Genre: Starring:", "A", "", "x"} << withCell(TitleField::Starring, "A");
    QTest::newRow("reviewsQuotedLinesOnly")
        << QByteArrayList{"Customer Reviews:", "\"Great\" said A", "plain text", "B: \"Dull\""}
        << withCell(TitleField::CustomerReviews, "\"Great\" said A\r\nB: \"Dull\"\r\n");
    QTest::newRow("reviewsNoneQuoted") << QByteArrayList{"Customer Reviews:", "plain"}
                                       << withCell(TitleField::CustomerReviews, "");
    QTest::newRow("quotedLineBeforeReviewMarker")
        << QByteArrayList{"\"not a review\"", "Customer Reviews:", "\"a review\""}
        << withCell(TitleField::CustomerReviews, "\"a review\"\r\n");
    QTest::newRow("markerInsideReviews")
        << QByteArrayList{"Customer Reviews:", "Genre:", "Drama \"x\""}
        << withCell(TitleField::CustomerReviews, "Drama \"x\"\r\n");
    QTest::newRow("reviewMarkerLastLine")
        << QByteArrayList{"Customer Reviews:"} << Cells(titleFieldCount);
    QTest::newRow("dateNormalised") << QByteArrayList{"Release date:", "5 March, 2002"}
                                    << withCell(TitleField::ReleaseDate, "2002035");
    QTest::newRow("emptyLineClosingListMatchesNothing")
        << QByteArrayList{"Features:", "A", "", "Mpaa Rating:", "R"} << [] {
               Cells cells = withCell(TitleField::Features, "A");
               cells[int(TitleField::MpaaRating)] = "R";
               return cells;
           }();
}

void TestTitleScan::bodyScan()
{
    QFETCH(QByteArrayList, body);
    QFETCH(Cells, cells);
    const QByteArray bytes = titleFile(body);
    const TitleScan scan = scanTitle(bytes);
    QVERIFY2(scan.ok(), qPrintable(scan.error()));
    QCOMPARE(scan.titleText(), QString("A Film Title"));
    QCOMPARE(cellsOf(scan), cells);
}

void TestTitleScan::lineEndings_data()
{
    QTest::addColumn<QByteArray>("eol");
    QTest::addColumn<bool>("terminatedAtEnd");
    QTest::newRow("crlf") << QByteArray("\r\n") << true;
    QTest::newRow("crlfUnterminated") << QByteArray("\r\n") << false;
    QTest::newRow("crOnly") << QByteArray("\r") << true;
    QTest::newRow("crOnlyUnterminated") << QByteArray("\r") << false;
}

void TestTitleScan::lineEndings()
{
    QFETCH(QByteArray, eol);
    QFETCH(bool, terminatedAtEnd);
    QByteArrayList lines;
    for (int i = 1; i < titleLineNumber; ++i)
        lines << "h";
    lines << "Title\nwith LF"
          << "Genre:"
          << "Drama"
          << "Customer Reviews:"
          << "\"Good\" said A";
    // Many short reviews: after lone CRs, more room than the file's bytes.
    for (int i = 0; i < 1000; ++i)
        lines << "\"Dull\"";
    QByteArray bytes = lines.join(eol);
    if (terminatedAtEnd)
        bytes += eol;
    const TitleScan scan = scanTitle(bytes);
    QVERIFY2(scan.ok(), qPrintable(scan.error()));
    // A lone LF belongs to its line.
    QCOMPARE(scan.titleText(), QString("Title\nwith LF"));
    QCOMPARE(cellsOf(scan), [] {
        Cells cells = withCell(TitleField::Genre, "Drama");
        cells[int(TitleField::CustomerReviews)] =
            "\"Good\" said A\r\n" + QString("\"Dull\"\r\n").repeated(1000);
        return cells;
    }());
}

void TestTitleScan::formatBreaks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("line");

    QTest::newRow("emptyFile") << QByteArray() << "the file is empty" << 1;
    QByteArray lines29;
    for (int i = 0; i < 29; ++i)
        lines29 += "x\r\n";
    QTest::newRow("29lines") << lines29 << "ends after line 29" << 30;
    // With only LF line ends the whole file is one line.
    QTest::newRow("lfOnly") << QByteArray(lines29).replace("\r\n", "\n") + "t\n"
                            << "ends after line 1" << 2;
    QTest::newRow("singleLineMarkerLast") << titleFile({"Genre:", "Drama", "Release date:"})
                                          << "\"Release date:\" line has no value" << 33;
    QTest::newRow("listNotClosed")
        << titleFile({"Starring:", "A", "B"}) << "\"Starring:\" line starts a list" << 31;
    QTest::newRow("listMarkerLast")
        << titleFile({"Features:"}) << "\"Features:\" line starts a list" << 31;
    QTest::newRow("valueHoldsListMarkerAtEnd")
        << titleFile({"Genre:", "Directors:"}) << "" << 0; // an earlier marker: only a value
    QTest::newRow("valueHoldsLaterListMarkerAtEnd")
        << titleFile({"Genre:", "Features:"}) << "\"Features:\" line starts a list" << 32;
}

void TestTitleScan::formatBreaks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QFETCH(int, line);
    const TitleScan scan = scanTitle(bytes);
    if (reason.isEmpty()) {
        QVERIFY2(scan.ok(), qPrintable(scan.error()));
        return;
    }
    QVERIFY(!scan.ok());
    QVERIFY2(scan.error().contains(reason), qPrintable(scan.error()));
    QCOMPARE(scan.errorLine(), line);
}

void TestTitleScan::windows1252Bytes()
{
    // Curly quotes are not the double-quote character: such a line is no review.
    const QByteArray bytes = titleFile(
        {"Customer Reviews:", "\"Plain ASCII for a while, then:\"", "\x93Great\x94", "\"Caf\xe9\""},
        "Am\xe9lie");
    const TitleScan scan = scanTitle(bytes);
    QCOMPARE(scan.titleText(), QString::fromUtf16(u"Am\u00E9lie"));
    const QString reviews =
        QString::fromUtf16(u"\"Plain ASCII for a while, then:\"\r\n\"Caf\u00E9\"\r\n");
    QCOMPARE(scan.fieldText(TitleField::CustomerReviews), reviews);
    QByteArray utf8; // as the catalogue's rows take it
    scan.appendFieldUtf8(TitleField::CustomerReviews, utf8);
    QCOMPARE(QString::fromUtf8(utf8), reviews);
}

// The list shows every row from its UTF-8 form, made straight from the file's bytes; the details
// box and the look-ups decode the same bytes to text. Both must agree on every byte.
void TestTitleScan::windows1252ToUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("utf8");
    QTest::newRow("ascii") << QByteArray("Alien") << QByteArray("Alien");
    QTest::newRow("latin1") << QByteArray("caf\xe9 \xff") << QByteArray("caf\xc3\xa9 \xc3\xbf");
    QTest::newRow("asciiAfterHighByte") << QByteArray("\xe9tude 1") << QByteArray("\xc3\xa9tude 1");
    // ASCII is looked through eight bytes at a time: high bytes at and after that boundary.
    QTest::newRow("highByteAtEighth")
        << QByteArray("12345678\x80") << QByteArray("12345678\xe2\x82\xac");
    QTest::newRow("highByteInSecondWord")
        << QByteArray("Twelve bytes\xe9 and more") << QByteArray("Twelve bytes\xc3\xa9 and more");
    // The code page's whole table, 0x80 to 0x9F. The five bytes it leaves undefined (0x81, 0x8D,
    // 0x8F, 0x90, 0x9D) keep their value, as the C1 control characters of that number.
    const char16_t codePage[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80 to 87
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88 to 8F
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90 to 97
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98 to 9F
    };
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        const QString text = QString(QChar(codePage[byte - 0x80]));
        QTest::addRow("byte%X", byte) << QByteArray(1, char(byte)) << text.toUtf8();
    }
}

void TestTitleScan::windows1252ToUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, utf8);
    QByteArray out("kept ");
    appendWindows1252AsUtf8(bytes, out);
    QCOMPARE(out, "kept " + utf8);
    QCOMPARE(decodeWindows1252(bytes), QString::fromUtf8(utf8));
}

void TestTitleScan::workedExample()
{
    const QByteArray bytes = titleFile({"Starring:",
                                        "First Actor",
                                        "Second Actor",
                                        "",
                                        "Directors:",
                                        "A Director",
                                        "",
                                        "Release date:",
                                        "12 March, 2002",
                                        "Genre:",
                                        "Drama",
                                        "Features:",
                                        "Widescreen",
                                        "Subtitles",
                                        "",
                                        "Mpaa Rating:",
                                        "R",
                                        "Customer Rating:",
                                        "4 of 5",
                                        "Customer Reviews:",
                                        "a \"quoted\" headline",
                                        "a line without quotes",
                                        "a second \"quoted\" headline"});
    const TitleScan scan = scanTitle(bytes);
    QVERIFY(scan.ok());
    QCOMPARE(cellsOf(scan),
             (QStringList{"First Actor, Second Actor", "A Director", "20020312", "", "Drama",
                          "Widescreen, Subtitles", "R", "4 of 5",
                          "a \"quoted\" headline\r\na second \"quoted\" headline\r\n"}));
}

QTEST_GUILESS_MAIN(TestTitleScan)
#include "tst_titlescan.moc"
