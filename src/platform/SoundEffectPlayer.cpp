#include "platform/SoundEffectPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace plat {

SoundEffectPlayer::SoundEffectPlayer(QObject* parent) : MediaPlayer(parent)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &SoundEffectPlayer::giveUp);
}

SoundEffectPlayer::~SoundEffectPlayer()
{
    if (m_effect)
        m_effect->stop();
}

void SoundEffectPlayer::setWatchdog(int startMs, int maxLengthMs)
{
    m_startLimitMs = startMs;
    m_lengthLimitMs = maxLengthMs;
}

void SoundEffectPlayer::setFileName(const QString& path)
{
    // A fresh effect per file: the old one's late signals cannot be mistaken
    // for the end of the new sound.
    ++m_generation;
    m_watchdog.stop();
    m_wantPlay = false;
    if (m_effect) {
        m_effect->disconnect(this);
        m_effect->stop();
        m_effect->deleteLater();
    }
    m_path = path;
    m_state = mpStopped;
    m_reported = mpStopped;
    m_effect = new QSoundEffect(this);
    connect(m_effect, &QSoundEffect::statusChanged, this, &SoundEffectPlayer::onStatusChanged);
    connect(m_effect, &QSoundEffect::playingChanged, this, &SoundEffectPlayer::onPlayingChanged);
    if (QFileInfo(path).isFile())
        m_effect->setSource(QUrl::fromLocalFile(path));
}

void SoundEffectPlayer::play()
{
    if (!m_effect)
        setFileName(m_path);
    m_wantPlay = true;
    m_state = mpWaiting;
    m_reported = mpWaiting;  // a new play: its end must be reported even if the last one ended too
    if (m_effect->source().isEmpty() || m_effect->status() == QSoundEffect::Error) {
        // Missing or unreadable: the announcement ends at once.
        giveUp();
        return;
    }
    m_watchdog.start(m_startLimitMs);
    m_effect->play();
}

void SoundEffectPlayer::stop()
{
    ++m_generation;
    m_wantPlay = false;
    m_watchdog.stop();
    if (m_effect)
        m_effect->stop();
    m_state = mpStopped;
    m_reported = mpStopped;
}

void SoundEffectPlayer::onStatusChanged()
{
    if (m_wantPlay && m_effect && m_effect->status() == QSoundEffect::Error)
        giveUp();
}

void SoundEffectPlayer::onPlayingChanged()
{
    if (!m_wantPlay || !m_effect)
        return;
    if (m_effect->isPlaying()) {
        m_state = mpPlaying;
        m_watchdog.start(m_lengthLimitMs);
        report(mpPlaying);
    } else {
        m_wantPlay = false;
        m_watchdog.stop();
        m_state = mpStopped;
        report(mpStopped);
    }
}

void SoundEffectPlayer::giveUp()
{
    const bool wasWanted = m_wantPlay;
    m_wantPlay = false;
    m_watchdog.stop();
    if (m_effect)
        m_effect->stop();
    m_state = mpStopped;
    if (wasWanted)
        report(mpStopped);
}

void SoundEffectPlayer::report(int newState)
{
    // Always through the event loop: the caller of play() has returned first.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, newState] {
            if (generation != m_generation || newState == m_reported)
                return;
            const int old = m_reported;
            m_reported = newState;
            emit PlayStateChange(old, newState);
        },
        Qt::QueuedConnection);
}

}  // namespace plat
