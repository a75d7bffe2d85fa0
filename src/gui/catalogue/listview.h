#pragma once

#include "core/catalogue/cataloguefilter.h"
#include "core/catalogue/cataloguerow.h"
#include "core/catalogue/rowsorting.h"
#include "gui/catalogue/listsorting.h"

#include <QWidget>

#include <vector>

class Announcer;
class CatalogueModel;
class CoverPrefetcher;
class IconDelegate;
class IconListView;
class ImageList;
class ListEvents;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QStackedLayout;
class QTreeView;
class ReportTreeView;
class RowFilterModel;
class TitleColumnModel;

// The catalogue list: one set of rows with a title, nine sub-items and an icon each, shown either
// as an icon view (covers with their titles below) or as a report view (one line per row under
// clickable column headers). Both views show the same rows in the same order; the selected row
// goes with the list from one view to the other.
//
// Only the view on show tells a screen reader anything: each view has its own selection, and the
// hidden one takes the shown one's row only when it comes on show.
//
// The window talks to it in rows and columns counted from 1, never in model indexes. Sizes are
// in twips, kept exactly as set.
class ListView : public QWidget {
    Q_OBJECT

public:
    enum ViewMode { IconView = 0, ReportView = 3 };

    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    // Column headers, counted from 1.
    void addColumnHeader(const QString& text, float width);
    int columnHeaderCount() const;
    QString columnHeaderText(int position) const;
    float columnHeaderWidth(int position) const;
    // False when there is no header at that position.
    bool setColumnHeaderWidth(int position, float width);

    // Rows, counted from 1 in the list's current order. addItems appends rows at the end, in the
    // list's order while it is sorted, and shown while narrowed only when the query finds them;
    // rows whose key is in use are left out. Returns how many went in.
    int addItems(std::vector<CatalogueRow> rows);
    int itemCount() const;
    QString itemKey(int position) const;
    QString itemText(int position) const;
    int itemIcon(int position) const;
    // Sub-items 1 to 9 of a row.
    QString subItem(int position, int index) const;
    // The selected row's position, 0 when no row is selected.
    int selectedItem() const;
    void selectItem(int position);

    void setIcons(ImageList* images);
    ImageList* icons() const { return images; }

    int View() const { return viewMode; }
    void setView(int mode);
    int SortKey() const { return sorting->key(); }
    void setSortKey(int key) { sorting->setKey(key); }
    RowSorting::Direction SortOrder() const { return sorting->order(); }
    void setSortOrder(RowSorting::Direction order) { sorting->setOrder(order); }
    bool Sorted() const { return sorting->isOn(); }
    // Switching sorting on sorts the rows; while it is on, they are kept in order.
    void setSorted(bool on) { sorting->setOn(on); }
    // Sorts by key in that direction, once, and keeps sorting on; a screen reader hears the
    // column and the direction ("Release date, ascending").
    void sortBy(int key, RowSorting::Direction order);

    // Shows only the rows that hold every word of query (see CatalogueFilter); a blank query
    // shows every row. Positions then count the rows shown. The selected row stays selected while
    // it is shown; when narrowing hides it, the first row shown is selected, and with no row shown
    // none is. A wider query shows the row selected last again, selected and scrolled into view.
    void narrowTo(const QString& query);
    // Makes the index narrowTo() searches, so that the first narrowing is as quick as the next.
    void prepareToNarrow();
    // Ranks the rows by every column on another thread, so that even the first sort by a column
    // is as quick as the next.
    QFuture<void> prepareToSort() { return sorting->prepare(); }
    // True when a sort by any column is an ordering of ranks made beforehand.
    bool isReadyToSort() const { return sorting->isPrepared(); }
    // Every row, shown or not.
    int totalItemCount() const;

    float Width() const { return widthTwips; }
    float Height() const { return heightTwips; }
    // False, leaving the size as it was, for a negative size.
    bool setWidth(float twips);
    bool setHeight(float twips);
    void setPosition(float left, float top);

    QListView* iconView() const;
    QTreeView* reportView() const;
    QAbstractItemView* shownView() const;
    // The rows both views show: every row, or those the find field's query lets through.
    RowFilterModel* shownRows() const { return shown; }

signals:
    void ColumnClick(int position);
    void DblClick();
    // A character key: 13 for Enter. The list handles the key as usual as well.
    void KeyPress(int keyAscii);
    // The platform's copy key: the window decides what a row gives, instead of the one cell the
    // view would copy.
    void CopyRequested();

private:
    QItemSelectionModel* shownSelection() const;
    void applySize();
    void keepSelectedInView();
    void announceCurrentAgain();
    int rowOf(int position) const;

    CatalogueModel* model;
    RowFilterModel* shown;
    TitleColumnModel* titles;
    QItemSelectionModel* reportSelection; // over shown
    QItemSelectionModel* iconSelection;   // over titles
    QStackedLayout* stack;
    IconListView* iconList;
    ReportTreeView* reportList;
    IconDelegate* iconDelegate;
    CoverPrefetcher* prefetcher;
    Announcer* announcer;
    ListSorting* sorting;
    ListEvents* events;
    ImageList* images = nullptr;
    CatalogueFilter filter;

    int viewMode = IconView;
    float widthTwips = 9855;
    float heightTwips = 6615;
    int keptSequence = -1; // the row selected last, while narrowing shows none
};
