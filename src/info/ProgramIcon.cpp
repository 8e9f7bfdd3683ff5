// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/ProgramIcon.h"

#include <QIcon>

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(size <= 32 ? QStringLiteral(":/tarmalo/tarmalo-%1.png").arg(size)
                                : QStringLiteral(":/tarmalo/hicolor/%1/tarmalo.png").arg(size),
                     QSize(size, size));
    return icon;
}
