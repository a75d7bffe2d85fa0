#include "core/titles/linecursor.h"

#include <cstring>

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
