#pragma once

#include <QString>
#include <QStringList>

// One JSON object written on one line, with its members in the order they are added (the
// checker's readers compare lines, so the order is part of the output).
class JsonLine {
public:
    JsonLine& add(const char* name, const QString& value);
    JsonLine& add(const char* name, qint64 value);
    JsonLine& add(const char* name, const QStringList& values);

    QByteArray toUtf8() const;

    static QString quoted(const QString& text);

private:
    void addRaw(const char* name, const QString& json);

    QString members;
};
