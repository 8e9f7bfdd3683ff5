#pragma once
#include "platform/MediaPlayer.h"

#include <QTimer>

class QAudioSink;
class QBuffer;

namespace plat {

// The announcement player: the WAV file is read and checked here, and its
// samples go from memory to a QAudioSink; nothing is written anywhere.
// Whatever goes wrong with a file or the audio output ends as "not
// playing", so a caller waiting for the end of a sound is never left waiting.
class AudioSinkPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    explicit AudioSinkPlayer(QObject* parent = nullptr);
    ~AudioSinkPlayer() override;

    void setFileName(const QString& path) override;
    QString fileName() const override { return m_path; }
    void play() override;
    void stop() override;
    int playState() const override { return m_state; }

    // How long a sound may take to start, and to last, before it counts as
    // ended; a stuck audio output must not hold the boarding.
    void setWatchdog(int startMs, int maxLengthMs);

private:
    bool start();
    void halt();
    void onSinkState();
    void checkDrained();
    void giveUp();
    void report(int newState);

    QString m_path;
    QAudioSink* m_sink = nullptr;
    QBuffer* m_source = nullptr;  // the sound's samples, owned by the sink
    bool m_starting = false;
    qint64 m_lengthUs = 0;
    QTimer m_watchdog;
    QTimer m_drain;
    int m_state = mpStopped;
    int m_reported = mpStopped;
    quint64 m_generation = 0;
    int m_startLimitMs = 3000;
    int m_lengthLimitMs = 120000;
};

}  // namespace plat
