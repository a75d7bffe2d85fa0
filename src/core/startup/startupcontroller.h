#pragma once

#include "core/catalogue/catalogueloader.h"
#include "core/startup/startfolders.h"
#include "core/startup/startup.h"

#include <QFutureWatcher>
#include <QObject>

#include <atomic>

// The steps of a start, each on a worker thread and each begun by the end of the one before:
//
//   Locate  find the catalogue, test its folder and, on a first start, unpack the archive into it;
//   Load    read every title file and list the covers;
//   Read    the rows wait for the window;
//   Shown   the window has put them on screen;
//   Check   read every cover the rows show, and report what cannot be shown;
//   Done.
//
// A start that cannot unpack its catalogue ends in Failed. Made by main, which hears its failure;
// the splash and the main window only watch it.
class StartupController : public QObject {
    Q_OBJECT

public:
    enum class State { Idle, Locate, Load, Read, Shown, Check, Done, Failed };

    explicit StartupController(const StartFolders& folders, QObject* parent = nullptr);
    // Waits for the step under way; a cover check stops at its next cover.
    ~StartupController() override;

    void begin();
    State state() const { return current; }
    // True once the database folder can be read: it held a file, or the unpacking filled it.
    bool isFolderReady() const;
    // True once the rows are read and not yet taken.
    bool hasContents() const { return current == State::Read; }
    QString databaseFolder() const { return start.databaseFolder(); }
    // Why the start failed; empty unless it did.
    QString failure() const { return failureMessage; }

    // The rows, covers and icon size read.
    CatalogueContents takeContents();
    // The rows are on screen: the files that could not be read are reported now, and the covers
    // the rows show are checked in the background, which reports what it finds after.
    void catalogueShown();
    void checkCovers();

    // The text of the box that names the files that could not be read, the first ones by name.
    static QString problemReport(const QList<LoadProblem>& problems, const QString& folder);

signals:
    void catalogueRead();
    // The catalogue cannot be unpacked; the message says why and where. Also written on standard
    // error, for whoever started Movra from a terminal or a script.
    void failed(const QString& message);
    // Files of the catalogue could not be read; the text names them. Also written on standard
    // error. Once for what loading found, and again only if the cover check finds more.
    void problemsFound(const QString& report);
    // Another start of Movra holds the unpacking lock, and this one waits for it; status is the
    // line to show meanwhile.
    void waitingForOtherStart(const QString& status);

private:
    void located();
    void loaded();
    void coversChecked();
    void report(const QList<LoadProblem>& found);
    void fail(const QString& message);
    static QString notEnoughMemory();

    StartFolders folders;
    StartUp start;
    State current = State::Idle;
    QFutureWatcher<bool> locating;
    QFutureWatcher<void> loading;
    QFutureWatcher<QList<LoadProblem>> coverCheck;
    std::atomic<bool> closing{false};
    std::atomic<bool> outOfMemory{false}; // set by the step under way
    CatalogueContents contents; // written by the reading, then read by this object's thread
    QStringList coversOnShow;   // the covers that rows show, checked once they are on screen
    QList<LoadProblem> loadProblems;
    QString failureMessage;
};
