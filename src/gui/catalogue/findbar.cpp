#include "gui/catalogue/findbar.h"

#include "core/catalogue/titlesearch.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

namespace {

const QString fieldName = QStringLiteral("Find titles");

// The column the search leaves out, by its header.
QString unsearchedHeader()
{
    for (const TitleFieldInfo& field : titleFields) {
        if (!isSearchedField(field.field))
            return field.header;
    }
    return {};
}

QString placeholderText()
{
    return QStringLiteral("Find titles: words from any field but %1").arg(unsearchedHeader());
}

QString fieldHelp()
{
    return QStringLiteral("Shows only the titles that hold every word you type, in any order, in "
                          "their title, cast, directors, release date, studio, genre, features or "
                          "ratings. Put words in double quotes to find them together as typed. "
                          "%1 are not searched. Escape shows every title again.")
        .arg(unsearchedHeader());
}
const QString noMatch = QStringLiteral("No title matches");

QString countText(const QString& shown, const QString& total)
{
    return QStringLiteral("%1 of %2 titles").arg(shown, total);
}

// The field's background when nothing matches: its own colour with a touch of red, so that
// the text stays as readable as in the plain field.
QColor tint(const QColor& base)
{
    const QColor red(Qt::red);
    constexpr float share = 0.25f;
    return QColor::fromRgbF(base.redF() + (red.redF() - base.redF()) * share,
                            base.greenF() + (red.greenF() - base.greenF()) * share,
                            base.blueF() + (red.blueF() - base.blueF()) * share);
}

} // namespace

FindBar::FindBar(QWidget* parent)
    : QWidget(parent)
    , edit(new QLineEdit(this))
    , count(new QLabel(this))
{
    edit->setAccessibleName(fieldName);
    edit->setPlaceholderText(placeholderText());
    edit->setToolTip(fieldHelp());
    edit->setClearButtonEnabled(true);
    edit->installEventFilter(this);
    count->setBuddy(edit);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    layout->addWidget(count);
    setFocusProxy(edit);

    connect(edit, &QLineEdit::textChanged, this, &FindBar::queryChanged);
    connect(edit, &QLineEdit::returnPressed, this, &FindBar::moveIntoList);
}

QString FindBar::text() const
{
    return edit->text();
}

void FindBar::showCount(int shown, int total)
{
    const QLocale locale;
    const bool none = shown == 0 && total > 0;
    const QString said = none ? noMatch : countText(locale.toString(shown), locale.toString(total));
    setTinted(none);
    // Room for the widest count from the start, so that the field keeps its width as the user
    // types.
    const QFontMetrics metrics = count->fontMetrics();
    count->setMinimumWidth(
        qMax(metrics.horizontalAdvance(noMatch),
             metrics.horizontalAdvance(countText(locale.toString(total), locale.toString(total)))));
    if (said == count->text())
        return;
    count->setText(said);
    edit->setAccessibleDescription(said);
    QAccessibleEvent changed(edit, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

void FindBar::focusField()
{
    edit->setFocus(Qt::ShortcutFocusReason);
    edit->selectAll();
}

void FindBar::clear()
{
    edit->clear();
}

void FindBar::setTinted(bool tinted)
{
    QPalette colours = palette();
    if (tinted)
        colours.setColor(QPalette::Base, tint(colours.color(QPalette::Base)));
    edit->setPalette(colours);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier) {
            emit moveIntoList();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
