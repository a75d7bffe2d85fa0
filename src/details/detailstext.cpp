#include "details/detailstext.h"

#include <array>

QString detailsText(const QStringList& cells)
{
    // "Release Date:" with a capital D, unlike the column header and the title file's marker.
    static const std::array<QLatin1String, 9> labels = {
        QLatin1String("Starring:"),
        QLatin1String("Directors:"),
        QLatin1String("Release Date:"),
        QLatin1String("Manufacturer:"),
        QLatin1String("Genre:"),
        QLatin1String("Features:"),
        QLatin1String("Mpaa Rating:"),
        QLatin1String("Customer Rating:"),
        QLatin1String("Customer Reviews:"),
    };
    const QLatin1String cr("\r\n");
    QString text;
    for (size_t i = 0; i < labels.size(); ++i) {
        if (i > 0)
            text += cr;
        text += labels[i] + cr + cells.value(int(i)) + cr;
    }
    return text;
}
