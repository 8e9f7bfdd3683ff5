#pragma once
#include "platform/MediaPlayer.h"

#include <QPointer>
#include <QTimer>

class QSoundEffect;

namespace plat {

// The announcement player on QSoundEffect. Whatever goes wrong with a file or
// the audio output ends as "not playing", so a caller waiting for the end of
// a sound is never left waiting.
class SoundEffectPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    explicit SoundEffectPlayer(QObject* parent = nullptr);
    ~SoundEffectPlayer() override;

    void setFileName(const QString& path) override;
    QString fileName() const override { return m_path; }
    void play() override;
    void stop() override;
    int playState() const override { return m_state; }

    // How long a sound may take to start, and to last, before it counts as
    // ended; a stuck audio output must not hold the boarding.
    void setWatchdog(int startMs, int maxLengthMs);

private:
    void report(int newState);
    void onStatusChanged();
    void onPlayingChanged();
    void giveUp();

    QString m_path;
    QPointer<QSoundEffect> m_effect;
    QTimer m_watchdog;
    int m_state = mpStopped;
    int m_reported = mpStopped;
    bool m_wantPlay = false;
    quint64 m_generation = 0;
    int m_startLimitMs = 3000;
    int m_lengthLimitMs = 120000;
};

}  // namespace plat
