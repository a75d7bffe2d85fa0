#pragma once

#include <QString>

// Hands an address to the user's web browser without waiting for it. Tests put a recorder in its
// place.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void open(const QString& url) = 0;
};

// Opens addresses through the desktop's own browser setting.
class DesktopUrlOpener : public UrlOpener {
public:
    void open(const QString& url) override;
};
