#include "core/files/regularfile.h"

#include "core/files/readablefolder.h"

#include <QFile>

namespace RegularFile {

QString open(QFile& file, const QString& path)
{
    ReadableFolder::File opened = ReadableFolder::openPath(path);
    if (!opened.isOpen())
        return opened.error();
    if (!opened.handOver(file))
        return QStringLiteral("cannot be opened: %1").arg(file.errorString());
    return {};
}

} // namespace RegularFile
