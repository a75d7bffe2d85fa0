#include "gui/details/scrollingtextbox.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// Room left on the screen around the box for its frame and the desktop's panels.
constexpr int screenMargin = 80;

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
    area->setFocusPolicy(Qt::ClickFocus);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    ok = buttons->button(QDialogButtonBox::Ok);
    ok->setDefault(true);
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
        const QString selected = area->textCursor().selectedText();
        // The text cursor gives line breaks as paragraph separators.
        QApplication::clipboard()->setText(
            selected.isEmpty() ? area->toPlainText()
                               : QString(selected).replace(QChar::ParagraphSeparator, u'\n'));
        return;
    }
    QDialog::keyPressEvent(event);
}
