#include "core/startup/startupcontroller.h"

#include "core/catalogue/backgroundthreads.h"

#include <QDir>
#include <QFileInfo>
#include <QtConcurrent>

#include <cstdio>

namespace {

// How many unreadable files the problem box names before it only counts the rest.
constexpr int problemsNamed = 20;

} // namespace

StartupController::StartupController(const StartFolders& folders, QObject* parent)
    : QObject(parent)
    , folders(folders)
{
    connect(&locating, &QFutureWatcher<bool>::finished, this, &StartupController::located);
    connect(&loading, &QFutureWatcher<void>::finished, this, &StartupController::loaded);
    connect(&coverCheck, &QFutureWatcher<QList<LoadProblem>>::finished, this,
            &StartupController::coversChecked);
    // Told on the thread that unpacks; heard here, on this object's own, through the event loop.
    start.setWaitingHandler([this](const QString& status) {
        QMetaObject::invokeMethod(
            this, [this, status] { emit waitingForOtherStart(status); }, Qt::QueuedConnection);
    });
}

StartupController::~StartupController()
{
    locating.waitForFinished();
    loading.waitForFinished();
    closing = true;
    coverCheck.waitForFinished();
}

// Finding the catalogue may take the lock and clear what an interrupted start left, and a first
// start unpacks: none of it on the window's thread. Reading the catalogue follows on the same
// worker thread as soon as its folder is ready, not when the window's thread hears of it: that
// thread is building the splash window then, and on a large catalogue every moment the disk is
// not reading counts.
void StartupController::begin()
{
    if (current != State::Idle)
        return;
    current = State::Locate;
    QFuture<bool> ready = QtConcurrent::run(backgroundThreads(), [this] {
        try {
            if (!start.prepare(locateCatalogue(folders)))
                return true;
            return start.dbextract() && start.isReady();
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            return false;
        }
    });
    locating.setFuture(ready);
    // The rows go straight into contents, which the window's thread reads only once it hears
    // that the reading ended: a result handed over by the future would be copied, every row.
    loading.setFuture(ready.then([this](bool folderReady) {
        if (!folderReady)
            return;
        try {
            contents = CatalogueLoader::load(start.databaseFolder());
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    }));
}

bool StartupController::isFolderReady() const
{
    return current != State::Idle && current != State::Locate && current != State::Failed;
}

void StartupController::located()
{
    if (!locating.result()) {
        fail(outOfMemory || start.failure().isEmpty()
                 ? QStringLiteral("Movra cannot unpack its catalogue into %1%2.")
                       .arg(QDir::toNativeSeparators(start.databaseFolder()),
                            outOfMemory ? notEnoughMemory() : QString())
                 : start.failure());
        return;
    }
    current = State::Load;
    for (const QString& note : start.notes())
        loadProblems << LoadProblem{QFileInfo(start.archivePath()).fileName(), note, 0};
}

// A system that allows the process less memory than the catalogue needs (a limit on its address
// space, say) ends the start with a message, never with an abort.
QString StartupController::notEnoughMemory()
{
    return QStringLiteral(": there is not enough memory (the system lets Movra use less than the "
                          "catalogue needs)");
}

void StartupController::fail(const QString& message)
{
    current = State::Failed;
    failureMessage = message;
    std::fprintf(stderr, "movra: %s\n", qPrintable(failureMessage));
    emit failed(failureMessage);
}

void StartupController::loaded()
{
    // The reading ends after finding the folder did, and is heard after it; it read nothing when
    // the folder could not be found or unpacked.
    if (current != State::Load)
        return;
    if (outOfMemory) {
        fail(QStringLiteral("Movra cannot read its catalogue in %1%2.")
                 .arg(QDir::toNativeSeparators(start.databaseFolder()), notEnoughMemory()));
        return;
    }
    loadProblems += std::move(contents.problems);
    contents.problems.clear();
    current = State::Read;
    emit catalogueRead();
}

CatalogueContents StartupController::takeContents()
{
    current = State::Shown;
    coversOnShow = contents.shownCovers;
    return std::move(contents);
}

void StartupController::catalogueShown()
{
    report(loadProblems);
}

void StartupController::checkCovers()
{
    if (current != State::Shown)
        return;
    current = State::Check;
    coverCheck.setFuture(QtConcurrent::run(
        backgroundThreads(), [this, folder = start.databaseFolder(), covers = coversOnShow] {
            try {
                return CatalogueLoader::unreadableCovers(folder, covers,
                                                         [this] { return closing.load(); });
            } catch (const std::bad_alloc&) {
                return QList<LoadProblem>(); // what a check cannot finish leaves nothing to say
            }
        }));
}

void StartupController::coversChecked()
{
    current = State::Done;
    report(coverCheck.result());
}

void StartupController::report(const QList<LoadProblem>& found)
{
    if (found.isEmpty())
        return;
    const QString text = problemReport(found, start.databaseFolder());
    std::fprintf(stderr, "movra: %s\n", qPrintable(text));
    emit problemsFound(text);
}

QString StartupController::problemReport(const QList<LoadProblem>& found, const QString& folder)
{
    // Files skipped by the listing, title files that cannot be read and covers that cannot be
    // shown are found in that order; the box names them by name.
    const QList<LoadProblem> problems = CatalogueLoader::inNameOrder(found);
    QStringList lines;
    for (int i = 0; i < problems.size() && i < problemsNamed; ++i) {
        const LoadProblem& problem = problems[i];
        QString line = problem.file + QLatin1String(": ") + problem.reason;
        if (problem.line > 0)
            line += QStringLiteral(" (line %1)").arg(problem.line);
        lines << line;
    }
    if (problems.size() > problemsNamed)
        lines << QStringLiteral("... and %1 more.").arg(problems.size() - problemsNamed);
    return QStringLiteral("Some files of the catalogue in %1 could not be read and are not shown "
                          "as they should be:\n\n")
               .arg(QDir::toNativeSeparators(folder)) +
           lines.join(QLatin1Char('\n'));
}
