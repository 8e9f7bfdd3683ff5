#pragma once
#include "platform/MediaPlayer.h"

#include <QHash>
#include <QPointer>
#include <QTimer>
#include <memory>

class QSoundEffect;
class QTemporaryDir;

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
    void markPlaying();
    void giveUp();
    void dropEffect();
    bool makeEffect();
    QString playableCopy(const QString& path, int& lengthMs);

    QString m_path;
    QPointer<QSoundEffect> m_effect;
    QTimer m_watchdog;
    int m_state = mpStopped;
    int m_reported = mpStopped;
    bool m_wantPlay = false;
    quint64 m_generation = 0;
    int m_startLimitMs = 3000;
    int m_lengthLimitMs = 120000;
    int m_soundMs = 0;  // length of the current sound as played
    // Qt's decoder is never handed the user's file: each is rewritten once
    // into plain 16-bit PCM here, keyed by path, size and modification time.
    struct Copy {
        QString path;
        int lengthMs = 0;
    };
    std::unique_ptr<QTemporaryDir> m_copies;
    QHash<QString, Copy> m_copyFor;
    int m_copyCount = 0;
};

}  // namespace plat
