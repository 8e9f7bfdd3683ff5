// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Version.h"
#include "app/AppServices.h"
#include "app/frmMain.h"
#include "common/MessageBox.h"
#include "platform/Desktop.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QPointer>

#include <cstdio>

int main(int argc, char* argv[])
{
    const bool choseWindowSystem = plat::ChooseWindowSystem();
    QApplication app(argc, argv);
    // The choice was for Tarmalo's own window: System Info starts in the
    // pilot's own environment.
    if (choseWindowSystem)
        qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("Tarmalo"));
    QApplication::setApplicationVersion(QString::fromLatin1(common::kVersionText));
    QApplication::setDesktopFileName(QStringLiteral("tarmalo"));
    plat::MarkRunning();
    plat::EndOnRequest();

    // Closing the main window drops it; a Help window may keep the program
    // running until it is closed too.
    const AppServices services = AppServices::System();
    QPointer<frmMain> window = new frmMain(services);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    const int code = app.exec();
    // File > Exit ends the event loop with the window still open; it goes
    // here, with everything it owns, while the application still exists.
    delete window.data();
    // Whatever Qt asked to delete later while it went goes now, while the
    // application still exists, rather than never.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Choices clicked just before the end still land, given a few seconds;
    // one that did not is told, on screen or, when a signal ended the
    // program, where its output goes.
    const QString lost = services.settings->Finish();
    if (!lost.isEmpty() && code > 128)
        std::fprintf(stderr, "%s\n", qPrintable(lost));
    else if (!lost.isEmpty())
        common::QtMessageBoxes().Show(nullptr, lost, QMessageBox::Warning, common::ProgramTitle());
    return code;
}
