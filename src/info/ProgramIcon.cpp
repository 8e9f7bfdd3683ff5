// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/ProgramIcon.h"

#include <QIcon>

QIcon ProgramIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/tarmalo/tarmalo-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/tarmalo/tarmalo-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/tarmalo/hicolor/48/tarmalo.png"), QSize(48, 48));
    icon.addFile(QStringLiteral(":/tarmalo/hicolor/64/tarmalo.png"), QSize(64, 64));
    return icon;
}
