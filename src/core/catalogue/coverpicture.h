#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Reading cover pictures safely: only regular files, opened without ever blocking on a pipe, and
// only pictures whose headers promise a size a cover can have; a picture is decoded straight to
// the size it is shown at where its format allows, so that a huge cover never costs its full
// size in memory.
namespace CoverPicture {

// The picture's size from its header, or why it cannot be read as a cover (an empty size).
struct Header {
    QSize size;
    QString problem;
};

Header readHeader(const QString& path);

// The picture scaled to fit inside box (device pixels), keeping its aspect ratio; null when it
// cannot be read, or decodes only in part (a PNG with damaged data, a JPEG cut short).
QImage readScaled(const QString& path, QSize box);

// Why the cover cannot be shown: a problem of its header, or a picture that cannot be decoded
// the way readScaled() decodes it; empty when it can be shown.
QString readProblem(const QString& path);

// The size of every icon when this is the first cover's: at most maxIconSide on either side,
// keeping the aspect ratio.
QSize iconSizeFor(QSize firstCover);

} // namespace CoverPicture
