#include "gui/details/urlopener.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopUrlOpener::open(const QString& url)
{
    // Tolerant mode keeps the blanks of a title as they are typed, encoding them only on the wire.
    QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}
