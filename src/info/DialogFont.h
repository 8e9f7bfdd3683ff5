// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QFont>

// The font all windows' text uses. The layout's boxes were drawn for an
// 8-point dialog font narrower than today's desktop fonts: the desktop's
// family is kept, at the size that makes its letters about as wide.
QFont DialogFont();
