// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "boarding/MediaPlayer.h"
#include "common/RuntimeError.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

// A player that never makes a sound. It records what it was asked to do and
// reports "playing" and "ended" only when a test says so (or after a set
// length of fake time through the harness).
class FakePlayer final : public MediaPlayer {
    Q_OBJECT
public:
    using MediaPlayer::MediaPlayer;

    void setFileName(const QString& path) override;
    void play() override;
    void stop() override;

    // Reports a state change as the real player would (queued by the event
    // loop in the real one; delivered now here).
    void report(PlayState newState);
    void finish() { report(PlayState::Stopped); }

    QStringList played;  // full paths, in order
    QStringList setFiles;  // every file set, in order
    int playCalls = 0;
    // Thrown by the next setFileName / play when set (number, description).
    std::optional<common::RuntimeError> failSet;
    std::optional<common::RuntimeError> failPlay;
    // When set, decides per file name whether set/play fails.
    std::function<std::optional<common::RuntimeError>(const QString& fileName)> failFor;

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
