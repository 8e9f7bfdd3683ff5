// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What Linux gives the program: System Information from the PATH. The
// sound output is in PulseOutput.cpp.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStandardPaths>

#include "platform/Desktop.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace plat {

QString SysInfoTool()
{
    // The desktops' system-information programs, most wanted first. hardinfo
    // shows its window only on an X display: without one it would print its
    // report into the program's output and run its benchmarks unseen.
    QStringList names{QStringLiteral("hardinfo2"), QStringLiteral("kinfocenter")};
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        names.prepend(QStringLiteral("hardinfo"));
    for (const QString& name : names) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

// Nothing on Linux needs to know that the program runs.
void MarkRunning() { }

namespace {

// The signal handler's only way to the event loop: it writes the signal's
// number here, and the loop reads it.
int endRequests[2] = {-1, -1};

void RequestEnd(int which)
{
    const int interrupted = errno;  // the interrupted code's, kept for it
    const char number = static_cast<char>(which);
    const ssize_t written = ::write(endRequests[1], &number, 1);
    static_cast<void>(written);
    errno = interrupted;
}

}  // namespace

void EndOnRequest()
{
    if (endRequests[0] >= 0 || ::pipe2(endRequests, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(endRequests[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier] {
        char number = 0;
        if (::read(endRequests[0], &number, 1) != 1)
            return;
        notifier->setEnabled(false);
        // A second request ends the program at once.
        std::signal(number, SIG_DFL);
        // The exit code a shell reports for a program the signal ended.
        QCoreApplication::exit(128 + number);
    });
    struct sigaction action { };
    action.sa_handler = RequestEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int which : {SIGTERM, SIGHUP, SIGINT})
        sigaction(which, &action, nullptr);
}

}  // namespace plat
