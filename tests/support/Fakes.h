// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "boarding/MediaPlayer.h"

#include <QString>
#include <QStringList>
#include <deque>

// A player that never makes a sound. It records what it was asked to play
// and reports "playing" and "ended" only when a test says so (or after a set
// length of fake time through the harness).
class FakePlayer final : public MediaPlayer {
    Q_OBJECT
public:
    using MediaPlayer::MediaPlayer;

    void setFileName(const QString& path) override { m_path = path; }
    void play() override;
    void stop() override { m_state = PlayState::Stopped; }

    // Reports a state change as the real player would (queued by the event
    // loop in the real one; delivered now here).
    void report(PlayState newState);
    void finish() { report(PlayState::Stopped); }

    QStringList played;  // full paths, in order
    int playCalls = 0;

private:
    QString m_path;
    PlayState m_state = PlayState::Stopped;
};

// Hands out a scripted sequence of random values, then a fallback. Given
// as std::ref(it) where the program takes its random values.
struct ScriptedRandom {
    float operator()();
    std::deque<float> values;
    float fallback = 0.0f;
    int draws = 0;
};
