#pragma once

#include <QString>

// The path separator of this platform: the backslash on Windows, the forward slash elsewhere.
QChar pathSeparator();

// path with one separator appended unless it already ends in one; an empty path gives the
// separator alone. Only this platform's own separator counts: on Windows a trailing forward slash
// still gets a backslash.
QString EnsureTrailingSlash(const QString& path);
