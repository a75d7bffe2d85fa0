#include "core/archive/crc32.h"

#include <zlib.h>

quint32 crc32(QByteArrayView data, quint32 previous)
{
    // zlib's, which reads several bytes a step: unpacking checks every byte of the catalogue.
    return quint32(
        crc32_z(previous, reinterpret_cast<const Bytef*>(data.data()), z_size_t(data.size())));
}
