#include "core/files/regularfile.h"

#include <QFile>
#include <QFileInfo>

namespace RegularFile {

QString open(QFile& file, const QString& path)
{
    // Without a way to open without blocking, anything but a regular file is refused before it is
    // opened; a sequential device found open is refused before anything reads from it.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("is not a regular file");
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot be opened: %1").arg(file.errorString());
    if (file.isSequential()) {
        file.close();
        return QStringLiteral("is not a regular file");
    }
    return {};
}

} // namespace RegularFile
