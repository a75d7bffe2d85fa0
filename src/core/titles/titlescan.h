#pragma once

#include "core/titles/titlefields.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

// The title sits on line 30; lines 1 to 29 are never looked at.
constexpr int titleLineNumber = 30;

// One title file read through: where its title and each field's value stand in its bytes, or why
// the file could not be read through and the 1-based line where that became clear.
//
// The scan copies nothing: it points into the bytes it was given, which must outlive it. Values
// come out as the catalogue shows them (list entries joined with ", ", each review line ending in
// CR LF, the release date rewritten as year, month and day), either in the file's own 8-bit text
// or converted straight to UTF-8.
class TitleScan {
public:
    bool ok() const { return errorText.isEmpty(); }
    QString error() const { return errorText; }
    int errorLine() const { return errorAt; }

    QByteArrayView title() const { return titleLine; }
    QByteArray fieldBytes(TitleField field) const;
    void appendTitleUtf8(QByteArray& out) const;
    void appendFieldUtf8(TitleField field, QByteArray& out) const;

    // Decoded texts, for tools and tests; the catalogue works with the UTF-8 forms.
    QString titleText() const;
    QString fieldText(TitleField field) const;

private:
    friend class BodyScanner;
    friend TitleScan scanTitle(QByteArrayView bytes);

    QByteArrayView titleLine;
    // Where each field's value lines stand: the single line, the lines of a list up to its last
    // entry, or every line after the reviews' marker. Empty for a field the file does not give.
    std::array<QByteArrayView, titleFieldCount> regions{};
    QString errorText;
    int errorAt = 0;
};

// Reads the bytes of one title file. Needs no window and touches no file.
TitleScan scanTitle(QByteArrayView bytes);
// The scan points into the bytes, so they must not be a temporary.
TitleScan scanTitle(QByteArray&& bytes) = delete;
