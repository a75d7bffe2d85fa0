#include "core/titles/windows1252.h"

#include <cstring>

namespace {

// Code points of bytes 0x80 to 0x9F; the undefined bytes map to themselves.
constexpr char16_t highControlTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

char16_t codePoint(unsigned char byte)
{
    return (byte >= 0x80 && byte <= 0x9F) ? highControlTable[byte - 0x80] : char16_t(byte);
}

// The bit that marks a byte beyond ASCII, in each byte of a word.
constexpr quint64 highBits = 0x8080808080808080u;

// The number of bytes before the first that is not ASCII.
qsizetype asciiPrefixLength(QByteArrayView bytes)
{
    qsizetype length = 0;
    for (quint64 word; length + 8 <= bytes.size(); length += 8) {
        std::memcpy(&word, bytes.data() + length, sizeof word);
        if (word & highBits)
            break;
    }
    while (length < bytes.size() && static_cast<unsigned char>(bytes[length]) < 0x80)
        ++length;
    return length;
}

} // namespace

bool isAscii(QByteArrayView bytes)
{
    // Asked of whole regions of a file: four words at a time, then what is left.
    qsizetype checked = 0;
    for (quint64 words[4]; checked + qsizetype(sizeof words) <= bytes.size();
         checked += qsizetype(sizeof words)) {
        std::memcpy(words, bytes.data() + checked, sizeof words);
        if ((words[0] | words[1] | words[2] | words[3]) & highBits)
            return false;
    }
    return asciiPrefixLength(bytes.sliced(checked)) == bytes.size() - checked;
}

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : bytes)
        *out++ = codePoint(static_cast<unsigned char>(c));
    return text;
}

void appendWindows1252AsUtf8(QByteArrayView bytes, QByteArray& out)
{
    // The usual case: plain ASCII is already UTF-8, copied at once. Reviews make up most of a
    // catalogue's bytes, so the ASCII run is found eight bytes at a time.
    const qsizetype ascii = asciiPrefixLength(bytes);
    if (ascii > 0) { // an absent field's bytes have no address at all
        const qsizetype at = out.size();
        out.resize(at + ascii); // keeps the capacity a reused buffer has
        std::memcpy(out.data() + at, bytes.data(), size_t(ascii));
    }
    for (qsizetype i = ascii; i < bytes.size(); ++i) {
        const char16_t unit = codePoint(static_cast<unsigned char>(bytes[i]));
        if (unit < 0x80) {
            out += char(unit);
        } else if (unit < 0x800) {
            out += char(0xC0 | (unit >> 6));
            out += char(0x80 | (unit & 0x3F));
        } else {
            out += char(0xE0 | (unit >> 12));
            out += char(0x80 | ((unit >> 6) & 0x3F));
            out += char(0x80 | (unit & 0x3F));
        }
    }
}
