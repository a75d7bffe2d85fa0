// movra-gencatalogue: writes a synthetic catalogue for benchmarks.
//
//   movra-gencatalogue FOLDER COUNT [COVER-WIDTH COVER-HEIGHT] [--rar ARCHIVE]
//
// COUNT title files of 2 to 5 KB with every field and a few reviews, and one JPEG cover each
// (300 x 420 unless given), named title00001.adl and title00001.adl.cover.jpg and so on. With
// --rar the folder is also packed into ARCHIVE with the project's RAR writer.

#include "core/archive/rarwriter.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QtConcurrent>

#include <cstdio>

namespace {

const char* const words[] = {"river",  "night",  "glass",   "harbour", "winter", "engine", "garden",
                             "signal", "copper", "lantern", "orchard", "storm",  "silent", "iron",
                             "paper",  "summer", "broken",  "golden",  "last",   "hidden"};
const char* const names[] = {"Anna Whitlow", "Marek Brandt", "Helen Okafor",    "Jonas Lindqvist",
                             "Clara Marsh",  "Dev Calloway", "Ingrid Ferreira", "Samuel Novak",
                             "Nora Ashby",   "Felix Kowal",  "Rosa Delacroix",  "Tobias Harlan"};
const char* const months[] = {"January",   "February", "March",    "April",
                              "May",       "June",     "July",     "August",
                              "September", "October",  "November", "December"};

template <size_t N> QByteArray pick(const char* const (&list)[N], QRandomGenerator& random)
{
    return list[random.bounded(int(N))];
}

QByteArray sentence(QRandomGenerator& random, int wordCount)
{
    QByteArrayList parts;
    for (int i = 0; i < wordCount; ++i)
        parts << pick(words, random);
    QByteArray text = parts.join(' ');
    text[0] = char(QChar::toUpper(text[0]));
    return text + '.';
}

QByteArray titleFile(int number)
{
    QRandomGenerator random{quint32(number)};
    QByteArray out;
    for (int line = 1; line < 30; ++line)
        out += "Header line " + QByteArray::number(line) + " of record " +
               QByteArray::number(number) + "\r\n";
    out +=
        pick(words, random) + ' ' + pick(words, random) + ' ' + QByteArray::number(number) + "\r\n";
    out += "Starring:\r\n";
    for (int i = random.bounded(3, 9); i > 0; --i)
        out += pick(names, random) + "\r\n";
    out += "\r\nDirectors:\r\n" + pick(names, random) + "\r\n\r\n";
    out += "Release date:\r\n" + QByteArray::number(random.bounded(1, 29)) + ' ' +
           pick(months, random) + ", " + QByteArray::number(random.bounded(1930, 2006)) + "\r\n";
    out += "Manufacturer:\r\n" + pick(words, random) + " Pictures\r\n";
    out += "Genre:\r\n" + pick(words, random) + "\r\n";
    out += "Features:\r\nWidescreen\r\nDolby Digital 5.1\r\nSubtitles\r\n\r\n";
    out += "Mpaa Rating:\r\nPG-13\r\nCustomer Rating:\r\n" +
           QByteArray::number(random.bounded(1, 6)) + " of 5\r\n";
    out += "Customer Reviews:\r\n";
    const int target = random.bounded(2048, 5120);
    while (out.size() < target) {
        out += '"' + sentence(random, 4) + "\", " + pick(names, random) + "\r\n";
        out += sentence(random, int(random.bounded(8, 30))) + "\r\n";
    }
    return out;
}

// A handful of distinct covers, written again and again: reading one costs the same whichever
// it is.
QList<QByteArray> makeCovers(QSize size)
{
    QList<QByteArray> covers;
    for (int variant = 0; variant < 16; ++variant) {
        QImage image(size, QImage::Format_RGB32);
        QRandomGenerator random{quint32(variant + 1)};
        QPainter painter(&image);
        painter.fillRect(image.rect(), QColor::fromHsl(variant * 22, 120, 90));
        for (int i = 0; i < 60; ++i) {
            painter.setBrush(
                QColor::fromHsl(int(random.bounded(360)), 150, int(random.bounded(40, 200))));
            painter.drawEllipse(
                QPoint(int(random.bounded(size.width())), int(random.bounded(size.height()))),
                int(random.bounded(5, 60)), int(random.bounded(5, 60)));
        }
        painter.end();
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 85);
        covers << buffer.data();
    }
    return covers;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    QString archive;
    const qsizetype rarFlag = arguments.indexOf(QStringLiteral("--rar"));
    if (rarFlag >= 0 && rarFlag + 1 < arguments.size()) {
        archive = arguments[rarFlag + 1];
        arguments.remove(rarFlag, 2);
    }
    if (arguments.size() != 2 && arguments.size() != 4) {
        std::fprintf(
            stderr,
            "usage: movra-gencatalogue FOLDER COUNT [COVER-WIDTH COVER-HEIGHT] [--rar ARCHIVE]\n");
        return 2;
    }
    const QDir folder(arguments[0]);
    folder.mkpath(QStringLiteral("."));
    const int count = arguments[1].toInt();
    const QSize coverSize =
        arguments.size() == 4 ? QSize(arguments[2].toInt(), arguments[3].toInt()) : QSize(300, 420);
    const QList<QByteArray> covers = makeCovers(coverSize);

    QList<int> numbers;
    for (int i = 1; i <= count; ++i)
        numbers << i;
    QtConcurrent::blockingMap(numbers, [&](int number) {
        const QString name = QStringLiteral("title%1.adl").arg(number, 5, 10, QLatin1Char('0'));
        writeFile(folder.filePath(name), titleFile(number));
        writeFile(folder.filePath(name + QStringLiteral(".cover.jpg")),
                  covers[number % covers.size()]);
    });

    if (!archive.isEmpty()) {
        QSaveFile output(archive);
        if (!output.open(QIODevice::WriteOnly))
            return 1;
        RarWriter writer(&output);
        for (int number : std::as_const(numbers)) {
            const QString name = QStringLiteral("title%1.adl").arg(number, 5, 10, QLatin1Char('0'));
            writer.addFile(name, titleFile(number), 0);
            writer.addFile(name + QStringLiteral(".cover.jpg"), covers[number % covers.size()], 0);
        }
        if (!writer.finish() || !output.commit())
            return 1;
    }
    return 0;
}
