// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>
#include <functional>

namespace common {
class Clock;
class MessageBoxes;
}  // namespace common
namespace plat {
class SettingsStore;
}
class MediaPlayer;
class QObject;

// Everything the main window takes from the outside world.
struct AppServices {
    common::Clock* clock = nullptr;
    plat::SettingsStore* settings = nullptr;
    common::MessageBoxes* messages = nullptr;
    std::function<MediaPlayer*(QObject* parent)> makePlayer;
    // The folder of the program and its sounds.
    QString appPath;
    std::function<void()> endProgram;
    std::function<void()> showAbout;
    std::function<float()> random;

    static AppServices System();
};
