#pragma once

#include <QLabel>

// Tells a screen reader a short message without moving the focus: how many titles a find shows,
// how the list is now sorted. A hidden label that screen readers know as a notification, shown to
// them anew with each message; Orca says "notification" and the message.
class Announcer : public QLabel {
    Q_OBJECT

public:
    explicit Announcer(QWidget* parent = nullptr);

    void announce(const QString& message);
};
