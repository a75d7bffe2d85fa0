#include "findbench.h"

#include "core/catalogue/catalogueloader.h"
#include "core/catalogue/titlesearch.h"
#include "core/startup/startupcontroller.h"
#include "gui/app/form1.h"
#include "gui/catalogue/findbar.h"
#include "gui/catalogue/listview.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// What the field holds after each key: a word typed letter by letter and deleted back, then two
// words in the same way, as a user would.
QStringList typedSequence()
{
    QStringList sequence;
    for (const QString& text : {QStringLiteral("star"), QStringLiteral("river clar")}) {
        for (qsizetype n = 1; n <= text.size(); ++n)
            sequence << text.left(n);
        for (qsizetype n = text.size() - 1; n >= 0; --n)
            sequence << text.left(n);
    }
    return sequence;
}

double millisecondsOf(const std::function<void()>& action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return double(timer.nsecsElapsed()) / 1e6;
}

void printSpread(const char* name, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("  %-32s median %8.3f  worst %8.3f  (%zu keystrokes)\n", name,
                values[values.size() / 2], values.back(), values.size());
}

// The search alone, without widgets: building the index, and each query of the sequence.
void measureSearch(const std::vector<CatalogueRow>& rows)
{
    TitleSearch search;
    const double build = millisecondsOf([&] {
        for (const CatalogueRow& row : rows)
            search.addRow(row);
    });
    std::printf("  %-32s %10.3f\n", "index_build_ms", build);
    std::printf("  %-32s %10.3f\n", "searched_text_mb", double(search.searchedBytes()) / 1048576);
    std::vector<double> times;
    for (const QString& typed : typedSequence()) {
        std::size_t found = 0;
        times.push_back(millisecondsOf([&] { found = search.find(typed).size(); }));
        std::printf("    %-30s %8.3f ms  %6zu titles\n",
                    qPrintable(QLatin1Char('"') + typed + QLatin1Char('"')), times.back(), found);
    }
    printSpread("search_only_ms", times);
    // After the first search, which lets go of the room the index grew into while rows came.
    std::printf("  %-32s %10.3f\n", "index_mb", double(search.indexBytes()) / 1048576);
}

// Counts the paints of the widget it watches.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Types the sequence into the find field of a window on show, one key at a time, and times each
// key until the events it caused are handled, which paints the narrowed list: typing forward and
// deleting back apart. A key that leaves the list as it was paints nothing, and needs not.
void measureKeystrokes(Form1& form, const char* view)
{
    ListView& list = *form.list();
    const double open = millisecondsOf([&] {
        QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
        list.shownView()->viewport()->repaint();
    });
    std::printf("  %s view\n", view);
    std::printf("  %-32s %10.3f  (the first opening makes the index)\n", "open_bar_ms", open);
    QLineEdit* field = form.findBar()->field();
    std::vector<double> forward;
    std::vector<double> back;
    PaintCounter counter;
    list.shownView()->viewport()->installEventFilter(&counter);
    int keysPainted = 0;
    QString before;
    for (const QString& typed : typedSequence()) {
        const bool typing = typed.size() > before.size();
        counter.paints = 0;
        QElapsedTimer timer;
        timer.start();
        if (typing)
            QTest::keyClick(field, typed.back().toLatin1());
        else
            QTest::keyClick(field, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        (typing ? forward : back).push_back(double(timer.nsecsElapsed()) / 1e6);
        keysPainted += counter.paints > 0 ? 1 : 0;
        before = typed;
    }
    list.shownView()->viewport()->removeEventFilter(&counter);
    // What a repaint of the same rows costs with no key at all, for comparison.
    std::vector<double> repaints;
    for (int i = 0; i < 9; ++i)
        repaints.push_back(millisecondsOf([&] { list.shownView()->viewport()->repaint(); }));
    std::printf("  %-32s %10d  (of %zu keystrokes)\n", "keys_that_repainted_the_list", keysPainted,
                forward.size() + back.size());
    printSpread("key_to_list_typing_ms", forward);
    printSpread("key_to_list_deleting_ms", back);
    std::vector<double> all = forward;
    all.insert(all.end(), back.begin(), back.end());
    printSpread("key_to_list_ms", all);
    printSpread("repaint_alone_ms", repaints);
    QTest::keyClicks(field, QStringLiteral("river"));
    const int shown = list.itemCount();
    const double escape = millisecondsOf([&] {
        QTest::keyClick(field, Qt::Key_Escape);
        list.shownView()->viewport()->repaint();
    });
    std::printf("  %-32s %10.3f  (from %d titles shown)\n", "escape_whole_list_ms", escape, shown);
}

} // namespace

int runFindBench(int argc, char** argv, const QString& programFolder)
{
    QApplication app(argc, argv);
    {
        const CatalogueContents contents =
            CatalogueLoader::load(QDir(programFolder).filePath(QStringLiteral("db")));
        std::printf("find in %zu titles\n", contents.rows.size());
        if (contents.rows.empty())
            return 1;
        measureSearch(contents.rows);
    }
    StartupController startup({programFolder, {}, {}, true});
    startup.begin();
    Form1 form(startup);
    if (!QTest::qWaitFor([&] { return form.isVisible(); }, 120000) ||
        !QTest::qWaitForWindowExposed(&form))
        return 1;
    measureKeystrokes(form, "icon");
    QTest::keyClick(&form, Qt::Key_F4);
    measureKeystrokes(form, "report");
    return 0;
}
