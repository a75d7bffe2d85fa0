#pragma once

#include <QMessageBox>

// The box that shows a title's details, and the program's own reports: a caption, plain text as
// it is given, one OK button and no icon, modal. Its text can be selected, and Ctrl+C copies the
// selection, or the whole text when nothing is selected, with the platform's line ends. A screen
// reader hears the caption as its name and the text with plain line ends.
//
// A text that fits on the screen shows in a message box; a taller one scrolls inside a box that
// keeps within the screen, its OK button in reach. A text of megabytes (a title with enormous
// reviews) is shown up to a limit, with a note of what is left out.
class DetailsBox : public QMessageBox {
    Q_OBJECT

public:
    DetailsBox(const QString& caption, const QString& text, QWidget* parent = nullptr);

    // Shows the box for the text, of the kind it needs, and returns once the user closed it.
    static void showModal(QWidget* parent, const QString& caption, const QString& text);
    // True when the text is too tall for a message box on the screen of the given height.
    static bool needsScrolling(const QString& text, const QFont& font, QSize screen);
    // The text as the box shows it: whole, or cut at the limit with a note.
    static QString shownText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
