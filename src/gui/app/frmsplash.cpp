#include "gui/app/frmsplash.h"

#include "core/startup/startupcontroller.h"
#include "core/version.h"
#include "gui/app/form1.h"
#include "gui/twips.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

using Twips::toPixels;

QRect twipsRect(float left, float top, float width, float height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace

frmSplash::frmSplash(StartupController& startup, QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , startup(startup)
{
    // What the start reports arrives through the event loop, once the labels are there.
    connect(&startup, &StartupController::waitingForOtherStart, this, &frmSplash::showStatus);
    connect(&startup, &StartupController::failed, this, &QWidget::hide);

    // A fixed dialog frame around a client area of 7380 x 4245 twips.
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    const int frame = frameWidth();
    setFixedSize(toPixels(7380) + 2 * frame, toPixels(4245) + 2 * frame);
    setWindowIcon(QIcon(QStringLiteral(":/movra.png")));
    // What a screen reader says of the window, which has no title bar to name it.
    setAccessibleName(QStringLiteral("Movra"));
    setAccessibleDescription(QStringLiteral("Starting"));

    Frame1 = new QGroupBox(this);
    Frame1->setGeometry(twipsRect(150, 60, 7080, 4050).translated(frame, frame));

    imgLogo = new QLabel(Frame1);
    imgLogo->setGeometry(twipsRect(360, 795, 1815, 2385));
    imgLogo->setPixmap(QPixmap(QStringLiteral(":/movra.png")));
    imgLogo->setScaledContents(true); // stretched, the aspect ratio not kept

    lblCompanyProduct = addLabel(QStringLiteral("Velmire"), 2355, 705, 2055, 435, 18, true);
    lblProductName = addLabel(QStringLiteral("Movra"), 2520, 1140, 1395, 765, 32.25f, true);
    lblVersion =
        addLabel(QStringLiteral("Version " MOVRA_VERSION), 5580, 2700, 1275, 285, 12, true);
    lblWarning = addLabel(QStringLiteral("Loading..."), 150, 3660, 6855, 195, 8.25f, false);
    lblCompanyProduct->adjustSize();
    lblProductName->adjustSize();
    // The version's size follows its text, with its right edge where it was designed.
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblVersion->adjustSize();
    lblVersion->move(toPixels(5580 + 1275) - lblVersion->width(), lblVersion->y());
    lblWarning->setAlignment(Qt::AlignRight | Qt::AlignTop);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1.start();
}

void frmSplash::showStatus(const QString& text)
{
    lblWarning->setText(text);
}

QLabel* frmSplash::addLabel(const QString& text, float left, float top, float width, float height,
                            float pointSize, bool bold)
{
    auto* label = new QLabel(text, Frame1);
    label->setGeometry(twipsRect(left, top, width, height));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

void frmSplash::Timer1_Timer()
{
    // Stopped first, so that a slow first start never creates a second main window.
    Timer1.stop();
    auto* form = new Form1(startup);
    // The splash stays up until the main window shows itself.
    connect(form, &Form1::catalogueShown, this, [this] {
        hide();
        deleteLater();
    });
    emit mainWindowCreated(form);
}
