#include "core/details/detailstext.h"

#include "core/details/platformlineend.h"
#include "core/titles/linebreak.h"
#include "core/titles/titlefields.h"

QString detailsText(const QStringList& cells)
{
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
    text.replace(cr, QLatin1String("\n"));
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

QString withPlatformLineEnds(const QString& text)
{
    return withPlainLineEnds(text).replace(u'\n', platformLineEnd());
}
