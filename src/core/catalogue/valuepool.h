#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

#include <vector>

// Texts that many titles share (a studio, a genre, a list of features, a rating), each kept
// once. A text is known by its number, counted from 1; 0 stands for no text.
class ValuePool {
public:
    static constexpr int maxValues = 65535;

    // The number of the text, added when it is new; 0 when the pool is full.
    quint16 add(QByteArrayView folded);
    int size() const { return int(starts.size()) - 1; }
    // Indexed by number: true where the text holds needle (index 0, no text, never does).
    std::vector<bool> holding(QByteArrayView needle) const;
    static bool anyHolds(const std::vector<bool>& holding);

    // Lets go of the room kept for adding; adding again later rebuilds it.
    void compact();
    qsizetype bytes() const;

private:
    QByteArray text; // each text followed by a separator
    std::vector<quint32> starts{0};
    QHash<QByteArray, quint16> numbers; // while texts are being added
};
