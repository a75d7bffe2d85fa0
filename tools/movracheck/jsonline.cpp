#include "jsonline.h"

JsonLine& JsonLine::add(const char* name, const QString& value)
{
    addRaw(name, quoted(value));
    return *this;
}

JsonLine& JsonLine::add(const char* name, qint64 value)
{
    addRaw(name, QString::number(value));
    return *this;
}

JsonLine& JsonLine::add(const char* name, const QStringList& values)
{
    QStringList items;
    for (const QString& value : values)
        items << quoted(value);
    addRaw(name, u'[' + items.join(QLatin1String(", ")) + u']');
    return *this;
}

QByteArray JsonLine::toUtf8() const
{
    return (u'{' + members + QLatin1String("}\n")).toUtf8();
}

QString JsonLine::quoted(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

void JsonLine::addRaw(const char* name, const QString& json)
{
    if (!members.isEmpty())
        members += QLatin1String(", ");
    members += quoted(QLatin1String(name)) + QLatin1String(": ") + json;
}
