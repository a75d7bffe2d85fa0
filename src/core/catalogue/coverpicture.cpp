#include "core/catalogue/coverpicture.h"

#include "core/catalogue/limits.h"

#include <QFile>
#include <QImageReader>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace CoverPicture {

namespace {

// Opens a regular file for reading; anything else is refused before a read could block on it.
bool openRegular(QFile& file, const QString& path, QString& problem)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem = QStringLiteral("cannot be opened: %1")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        problem = QStringLiteral("is not a regular file");
        return false;
    }
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("cannot be opened: %1").arg(file.errorString());
        return false;
    }
    if (file.isSequential()) {
        problem = QStringLiteral("is not a regular file");
        return false;
    }
    return true;
#endif
}

QString sizeProblem(QSize size)
{
    if (!size.isValid() || size.isEmpty())
        return QStringLiteral("is not a picture that can be read");
    if (size.width() > maxCoverSide || size.height() > maxCoverSide ||
        qint64(size.width()) * size.height() > maxCoverPixels)
        return QStringLiteral("is a picture of %1 x %2 pixels, too large for a cover")
            .arg(size.width())
            .arg(size.height());
    return {};
}

} // namespace

Header readHeader(const QString& path)
{
    Header header;
    QFile file;
    if (!openRegular(file, path, header.problem))
        return header;
    QImageReader reader(&file);
    const QSize size = reader.canRead() ? reader.size() : QSize();
    header.problem = sizeProblem(size);
    if (header.problem.isEmpty())
        header.size = size;
    return header;
}

QImage readScaled(const QString& path, QSize box)
{
    QFile file;
    QString problem;
    if (!openRegular(file, path, problem))
        return {};
    QImageReader reader(&file);
    const QSize original = reader.size();
    if (!sizeProblem(original).isEmpty() || box.isEmpty())
        return {};
    // Formats that can decode at a smaller size (JPEG) do; the others are scaled right after.
    const QSize fitted = original.scaled(box, Qt::KeepAspectRatio);
    reader.setScaledSize(fitted);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.size() != fitted)
        image = image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QSize iconSizeFor(QSize firstCover)
{
    if (!firstCover.isValid() || firstCover.isEmpty())
        return {};
    if (firstCover.width() <= maxIconSide && firstCover.height() <= maxIconSide)
        return firstCover;
    return firstCover.scaled(maxIconSide, maxIconSide, Qt::KeepAspectRatio);
}

} // namespace CoverPicture
