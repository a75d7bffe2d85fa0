#pragma once

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QSize>
#include <QStringList>
#include <QThreadPool>

#include <deque>

// The list's cover pictures, numbered from 1 in the order they are added. Every image has the
// list's image size, which the first picture fixes (within bounds); a picture of another size is
// scaled to fit inside it, keeping its aspect ratio.
//
// Pictures are read from their files only when they are asked for, in worker threads, decoded at
// the size they are shown at on the screen the list is on (its device pixel ratio), and kept in a
// cache bounded in bytes: a catalogue of tens of thousands of covers would otherwise take seconds
// to open and gigabytes to hold. The cache always has room for every cover on screen, so that
// none is read twice while it is shown. image() answers at once, with a null pixmap while the
// picture is being read; imageReady() tells when it can be drawn.
class ImageList : public QObject {
    Q_OBJECT

public:
    explicit ImageList(QObject* parent = nullptr);
    ~ImageList() override;

    // The pictures, named by their files in folder, replacing any before, and the image size,
    // which the loader found from the first cover that can be read (CatalogueLoader::iconSizeOf).
    // A path is made only for a picture that is read: tens of thousands of them would hold up
    // the window as it first shows.
    void setPictures(const QString& folder, const QStringList& files, QSize iconSize);
    int count() const { return int(files.size()); }
    // In logical pixels.
    QSize imageSize() const { return size; }

    // The device pixel ratio pictures are decoded for; a change reads them again.
    void setDevicePixelRatio(qreal ratio);
    qreal devicePixelRatio() const { return ratio; }
    // How many covers the list shows at once.
    void setVisibleCount(int covers);
    // How many covers beyond the visible ones are worth reading ahead: as many as the cache holds
    // besides them.
    int prefetchRoom() const;

    QPixmap image(int number);
    bool isUnreadable(int number) const { return unreadable.contains(number); }
    // Asks for an image that is likely to be needed soon, behind those already asked for.
    void prefetch(int number);

    // True while pictures are asked for or being read.
    bool isBusy() const { return !queue.empty() || !reading.isEmpty(); }

    qint64 cachedBytes() const { return cache.totalCost(); }

signals:
    void imageReady(int number);
    // Every picture asked for has been read.
    void idle();

private:
    void forgetPictures();
    void request(int number, bool urgent);
    void startReading();
    void imageRead(int readFor, int number, const QImage& image);
    void updateCacheLimit();
    qint64 bytesPerImage() const;

    QString folderPath; // with a slash at its end
    QStringList files;
    QSize size;
    qreal ratio = 1;
    int visible = 0;
    int generation = 0; // counts changes of pictures or ratio: reads begun before are dropped
    QCache<int, QPixmap> cache;
    QSet<int> unreadable;
    QSet<int> queued;
    QSet<int> reading;
    std::deque<int> queue; // most wanted first
    QThreadPool readers;
};
