#include "core/details/detailstext.h"
#include "core/details/lookupurl.h"

#include <QTest>

Q_DECLARE_METATYPE(LookUp)

// The details box's text and the look-up addresses, as the user sees them.
class TestDetailsText : public QObject {
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void urls_data();
    void urls();
    void clipboardTakesThePlatformsLineEnds();
};

void TestDetailsText::text_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("text");
    QTest::newRow("allEmpty") << QStringList(9)
                              << "Starring:\r\n\r\n\r\nDirectors:\r\n\r\n\r\n"
                                 "Release Date:\r\n\r\n\r\nManufacturer:\r\n\r\n\r\n"
                                 "Genre:\r\n\r\n\r\nFeatures:\r\n\r\n\r\n"
                                 "Mpaa Rating:\r\n\r\n\r\nCustomer Rating:\r\n\r\n\r\n"
                                 "Customer Reviews:\r\n\r\n";
    // Each review line already ends in CR LF, so the text ends in two of them.
    QTest::newRow("twoReviews")
        << QStringList{"A, B",   "D",      "20020312",
                       "Studio", "Drama",  "Widescreen",
                       "R",      "4 of 5", "\"One\"\r\n\"Two\"\r\n"}
        << "Starring:\r\nA, B\r\n\r\nDirectors:\r\nD\r\n\r\n"
           "Release Date:\r\n20020312\r\n\r\nManufacturer:\r\nStudio\r\n\r\n"
           "Genre:\r\nDrama\r\n\r\nFeatures:\r\nWidescreen\r\n\r\n"
           "Mpaa Rating:\r\nR\r\n\r\nCustomer Rating:\r\n4 of 5\r\n\r\n"
           "Customer Reviews:\r\n\"One\"\r\n\"Two\"\r\n\r\n";
    QTest::newRow("markupStaysText")
        << QStringList{"<b>bold</b>", "&amp;", "", "", "", "", "", "", ""}
        << "Starring:\r\n<b>bold</b>\r\n\r\nDirectors:\r\n&amp;\r\n\r\n"
           "Release Date:\r\n\r\n\r\nManufacturer:\r\n\r\n\r\n"
           "Genre:\r\n\r\n\r\nFeatures:\r\n\r\n\r\n"
           "Mpaa Rating:\r\n\r\n\r\nCustomer Rating:\r\n\r\n\r\n"
           "Customer Reviews:\r\n\r\n";
}

void TestDetailsText::text()
{
    QFETCH(QStringList, cells);
    QFETCH(QString, text);
    QCOMPARE(detailsText(cells), text);
}

void TestDetailsText::urls_data()
{
    QTest::addColumn<LookUp>("service");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("url");
    QTest::newRow("googleAlien") << LookUp::Google << "Alien"
                                 << "http://www.google.com/search?q=%22Alien%22";
    QTest::newRow("imdbAlien") << LookUp::IMDb << "Alien"
                               << "http://www.imdb.com/find?q=Alien";
    QTest::newRow("imdbUkAlien") << LookUp::IMDbUK << "Alien"
                                 << "http://uk.imdb.com/find?q=Alien";
    QTest::newRow("amazonAlien") << LookUp::Amazon << "Alien"
                                 << "http://www.amazon.com/exec/obidos/search-handle-url/"
                                    "index%3Ddvd%26field-keywords%3DAlien";
    QTest::newRow("spacesKept") << LookUp::IMDb << "The Big Lebowski"
                                << "http://www.imdb.com/find?q=The Big Lebowski";
    QTest::newRow("emptyTitle") << LookUp::Google << ""
                                << "http://www.google.com/search?q=%22%22";
    QTest::newRow("emptyTitleImdb") << LookUp::IMDb << ""
                                    << "http://www.imdb.com/find?q=";
    QTest::newRow("ampersand") << LookUp::Google << "Tom & Jerry"
                               << "http://www.google.com/search?q=%22Tom %26 Jerry%22";
    QTest::newRow("meaningfulCharacters") << LookUp::IMDb << "100% #1 + ?/x"
                                          << "http://www.imdb.com/find?q=100%25 %231 %2B %3F%2Fx";
    QTest::newRow("quotesAndNonAscii")
        << LookUp::IMDb << QString::fromUtf8("Am\xc3\xa9lie \"2\"")
        << QString::fromUtf8("http://www.imdb.com/find?q=Am\xc3\xa9lie \"2\"");
}

void TestDetailsText::urls()
{
    QFETCH(LookUp, service);
    QFETCH(QString, title);
    QFETCH(QString, url);
    QCOMPARE(lookUpUrl(service, title), url);
}

// What other programs read from the clipboard: CR LF on Windows, LF on Linux, whatever the text
// held.
void TestDetailsText::clipboardTakesThePlatformsLineEnds()
{
    const QString text = QString("Genre:\r\nDrama\r\n") + QChar::LineSeparator + "end\n";
#ifdef Q_OS_WIN
    QCOMPARE(withPlatformLineEnds(text), QString("Genre:\r\nDrama\r\n\r\nend\r\n"));
#else
    QCOMPARE(withPlatformLineEnds(text), QString("Genre:\nDrama\n\nend\n"));
#endif
}

QTEST_GUILESS_MAIN(TestDetailsText)
#include "tst_detailstext.moc"
