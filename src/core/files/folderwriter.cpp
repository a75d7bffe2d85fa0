#include "core/files/folderwriter.h"

bool FolderWriter::fail(const QString& name, Reason reason)
{
    switch (reason) {
    case Reason::DiskFull:
        return fail(name, QStringLiteral("the disk is full"));
    case Reason::LinkInTheWay:
        return fail(name, QStringLiteral("a link or a file stands where a folder should be"));
    case Reason::FolderInTheWay:
        return fail(name, QStringLiteral("a folder stands where the file should be"));
    }
    return false;
}

bool FolderWriter::fail(const QString& name, const QString& systemMessage)
{
    why = QStringLiteral("%1 cannot be written: %2").arg(name, systemMessage);
    return false;
}
