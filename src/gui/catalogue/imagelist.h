#pragma once

#include <QCache>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QSize>
#include <QStringList>
#include <QThreadPool>

#include <deque>

// The list's cover pictures, numbered from 1 in the order they are added. Every image has the
// list's image size, which the first picture fixes; a picture of another size is scaled to fit
// inside it, keeping its aspect ratio.
//
// Pictures are read from their files only when they are asked for, in worker threads, and kept
// in a cache bounded in bytes: a catalogue of tens of thousands of covers would otherwise take
// seconds to open and gigabytes to hold. image() answers at once, with a null pixmap while the
// picture is being read; imageReady() tells when it can be drawn.
class ImageList : public QObject {
    Q_OBJECT

public:
    explicit ImageList(QObject* parent = nullptr);
    ~ImageList() override;

    // Appends the picture in the file at path; the first one fixes the image size.
    int add(const QString& path);
    // Appends many pictures whose size is already known (that of the first of them).
    void addAll(const QStringList& paths, QSize firstSize);
    int count() const { return int(paths.size()); }
    QSize imageSize() const { return size; }

    QPixmap image(int number);
    bool isUnreadable(int number) const { return unreadable.contains(number); }
    // Asks for an image that is likely to be needed soon, behind those already asked for.
    void prefetch(int number);

    // True while pictures are asked for or being read.
    bool isBusy() const { return !queue.empty() || !reading.isEmpty(); }

    qint64 cachedBytes() const { return cache.totalCost(); }

    // Reads the picture at path scaled to fit inside box; null when it cannot be read.
    static QImage readScaled(const QString& path, QSize box);

signals:
    void imageReady(int number);
    // Every picture asked for has been read.
    void idle();

private:
    void request(int number, bool urgent);
    void startReading();
    void imageRead(int number, const QImage& image);

    QStringList paths;
    QSize size;
    QCache<int, QPixmap> cache;
    QSet<int> unreadable;
    QSet<int> queued;
    QSet<int> reading;
    std::deque<int> queue; // most wanted first
    QThreadPool readers;
};
