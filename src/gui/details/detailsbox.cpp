#include "gui/details/detailsbox.h"

#include "core/details/detailstext.h"
#include "core/titles/linebreak.h"
#include "gui/details/detailsboxaccessible.h"
#include "gui/details/scrollingtextbox.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

namespace {

// A text longer than this is cut where it is shown: laying out megabytes of text would keep the
// box from opening for many seconds, and nobody reads that far in one box.
constexpr qsizetype shownCharacters = qsizetype(1024) * 1024;
// What a message box needs around its text: caption, margins and the button row.
constexpr int boxChrome = 160;

} // namespace

DetailsBox::DetailsBox(const QString& caption, const QString& text, QWidget* parent)
    : QMessageBox(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent)
{
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    DetailsBoxAccessible::install();
    // The label shows CR LF as line breaks, but a screen reader would read each CR.
    if (auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setAccessibleName(withPlainLineEnds(text));
}

void DetailsBox::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        const auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        const QString selected = label ? label->selectedText() : QString();
        QApplication::clipboard()->setText(
            withPlatformLineEnds(selected.isEmpty() ? text() : selected));
        return;
    }
    QMessageBox::keyPressEvent(event);
}

QString DetailsBox::shownText(const QString& text)
{
    if (text.size() <= shownCharacters)
        return text;
    return text.left(shownCharacters) + cr + cr +
           QStringLiteral("\u2026 (%1 more characters are not shown)")
               .arg(text.size() - shownCharacters);
}

bool DetailsBox::needsScrolling(const QString& text, const QFont& font, QSize screen)
{
    // Counting lines settles most texts without laying them out.
    const QFontMetrics metrics(font);
    const int room = screen.height() - boxChrome;
    if (qint64(text.count(u'\n') + 1) * metrics.lineSpacing() > room)
        return true;
    if (text.size() > qsizetype(100) * 1000)
        return true;
    // The message box wraps its text at about two thirds of the screen's width.
    const QRect bounds(0, 0, qMax(1, screen.width() * 2 / 3), INT_MAX / 2);
    const int height =
        metrics.boundingRect(bounds, Qt::TextWordWrap | Qt::TextExpandTabs, text).height();
    return height > room;
}

void DetailsBox::showModal(QWidget* parent, const QString& caption, const QString& text)
{
    const QString shown = shownText(text);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableSize() : QSize(800, 600);
    if (needsScrolling(shown, QApplication::font("QMessageBoxLabel"), available)) {
        ScrollingTextBox box(caption, shown, parent);
        box.exec();
    } else {
        DetailsBox box(caption, shown, parent);
        box.exec();
    }
}
