// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What Linux gives the program: System Information from the PATH. The
// sound output is in PulseOutput.cpp.
#include <QStandardPaths>

#include "platform/Desktop.h"

namespace plat {

QString SysInfoTool()
{
    // The desktops' system-information programs, most wanted first.
    for (const char* name : {"hardinfo", "hardinfo2", "kinfocenter"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

// Nothing on Linux needs to know that the program runs.
void MarkRunning() { }

}  // namespace plat
