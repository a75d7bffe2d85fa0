// movra-bench: measures how Movra copes with a large catalogue. Prints figures, never judges them.
//
//   movra-bench PROGRAM-FOLDER [--runs N] [--archive ARCHIVE]
//
// PROGRAM-FOLDER holds db/ (see movra-gencatalogue). Each run starts fresh processes, in turn:
// the floor (movra-floor: list db/ and read every title file with plain system calls), the real
// start-up (splash, main window, loading) followed by cover, scrolling, sorting and
// view-switching measurements in the same process, and a start whose window is closed 0.1 s
// after it shows. With --archive, first-start extraction is timed against bsdtar -xf. With
// --start-only, Movra's process ends as soon as its window shows: no scrolling or sorting.
// --long-text times repaints and the details box with a title of 15 MB of reviews and a title of
// 20,000 characters on screen.
// --cold (as root) drops the page cache before every process it starts, as after a reboot, and
// times Movra from process start to the window with all its rows, and then to the first screen
// of covers, against the floor read with 1, 4, 16 and 64 threads.

#include "findbench.h"

#include "core/startup/startup.h"
#include "core/startup/startupcontroller.h"
#include "gui/app/form1.h"
#include "gui/app/frmsplash.h"
#include "gui/catalogue/listview.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QListView>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

qint64 nowMicros()
{
    return QDateTime::currentMSecsSinceEpoch() * 1000;
}

qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

void report(const char* name, double value)
{
    std::printf("%s %.3f\n", name, value);
    std::fflush(stdout);
}

// --- child modes -----------------------------------------------------------------------------

// Rows whose items the icon view shows now.
QList<int> visibleRows(QListView* view)
{
    QList<int> rows;
    const QSize grid = view->gridSize();
    const QRect area = view->viewport()->rect();
    for (int y = grid.height() / 2; y < area.height(); y += grid.height()) {
        for (int x = grid.width() / 2; x < area.width(); x += grid.width()) {
            const QModelIndex index = view->indexAt(QPoint(x, y));
            if (index.isValid())
                rows << index.row();
        }
    }
    return rows;
}

// Waits until every visible cover is ready and painted; returns the milliseconds it took.
double waitForVisibleCovers(Form1& form)
{
    QElapsedTimer timer;
    timer.start();
    ListView& list = *form.list();
    for (;;) {
        QCoreApplication::processEvents();
        bool ready = true;
        for (int row : visibleRows(list.iconView())) {
            const int icon = list.itemIcon(row + 1);
            if (icon > 0 && form.coverImages().image(icon).isNull() &&
                !form.coverImages().isUnreadable(icon))
                ready = false;
        }
        if (ready || timer.elapsed() > 10000)
            break;
        QThread::usleep(200);
    }
    list.iconView()->viewport()->repaint();
    return double(timer.nsecsElapsed()) / 1e6;
}

double timed(const std::function<void()>& action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return double(timer.nsecsElapsed()) / 1e6;
}

