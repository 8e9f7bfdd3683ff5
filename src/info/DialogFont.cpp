// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/DialogFont.h"

#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>

namespace {

// What a-z and A-Z may take side by side, in pixels: a little
// narrower than Arial at 8 points, so that the longest captions keep a few
// pixels to spare in their boxes at any scale.
constexpr qreal kLettersWidth = 320.0;
constexpr qreal kLargestPoints = 8.0;
constexpr qreal kSmallestPoints = 6.0;

}  // namespace

QFont DialogFont()
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(kLargestPoints);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    // In the same device-independent pixels as the boxes, at the desktop's
    // own dpi.
    const qreal width = QFontMetricsF(font).horizontalAdvance(letters);
    if (width > kLettersWidth) {
        // Down to a quarter point, never above the width wanted.
        const qreal points = std::floor(kLargestPoints * kLettersWidth / width * 4.0) / 4.0;
        font.setPointSizeF(std::max(kSmallestPoints, points));
    }
    return font;
}
