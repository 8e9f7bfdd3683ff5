// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What Linux gives the program: System Information from the PATH, the window
// system's choice, screen readers' news. The sound output is in
// PulseOutput.cpp.
#include <QStandardPaths>

#include "platform/Desktop.h"

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

}  // namespace plat
