#pragma once

#include "core/archive/rarwriter.h"

#include <QFile>
#include <QString>
#include <QTest>

#include <initializer_list>

// Writes RAR archives for tests with the project's own writer.
inline bool writeArchive(const QString& path, std::initializer_list<RarWriter::Entry> entries)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    RarWriter writer(&file);
    for (const RarWriter::Entry& entry : entries) {
        if (!writer.addEntry(entry))
            return false;
    }
    return writer.finish();
}

inline RarWriter::Entry fileEntry(const QString& name, const QByteArray& data)
{
    RarWriter::Entry entry;
    entry.name = name;
    entry.data = data;
    entry.modified = 1700000000;
    return entry;
}

inline RarWriter::Entry linkEntry(const QString& name, RarWriter::Link link, const QString& target)
{
    RarWriter::Entry entry = fileEntry(name, {});
    entry.link = link;
    entry.linkTarget = target;
    entry.unixMode = link == RarWriter::Link::HardLink ? 0100644 : 0120777;
    return entry;
}

// The shared fixtures live beside the project in CI; a user's clone does not have them.
inline QString sharedFixture(const QString& name)
{
    return QStringLiteral(MOVRA_SHARED_FIXTURES "/rar/") + name;
}

#define SKIP_WITHOUT_SHARED_FIXTURES()                                                             \
    do {                                                                                           \
        if (!QFile::exists(sharedFixture(QStringLiteral("INDEX.md"))))                             \
            QSKIP("../shared/fixtures is not beside this clone; the real-archive cases need it");  \
    } while (false)
