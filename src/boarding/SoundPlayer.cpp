// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boarding/SoundPlayer.h"

#include "platform/SoundOutput.h"

#include <QDebug>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

namespace {

// How long a sound may take to start, and last at most: a stuck output must
// not hold the boarding.
constexpr int kStartLimitMs = 3000;
constexpr qint64 kLengthLimitMs = 120000;
// Past its length plus this, a sound that has not finished counts as stuck
// (a null sink nobody listens to may hold a fresh stream for two seconds).
constexpr int kEndSlackMs = 2500;
// A stop is looked at between pieces this long.
constexpr int kPieceMs = 20;
// How long a new sound waits for the last sound's thread; one held longer by
// a server that stopped answering is let go.
constexpr std::chrono::milliseconds kThreadWait{200};

}  // namespace

// One sound on its way out, shared by the player and the thread playing it.
struct SoundRun {
    QString path;
    SoundPlayer::OutputFactory makeOutput;
    quint64 generation = 0;
    std::atomic<bool> stop{false};
    std::mutex lock;  // guards owner and done
    std::condition_variable ended;
    SoundPlayer* owner = nullptr;  // null once the player has let go
    bool done = false;

    void post(PlayState state, qint64 lengthMs, const QString& error)
    {
        if (owner)
            QMetaObject::invokeMethod(
                owner,
                [player = owner, generation = generation, state, lengthMs, error] {
                    player->onOutput(generation, state, lengthMs, error);
                },
                Qt::QueuedConnection);
    }

    void finish(const QString& error)
    {
        std::lock_guard<std::mutex> held(lock);
        post(PlayState::Stopped, 0, error);
        done = true;
        ended.notify_all();
    }

    // The file and the output are touched on the sound's thread only.
    static void play(std::shared_ptr<SoundRun> run)
    {
        const std::optional<plat::Pcm16> sound = ReadWavFile(run->path);
        if (!sound)
            return run->finish({});
        std::unique_ptr<plat::SoundOutput> out = run->makeOutput();
        if (!out->open(*sound))
            return run->finish(out->errorText());
        {
            std::lock_guard<std::mutex> held(run->lock);
            run->post(PlayState::Playing, sound->lengthUs() / 1000, {});
        }
        const QByteArray& pcm = sound->samples;
        const qsizetype piece = std::max(1, sound->rate * kPieceMs / 1000) * 2 * qsizetype(sound->channels);
        bool ok = true;
        for (qsizetype at = 0; ok && at < pcm.size() && !run->stop; at += piece)
            ok = out->write(pcm.constData() + at, std::min(piece, pcm.size() - at), run->stop);
        if (ok && !run->stop)
            ok = out->drain(run->stop);
        const QString error = ok || run->stop ? QString() : out->errorText();
        out.reset();
        run->finish(error);
    }
};

SoundPlayer::SoundPlayer(QObject* parent) : SoundPlayer(&plat::NewSoundOutput, parent) { }

SoundPlayer::SoundPlayer(OutputFactory makeOutput, QObject* parent)
    : MediaPlayer(parent), m_makeOutput(std::move(makeOutput))
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &SoundPlayer::giveUp);
}

SoundPlayer::~SoundPlayer()
{
    release();
    endThread();
}

void SoundPlayer::setFileName(const QString& path)
{
    // The output is opened only when a sound plays, out of the start-up.
    stop();
    m_path = path;
}

void SoundPlayer::play()
{
    stop();
    endThread();
    m_wanted = true;
    m_watchdog.start(kStartLimitMs);
    auto run = std::make_shared<SoundRun>();
    run->path = m_path;
    run->makeOutput = m_makeOutput;
    run->generation = m_generation;
    run->owner = this;
    try {
        m_thread = std::thread(&SoundRun::play, run);
    } catch (const std::system_error&) {
        return giveUp();
    }
    m_run = std::move(run);
}

void SoundPlayer::release()
{
    m_watchdog.stop();
    if (!m_run)
        return;
    std::lock_guard<std::mutex> held(m_run->lock);
    m_run->owner = nullptr;
    m_run->stop = true;
}

void SoundPlayer::endThread()
{
    if (m_thread.joinable()) {
        SoundRun& run = *m_run;
        std::unique_lock<std::mutex> held(run.lock);
        const bool ended = run.ended.wait_for(held, kThreadWait, [&run] { return run.done; });
        held.unlock();
        if (ended)
            m_thread.join();
        else
            m_thread.detach();
    }
    m_run.reset();
}

void SoundPlayer::stop()
{
    ++m_generation;
    release();
    m_wanted = false;
    m_reported = PlayState::Stopped;
}

void SoundPlayer::onOutput(quint64 generation, PlayState newState, qint64 lengthMs, const QString& error)
{
    // Once, not for every sound while the output stays away.
    if (!error.isEmpty() && error != m_warned) {
        m_warned = error;
        qWarning().noquote() << "Announcements cannot be played:" << error;
    }
    if (generation != m_generation || !m_wanted)
        return;
    if (newState == PlayState::Playing) {
        m_warned.clear();  // the output is back: its next failure is news
        m_watchdog.start(int(std::min(kLengthLimitMs, lengthMs + kEndSlackMs)));
        report(PlayState::Playing);
    } else if (newState == PlayState::Stopped) {
        giveUp();
    }
}

void SoundPlayer::giveUp()
{
    release();
    if (std::exchange(m_wanted, false))
        report(PlayState::Stopped);
}

void SoundPlayer::report(PlayState newState)
{
    // Through the event loop: the caller of play() has returned first.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, newState] {
            if (generation == m_generation)
                emit playStateChanged(std::exchange(m_reported, newState), newState);
        },
        Qt::QueuedConnection);
}
