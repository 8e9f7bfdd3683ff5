// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Runner.h"

#include "common/Clock.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>

Runner::Runner(Harness& h) : m_h(h)
{
    // Connected after the window's own handler, so it sees what the tick left.
    QObject::connect(&h.window->tmrTimer(), &common::Timer::Tick, h.window.get(), [this] { onTick(); });
}

void Runner::notePlays()
{
    while (m_seenPlays < m_h.player->played.size()) {
        const QString name = QFileInfo(m_h.player->played.at(m_seenPlays)).fileName();
        ++m_seenPlays;
        sounds << name;
        soundTimes << m_h.clock.now();
        m_soundEndsAt = nowMs() + lengths.value(name, 0);
        m_departed = m_departed || name == Boarding::kGndbrief;
    }
}

void Runner::onTick()
{
    notePlays();
    frmMain& w = *m_h.window;
    const int interval = m_h.tickInterval();
    const bool running = w.mnuFileStart->isChecked();
    const bool bar = w.pgbInAC->isVisibleTo(&w);
    m_departed = running && !bar && (m_departed || interval == Boarding::kDepartedInterval);
    const qint32 state = !running ? 0 : m_departed ? 2 : bar ? 0 : 1;
    TickRecord r{m_h.clock.now(),
                 state,
                 running,
                 w.tmrTimer().Enabled(),
                 interval,
                 w.stsStatusInfo->text(),
                 w.lblPAX[0]->text(),
                 w.lblPAX[1]->text(),
                 bar,
                 w.pgbInAC->value()};
    if (statuses.isEmpty() || statuses.last() != r.status)
        statuses << r.status;
    ticks << r;
    if (afterTick)
        afterTick(r);
}

bool Runner::step(qint64 limitMs)
{
    notePlays();
    // Only the boarding timer counts; the clock panel wakes on its own.
    const qint64 toTick = m_h.clock.msToNextTick();
    const qint64 toEnd = m_soundEndsAt >= 0 ? std::max<qint64>(0, m_soundEndsAt - nowMs()) : -1;
    qint64 wait = -1;
    if (toTick >= 0)
        wait = toTick;
    if (toEnd >= 0 && (wait < 0 || toEnd < wait))
        wait = toEnd;
    if (wait < 0 || wait > limitMs)
        return false;
    if (toEnd >= 0 && wait == toEnd) {
        m_h.clock.advance(toEnd);
        m_soundEndsAt = -1;
        m_h.player->finish();
        notePlays();
        return true;
    }
    m_h.clock.advance(wait);
    notePlays();
    return true;
}

bool Runner::runToStop(qint64 limitMs)
{
    const qint64 end = nowMs() + limitMs;
    while (nowMs() < end) {
        if (!m_h.window->mnuFileStart->isChecked() && !soundPlaying())
            return true;
        if (!step(end - nowMs()))
            break;
    }
    return !m_h.window->mnuFileStart->isChecked();
}
