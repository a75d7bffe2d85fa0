#pragma once

#include <QByteArrayView>

// The CRC-32 of zlib and RAR (polynomial 0xEDB88320). Pass the previous result to continue over
// more data.
quint32 crc32(QByteArrayView data, quint32 previous = 0);
