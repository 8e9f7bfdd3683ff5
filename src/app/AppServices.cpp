// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/AppServices.h"

#include "boarding/SoundPlayer.h"
#include "common/Clock.h"
#include "common/MessageBox.h"
#include "common/Random.h"
#include "info/frmAbout.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>

AppServices AppServices::System()
{
    static common::QtMessageBoxes messages;
    static plat::QSettingsStore settings;
    AppServices s;
    s.clock = &common::SystemClock::instance();
    s.settings = &settings;
    s.messages = &messages;
    s.makePlayer = [](QObject* parent) -> MediaPlayer* { return new SoundPlayer(parent); };
    s.appPath = QCoreApplication::applicationDirPath();
    s.endProgram = [] { QCoreApplication::exit(0); };
    s.showAbout = [] { frmAbout::ShowModal(plat::SysInfoTool, messages); };
    s.random = common::Random(static_cast<quint64>(s.clock->now().toMSecsSinceEpoch()));
    return s;
}
