#include "platform/PulsePlayer.h"

#include "platform/WavFile.h"

#include <QFile>
#include <QFileInfo>

#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

namespace plat {

namespace {

// Past its length plus this, a sound that has not finished counts as stuck
// (a null sink nobody listens to may hold a fresh stream for two seconds).
constexpr int kEndSlackMs = 2500;
// Samples go out in pieces this long, and the player's stop is looked at
// between them; the server holds about this much ahead of the speaker.
constexpr pa_usec_t kChunkUs = 50000;
constexpr pa_usec_t kBufferUs = 200000;

}  // namespace

// One sound on its way out, shared by the player and the thread playing it.
struct PulseRun {
    Pcm16 sound;
    quint64 generation = 0;
    std::atomic<bool> stop{false};
    std::mutex lock;  // guards owner
    PulsePlayer* owner = nullptr;  // null once the player has let go

    void tell(int state)
    {
        std::lock_guard<std::mutex> held(lock);
        if (owner)
            QMetaObject::invokeMethod(
                owner,
                [player = owner, generation = generation, state] { player->onOutput(generation, state); },
                Qt::QueuedConnection);
    }

    // Runs on a thread of its own: a stuck server can hold any of these
    // calls, and only this thread waits for it.
    static void play(std::shared_ptr<PulseRun> run)
    {
        const pa_sample_spec format{PA_SAMPLE_S16LE, uint32_t(run->sound.rate), uint8_t(run->sound.channels)};
        pa_buffer_attr attr;
        attr.maxlength = attr.prebuf = attr.minreq = attr.fragsize = uint32_t(-1);
        attr.tlength = uint32_t(pa_usec_to_bytes(kBufferUs, &format));
        int error = 0;
        pa_simple* out = pa_simple_new(nullptr, "Tarmalo", PA_STREAM_PLAYBACK, nullptr, "Announcement",
                                       &format, nullptr, &attr, &error);
        if (!out) {
            run->tell(mpStopped);
            return;
        }
        run->tell(mpPlaying);
        const QByteArray& pcm = run->sound.samples;
        const qsizetype chunk = qsizetype(pa_usec_to_bytes(kChunkUs, &format));
        bool ok = true;
        for (qsizetype at = 0; ok && at < pcm.size() && !run->stop; at += chunk)
            ok = pa_simple_write(out, pcm.constData() + at, size_t(std::min(chunk, pcm.size() - at)), &error)
                 == 0;
        // The drain returns once the server has played the last sample.
        if (run->stop)
            pa_simple_flush(out, &error);
        else if (ok)
            pa_simple_drain(out, &error);
        pa_simple_free(out);
        run->tell(mpStopped);
    }
};

PulsePlayer::PulsePlayer(QObject* parent) : MediaPlayer(parent)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &PulsePlayer::giveUp);
}

PulsePlayer::~PulsePlayer()
{
    halt();
}

void PulsePlayer::setWatchdog(int startMs, int maxLengthMs)
{
    m_startLimitMs = startMs;
    m_lengthLimitMs = maxLengthMs;
}

void PulsePlayer::setFileName(const QString& path)
{
    // Nothing is opened yet: the server is asked for only when a sound
    // plays, which keeps it out of the program's start-up.
    ++m_generation;
    halt();
    m_path = path;
    m_state = mpStopped;
    m_reported = mpStopped;
}

void PulsePlayer::play()
{
    ++m_generation;
    halt();
    m_state = mpWaiting;
    m_reported = mpWaiting;  // a new play: its end must be reported even if the last one ended too
    m_watchdog.start(m_startLimitMs);
    // A FIFO or a device would block the open; only a plain file is read.
    QFile file(m_path);
    std::optional<Pcm16> sound;
    if (QFileInfo(m_path).isFile() && file.open(QIODevice::ReadOnly))
        sound = ReadWav(file);
    if (!sound)
        return giveUp();  // missing, unreadable or not a sound
    m_lengthMs = sound->lengthUs() / 1000;
    auto run = std::make_shared<PulseRun>();
    run->sound = std::move(*sound);
    run->generation = m_generation;
    run->owner = this;
    try {
        // Never joined: a thread held by a stuck server must not hold the
        // program, and it ends by itself once the server lets it go.
        std::thread(&PulseRun::play, run).detach();
    } catch (const std::system_error&) {
        return giveUp();
    }
    m_run = std::move(run);
}

void PulsePlayer::halt()
{
    m_watchdog.stop();
    if (m_run) {
        std::lock_guard<std::mutex> held(m_run->lock);
        m_run->owner = nullptr;
        m_run->stop = true;
    }
    m_run.reset();
}

void PulsePlayer::stop()
{
    ++m_generation;
    halt();
    m_state = mpStopped;
    m_reported = mpStopped;
}

void PulsePlayer::onOutput(quint64 generation, int newState)
{
    if (generation != m_generation || m_state == mpStopped)
        return;
    if (newState == mpPlaying && m_state != mpPlaying) {
        m_state = mpPlaying;
        m_watchdog.start(int(std::min<qint64>(m_lengthLimitMs, m_lengthMs + kEndSlackMs)));
        report(mpPlaying);
    } else if (newState == mpStopped) {
        giveUp();
    }
}

void PulsePlayer::giveUp()
{
    const bool wanted = m_state != mpStopped;
    halt();
    m_state = mpStopped;
    if (wanted)
        report(mpStopped);
}

void PulsePlayer::report(int newState)
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