void measureInteractive(Form1& form)
{
    ListView& list = *form.list();
    report("rows", list.itemCount());
    report("visible_covers_ms", waitForVisibleCovers(form));
    // Ranking starts once the first covers are drawn: how long until then a sort by some column
    // must rank it first.
    report("ranked_after_covers_ms", timed([&] {
               QElapsedTimer waited;
               waited.start();
               while (!list.isReadyToSort() && waited.elapsed() < 10000) {
                   QCoreApplication::processEvents();
                   QThread::usleep(200);
               }
           }));

    QScrollBar* bar = list.iconView()->verticalScrollBar();
    std::vector<double> scrolls;
    for (int step = 1; step <= 9; ++step) {
        bar->setValue(bar->maximum() * ((step * 37) % 10) / 10);
        scrolls.push_back(waitForVisibleCovers(form));
    }
    std::sort(scrolls.begin(), scrolls.end());
    report("scroll_covers_median_ms", scrolls[scrolls.size() / 2]);
    report("scroll_covers_max_ms", scrolls.back());

    report("switch_to_report_ms", timed([&] {
               QTest::keyClick(&form, Qt::Key_F4);
               list.reportView()->viewport()->repaint();
           }));
    report("switch_to_icons_ms", timed([&] {
               QTest::keyClick(&form, Qt::Key_F3);
               list.iconView()->viewport()->repaint();
           }));
    // Every column by its key, Ctrl and its digit, from the key to the repainted list: the first
    // sort by the column, then the same key again, which reverses it.
    const Qt::Key digits[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5,
                              Qt::Key_6, Qt::Key_7, Qt::Key_8, Qt::Key_9, Qt::Key_0};
    for (int column = 1; column <= 10; ++column) {
        for (const char* which : {"first", "again"}) {
            const double ms = timed([&] {
                QTest::keyClick(&form, digits[column - 1], Qt::ControlModifier);
                list.reportView()->viewport()->repaint();
            });
            std::printf("sort_%s_column_%02d_ms %.3f\n", which, column, ms);
        }
    }
    report("switch_to_icons_sorted_ms", timed([&] {
               QTest::keyClick(&form, Qt::Key_F3);
               list.iconView()->viewport()->repaint();
           }));
    report("switch_to_report_sorted_ms", timed([&] {
               QTest::keyClick(&form, Qt::Key_F4);
               list.reportView()->viewport()->repaint();
           }));

    // Every row once in both views: the report view page by page, the icon view screen by
    // screen with its covers.
    QScrollBar* reportBar = list.reportView()->verticalScrollBar();
    for (int value = 0; value <= reportBar->maximum(); value += qMax(1, reportBar->pageStep())) {
        reportBar->setValue(value);
        list.reportView()->viewport()->repaint();
    }
    QTest::keyClick(&form, Qt::Key_F3);
    const double scrollAll = timed([&] {
        for (int value = 0; value <= bar->maximum(); value += qMax(1, bar->pageStep())) {
            bar->setValue(value);
            waitForVisibleCovers(form);
        }
    });
    report("scroll_all_icons_s", scrollAll / 1000);
    report("peak_rss_mb", double(peakResidentKb()) / 1024);
}

// What a start measures once its window shows, before its process ends.
enum class AfterShown { Nothing, FirstCovers, Everything };

int runStart(int argc, char** argv, const QString& programFolder, AfterShown after)
{
    QApplication app(argc, argv);
    StartupController startup({programFolder, {}, {}, true});
    startup.begin();
    auto* splash = new frmSplash(startup);
    QObject::connect(splash, &frmSplash::mainWindowCreated, [after](Form1* form) {
        // The main window starts reading the catalogue as it is made.
        report("created_at_us", double(nowMicros()));
        QObject::connect(form, &Form1::catalogueShown, form, [form, after] {
            report("shown_at_us", double(nowMicros()));
            report("rss_at_shown_mb", double(peakResidentKb()) / 1024);
            QTimer::singleShot(0, form, [form, after] {
                if (after == AfterShown::Everything)
                    measureInteractive(*form);
                else if (after == AfterShown::FirstCovers)
                    report("visible_covers_ms", waitForVisibleCovers(*form));
                QCoreApplication::exit(0);
            });
        });
    });
    splash->show();
    return app.exec();
}

// Closes the main window 0.1 s after it shows; the driver times how long the process takes to end.
int runClose(int argc, char** argv, const QString& programFolder)
{
    QApplication app(argc, argv);
    StartupController startup({programFolder, {}, {}, true});
    startup.begin();
    auto* splash = new frmSplash(startup);
    QObject::connect(splash, &frmSplash::mainWindowCreated, [](Form1* form) {
        QObject::connect(form, &Form1::catalogueShown, form, [form] {
            QTimer::singleShot(100, form, [form] {
                report("close_at_us", double(nowMicros()));
                form->close();
            });
        });
    });
    splash->show();
    return app.exec();
}

int runExtract(int argc, char** argv, const QString& archive)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir program;
    QFile::link(QFileInfo(archive).absoluteFilePath(),
                program.filePath(QStringLiteral("data.rar")));
    StartUp start;
    start.prepare(portableLocation(program.path()));
    const double ms = timed([&] { start.dbextract(); });
    report("extract_ms", ms);
    report("extract_failed", start.failure().isEmpty() ? 0 : 1);
    return 0;
}

