// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/AppServices.h"

#include "info/frmAbout.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "platform/SoundPlayer.h"

#include <QCoreApplication>

AppServices AppServices::System()
{
    static plat::QtMessageBoxes messages;
    AppServices s;
    s.clock = &plat::SystemClock::instance();
    s.settings = &plat::UserSettings();
    s.messages = &messages;
    s.makePlayer = [](QObject* parent) -> plat::MediaPlayer* { return new plat::SoundPlayer(parent); };
    s.appPath = QCoreApplication::applicationDirPath();
    s.endProgram = [] { QCoreApplication::exit(0); };
    s.showAbout = [] { frmAbout::ShowModal(); };
    s.random = plat::Random(static_cast<quint64>(s.clock->now().toMSecsSinceEpoch()));
    return s;
}
