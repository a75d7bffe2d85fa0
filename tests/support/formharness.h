#pragma once

#include "gui/app/form1.h"
#include "gui/app/startfailurereport.h"
#include "gui/details/urlopener.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <memory>

// What a main window under test showed, opened and asked for.
struct FormRecord {
    QStringList boxes; // caption, then text, per message box
    QStringList urls;
    QList<int> exits;
};

class RecordingOpener : public UrlOpener {
public:
    explicit RecordingOpener(FormRecord* record)
        : record(record)
    {
    }
    void open(const QString& url) override { record->urls << url; }

private:
    FormRecord* record;
};

// The folders of a writable program folder under test: the installed data and the user's own
// folder lie inside it, so that nothing reaches a real user's folders.
inline StartFolders testFolders(const QString& programFolder)
{
    return {programFolder, programFolder + "/share/movra", programFolder + "/user", true};
}

// A start as main makes it, with its failure recorded instead of shown: what a failed start
// tells the user, and the program's exit status.
class TestStart {
public:
    TestStart(const StartFolders& folders, FormRecord* record)
        : controller(folders)
        , failures(
              controller,
              [record](const QString& caption, const QString& text) {
                  record->boxes << caption << text;
              },
              [record](int status) { record->exits << status; })
    {
        controller.begin();
    }

    StartupController& startup() { return controller; }

private:
    StartupController controller;
    StartFailureReport failures;
};

// A main window under test with the start it watches, begun; its message boxes, browser and the
// start's failure are recorded.
class TestForm {
public:
    TestForm(const StartFolders& folders, FormRecord* record)
        : start(std::make_unique<TestStart>(folders, record))
        , window(std::make_unique<Form1>(start->startup()))
    {
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->setMessageBox([record](const QString& caption, const QString& text) {
            record->boxes << caption << text;
        });
        window->setUrlOpener(std::make_unique<RecordingOpener>(record));
    }

    Form1* operator->() const { return window.get(); }
    Form1& operator*() const { return *window; }
    Form1* get() const { return window.get(); }
    // Closes the window and ends the start, as the program's end does.
    void reset()
    {
        window.reset();
        start.reset();
    }

private:
    std::unique_ptr<TestStart> start; // outlives the window that watches it
    std::unique_ptr<Form1> window;
};

// Used as a pointer to its window: form->list(), *form, form.get().
inline TestForm makeForm(const StartFolders& folders, FormRecord* record)
{
    return TestForm(folders, record);
}

inline TestForm makeForm(const QString& programFolder, FormRecord* record)
{
    return makeForm(testFolders(programFolder), record);
}

inline bool waitUntilShown(Form1& form)
{
    if (!QTest::qWaitFor([&] { return form.isVisible(); }, 10000))
        return false;
    return QTest::qWaitForWindowExposed(&form);
}
