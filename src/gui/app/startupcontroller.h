#pragma once

#include "core/catalogue/catalogueloader.h"
#include "core/startup/startup.h"

#include <QFutureWatcher>
#include <QObject>

#include <atomic>

// The steps of a start, one after the other, each on a worker thread and each started by the end
// of the one before:
//
//   Locate  find the catalogue and test its folder;
//   Unpack  a first start unpacks the archive into that folder (skipped when it holds a file);
//   Load    read every title file and list the covers;
//   Shown   the window has put the rows on screen;
//   Check   read every cover on show, and report what could not be read.
//
// A start that cannot unpack ends in Failed. The window's loading timer asks isFolderReady() and,
// once it is, takes the rows with takeContents() when catalogueRead() says they are read. Reading
// changes nothing on screen, so it starts as soon as the folder is ready, before the timer ticks.
class StartupController : public QObject {
    Q_OBJECT

public:
    enum class State { Locate, Unpack, Load, Shown, Check, Failed };

    explicit StartupController(const StartFolders& folders, QObject* parent = nullptr);
    // Waits for the step running on a worker thread; a cover check stops at its next cover.
    ~StartupController() override;

    void begin();
    State state() const { return current; }
    // True once the database folder can be read: it held a file, or the unpacking filled it.
    bool isFolderReady() const;
    QString databaseFolder() const { return start.databaseFolder(); }
    // Why the start failed; empty unless it did.
    QString failure() const { return failureMessage; }

    // The window wants the rows: catalogueRead() follows once they are read (at once when they
    // already are).
    void requestContents();
    // The rows, covers and icon size read; the problems stay here and are reported later.
    CatalogueContents takeContents();

    // The rows are on screen: checks that every cover they show can be read. The window calls
    // it once the covers on screen have been drawn, so that the check does not slow them down.
    void checkCovers();

    // The text of the box that names the files that could not be read, the first ones by name.
    static QString problemReport(const QList<LoadProblem>& problems, const QString& folder);

signals:
    void catalogueRead();
    // The catalogue cannot be unpacked; the message says why and where. Also written on standard
    // error, for whoever started Movra from a terminal or a script.
    void failed(const QString& message);
    // Files of the catalogue could not be read; the text names them.
    void problemsFound(const QString& report);
    // Another start of Movra holds the unpacking lock, and this one waits for it; status is the
    // line to show meanwhile.
    void waitingForOtherStart(const QString& status);

private:
    void unpacked();
    void startLoading();
    void loaded();
    void deliverWhenBoth();
    void coversChecked();

    StartFolders folders;
    StartUp start;
    State current = State::Locate;
    QFutureWatcher<bool> unpacking;
    QFutureWatcher<CatalogueContents> loading;
    QFutureWatcher<QList<LoadProblem>> coverCheck;
    std::atomic<bool> closing{false};
    bool contentsWanted = false;
    bool contentsRead = false;
    CatalogueContents contents;
    QStringList coversOnShow; // the covers that rows show, checked once they are on screen
    QList<LoadProblem> problems;
    QString failureMessage;
};
