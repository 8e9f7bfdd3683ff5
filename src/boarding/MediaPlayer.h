// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QObject>
#include <QString>

enum class PlayState { Stopped, Playing };

// One announcement player. It throws nothing: a sound it cannot play ends as
// Stopped. playStateChanged always comes through the event loop, so a
// handler that started a sound has returned before its notification arrives.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // The full path of the file to play.
    virtual void setFileName(const QString& path) = 0;
    // Starts the current file and returns at once.
    virtual void play() = 0;
    // Ends playback now without reporting it (the program is closing).
    virtual void stop() = 0;

signals:
    void playStateChanged(PlayState oldState, PlayState newState);
};
