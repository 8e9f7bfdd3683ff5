#include "platform/AudioSinkPlayer.h"

#include "platform/WavFile.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>

#include <algorithm>

namespace plat {

namespace {

// Past its length plus this, a sound that has not finished counts as stuck
// (a null sink may hold a fresh stream for about two seconds).
constexpr int kEndSlackMs = 2500;
// While a sound plays, the output's clock is read this often to find the
// moment its last sample has been played.
constexpr int kDrainPollMs = 20;
constexpr qint64 kDrainToleranceUs = 10000;

}  // namespace

AudioSinkPlayer::AudioSinkPlayer(QObject* parent) : MediaPlayer(parent)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &AudioSinkPlayer::giveUp);
    m_drain.setInterval(kDrainPollMs);
    connect(&m_drain, &QTimer::timeout, this, &AudioSinkPlayer::checkDrained);
}

AudioSinkPlayer::~AudioSinkPlayer()
{
    halt();
}

void AudioSinkPlayer::setWatchdog(int startMs, int maxLengthMs)
{
    m_startLimitMs = startMs;
    m_lengthLimitMs = maxLengthMs;
}

void AudioSinkPlayer::setFileName(const QString& path)
{
    // Nothing is opened yet: the audio output is asked for only when a
    // sound plays, which keeps it out of the program's start-up.
    ++m_generation;
    halt();
    m_path = path;
    m_state = mpStopped;
    m_reported = mpStopped;
}

void AudioSinkPlayer::play()
{
    // A fresh output for every sound: nothing the last one still has to
    // say can be taken for this one, and an audio server that went away and
    // came back is found again.
    ++m_generation;
    halt();
    m_state = mpWaiting;
    m_reported = mpWaiting;  // a new play: its end must be reported even if the last one ended too
    m_watchdog.start(m_startLimitMs);
    if (!start())
        giveUp();  // missing, unreadable, not a sound, or nowhere to play it
}

bool AudioSinkPlayer::start()
{
    // A FIFO or a device would block the open; only a plain file is read.
    if (!QFileInfo(m_path).isFile())
        return false;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    std::optional<Pcm16> sound = ReadWav(file);
    if (!sound)
        return false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;

    QAudioFormat format;
    format.setSampleRate(sound->rate);
    format.setChannelCount(sound->channels);
    format.setSampleFormat(QAudioFormat::Int16);
    m_lengthUs = sound->lengthUs();
    // No parent: a sink is only ever deleted later (see halt()).
    m_sink = new QAudioSink(device, format);
    m_source = new QBuffer(m_sink);
    m_source->setData(sound->samples);
    m_source->open(QIODevice::ReadOnly);
    connect(m_sink, &QAudioSink::stateChanged, this, &AudioSinkPlayer::onSinkState);
    // Qt may report from inside start(); that is looked at once it returns.
    m_starting = true;
    m_sink->start(m_source);
    m_starting = false;
    if (m_sink->error() != QAudio::NoError || m_sink->state() == QAudio::StoppedState)
        return false;
    m_drain.start();
    onSinkState();
    return true;
}

void AudioSinkPlayer::halt()
{
    m_watchdog.stop();
    m_drain.stop();
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        // Qt 6.4 runs the event loop while it deletes a pulse sink: done
        // here it would deliver ticks and reports in the middle of play()
        // or delete widgets under a window being destroyed.
        m_sink->deleteLater();
        m_sink = nullptr;
        m_source = nullptr;
    }
}

void AudioSinkPlayer::stop()
{
    ++m_generation;
    halt();
    m_state = mpStopped;
    m_reported = mpStopped;
}

void AudioSinkPlayer::onSinkState()
{
    if (!m_sink || m_starting || m_state == mpStopped)
        return;
    if (m_sink->error() != QAudio::NoError && m_sink->error() != QAudio::UnderrunError) {
        giveUp();
    } else if (m_sink->state() == QAudio::ActiveState && m_state != mpPlaying) {
        m_state = mpPlaying;
        m_watchdog.start(int(std::min<qint64>(m_lengthLimitMs, m_lengthUs / 1000 + kEndSlackMs)));
        report(mpPlaying);
    } else if (m_sink->state() == QAudio::StoppedState) {
        giveUp();
    }
}

void AudioSinkPlayer::checkDrained()
{
    // The sound has ended once every sample is handed over and the output's
    // clock has played them all, not when Qt runs out of samples to hand on.
    if (!m_sink || m_state != mpPlaying || !m_source->atEnd()
        || m_sink->processedUSecs() < m_lengthUs - kDrainToleranceUs)
        return;
    halt();
    m_state = mpStopped;
    report(mpStopped);
}

void AudioSinkPlayer::giveUp()
{
    const bool wanted = m_state != mpStopped;
    halt();
    m_state = mpStopped;
    if (wanted)
        report(mpStopped);
}

void AudioSinkPlayer::report(int newState)
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
