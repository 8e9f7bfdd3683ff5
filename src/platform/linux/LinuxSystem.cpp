// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What Linux gives the program: System Information from the PATH, the window
// system's choice, screen readers' news. The sound output is in
// PulseOutput.cpp.
#include "platform/Desktop.h"

#include <QSocketNotifier>
#include <QStandardPaths>

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
    for (const QString& name : names) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
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

}  // namespace plat
