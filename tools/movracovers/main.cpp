// movra-covers: draws a cover for each title file of the sample catalogue, from its title, year
// and genre, so that the catalogue ships pictures of its own.
//
//   movra-covers OUTPUT-FOLDER TITLE-FILE...
//
// Each cover is written as "<title file name>.cover.jpg".

#include "core/catalogue/titlefilereader.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>

namespace {

constexpr QSize coverSize(150, 210);

// A number taken from the text alone, the same on every machine and in every run (qHash mixes in a
// seed of its own per process), so that data.rar comes out the same from one build to the next.
uint stableHash(const QString& text, char salt)
{
    const QByteArray bytes = text.toUtf8();
    return uint(qChecksum(bytes + salt)) << 16 | qChecksum(salt + bytes);
}

QColor hueFor(const QString& text, int lightness)
{
    return QColor::fromHsl(int(stableHash(text, 'h') % 360), 110, lightness);
}

QImage drawCover(const CatalogueRow& row)
{
    QImage image(coverSize, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, 0, coverSize.height());
    background.setColorAt(0, hueFor(row.text(), 70));
    background.setColorAt(1, hueFor(row.text(), 20));
    painter.fillRect(image.rect(), background);

    // A few circles in a lighter shade, placed by the title, stand in for artwork.
    painter.setPen(Qt::NoPen);
    const uint seed = stableHash(row.text(), 's');
    for (int i = 0; i < 4; ++i) {
        QColor shade = hueFor(row.text() + QString::number(i), 80);
        shade.setAlpha(70);
        painter.setBrush(shade);
        const int radius = 18 + int((seed >> (i * 3)) % 40);
        painter.drawEllipse(QPoint(int((seed >> (i * 5)) % 150), 120 + int((seed >> (i * 4)) % 80)),
                            radius, radius);
    }

    painter.setPen(Qt::white);
    QFont font(QStringLiteral("Liberation Serif"), 15, QFont::Bold);
    painter.setFont(font);
    painter.drawText(QRect(10, 14, 130, 110), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     row.text());
    font.setPointSize(8);
    font.setBold(false);
    painter.setFont(font);
    const QString year = row.cell(1 + int(TitleField::ReleaseDate)).left(4);
    painter.drawText(QRect(10, 176, 130, 24), Qt::AlignHCenter | Qt::AlignBottom,
                     row.cell(1 + int(TitleField::Genre)).toUpper() + QStringLiteral("  \u00B7  ") +
                         year);
    painter.setPen(QColor(255, 255, 255, 120));
    painter.drawRect(image.rect().adjusted(4, 4, -5, -5));
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: movra-covers OUTPUT-FOLDER TITLE-FILE...\n");
        return 2;
    }
    const QDir output(arguments.first());
    if (!output.mkpath(QStringLiteral(".")))
        return 1;
    for (const QString& path : arguments.mid(1)) {
        const TitleFileReader::Outcome read = TitleFileReader().read(path);
        if (!read.ok()) {
            std::fprintf(stderr, "movra-covers: %s: %s\n", qPrintable(path),
                         qPrintable(read.error));
            return 1;
        }
        const QString name = QFileInfo(path).fileName() + QStringLiteral(".cover.jpg");
        if (!drawCover(read.row).save(output.filePath(name), "JPG", 88)) {
            std::fprintf(stderr, "movra-covers: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