// A catalogue of one title with 15 MB of reviews and one whose title is 20,000 characters long:
// how long the views take to repaint with them on screen, and the details box to open.
int runLongText(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir program;
    QDir(program.path()).mkpath(QStringLiteral("db"));
    const QByteArray header = QByteArray("header\r\n").repeated(29);
    QFile big(program.filePath(QStringLiteral("db/a-big.adl")));
    big.open(QIODevice::WriteOnly);
    big.write(header + "Enormous Reviews\r\nCustomer Reviews:\r\n" +
              QByteArray("\"A review\" of a film, one line of many.\r\n").repeated(380000));
    big.close();
    QFile long_(program.filePath(QStringLiteral("db/b-long.adl")));
    long_.open(QIODevice::WriteOnly);
    long_.write(header + QByteArray("A very long title ").repeated(1112) + "\r\n");
    long_.close();

    StartupController startup({program.path(), {}, {}, true});
    startup.begin();
    Form1 form(startup);
    if (!QTest::qWaitFor([&] { return form.isVisible(); }, 60000) ||
        !QTest::qWaitForWindowExposed(&form))
        return 1;
    ListView& list = *form.list();
    report("icons_repaint_ms", timed([&] { list.iconView()->viewport()->repaint(); }));
    QTest::keyClick(&form, Qt::Key_F4);
    report("report_repaint_ms", timed([&] { list.reportView()->viewport()->repaint(); }));
    list.selectItem(1);
    QElapsedTimer opening;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget(); box && box->isVisible()) {
            report("details_open_ms", double(opening.nsecsElapsed()) / 1e6);
            box->close();
        }
    });
    closer.start(1);
    opening.start();
    QTest::keyClick(list.reportView(), Qt::Key_Return);
    return 0;
}

// --- driver ----------------------------------------------------------------------------------

using Figures = std::map<std::string, double>;

Figures runChild(const QStringList& arguments, qint64* spawnedAt = nullptr,
                 qint64* endedAt = nullptr,
                 const QString& program = QCoreApplication::applicationFilePath())
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (spawnedAt)
        *spawnedAt = nowMicros();
    child.start(program, arguments);
    child.waitForFinished(-1);
    if (endedAt)
        *endedAt = nowMicros();
    // Its figures may be complete and still hide a crash on the way out.
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        std::fprintf(stderr, "movra-bench: %s %s %s\n", qPrintable(QFileInfo(program).fileName()),
                     qPrintable(arguments.join(u' ')),
                     child.exitStatus() == QProcess::CrashExit
                         ? "crashed"
                         : qPrintable(QStringLiteral("ended with %1").arg(child.exitCode())));
    Figures figures;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2)
            figures[parts[0].toStdString()] = parts[1].toDouble();
    }
    return figures;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

int driveLongText(int runs)
{
    std::map<std::string, std::vector<double>> all;
    for (int run = 0; run < runs; ++run) {
        for (const auto& [name, value] : runChild({QStringLiteral("--long-text-child")}))
            all[name].push_back(value);
    }
    std::printf("medians over %d runs, a title with 15 MB of reviews and one of 20,000 "
                "characters on screen\n",
                runs);
    for (const auto& [name, values] : all)
        std::printf("  %-26s %10.3f\n", name.c_str(), median(values));
    return 0;
}

