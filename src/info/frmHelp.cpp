#include "info/frmHelp.h"

#include <QEvent>
#include <QIcon>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>

#include <algorithm>

#include "platform/Twips.h"

namespace {

using plat::kTwipsPerPixel;
using plat::TwipsToPixels;

constexpr int kClientWidthTwips = 7545;
constexpr int kClientHeightTwips = 3840;
// What the field leaves of the window's outer size: about the border (8 px)
// and the title bar with the border (about 25 px).
constexpr int kFitWidthMarginTwips = 120;
constexpr int kFitHeightMarginTwips = 380;

}  // namespace

frmHelp::frmHelp() : QWidget(nullptr, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));
    // A missing icon file gives a null icon: the window shows the default.
    setWindowIcon(QIcon(QStringLiteral(":/tarmalo/help.ico")));
    resize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));

    txtHelp = new QPlainTextEdit(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setReadOnly(true);
    // Read-only alone leaves only the mouse for selecting; the keyboard
    // (Shift+arrows, Ctrl+A, Ctrl+C) should work as well.
    txtHelp->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtHelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtHelp->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtHelp->setWordWrapMode(QTextOption::WordWrap);
    txtHelp->move(0, 0);
    setFocusProxy(txtHelp);

    Form_Load();
}

frmHelp* frmHelp::ShowNew()
{
    auto* help = new frmHelp;
    help->show();
    return help;
}

QString frmHelp::HelpText()
{
    static const QStringList lines = {
        QStringLiteral("General"),
        QStringLiteral("--------------------------------------------------"),
        QStringLiteral("Tarmalo is used for simulating passengers enbarking your aircraft."),
        QStringLiteral("Enter the time when you are scheduled to depart (see Menus further down) "
                       "and the number of passengers that are booked for your flight."),
        QStringLiteral("Then press CTRL+S to start the countdown."),
        QString(),
        QStringLiteral("The gate opens 20 minutes before departure, but don't expect too many "
                       "passengers starting to arrive until 10 minutes before."),
        QStringLiteral("5 mins before departure is the final boarding call made. If not all "
                       "passengers are aboard on the scheduled time it will wait for 5 more "
                       "minutes before closing the gate."),
        QString(),
        QStringLiteral("Menus"),
        QStringLiteral("--------------------------------------------------"),
        QStringLiteral("File"),
        QStringLiteral("    Start - Starts the simulation"),
        QStringLiteral("    Exit  - Ends the program"),
        QString(),
        QStringLiteral("Options"),
        QStringLiteral("    Depart on clock - If not checked the gate will close as soon as all "
                       "passengers have embarked."),
        QStringLiteral("    Countdown time  - If checked the time will not reflect actual departure "
                       "time but *time to* departure."),
        QStringLiteral("    Play ... sound  - Plays the noted sound or not."),
        QString(),
        QStringLiteral("Help"),
        QStringLiteral("    Help  - This text."),
        QStringLiteral("    About - Version and copyright information about Tarmalo."),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QSize frmHelp::FitSize(const QSize& outer, const QSize& client)
{
    // Clamped at zero: a window smaller than the margins (or a minimized one
    // that reports nothing) must not give the field a negative size.
    const int widthTwips = std::max(0, outer.width() * kTwipsPerPixel - kFitWidthMarginTwips);
    const int heightTwips = std::max(0, outer.height() * kTwipsPerPixel - kFitHeightMarginTwips);
    // The margins are a Windows frame's; a window manager with a heavier
    // frame would otherwise push the field's bottom and its scroll arrow out
    // of the window.
    return QSize(std::min(TwipsToPixels(widthTwips), std::max(0, client.width())),
                 std::min(TwipsToPixels(heightTwips), std::max(0, client.height())));
}

void frmHelp::Form_Load()
{
    // The text's CR LF breaks become the field's own line breaks, so that
    // what it shows and copies has no CR in it.
    QString shown = HelpText();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtHelp->setPlainText(shown);
}

void frmHelp::Form_Resize()
{
    txtHelp->resize(FitSize(frameGeometry().size(), size()));
}

void frmHelp::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// Under X11 the window manager reports the frame's size only after the
// window has been framed, which moves the window without resizing it.
void frmHelp::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    Form_Resize();
}

// Minimize, maximize and restore do not always come with a resize.
void frmHelp::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}
