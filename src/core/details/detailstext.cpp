#include "core/details/detailstext.h"

#include "core/titles/titlefields.h"

namespace {

// Where the clipboard's text goes, other programs of the platform read it with their own line ends.
QLatin1String platformLineEnd()
{
#ifdef Q_OS_WIN
    return QLatin1String("\r\n");
#else
    return QLatin1String("\n");
#endif
}

} // namespace

QString detailsText(const QStringList& cells)
{
    const QLatin1String cr("\r\n");
    QString text;
    for (const TitleFieldInfo& field : titleFields) {
        if (field.field != TitleField::Starring)
            text += cr;
        text += field.label + cr + cells.value(int(field.field)) + cr;
    }
    return text;
}

QString withPlainLineEnds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

QString withPlatformLineEnds(const QString& text)
{
    return withPlainLineEnds(text).replace(u'\n', platformLineEnd());
}
