// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Version.h"
#include "app/AppServices.h"
#include "app/frmMain.h"
#include "platform/Desktop.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char* argv[])
{
#ifdef Q_OS_LINUX
    // Only a window manager keeps the window's size, place and title bar: on a
    // Wayland desktop with an X display too, unless the pilot named a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarmalo"));
    QApplication::setApplicationVersion(QString::fromLatin1(plat::kVersionText));
    QApplication::setDesktopFileName(QStringLiteral("tarmalo"));
    plat::MarkRunning();
    plat::EndOnRequest();

    // Closing the main window drops it; a Help window may keep the program
    // running until it is closed too.
    QPointer<frmMain> window = new frmMain(AppServices::System());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    const int code = app.exec();
    // File > Exit ends the event loop with the window still open; it goes
    // here, with everything it owns, while the application still exists.
    delete window.data();
    // Whatever Qt asked to delete later while it went goes now, while the
    // application still exists, rather than never.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Choices clicked just before the end still land, given a few seconds.
    plat::UserSettings().Finish();
    return code;
}
