// Feeds arbitrary bytes to the title scan: it must give a title and fields or an error for every
// input, never crash, hang or read out of bounds, and the values it assembles must be readable.

#include "core/titles/titlescan.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TitleScan scan = scanTitle(bytes);
    if (!scan.ok()) {
        if (scan.errorLine() < 1)
            __builtin_trap();
        return 0;
    }
    QByteArray utf8;
    scan.appendTitleUtf8(utf8);
    for (const TitleFieldInfo& field : titleFields) {
        scan.appendFieldUtf8(field.field, utf8);
        if (scan.fieldText(field.field).size() > qsizetype(size) * 2 + 16)
            __builtin_trap(); // no value is larger than the file it came from, give or take
    }
    return 0;
}
