#pragma once

#include <QString>
#include <QStringList>

// The text of the details box: each of the nine fields under its label, separated by empty lines,
// every line ending in CR LF. cells holds sub-items 1 to 9 (Starring to Customer Reviews).
QString detailsText(const QStringList& cells);

// The text with every line break as a lone LF: CR LF, and the paragraph and line separators that
// a text cursor gives for the breaks of a selection. What a screen reader reads, on any platform.
QString withPlainLineEnds(QString text);

// The text with the platform's own line ends, CR LF on Windows and LF elsewhere: what Ctrl+C puts
// on the clipboard, from a details box or from the list.
QString withPlatformLineEnds(const QString& text);
