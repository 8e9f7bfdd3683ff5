#pragma once
#include "platform/MediaPlayer.h"

#include <QTimer>

#include <memory>

namespace plat {

struct PulseRun;

// The announcement player: the WAV file is read and checked here, and its
// samples go from memory to the sound server through PulseAudio's simple
// API, on a thread of their own. Every sound opens its own connection, so a
// server that went away and came back is simply found again; nothing is
// written anywhere. Whatever goes wrong with a file or the output ends as
// "not playing", so a caller waiting for the end of a sound is never left
// waiting.
class PulsePlayer final : public MediaPlayer {
    Q_OBJECT
public:
    explicit PulsePlayer(QObject* parent = nullptr);
    ~PulsePlayer() override;

    void setFileName(const QString& path) override;
    QString fileName() const override { return m_path; }
    void play() override;
    void stop() override;
    int playState() const override { return m_state; }

    // How long a sound may take to start, and to last, before it counts as
    // ended; a stuck audio output must not hold the boarding.
    void setWatchdog(int startMs, int maxLengthMs);

private:
    friend struct PulseRun;
    void halt();
    void onOutput(quint64 generation, int newState);
    void giveUp();
    void report(int newState);

    QString m_path;
    std::shared_ptr<PulseRun> m_run;  // shared with the thread that plays it
    qint64 m_lengthMs = 0;
    QTimer m_watchdog;
    int m_state = mpStopped;
    int m_reported = mpStopped;
    quint64 m_generation = 0;
    int m_startLimitMs = 3000;
    int m_lengthLimitMs = 120000;
};

}  // namespace plat