int drive(const QString& programFolder, int runs, const QString& archive, bool startOnly)
{
    std::map<std::string, std::vector<double>> all;
    const QString floorProgram =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("movra-floor"));
    const QString db = QDir(programFolder).filePath(QStringLiteral("db"));
    for (int run = 0; run < runs; ++run) {
        // The floor and Movra in turn, so that both meet the same state of the page cache.
        qint64 spawned = 0;
        qint64 ended = 0;
        const Figures floor = runChild({db}, &spawned, &ended, floorProgram);
        all["floor_s"].push_back(double(ended - spawned) / 1e6);
        all["title_bytes_mb"].push_back(floor.at("bytes") / 1048576.0);
        const Figures start =
            runChild({QStringLiteral("--mode"),
                      startOnly ? QStringLiteral("shown") : QStringLiteral("start"), programFolder},
                     &spawned);
        all["start_to_shown_s"].push_back((start.at("shown_at_us") - double(spawned)) / 1e6);
        for (const auto& [name, value] : start) {
            if (name != "shown_at_us")
                all[name].push_back(value);
        }
        const Figures close = runChild(
            {QStringLiteral("--mode"), QStringLiteral("close"), programFolder}, &spawned, &ended);
        all["close_to_exit_s"].push_back((double(ended) - close.at("close_at_us")) / 1e6);
        std::fprintf(stderr, "run %d of %d done\n", run + 1, runs);
    }
    if (!archive.isEmpty()) {
        for (int run = 0; run < qMax(1, runs / 2); ++run) {
            const Figures ours =
                runChild({QStringLiteral("--mode"), QStringLiteral("extract"), archive});
            all["extract_s"].push_back(ours.at("extract_ms") / 1000);
            QTemporaryDir target;
            const double bsdtar = timed([&] {
                QProcess::execute(QStringLiteral("bsdtar"), {QStringLiteral("-xf"), archive,
                                                             QStringLiteral("-C"), target.path()});
            });
            all["bsdtar_extract_s"].push_back(bsdtar / 1000);
        }
    }
    std::printf("medians over %d runs, and the worst run\n", runs);
    for (const auto& [name, values] : all)
        std::printf("  %-26s %10.3f %10.3f\n", name.c_str(), median(values),
                    *std::max_element(values.begin(), values.end()));
    const std::vector<double>& floors = all["floor_s"];
    const double floor = median(floors);
    const double start = median(all["start_to_shown_s"]);
    std::printf("  %-26s %10.3f .. %.3f  (spread of the floor)\n", "floor_min_max_s",
                *std::min_element(floors.begin(), floors.end()),
                *std::max_element(floors.begin(), floors.end()));
    // The start's fixed costs: the two 100 ms timers, starting Qt and the first paint.
    std::printf("  %-26s %10.3f  (start / (floor + 0.35 s); at most 1.5)\n", "start_ratio",
                start / (floor + 0.35));
    std::printf("  %-26s %10.3f  (start - floor; at most 0.40 s for small catalogues)\n",
                "start_over_floor_s", start - floor);
    std::printf("  %-26s %10.3f  (120 MB + title files)\n", "memory_budget_mb",
                120 + median(all["title_bytes_mb"]));
    if (!archive.isEmpty())
        std::printf("  %-26s %10.3f\n", "extract_vs_bsdtar",
                    median(all["extract_s"]) / median(all["bsdtar_extract_s"]));
    return 0;
}

// Writes what is cached back to disk and drops the page cache, the dentries and the inodes, so that
// the next process reads everything from the disk. Needs root.
bool dropPageCache()
{
    ::sync();
    QFile control(QStringLiteral("/proc/sys/vm/drop_caches"));
    return control.open(QIODevice::WriteOnly) && control.write("3\n") == 2 && control.flush();
}

