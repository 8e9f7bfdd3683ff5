// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/ClockPanel.h"

#include "common/Clock.h"
#include "common/Timer.h"
#include "platform/Desktop.h"

ClockPanel::ClockPanel(common::Clock& clock, QWidget* parent) : QLabel(parent), m_clock(clock)
{
    setObjectName(QStringLiteral("Clock"));
    setAccessibleDescription(QStringLiteral("Time of day"));
    setAlignment(Qt::AlignCenter);
    m_timer = new common::Timer(clock, this);
    m_timer->setPrecise(true);
    connect(m_timer, &common::Timer::Tick, this, &ClockPanel::Update);
    // Its timer sleeps through a suspend, and through a clock set by hand.
    plat::WatchClockJumps(this, [this] {
        if (m_timer->Enabled())
            Update();
    });
    // The status bar sizes itself by what its panels hold when added.
    Update();
}

void ClockPanel::Update()
{
    const QDateTime now = m_clock.now();
    const QString text = now.time().toString(QStringLiteral("HH:mm"));
    if (this->text() != text)
        setText(text);
    // Just past the next minute; rescheduling the one timer adds no wake-up.
    const int intoMinute = now.time().second() * 1000 + now.time().msec();
    m_timer->setInterval(60000 - intoMinute + 20);
    m_timer->setEnabled(true);
}

void ClockPanel::Stop()
{
    m_timer->setEnabled(false);
}
