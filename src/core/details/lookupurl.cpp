#include "core/details/lookupurl.h"

namespace {

struct Service {
    const char* host;
    const char* pathAndQuery;
    const char* suffix;
};

Service serviceOf(LookUp lookUp)
{
    switch (lookUp) {
    case LookUp::Amazon:
        return {"www.amazon.com", "/exec/obidos/search-handle-url/index%3Ddvd%26field-keywords%3D",
                ""};
    case LookUp::IMDb:
        return {"www.imdb.com", "/find?q=", ""};
    case LookUp::IMDbUK:
        return {"uk.imdb.com", "/find?q=", ""};
    case LookUp::Google:
        break;
    }
    return {"www.google.com", "/search?q=%22", "%22"};
}

QString escapedTitle(const QString& title)
{
    QString escaped;
    escaped.reserve(title.size());
    for (const QChar c : title) {
        switch (c.unicode()) {
        case '%':
        case '&':
        case '#':
        case '+':
        case '?':
        case '/':
            escaped += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

QString lookUpUrl(LookUp lookUp, const QString& title)
{
    const Service service = serviceOf(lookUp);
    return QLatin1String("http://") + QLatin1String(service.host) +
           QLatin1String(service.pathAndQuery) + escapedTitle(title) +
           QLatin1String(service.suffix);
}
