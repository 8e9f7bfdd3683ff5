#include "info/frmHelp.h"

#include <QIcon>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

#include "platform/Twips.h"

using plat::TwipsToPixels;

frmHelp::frmHelp() : QWidget(nullptr, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));
    // A missing icon file gives a null icon: the window shows the default.
    setWindowIcon(QIcon(QStringLiteral(":/tarmalo/help.ico")));
    resize(TwipsToPixels(7545), TwipsToPixels(3840));

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
    setFocusProxy(txtHelp);

    // The field fills the window whatever its size or state; the window may
    // still be made smaller than the field would like.
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->setSizeConstraint(QLayout::SetNoConstraint);
    fill->addWidget(txtHelp);

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

void frmHelp::Form_Load()
{
    // The text's CR LF breaks become the field's own line breaks, so that
    // what it shows and copies has no CR in it.
    QString shown = HelpText();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtHelp->setPlainText(shown);
}
