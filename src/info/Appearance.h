// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QFont>
#include <QIcon>

// The font all windows' text uses. The layout's boxes were drawn for an
// 8-point dialog font narrower than today's desktop fonts: the desktop's
// family is kept, at the size that makes its letters about as wide.
QFont DialogFont();

// The program's icon with every size it is drawn in: the 16- and 32-pixel
// pictures for their sizes, 48 and 64 for the 32 at 1.5x and 2x. Qt picks
// the size for the place and the screen.
QIcon ProgramIcon();
