// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QObject>
#include <QString>

// What the announcement player is doing. Only Playing counts as playing.
enum class PlayState { Stopped, Playing, Waiting };

// One announcement player. playStateChanged is always delivered through the
// event loop, never from inside setFileName() or play(), so a handler that
// started a sound has returned before its notification arrives.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // The file to play (full path). A player may throw RuntimeError here or
    // in play(); the program's own player never does, it reports every
    // failure as "not playing".
    virtual void setFileName(const QString& path) = 0;
    // Starts the current file and returns at once.
    virtual void play() = 0;
    // Ends playback now without reporting it (the program is closing).
    virtual void stop() = 0;

signals:
    void playStateChanged(PlayState oldState, PlayState newState);
};
