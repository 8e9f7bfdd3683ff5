// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QIcon>

// The program's icon with every size it is drawn in: the 16- and 32-pixel
// pictures for their sizes, 48 and 64 for the 32 at 1.5x and 2x. Qt picks
// the size for the place and the screen.
QIcon ProgramIcon();
