// Feeds arbitrary bytes to the title parser: it must return a record or an error for every input,
// never crash, hang or read out of bounds.

#include "titles/titleparser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ParsedTitle parsed = parseTitle(bytes);
    if (parsed.ok() == parsed.error.isEmpty() && parsed.errorLine < 0)
        __builtin_trap();
    return 0;
}
