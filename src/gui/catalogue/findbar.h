#pragma once

#include <QTimer>
#include <QWidget>

class Announcer;
class QLabel;
class QLineEdit;

// The find bar below the list: a labelled one-line field whose text narrows the list as the user
// types, and beside it how many titles the list shows. A screen reader hears that count once the
// typing pauses, without the focus leaving the field. The bar only reports what the user does;
// the window narrows the list, tells the bar the count, and closes the bar on Escape.
class FindBar : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(QWidget* parent = nullptr);

    QLineEdit* field() const { return edit; }
    QLabel* label() const { return caption; }
    QLabel* countLabel() const { return count; }
    QString text() const;

    // "N of M titles", or with nothing shown out of something "No title matches" and a tinted
    // field. A screen reader hears it half a second after the typing pauses, when it changed.
    void showCount(int shown, int total);
    // Tells a screen reader the count now, even when it has heard it already.
    void announceCount();
    // Puts the focus in the field with its text selected, so that typing replaces it.
    void focusField();
    void clear();

signals:
    void queryChanged(const QString& text);
    // Down or Enter in the field: the user wants to go on in the list.
    void moveIntoList();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setTinted(bool tinted);
    void announceChangedCount();

    QLabel* caption;
    QLineEdit* edit;
    QLabel* count;
    Announcer* announcer;
    QTimer pause;          // the typing's pause, after which the count is heard
    QString lastAnnounced; // what a screen reader heard last
};
