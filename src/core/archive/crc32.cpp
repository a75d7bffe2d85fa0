#include "core/archive/crc32.h"

#include <array>

namespace {

std::array<quint32, 256> makeTable()
{
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        table[i] = value;
    }
    return table;
}

} // namespace

quint32 crc32(QByteArrayView data, quint32 previous)
{
    static const std::array<quint32, 256> table = makeTable();
    quint32 crc = ~previous;
    for (const char c : data)
        crc = table[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
