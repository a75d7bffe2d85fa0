#include "gui/catalogue/imagelist.h"

#include <QImageReader>

namespace {

constexpr qint64 defaultCacheBytes = 48 * 1024 * 1024;
// Requests beyond this are dropped from the back: while the user scrolls fast, what scrolled past
// is no longer wanted.
constexpr size_t maxQueued = 96;

} // namespace

ImageList::ImageList(QObject* parent)
    : QObject(parent)
{
    cache.setMaxCost(defaultCacheBytes);
    readers.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
}

ImageList::~ImageList()
{
    queue.clear();
    readers.waitForDone();
}

int ImageList::add(const QString& path)
{
    if (paths.isEmpty())
        size = QImageReader(path).size();
    paths << path;
    return int(paths.size());
}

void ImageList::addAll(const QStringList& newPaths, QSize firstSize)
{
    if (paths.isEmpty())
        size = firstSize;
    paths += newPaths;
}

QPixmap ImageList::image(int number)
{
    if (const QPixmap* cached = cache.object(number))
        return *cached;
    request(number, true);
    return {};
}

void ImageList::prefetch(int number)
{
    if (!cache.contains(number))
        request(number, false);
}

void ImageList::request(int number, bool urgent)
{
    if (number < 1 || number > paths.size() || !size.isValid() || unreadable.contains(number) ||
        reading.contains(number))
        return;
    if (queued.contains(number)) {
        if (!urgent)
            return;
        queue.erase(std::find(queue.begin(), queue.end(), number));
        queued.remove(number);
    }
    if (urgent)
        queue.push_front(number);
    else
        queue.push_back(number);
    queued.insert(number);
    while (queue.size() > maxQueued) {
        queued.remove(queue.back());
        queue.pop_back();
    }
    startReading();
}

void ImageList::startReading()
{
    while (!queue.empty() && reading.size() < readers.maxThreadCount()) {
        const int number = queue.front();
        queue.pop_front();
        queued.remove(number);
        reading.insert(number);
        const QString path = paths[number - 1];
        const QSize box = size;
        readers.start([this, number, path, box] {
            const QImage image = readScaled(path, box);
            QMetaObject::invokeMethod(
                this, [this, number, image] { imageRead(number, image); }, Qt::QueuedConnection);
        });
    }
}

void ImageList::imageRead(int number, const QImage& image)
{
    reading.remove(number);
    if (image.isNull()) {
        unreadable.insert(number);
    } else {
        const QPixmap pixmap = QPixmap::fromImage(image);
        cache.insert(number, new QPixmap(pixmap),
                     qMax<qint64>(1, qint64(pixmap.width()) * pixmap.height() * 4));
    }
    startReading();
    emit imageReady(number);
    if (!isBusy())
        emit idle();
}

QImage ImageList::readScaled(const QString& path, QSize box)
{
    QImageReader reader(path);
    const QSize original = reader.size();
    const QSize fitted = original.isValid() ? original.scaled(box, Qt::KeepAspectRatio) : QSize();
    if (fitted.isValid() && fitted != original)
        reader.setScaledSize(fitted);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (fitted.isValid() && image.size() != fitted)
        image = image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    else if (!fitted.isValid())
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}
