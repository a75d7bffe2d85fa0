#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class IconListView;
class ImageList;

// Keeps the covers of the icon view coming: tells the image list how many covers a screen shows
// and the pixel ratio of the screen the view is on (covers are decoded for it, and read again when
// the window moves to a screen of another ratio), and once scrolling pauses reads the covers of
// the next two screens and the previous one, so that scrolling finds them ready. The covers on
// screen are asked for as they are drawn.
class CoverPrefetcher : public QObject {
    Q_OBJECT

public:
    explicit CoverPrefetcher(IconListView* view);

    void setImageList(ImageList* images);
    // The view is on show and the covers worth reading are its own; otherwise nothing is read
    // ahead.
    void setActive(bool active);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followScreen();
    void updateVisibleCount();
    void prefetchAhead();

    IconListView* view;
    QPointer<ImageList> images;
    QTimer timer;
    bool active = true;
    bool followingWindow = false;
};
