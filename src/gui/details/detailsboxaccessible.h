#pragma once

#include <QAccessibleWidget>

class QMessageBox;

// What a screen reader is told of a details box: an alert named by its caption, whose value is
// the box's text with plain line ends. The text itself keeps the CR LF it was given; read out as
// it is, each CR would reach the reader as a character of its own.
class DetailsBoxAccessible : public QAccessibleWidget {
public:
    explicit DetailsBoxAccessible(QMessageBox* box);

    QString text(QAccessible::Text t) const override;

    // Makes every details box speak through this interface; only the first call installs it.
    static void install();
};
