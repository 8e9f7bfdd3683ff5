// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QRect>

#include <cmath>

namespace common {

// The layout's unit: 1440 to the inch, so 15 to the pixel at 96 dpi, which
// is what Qt's device-independent pixels are.
inline constexpr int kTwipsPerPixel = 15;

// To the nearest pixel (380 twips are 25 1/3 pixels: 25).
inline int TwipsToPixels(int twips)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

inline QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

}  // namespace common
