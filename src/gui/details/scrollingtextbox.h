#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// A box like the message box for a text too tall for the screen: the text scrolls inside it, and
// the box, with its OK button, stays within the screen. Enter and Escape close it; Up, Down, Page
// Up, Page Down, Ctrl+Home and Ctrl+End scroll the text while OK keeps the focus, and Tab moves
// into the text. The text can be selected, and Ctrl+C copies the selection or, with nothing
// selected, the whole text, with the platform's line ends.
class ScrollingTextBox : public QDialog {
    Q_OBJECT

public:
    ScrollingTextBox(const QString& caption, const QString& text, QWidget* parent = nullptr);

    QPlainTextEdit* textArea() const { return area; }
    QPushButton* okButton() const { return ok; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void moveCursorIntoView();
    void copyText() const;

    QPlainTextEdit* area;
    QPushButton* ok;
};
