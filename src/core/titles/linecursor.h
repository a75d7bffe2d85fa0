#pragma once

#include <QByteArrayView>

#include <cstring>

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
    inline QByteArrayView next();
    // Moves past every line left, without counting them.
    void skipRest() { position = text.size(); }

private:
    QByteArrayView text;
    qsizetype position = 0;
    int count = 0;
};

// Inline: the scan calls it for every line of every title file.
QByteArrayView LineCursor::next()
{
    const qsizetype start = position;
    const char* begin = text.data() + start;
    const auto* cr =
        static_cast<const char*>(std::memchr(begin, '\r', size_t(text.size() - start)));
    qsizetype end;
    if (cr == nullptr) {
        end = text.size();
        position = end;
    } else {
        end = cr - text.data();
        position = end + 1;
        if (position < text.size() && text[position] == '\n')
            ++position;
    }
    ++count;
    return text.sliced(start, end - start);
}
