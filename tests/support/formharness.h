#pragma once

#include "gui/app/form1.h"
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

// Makes a main window, with its message boxes, browser and exit recorded.
inline std::unique_ptr<Form1> makeForm(const StartFolders& folders, FormRecord* record)
{
    auto form = std::make_unique<Form1>(folders);
    form->setAttribute(Qt::WA_DeleteOnClose, false);
    form->setMessageBox([record](const QString& caption, const QString& text) {
        record->boxes << caption << text;
    });
    form->setUrlOpener(std::make_unique<RecordingOpener>(record));
    form->setExit([record](int status) { record->exits << status; });
    return form;
}

inline std::unique_ptr<Form1> makeForm(const QString& programFolder, FormRecord* record)
{
    return makeForm(testFolders(programFolder), record);
}

inline bool waitUntilShown(Form1& form)
{
    if (!QTest::qWaitFor([&] { return form.isVisible(); }, 10000))
        return false;
    return QTest::qWaitForWindowExposed(&form);
}
