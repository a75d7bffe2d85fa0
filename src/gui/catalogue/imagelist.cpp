#include "gui/catalogue/imagelist.h"

#include "core/catalogue/coverpicture.h"

#include <QDir>

#include <cmath>

namespace {

// The cache's least size at a device pixel ratio of 1; it grows with the square of the ratio, and
// to twice the covers on screen.
constexpr qint64 baseCacheBytes = qint64(16) * 1024 * 1024;
// Requests beyond this are dropped from the back: while the user scrolls fast, what scrolled past
// is no longer wanted.
constexpr size_t maxQueued = 96;

} // namespace

ImageList::ImageList(QObject* parent)
    : QObject(parent)
{
    readers.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
    updateCacheLimit();
}

ImageList::~ImageList()
{
    queue.clear();
    readers.waitForDone();
}

void ImageList::setPictures(const QString& folder, const QStringList& pictureFiles, QSize iconSize)
{
    forgetPictures();
    unreadable.clear();
    folderPath = QDir(folder).path() + u'/';
    files = pictureFiles;
    size = iconSize;
    updateCacheLimit();
}

void ImageList::setDevicePixelRatio(qreal newRatio)
{
    if (newRatio <= 0 || qFuzzyCompare(newRatio, ratio))
        return;
    ratio = newRatio;
    forgetPictures();
    updateCacheLimit();
}

// Drops what was read and asked for; what is being read is dropped as it arrives.
void ImageList::forgetPictures()
{
    ++generation;
    cache.clear();
    queue.clear();
    queued.clear();
    reading.clear();
}

void ImageList::setVisibleCount(int covers)
{
    visible = qMax(0, covers);
    updateCacheLimit();
}

int ImageList::prefetchRoom() const
{
    const qint64 perImage = bytesPerImage();
    return perImage == 0 ? 0 : qMax(0, int(cache.maxCost() / perImage) - visible);
}

qint64 ImageList::bytesPerImage() const
{
    const qint64 width = qint64(std::ceil(size.width() * ratio));
    const qint64 height = qint64(std::ceil(size.height() * ratio));
    return width * height * 4;
}

void ImageList::updateCacheLimit()
{
    const qint64 base = qint64(double(baseCacheBytes) * ratio * ratio);
    cache.setMaxCost(qMax(base, 2 * qint64(visible) * bytesPerImage()));
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
    if (number < 1 || number > files.size() || !size.isValid() || unreadable.contains(number) ||
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
        const QString path = folderPath + files[number - 1];
        const QSize box(int(std::ceil(size.width() * ratio)),
                        int(std::ceil(size.height() * ratio)));
        const int readFor = generation;
        readers.start([this, readFor, number, path, box] {
            const QImage image = CoverPicture::readScaled(path, box);
            QMetaObject::invokeMethod(
                this, [this, readFor, number, image] { imageRead(readFor, number, image); },
                Qt::QueuedConnection);
        });
    }
}

void ImageList::imageRead(int readFor, int number, const QImage& image)
{
    if (readFor != generation)
        return; // read for another screen; asked for again when it is drawn
    reading.remove(number);
    if (image.isNull()) {
        unreadable.insert(number);
    } else {
        auto* pixmap = new QPixmap(QPixmap::fromImage(image));
        pixmap->setDevicePixelRatio(ratio);
        cache.insert(number, pixmap, qMax<qint64>(1, qint64(image.width()) * image.height() * 4));
    }
    startReading();
    emit imageReady(number);
    if (!isBusy())
        emit idle();
}
