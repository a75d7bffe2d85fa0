#pragma once

#include <QByteArrayView>

// Reads a text one line at a time. A line ends at CR LF or at a lone CR; a lone LF is an ordinary
// character of its line. The last line needs no terminator, and a terminator at the very end does
// not start one more, empty line. Works on the file's bytes: every byte that ends a line is ASCII.
class LineCursor {
public:
    explicit LineCursor(QByteArrayView text)
        : text(text)
    {
    }

    bool atEnd() const { return position >= text.size(); }
    // Number of lines read so far, which is also the 1-based number of the last line read.
    int linesRead() const { return count; }
    // Where the next line starts, as an offset into the text.
    qsizetype offset() const { return position; }
    // The next line, without its terminator. Must not be called at the end.
    QByteArrayView next();
    // Moves past every line left, without counting them.
    void skipRest() { position = text.size(); }

private:
    QByteArrayView text;
    qsizetype position = 0;
    int count = 0;
};
