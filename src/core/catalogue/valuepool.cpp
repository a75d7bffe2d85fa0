#include "core/catalogue/valuepool.h"

#include <algorithm>
#include <string_view>

namespace {

// The same separator as the titles' own text in the index: the fold never makes one.
constexpr char valueEnd = '\0';

} // namespace

quint16 ValuePool::add(QByteArrayView folded)
{
    if (numbers.isEmpty() && size() > 0) {
        for (int number = 1; number <= size(); ++number) {
            const quint32 begin = starts[size_t(number - 1)];
            numbers.insert(text.mid(begin, starts[size_t(number)] - begin - 1), quint16(number));
        }
    }
    const QByteArray key = folded.toByteArray();
    if (const auto known = numbers.constFind(key); known != numbers.constEnd())
        return *known;
    if (size() >= maxValues)
        return 0;
    text += key;
    text += valueEnd;
    starts.push_back(quint32(text.size()));
    const auto number = quint16(size());
    numbers.insert(key, number);
    return number;
}

std::vector<bool> ValuePool::holding(QByteArrayView needle) const
{
    std::vector<bool> found(size_t(size()) + 1, false);
    const std::string_view all(text.constData(), size_t(text.size()));
    const std::string_view wanted(needle.data(), size_t(needle.size()));
    int number = 1;
    for (size_t hit = all.find(wanted); hit != std::string_view::npos;) {
        while (starts[size_t(number)] <= hit)
            ++number;
        found[size_t(number)] = true;
        hit = all.find(wanted, starts[size_t(number)]);
    }
    return found;
}

bool ValuePool::anyHolds(const std::vector<bool>& holding)
{
    return std::find(holding.begin(), holding.end(), true) != holding.end();
}

void ValuePool::compact()
{
    numbers = {};
    text.squeeze();
    starts.shrink_to_fit();
}

qsizetype ValuePool::bytes() const
{
    return text.capacity() + qsizetype(starts.capacity() * sizeof(quint32)) +
           numbers.size() * qsizetype(sizeof(quint16) + sizeof(QByteArray)) +
           (numbers.isEmpty() ? 0 : text.size());
}
