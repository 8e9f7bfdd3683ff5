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

// Everything the main window takes from the outside world. main() hands in
// the real ones; tests hand in fakes.
struct AppServices {
    common::Clock* clock = nullptr;
    plat::SettingsStore* settings = nullptr;
    common::MessageBoxes* messages = nullptr;
    // Makes the announcement player, owned by the given parent.
    std::function<MediaPlayer*(QObject* parent)> makePlayer;
    // The folder that holds the program (and its sounds).
    QString appPath;
    // Ends the program at once (File > Exit).
    std::function<void()> endProgram;
    // Opens the About box modally (Help > About).
    std::function<void()> showAbout;
    // Uniform values in [0, 1) that decide who arrives.
    std::function<float()> random;

    // The real thing: system clock, the platform's settings store, QMessageBox,
    // the announcement player over the platform's sound output, and a
    // generator seeded from the clock.
    static AppServices System();
};
