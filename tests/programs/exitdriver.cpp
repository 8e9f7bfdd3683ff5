// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Linked with the program's own main() into tarmalo_driven: once the real
// start-up has shown the main window, this starts a boarding with the
// departure ten minutes away, so that the first tick sounds the chime, and
// prints "playing" as soon as the player says so. TARMALO_DRIVE_END then
// decides how the program ends during the sound: "exit" (File > Exit),
// "close" (the close box), or anything else to wait for the test's signal.
// "option" instead turns Options > Countdown time on, prints "clicked" and
// chooses File > Exit at once; "option-wait" waits for a signal instead.
// A message box, also one shown as the program ends, is printed as "told:
// <text>" and answered.
#include "boarding/MediaPlayer.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTime>
#include <QTimer>

#include <cstdio>

namespace {

QWidget* MainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->findChild<MediaPlayer*>())
            return w;
    return nullptr;
}

void Type(QWidget* window, const char* field, const QString& text)
{
    auto* edit = window->findChild<QLineEdit*>(QLatin1String(field));
    if (!edit)
        qFatal("no field %s", field);
    edit->selectAll();
    edit->del();
    edit->setCursorPosition(0);
    edit->insert(text);
}

void Drive()
{
    QWidget* window = MainWindow();
    if (!window || !window->isVisible()) {
        QTimer::singleShot(50, Drive);
        return;
    }
    const QByteArray end = qgetenv("TARMALO_DRIVE_END");
    if (end.startsWith("option")) {
        window->findChild<QAction*>(QStringLiteral("mnuOptionsCountdown"))->trigger();
        std::printf("clicked\n");
        std::fflush(stdout);
        if (end == "option")
            window->findChild<QAction*>(QStringLiteral("mnuFileExit"))->trigger();
        return;
    }
    auto* player = window->findChild<MediaPlayer*>();
    QObject::connect(player, &MediaPlayer::playStateChanged, window,
                     [window, end](PlayState, PlayState state) {
                         if (state != PlayState::Playing)
                             return;
                         std::printf("playing\n");
                         std::fflush(stdout);
                         if (end == "exit")
                             window->findChild<QAction*>(QStringLiteral("mnuFileExit"))->trigger();
                         else if (end == "close")
                             window->close();
                     });
    const QTime departure = QTime::currentTime().addSecs(10 * 60);
    Type(window, "txtTime", departure.toString(QStringLiteral("hhmm")));
    Type(window, "txtTotal", QStringLiteral("30"));
    window->findChild<QAction*>(QStringLiteral("mnuFileStart"))->trigger();
}

void Answer()
{
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        std::printf("told: %s\n", qPrintable(box->text()));
        std::fflush(stdout);
        box->accept();
    }
}

void Arm()
{
    QTimer::singleShot(0, Drive);
    auto* answer = new QTimer(qApp);
    QObject::connect(answer, &QTimer::timeout, Answer);
    answer->start(100);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Arm)