// Each run drops the page cache before every process: the floor with every thread count, then
// Movra started as usual, so that all of them meet the disk in the same state.
int driveCold(const QString& programFolder, int runs)
{
    if (!dropPageCache()) {
        std::fprintf(stderr, "movra-bench --cold drops the page cache and needs root "
                             "(/proc/sys/vm/drop_caches); skipped\n");
        return 0;
    }
    const QString floorProgram =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("movra-floor"));
    const QString db = QDir(programFolder).filePath(QStringLiteral("db"));
    const int threadCounts[] = {1, 4, 16, 64};
    std::vector<std::vector<double>> floors(std::size(threadCounts));
    std::vector<double> created;
    std::vector<double> starts;
    std::vector<double> firstCovers;
    for (int run = 0; run < runs; ++run) {
        qint64 spawned = 0;
        qint64 ended = 0;
        for (size_t i = 0; i < std::size(threadCounts); ++i) {
            dropPageCache();
            runChild({db, QStringLiteral("--threads"), QString::number(threadCounts[i])}, &spawned,
                     &ended, floorProgram);
            floors[i].push_back(double(ended - spawned) / 1e6);
        }
        dropPageCache();
        const Figures start =
            runChild({QStringLiteral("--mode"), QStringLiteral("covers"), programFolder}, &spawned);
        created.push_back((start.at("created_at_us") - double(spawned)) / 1e6);
        starts.push_back((start.at("shown_at_us") - double(spawned)) / 1e6);
        firstCovers.push_back(start.at("visible_covers_ms"));
        std::fprintf(stderr, "cold run %d of %d done\n", run + 1, runs);
    }
    std::printf("medians over %d runs, the page cache dropped before each process "
                "(fastest .. slowest)\n",
                runs);
    const auto print = [](const std::string& name, const std::vector<double>& values) {
        std::printf("  %-26s %10.3f  (%.3f .. %.3f)\n", name.c_str(), median(values),
                    *std::min_element(values.begin(), values.end()),
                    *std::max_element(values.begin(), values.end()));
    };
    double bestFloor = 0;
    for (size_t i = 0; i < std::size(threadCounts); ++i) {
        print("floor_" + std::to_string(threadCounts[i]) + "_threads_s", floors[i]);
        if (i == 0 || median(floors[i]) < bestFloor)
            bestFloor = median(floors[i]);
    }
    print("start_to_window_made_s", created);
    print("start_to_shown_s", starts);
    print("first_covers_ms", firstCovers);
    std::printf("  %-26s %10.3f  (start / the fastest floor; at most 1.25)\n", "start_ratio",
                median(starts) / bestFloor);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.size() == 3 && arguments[0] == QLatin1String("--mode")) {
        if (arguments[1] == QLatin1String("close"))
            return runClose(argc, argv, arguments[2]);
        if (arguments[1] == QLatin1String("start"))
            return runStart(argc, argv, arguments[2], AfterShown::Everything);
        if (arguments[1] == QLatin1String("shown"))
            return runStart(argc, argv, arguments[2], AfterShown::Nothing);
        if (arguments[1] == QLatin1String("covers"))
            return runStart(argc, argv, arguments[2], AfterShown::FirstCovers);
        if (arguments[1] == QLatin1String("extract"))
            return runExtract(argc, argv, arguments[2]);
    }
    if (arguments.value(0) == QLatin1String("--find") && arguments.size() == 2)
        return runFindBench(argc, argv, arguments[1]);
    if (arguments.value(0) == QLatin1String("--long-text-child"))
        return runLongText(argc, argv);
    if (arguments.value(0) == QLatin1String("--long-text")) {
        QCoreApplication app(argc, argv);
        return driveLongText(3);
    }
    QCoreApplication app(argc, argv);
    int runs = 5;
    QString archive;
    bool startOnly = false;
    bool cold = false;
    bool understood = !arguments.isEmpty() && !arguments[0].startsWith(QLatin1String("--"));
    for (int i = 1; understood && i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--start-only"))
            startOnly = true;
        else if (arguments[i] == QLatin1String("--cold"))
            cold = true;
        else if (arguments[i] == QLatin1String("--runs") && i + 1 < arguments.size())
            runs = arguments[++i].toInt();
        else if (arguments[i] == QLatin1String("--archive") && i + 1 < arguments.size())
            archive = arguments[++i];
        else
            understood = false;
    }
    if (!understood || runs < 1) {
        std::fprintf(stderr, "usage: movra-bench PROGRAM-FOLDER [--runs N] [--archive ARCHIVE] "
                             "[--start-only]\n"
                             "       movra-bench PROGRAM-FOLDER --cold [--runs N]   (as root)\n"
                             "       movra-bench --long-text\n"
                             "       movra-bench --find PROGRAM-FOLDER\n");
        return 2;
    }
    if (!QFileInfo(QDir(arguments[0]).filePath(QStringLiteral("db"))).isDir()) {
        std::fprintf(stderr, "movra-bench: %s holds no db folder; movra-gencatalogue makes one\n",
                     qPrintable(arguments[0]));
        return 2;
    }
    if (cold)
        return driveCold(arguments[0], runs);
    return drive(arguments[0], runs, archive, startOnly);
}
