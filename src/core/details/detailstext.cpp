#include "core/details/detailstext.h"

#include "core/titles/titlefields.h"

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
