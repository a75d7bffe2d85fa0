#include "gui/app/startupcontroller.h"

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
    connect(&unpacking, &QFutureWatcher<bool>::finished, this, &StartupController::unpacked);
    connect(&loading, &QFutureWatcher<CatalogueContents>::finished, this,
            &StartupController::loaded);
    connect(&coverCheck, &QFutureWatcher<QList<LoadProblem>>::finished, this,
            &StartupController::coversChecked);
    // Sent from the thread that unpacks; it arrives here once the window can hear it.
    connect(&start, &StartUp::waitingForOtherStart, this, &StartupController::waitingForOtherStart,
            Qt::QueuedConnection);
}

StartupController::~StartupController()
{
    unpacking.waitForFinished();
    loading.waitForFinished();
    closing = true;
    coverCheck.waitForFinished();
}

void StartupController::begin()
{
    if (!start.prepare(locateCatalogue(folders))) {
        startLoading();
        return;
    }
    current = State::Unpack;
    unpacking.setFuture(QtConcurrent::run([this] { return start.dbextract(); }));
}

bool StartupController::isFolderReady() const
{
    return current != State::Locate && current != State::Unpack && current != State::Failed;
}

void StartupController::unpacked()
{
    if (!start.failure().isEmpty() || !start.isReady()) {
        current = State::Failed;
        const QString message = start.failure().isEmpty()
                                    ? QStringLiteral("Movra cannot unpack its catalogue into %1.")
                                          .arg(QDir::toNativeSeparators(start.databaseFolder()))
                                    : start.failure();
        failureMessage = message;
        std::fprintf(stderr, "movra: %s\n", qPrintable(message));
        emit failed(message);
        return;
    }
    startLoading();
}

void StartupController::startLoading()
{
    current = State::Load;
    for (const QString& note : start.notes())
        problems << LoadProblem{QFileInfo(start.archivePath()).fileName(), note, 0};
    loading.setFuture(QtConcurrent::run(&CatalogueLoader::load, start.databaseFolder()));
}

void StartupController::requestContents()
{
    contentsWanted = true;
    deliverWhenBoth();
}

void StartupController::loaded()
{
    contents = loading.result();
    problems += std::move(contents.problems);
    contents.problems.clear();
    contentsRead = true;
    deliverWhenBoth();
}

void StartupController::deliverWhenBoth()
{
    if (current == State::Load && contentsWanted && contentsRead) {
        contentsWanted = false;
        emit catalogueRead();
    }
}

CatalogueContents StartupController::takeContents()
{
    current = State::Shown;
    coversOnShow = contents.shownCovers;
    return std::move(contents);
}

void StartupController::checkCovers()
{
    if (current != State::Shown)
        return;
    current = State::Check;
    coverCheck.setFuture(QtConcurrent::run([this, folder = start.databaseFolder(),
                                            covers = coversOnShow] {
        return CatalogueLoader::unreadableCovers(folder, covers, [this] { return closing.load(); });
    }));
}

void StartupController::coversChecked()
{
    problems += coverCheck.result();
    if (!problems.isEmpty())
        emit problemsFound(problemReport(problems, start.databaseFolder()));
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
