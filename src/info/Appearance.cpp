// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/Appearance.h"

#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>

// What a-z and A-Z may take side by side, in the boxes' device-independent
// pixels: a little narrower than Arial at 8 points, so that the longest
// captions keep a few pixels to spare at any scale.
constexpr qreal kLettersWidth = 320.0;

QFont DialogFont()
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(8.0);
    const qreal width = QFontMetricsF(font).horizontalAdvance(
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    // Down to a quarter point, never above the width wanted, never below 6.
    if (width > kLettersWidth)
        font.setPointSizeF(std::max(6.0, std::floor(8.0 * kLettersWidth / width * 4.0) / 4.0));
    return font;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(size <= 32 ? QStringLiteral(":/tarmalo/tarmalo-%1.png").arg(size)
                                : QStringLiteral(":/tarmalo/hicolor/%1/tarmalo.png").arg(size),
                     QSize(size, size));
    return icon;
}
