// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Where each platform keeps the options: linux/LinuxSettings.cpp and
// win32/WindowsSettings.cpp. Called on the settings store's own thread only.
#include <QHash>
#include <QString>
#include <memory>

class QSettings;

namespace plat::options {

// The options, to read or to write; none when what lies in their place is
// not Tarmalo's to open.
std::unique_ptr<QSettings> Open();

enum class Turn {
    Now,  // a write can go ahead
    Later,  // another program is writing the options: try again shortly
    Never,  // a write cannot be done
};
Turn WriteTurn();

// Whether `values` (by their full keys), set and synced through `settings`,
// are now stored.
bool Stored(QSettings& settings, const QHash<QString, QString>& values);

}  // namespace plat::options
