#include "gui/catalogue/findbar.h"

#include "core/catalogue/titlesearch.h"

#include "gui/catalogue/announcer.h"

#include <QAccessible>
#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

namespace {

const QString fieldName = QStringLiteral("Find titles");
const QString clearName = QStringLiteral("Clear the find field");

// How long the typing pauses before a screen reader hears the count: a reader speaks each key
// typed, and a count after every key would drown them out.
constexpr int pauseBeforeCountMs = 500;

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
    , caption(new QLabel(fieldName + u':', this))
    , edit(new QLineEdit(this))
    , count(new QLabel(this))
    , announcer(new Announcer(this))
{
    caption->setBuddy(edit);
    edit->setAccessibleName(fieldName);
    edit->setPlaceholderText(placeholderText());
    edit->setToolTip(fieldHelp());
    edit->setClearButtonEnabled(true);
    // The clear button is Qt's own, nameless: it gets the name of what it does.
    if (auto* clearing = edit->findChild<QAction*>(QStringLiteral("_q_qlineeditclearaction"))) {
        clearing->setText(clearName);
        clearing->setToolTip(clearName);
    }
    for (QToolButton* button : edit->findChildren<QToolButton*>())
        button->setAccessibleName(clearName);
    edit->installEventFilter(this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addWidget(edit, 1);
    layout->addWidget(count);
    setFocusProxy(edit);

    pause.setSingleShot(true);
    pause.setInterval(pauseBeforeCountMs);
    connect(&pause, &QTimer::timeout, this, &FindBar::announceChangedCount);
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        pause.start();
        emit queryChanged(text);
    });
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
    count->setText(said);
}

void FindBar::announceChangedCount()
{
    if (count->text() != lastAnnounced)
        announceCount();
}

void FindBar::announceCount()
{
    lastAnnounced = count->text();
    announcer->announce(lastAnnounced);
}

void FindBar::focusField()
{
    // Not as a shortcut's focus, which has the field select its text as it takes the focus: a
    // screen reader would hear of the caret before the focus, take the field as already focused,
    // and say nothing of it. Selected after, as the reader expects.
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void FindBar::clear()
{
    edit->clear();
    pause.stop();
    lastAnnounced.clear();
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
