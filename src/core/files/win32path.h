#pragma once

// Windows only: included by the _win.cpp files of this folder.

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <string>

namespace Win32Path {

// The form of a path that the wide Win32 calls take whatever its length: absolute, with
// backslashes and the \\?\ prefix (\\?\UNC\ for a share), so that paths beyond 260 characters work.
inline std::wstring of(const QString& path)
{
    QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (native.startsWith(QLatin1String("\\\\?\\")))
        return native.toStdWString();
    if (native.startsWith(QLatin1String("\\\\")))
        native = QLatin1String("\\\\?\\UNC\\") + native.mid(2);
    else
        native = QLatin1String("\\\\?\\") + native;
    return native.toStdWString();
}

} // namespace Win32Path
