// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Version.h"
#include "app/AppServices.h"
#include "app/frmMain.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char* argv[])
{
#ifdef Q_OS_LINUX
    // Only a window manager places and decorates the window as it is laid
    // out: where a Wayland desktop offers an X display too, the window goes
    // there, unless the pilot has named a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarmalo"));
    QApplication::setApplicationVersion(QString::fromLatin1(plat::kVersionText));
    QApplication::setDesktopFileName(QStringLiteral("tarmalo"));
    plat::MarkRunning();

    // Closing the main window drops it; a Help window may keep the program
    // running until it is closed too.
    QPointer<frmMain> window = new frmMain(AppServices::System());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    const int code = app.exec();
    // File > Exit ends the event loop with the window still open; it goes
    // here, with everything it owns, while the application still exists.
    delete window.data();
    // Windows that were closed went before the loop ended. Whatever asked to
    // be deleted later while this one went (none of the program's own
    // objects does; Qt's may) goes now, while the application still exists,
    // rather than never.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return code;
}
