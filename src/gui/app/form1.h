#pragma once

#include "core/catalogue/catalogueloader.h"
#include "core/startup/startupcontroller.h"
#include "gui/app/windowlosswatch.h"
#include "gui/catalogue/imagelist.h"

#include <QFutureWatcher>
#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>

class FindBar;
class ListView;
class UrlOpener;
class QAction;
class QMenu;
enum class LookUp;

// The main window: the catalogue list with its View and Query menus. It watches the start that
// main begins (finding, unpacking and reading the catalogue): its loading timer waits for the
// database folder, then fills the list with what the start read, closes the splash window and
// shows this window.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    // Shows a message box with a caption and plain text, and returns when the user closes it.
    using MessageBox = std::function<void(const QString& caption, const QString& text)>;

    explicit Form1(StartupController& startup);
    ~Form1() override;

    // Replaceable so that tests can see what would be shown or opened.
    void setMessageBox(MessageBox show) { messageBox = std::move(show); }
    void setUrlOpener(std::unique_ptr<UrlOpener> opener);

    ListView* list() const { return dvdList; }
    FindBar* findBar() const { return finder; }
    ImageList& coverImages() { return dvdImg; }
    StartupController& startup() { return controller; }

    void AddCol(const QString& colname);
    // Reads one title file and appends its row as number itemnum; false, with problem saying
    // why, when it cannot. The loading timer reads the whole folder at once instead.
    bool ParseOneADL(const QString& adlname, LoadProblem* problem = nullptr);
    void LV_ColumnSort(ListView& listViewControl, int columnIndex);
    void nfobox();
    // The list's position and size for a window of this outer size, in twips.
    void layoutList(float outerWidth, float outerHeight);

    // The sequence number the next row will take.
    qint16 nextItemNumber() const { return itemnum; }
    // True while the loading timer waits for the database folder.
    bool isWaitingForDatabase() const { return DoneTimer.isActive(); }

signals:
    void catalogueShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void createMenus();
    void createKeys();
    QAction* addMenuItem(QMenu* menu, const QString& caption, Qt::Key shortcut,
                         void (Form1::*handler)());
    QStringList subItems(int position) const;
    void copySelectedTitle();
    void Form_Load();
    void Form_Resize();
    void placeOnScreen(QSize frame);
    void DoneTimer_Timer();
    void showCatalogue();
    void checkCoversOnceDrawn();
    void lookUp(LookUp service);
    void createFindBar();
    void showFindBar();
    void closeFindBar();
    void narrowList(const QString& query);
    void moveIntoList();
    float findBarHeight() const;
    void placeFindBar();

    void mnuIcons_Click();
    void mnuReport_Click();
    void mnuAmazon_Click();
    void mnuIMDb_Click();
    void mnuIMDbUK_Click();
    void mnuGoogle_Click();
    void dvdList_ColumnClick(int columnIndex);
    void dvdList_DblClick();
    void dvdList_KeyPress(int keyAscii);

    ListView* dvdList;
    FindBar* finder = nullptr;
    QAction* closeFindKey = nullptr; // Escape, while the find bar shows
    ImageList dvdImg;
    QTimer DoneTimer;
    // The covers are checked once every column is ranked: both take the background threads, and
    // a sort may be waiting for the ranks, never for the check.
    QFutureWatcher<void> ranking;
    qint16 itemnum = 0;
    QSize laidOutFor;             // the outer size the list was last laid out for, in pixels
    bool placedWithFrame = false; // placed again once the window manager gave the frame
    // Room for a window manager's frame and title bar before it gives the real one.
    static constexpr int frameAllowance = 16;
    StartupController& controller;
    MessageBox messageBox;
    std::unique_ptr<UrlOpener> urlOpener;
    std::unique_ptr<WindowLossWatch> lossWatch;
};
