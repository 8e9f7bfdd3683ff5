// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What Linux gives the program: System Information from the PATH, the window
// system's choice, news of a jumping clock, an end on request. The sound
// output is in PulseOutput.cpp, the options' place in LinuxSettings.cpp.
#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <sys/timerfd.h>
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
    for (const QString& name : names)
        if (const QString found = QStandardPaths::findExecutable(name); !found.isEmpty())
            return found;
    return QString();
}

// Nothing on Linux needs to know that the program runs.
void MarkRunning() { }

bool ChooseWindowSystem()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    return true;
}

// The accessibility bus reads the notification out; a second event would be
// said twice.
void SayTextChanged(QWidget*, const QString&) { }

void WatchClockJumps(QObject* owner, std::function<void()> jumped)
{
    // A wall-clock alarm that never falls due: the kernel cancels it when the
    // clock is set and when the machine wakes, which is the news wanted.
    const int fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0)
        return;
    const auto arm = [fd] {
        itimerspec never{};
        never.it_value.tv_sec = std::numeric_limits<time_t>::max() / 2;
        return timerfd_settime(fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr) == 0;
    };
    if (!arm()) {
        close(fd);
        return;
    }
    auto* notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [fd, arm, jumped = std::move(jumped)] {
        quint64 expired = 0;
        [[maybe_unused]] const ssize_t n = read(fd, &expired, sizeof expired);  // ECANCELED: it jumped
        arm();
        jumped();
    });
    QObject::connect(notifier, &QObject::destroyed, [fd] { close(fd); });
}

namespace {

// The signal handler's only way to the event loop: it writes the signal's
// number here, and the loop reads it.
int endRequests[2] = {-1, -1};

void RequestEnd(int which)
{
    const int interrupted = errno;  // the interrupted code's, kept for it
    const char number = static_cast<char>(which);
    [[maybe_unused]] const ssize_t written = ::write(endRequests[1], &number, 1);
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
        // A second request, of any of them, ends the program at once.
        for (int again : {SIGTERM, SIGHUP, SIGINT})
            std::signal(again, SIG_DFL);
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
