// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "boarding/MediaPlayer.h"
#include "platform/SoundOutput.h"

#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <thread>

class QIODevice;
struct SoundRun;

// Reads a RIFF WAVE sound: integer PCM of 8 to 32 bits or floats, mono or
// stereo, plain or extensible headers, a cut-off end kept.
std::optional<plat::Pcm16> ReadWav(QIODevice& in);
// The same from a plain file; a FIFO or a device gives nothing.
std::optional<plat::Pcm16> ReadWavFile(const QString& path);

// The announcement player. A sound is read and played on a thread of its
// own, so no file holds the window; every sound opens its own output, so a
// sound server that came back is found again.
class SoundPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    using OutputFactory = std::function<std::unique_ptr<plat::SoundOutput>()>;

    explicit SoundPlayer(QObject* parent = nullptr);
    // makeOutput is called on the sound's thread.
    explicit SoundPlayer(OutputFactory makeOutput, QObject* parent = nullptr);
    ~SoundPlayer() override;

    void setFileName(const QString& path) override;
    void play() override;
    void stop() override;

private:
    friend struct SoundRun;
    void release();
    void endThread();
    void onOutput(quint64 generation, PlayState newState, qint64 lengthMs, const QString& error);
    void giveUp();
    void report(PlayState newState);

    OutputFactory m_makeOutput;
    QString m_path;
    std::shared_ptr<SoundRun> m_run;  // shared with the thread that plays it
    std::thread m_thread;
    QTimer m_watchdog;
    bool m_wanted = false;  // from play() until the sound has ended
    PlayState m_reported = PlayState::Stopped;
    quint64 m_generation = 0;
    QString m_warned;  // the output failure last written to the warnings
};
