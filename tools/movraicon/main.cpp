// movra-icon: draws the program's icon, a disc on a dark rounded square, at each size the desktop
// icon theme asks for. Every size is drawn from the same shapes rather than scaled down from a
// big picture, so the small ones stay sharp.
//
//   movra-icon OUTPUT-FOLDER
//
// Writes OUTPUT-FOLDER/hicolor/<N>x<N>/apps/org.velmire.Movra.png for N in 16, 32, 48, 64, 128 and
// 256, OUTPUT-FOLDER/movra.png at 256 px for the window icon and the splash logo, and
// OUTPUT-FOLDER/movra.ico with every size, the program's icon on Windows.

#include <QBuffer>
#include <QConicalGradient>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

constexpr int sizes[] = {16, 32, 48, 64, 128, 256};
constexpr int windowIconSize = 256;

// The drawing is laid out on a 256 x 256 grid and scaled to the size asked for.
constexpr qreal grid = 256;
constexpr QPointF centre(128, 128);

// A path of the pie slice between two radii and two angles (degrees, counter-clockwise from
// three o'clock, as QPainterPath::arcTo counts them).
QPainterPath ringSlice(qreal inner, qreal outer, qreal startAngle, qreal sweep)
{
    QPainterPath slice;
    const QRectF outerRect(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);
    const QRectF innerRect(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
    slice.arcMoveTo(outerRect, startAngle);
    slice.arcTo(outerRect, startAngle, sweep);
    slice.arcTo(innerRect, startAngle + sweep, -sweep);
    slice.closeSubpath();
    return slice;
}

void fillCircle(QPainter& painter, qreal radius, const QBrush& brush)
{
    painter.setBrush(brush);
    painter.drawEllipse(centre, radius, radius);
}

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / grid, size / grid);
    painter.setPen(Qt::NoPen);

    // The tile: a dark blue rounded square, a little lighter at the top. Its margin is a whole
    // number of pixels (one at 16 px, eight at 256 px) so that its edges stay sharp.
    const qreal margin = qMax(1, qRound(size / 32.0)) * grid / size;
    const QRectF tile(margin, margin, grid - 2 * margin, grid - 2 * margin);
    QLinearGradient tileShade(0, tile.top(), 0, tile.bottom());
    tileShade.setColorAt(0, QColor(0x2c, 0x4a, 0x7c));
    tileShade.setColorAt(1, QColor(0x14, 0x25, 0x46));
    painter.setBrush(tileShade);
    painter.drawRoundedRect(tile, 44, 44);

    // A soft shadow under the disc.
    painter.save();
    painter.translate(0, 5);
    QRadialGradient shadow(centre, 104);
    shadow.setColorAt(0.85, QColor(0, 0, 0, 110));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    fillCircle(painter, 104, shadow);
    painter.restore();

    // The disc: a silver rim around the light blue recorded area.
    constexpr qreal discRadius = 96;
    constexpr qreal dataRadius = 80;
    constexpr qreal hubRadius = 34;
    QConicalGradient silver(centre, 45);
    silver.setColorAt(0.00, QColor(0xf4, 0xf6, 0xfa));
    silver.setColorAt(0.25, QColor(0xaa, 0xb6, 0xc8));
    silver.setColorAt(0.50, QColor(0xe4, 0xe9, 0xf0));
    silver.setColorAt(0.75, QColor(0xa4, 0xb0, 0xc2));
    silver.setColorAt(1.00, QColor(0xf4, 0xf6, 0xfa));
    fillCircle(painter, discRadius, silver);

    QRadialGradient recorded(centre, dataRadius);
    recorded.setColorAt(0.4, QColor(0x9c, 0xc8, 0xf2));
    recorded.setColorAt(1.0, QColor(0x5e, 0x94, 0xd2));
    fillCircle(painter, dataRadius, recorded);

    // Light caught by the recorded area: a gold glint to the right and a pale one to the left.
    QConicalGradient glint(centre, 0);
    glint.setColorAt(0.00, QColor(0xf6, 0xcc, 0x5c));
    glint.setColorAt(0.07, QColor(0xf6, 0xcc, 0x5c, 0));
    glint.setColorAt(0.93, QColor(0xf6, 0xcc, 0x5c, 0));
    glint.setColorAt(1.00, QColor(0xf6, 0xcc, 0x5c));
    painter.setBrush(glint);
    painter.drawPath(ringSlice(hubRadius, dataRadius, -30, 60));
    QConicalGradient sheen(centre, 180);
    sheen.setColorAt(0.00, QColor(255, 255, 255, 150));
    sheen.setColorAt(0.06, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.94, QColor(255, 255, 255, 0));
    sheen.setColorAt(1.00, QColor(255, 255, 255, 150));
    painter.setBrush(sheen);
    painter.drawPath(ringSlice(hubRadius, dataRadius, 155, 50));

    // The hub: a dark clear ring, a silver clamping ring, and the hole, through which the tile
    // shows (painted with the tile's own gradient, so it lines up).
    fillCircle(painter, hubRadius, QColor(0x1a, 0x2e, 0x52));
    fillCircle(painter, 21, QColor(0xdc, 0xe3, 0xee));
    fillCircle(painter, 11, tileShade);

    // A thin dark edge keeps the disc apart from the tile at small sizes.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x0c, 0x18, 0x30, 160), 3));
    painter.drawEllipse(centre, discRadius, discRadius);
    painter.end();
    return image;
}

bool writeIcon(const QDir& folder, const QString& name, int size)
{
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "movra-icon: cannot create %s\n", qPrintable(folder.path()));
        return false;
    }
    const QString path = folder.filePath(name);
    if (!drawIcon(size).save(path, "PNG")) {
        std::fprintf(stderr, "movra-icon: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

void appendLittleEndian(QByteArray& bytes, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xff));
}

// An icon file holding each size as a PNG, which Windows reads since Vista: a header, one
// directory entry per image, then the images.
bool writeIconFile(const QString& path)
{
    QList<QByteArray> images;
    for (const int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        drawIcon(size).save(&buffer, "PNG");
        images << png;
    }
    QByteArray ico;
    appendLittleEndian(ico, 0, 2); // reserved
    appendLittleEndian(ico, 1, 2); // an icon, not a cursor
    appendLittleEndian(ico, quint32(images.size()), 2);
    quint32 offset = quint32(6 + 16 * images.size());
    for (int i = 0; i < images.size(); ++i) {
        const int side = sizes[i] >= 256 ? 0 : sizes[i]; // 0 stands for 256
        appendLittleEndian(ico, quint32(side), 1);
        appendLittleEndian(ico, quint32(side), 1);
        appendLittleEndian(ico, 0, 1);  // no palette
        appendLittleEndian(ico, 0, 1);  // reserved
        appendLittleEndian(ico, 1, 2);  // colour planes
        appendLittleEndian(ico, 32, 2); // bits per pixel
        appendLittleEndian(ico, quint32(images[i].size()), 4);
        appendLittleEndian(ico, offset, 4);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& image : std::as_const(images))
        ico += image;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size()) {
        std::fprintf(stderr, "movra-icon: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: movra-icon OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir output(arguments.first());
    for (const int size : sizes) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        if (!writeIcon(QDir(output.filePath(folder)), QStringLiteral("org.velmire.Movra.png"),
                       size))
            return 1;
    }
    if (!writeIcon(output, QStringLiteral("movra.png"), windowIconSize))
        return 1;
    if (!writeIconFile(output.filePath(QStringLiteral("movra.ico"))))
        return 1;
    return 0;
}
