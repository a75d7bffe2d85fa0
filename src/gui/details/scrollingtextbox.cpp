#include "gui/details/scrollingtextbox.h"

#include "core/details/detailstext.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <optional>

namespace {

// Room left on the screen around the box for its frame and the desktop's panels.
constexpr int screenMargin = 80;

// The keys that scroll the text while the focus stays on OK, so that the box reads from the
// keyboard without first moving into the text.
std::optional<QAbstractSlider::SliderAction> scrollAction(const QKeyEvent* event)
{
    if (event->matches(QKeySequence::MoveToPreviousLine))
        return QAbstractSlider::SliderSingleStepSub;
    if (event->matches(QKeySequence::MoveToNextLine))
        return QAbstractSlider::SliderSingleStepAdd;
    if (event->matches(QKeySequence::MoveToPreviousPage))
        return QAbstractSlider::SliderPageStepSub;
    if (event->matches(QKeySequence::MoveToNextPage))
        return QAbstractSlider::SliderPageStepAdd;
    if (event->matches(QKeySequence::MoveToStartOfDocument))
        return QAbstractSlider::SliderToMinimum;
    if (event->matches(QKeySequence::MoveToEndOfDocument))
        return QAbstractSlider::SliderToMaximum;
    return std::nullopt;
}

} // namespace

ScrollingTextBox::ScrollingTextBox(const QString& caption, const QString& text, QWidget* parent)
    : QDialog(parent)
    , area(new QPlainTextEdit(this))
    , ok(nullptr)
{
    setWindowTitle(caption);
    setModal(true);
    area->setReadOnly(true);
    area->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    area->setPlainText(text);
    // Like the message box's text: on the dialog's own background, without a frame.
    area->setFrameShape(QFrame::NoFrame);
    area->viewport()->setBackgroundRole(QPalette::Window);
    // Tab reaches the text, to select from it by keyboard; a screen reader reads it there, under
    // the title it is about.
    area->setFocusPolicy(Qt::StrongFocus);
    area->setAccessibleName(caption);
    // Inside the text, its own copy would give LF alone, and nothing without a selection.
    area->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    ok = buttons->button(QDialogButtonBox::Ok);
    ok->setDefault(true);
    ok->installEventFilter(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(area);
    layout->addWidget(buttons);

    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const QFontMetrics metrics(area->font());
    const int width = qMin(available.width() * 2 / 3, 80 * metrics.averageCharWidth());
    resize(width, available.height() - screenMargin);
    move(available.center() - rect().center());
    ok->setFocus();
}

void ScrollingTextBox::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copyText();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ScrollingTextBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area && event->type() == QEvent::FocusIn)
        moveCursorIntoView();
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == area && key->matches(QKeySequence::Copy)) {
        copyText();
        return true;
    }
    // The button would take the arrows to move the focus.
    if (watched == ok) {
        if (const auto action = scrollAction(key)) {
            area->verticalScrollBar()->triggerAction(*action);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// After scrolling from OK, the cursor may still be at the top: moving it from there would jump
// back, away from what the user was reading, so it starts from the first line shown instead.
void ScrollingTextBox::moveCursorIntoView()
{
    if (area->viewport()->rect().contains(area->cursorRect()))
        return;
    area->setTextCursor(area->cursorForPosition(QPoint(0, 0)));
}

void ScrollingTextBox::copyText() const
{
    const QString selected = area->textCursor().selectedText();
    QApplication::clipboard()->setText(
        withPlatformLineEnds(selected.isEmpty() ? area->toPlainText() : selected));
}
