#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// A box like the message box for a text too tall for the screen: the text scrolls inside it, and
// the box, with its OK button, stays within the screen. Enter and Escape close it; the text can
// be selected, and Ctrl+C copies the selection or, with nothing selected, the whole text.
class ScrollingTextBox : public QDialog {
    Q_OBJECT

public:
    ScrollingTextBox(const QString& caption, const QString& text, QWidget* parent = nullptr);

    QPlainTextEdit* textArea() const { return area; }
    QPushButton* okButton() const { return ok; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPlainTextEdit* area;
    QPushButton* ok;
};
