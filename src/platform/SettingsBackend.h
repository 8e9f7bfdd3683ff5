// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Where each platform keeps the options, for the settings store's thread.
#include <QSettings>
#include <memory>

namespace plat::options {

// The options, to read or to write; none when what lies in their place is
// not Tarmalo's to open.
std::unique_ptr<QSettings> Open();

enum class Turn {
    Now,
    Later,  // another program holds the lock: look again shortly
    Never,
};
Turn WriteTurn();

}  // namespace plat::options
