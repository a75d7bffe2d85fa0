#pragma once

#include <QObject>

class QAbstractItemView;
class QKeyEvent;

// What the list reports of its views' keys and clicks: a double-click, a character key, the copy
// key. It watches each view it is given and leaves every event to the view, but for the copy key,
// which the window answers instead of the view.
class ListEvents : public QObject {
    Q_OBJECT

public:
    explicit ListEvents(QObject* parent = nullptr);

    void watch(QAbstractItemView* view);

signals:
    // A double-click anywhere in the view, on a row or beside the rows.
    void doubleClicked();
    // A character key: 13 for Enter. The view handles the key as usual as well.
    void keyPressed(int keyAscii);
    void copyRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool reportKey(const QKeyEvent& key);
};
