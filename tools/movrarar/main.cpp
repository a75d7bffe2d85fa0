// movra-rar: packs files into a RAR 5.0 archive with stored entries at its top level, the form in
// which Movra ships its catalogue.
//
//   movra-rar OUTPUT.rar INPUT...
//
// An INPUT folder contributes its ordinary files (not its sub-folders); entries are written in
// ascending name order without regard to case. The archive is written whole or not at all.

#include "core/archive/rarwriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>

#include <cstdio>

namespace {

int failWith(const QString& message)
{
    std::fprintf(stderr, "movra-rar: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: movra-rar OUTPUT.rar INPUT...\n");
        return 2;
    }

    QMap<QString, QFileInfo> entries; // by lower-case name, for the order and to catch clashes
    for (const QString& input : arguments.mid(1)) {
        const QFileInfo info(input);
        QFileInfoList files;
        if (info.isDir())
            files = QDir(input).entryInfoList(QDir::Files);
        else if (info.isFile())
            files << info;
        else
            return failWith(QStringLiteral("%1 is neither a file nor a folder").arg(input));
        for (const QFileInfo& file : files) {
            const QString key = file.fileName().toLower();
            if (entries.contains(key))
                return failWith(QStringLiteral("two inputs are named %1").arg(file.fileName()));
            entries.insert(key, file);
        }
    }

    QSaveFile output(arguments.first());
    if (!output.open(QIODevice::WriteOnly))
        return failWith(output.errorString());
    RarWriter writer(&output);
    for (const QFileInfo& file : std::as_const(entries)) {
        QFile source(file.filePath());
        if (!source.open(QIODevice::ReadOnly))
            return failWith(QStringLiteral("%1: %2").arg(file.filePath(), source.errorString()));
        const auto modified = quint32(file.lastModified().toSecsSinceEpoch());
        if (!writer.addFile(file.fileName(), source.readAll(), modified))
            return failWith(output.errorString());
    }
    if (!writer.finish() || !output.commit())
        return failWith(output.errorString());
    return 0;
}
