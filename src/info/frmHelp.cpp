// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/frmHelp.h"

#include <QIcon>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "common/Twips.h"

frmHelp::frmHelp() : QWidget(nullptr, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));
    QIcon icon(QStringLiteral(":/tarmalo/help-16.png"));
    icon.addFile(QStringLiteral(":/tarmalo/help-32.png"));
    setWindowIcon(icon);
    resize(common::TwipsToPixels(7545), common::TwipsToPixels(3840));

    txtHelp = new QPlainTextEdit(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setReadOnly(true);
    // Read-only alone leaves only the mouse for selecting; the keyboard
    // (Shift+arrows, Ctrl+A, Ctrl+C) should work as well.
    txtHelp->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtHelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtHelp->setWordWrapMode(QTextOption::WordWrap);
    setFocusProxy(txtHelp);

    // The field fills the window whatever its size or state; the window may
    // still be made smaller than the field would like.
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->setSizeConstraint(QLayout::SetNoConstraint);
    fill->addWidget(txtHelp);

    // The usage text: 23 lines, no break after the last.
    txtHelp->setPlainText(
        QStringLiteral("General\n"
                       "--------------------------------------------------\n"
                       "Tarmalo is used for simulating passengers enbarking your aircraft.\n"
                       "Enter the time when you are scheduled to depart (see Menus further down) "
                       "and the number of passengers that are booked for your flight.\n"
                       "Then press CTRL+S to start the countdown.\n"
                       "\n"
                       "The gate opens 20 minutes before departure, but don't expect too many "
                       "passengers starting to arrive until 10 minutes before.\n"
                       "5 mins before departure is the final boarding call made. If not all "
                       "passengers are aboard on the scheduled time it will wait for 5 more "
                       "minutes before closing the gate.\n"
                       "\n"
                       "Menus\n"
                       "--------------------------------------------------\n"
                       "File\n"
                       "    Start - Starts the simulation\n"
                       "    Exit  - Ends the program\n"
                       "\n"
                       "Options\n"
                       "    Depart on clock - If not checked the gate will close as soon as all "
                       "passengers have embarked.\n"
                       "    Countdown time  - If checked the time will not reflect actual departure "
                       "time but *time to* departure.\n"
                       "    Play ... sound  - Plays the noted sound or not.\n"
                       "\n"
                       "Help\n"
                       "    Help  - This text.\n"
                       "    About - Version and copyright information about Tarmalo."));
}

void frmHelp::ShowNew()
{
    (new frmHelp)->show();
}
