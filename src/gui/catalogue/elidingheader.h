#pragma once

#include <QHeaderView>

// The report view's column headers: a header text too long for its column ends in an ellipsis,
// so that a cut header says it is cut ("Customer R…" and "Customer R…" rather than two plain
// "Customer"); its tooltip has the whole text.
class ElidingHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit ElidingHeader(QWidget* parent = nullptr);

    // The text the header shows for a column at its present width.
    QString shownText(int logicalIndex) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    QString fitted(const QStyleOptionHeader& option, int width) const;
};
