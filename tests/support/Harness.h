// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "app/AppServices.h"
#include "app/MainLayout.h"
#include "app/frmMain.h"
#include "common/Random.h"
#include "support/FakeClock.h"
#include "support/FakeServices.h"
#include "support/Fakes.h"

#include <QDateTime>
#include <memory>

// The real main window on fakes: a fake clock that also drives its timers, an
// in-memory settings store, recorded message boxes and a silent player.
struct Harness {
    explicit Harness(const QDateTime& start = QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0), Qt::UTC),
                     plat::MemorySettingsStore* sharedSettings = nullptr);
    ~Harness();

    static QDateTime At(int h, int m, int s = 0, QDate day = QDate(2026, 12, 7));

    // Types into the fields as a user would (through the field's own editing).
    void typeTime(const QString& digits);
    void setTotal(const QString& text);
    void start();  // File > Start, as the menu item does it
    void setOption(QAction* item, bool on);
    // The boarding timer's interval while it runs, -1 while it is off: the
    // window makes it first of its timers.
    int tickInterval() const { return clock.interval(0); }

    common::FakeClock clock;
    plat::MemorySettingsStore ownSettings;
    plat::MemorySettingsStore* settings;
    common::RecordingMessageBoxes messages;
    // Where the window's arrivals come from; a test may put its own in place
    // at any time (std::ref of a ScriptedRandom).
    std::function<float()> random = common::Random(5489u);
    FakePlayer* player = nullptr;
    int exits = 0;
    int abouts = 0;
    std::unique_ptr<frmMain> window;
};
