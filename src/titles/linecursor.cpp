#include "titles/linecursor.h"

QStringView LineCursor::next() {
    const qsizetype start = position;
    qsizetype end = text.indexOf(u'\r', start);
    if (end < 0) {
        end = text.size();
        position = end;
    } else {
        position = end + 1;
        if (position < text.size() && text[position] == u'\n')
            ++position;
    }
    ++count;
    return text.mid(start, end - start);
}
