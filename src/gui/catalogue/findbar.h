#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The find bar below the list: a one-line field whose text narrows the list as the user types,
// and beside it how many titles the list shows. It only reports what the user does; the window
// narrows the list, tells the bar the count, and closes the bar on Escape.
class FindBar : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(QWidget* parent = nullptr);

    QLineEdit* field() const { return edit; }
    QLabel* countLabel() const { return count; }
    QString text() const;

    // "N of M titles", or with nothing shown out of something "No title matches" and a tinted
    // field. Screen readers hear it as the field's description whenever it changes.
    void showCount(int shown, int total);
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

    QLineEdit* edit;
    QLabel* count;
};
