// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace plat {

namespace {

constexpr int kReadWaitMs = 750;
constexpr std::chrono::seconds kStillReading{5};
constexpr int kLastStepMs = 6000;  // at the end, no disk step starts later

}  // namespace

void QSettingsStore::Load()
{
    m_thread = QThread::create([this] { Run(); });
    m_thread->start();
    QMutexLocker lock(&m_mutex);
    for (const QDeadlineTimer answer(kReadWaitMs); !m_read && m_wake.wait(&m_mutex, answer);) { }
    lock.unlock();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);  // what came in time, before the window shows
    QTimer::singleShot(kStillReading, this, [this] {
        if (!m_loaded)
            emit Tell(
                tr("Your settings are still being read. Until they arrive, the options are the defaults."));
    });
}

void QSettingsStore::Save(const QString& key, bool on)
{
    m_chosen.insert(key);
    QMutexLocker lock(&m_mutex);
    m_wanted.insert(key, on ? QStringLiteral("True") : QStringLiteral("False"));
    m_wake.wakeAll();
}

void QSettingsStore::Run()
{
    const std::optional<Texts> read = options::Read();
    QMetaObject::invokeMethod(
        this,
        [this, read] {
            m_loaded = true;
            Texts stored = read.value_or(Texts());
            for (const QString& key : std::as_const(m_chosen))
                stored.remove(key);  // clicked meanwhile: the click wins
            if (read)
                emit Loaded(stored);
            else
                emit Tell(tr(
                    "Your settings could not be read. The options are the defaults until you change them."));
        },
        Qt::QueuedConnection);
    QMutexLocker lock(&m_mutex);
    m_read = true;
    m_wake.wakeAll();
    // At the end a write gives way to a newer one, and none starts late.
    const auto over = [this] {
        QMutexLocker lock(&m_mutex);
        return m_ending && (m_lastStep.hasExpired() || !m_wanted.isEmpty());
    };
    while (!(m_ending && (m_lastStep.hasExpired() || m_wanted.isEmpty()))) {
        if (m_wanted.isEmpty()) {
            m_wake.wait(&m_mutex);
            continue;
        }
        const Texts texts = std::exchange(m_wanted, {});
        lock.unlock();
        const bool written = options::Write(texts, over);
        lock.relock();
        if (!written && m_ending && !m_lastStep.hasExpired() && !m_wanted.isEmpty()) {
            const Texts newer = std::exchange(m_wanted, texts);
            m_wanted.insert(newer);
            continue;
        }
        m_failed = m_failed || !written;
        if (m_failed && m_wanted.isEmpty())  // a burst of failures is told once
            QMetaObject::invokeMethod(this, &QSettingsStore::TellFailed, Qt::QueuedConnection);
    }
}

void QSettingsStore::TellFailed()
{
    QMutexLocker lock(&m_mutex);
    if (std::exchange(m_failed, false))
        emit Tell(
            tr("This choice could not be saved in your settings. It applies until you close the program."));
}

QString QSettingsStore::Finish()
{
    if (!m_thread)
        return QString();
    {
        QMutexLocker lock(&m_mutex);
        m_lastStep.setRemainingTime(kLastStepMs);
        m_ending = true;
        m_wake.wakeAll();
    }
    m_thread->wait();
    delete std::exchange(m_thread, nullptr);
    const bool lost = std::exchange(m_failed, false) || !m_wanted.isEmpty();
    m_wanted.clear();
    return lost ? tr(
               "Your last choice could not be saved in your settings. The next start shows the options as "
               "they were.")
                : QString();
}

QSettingsStore& UserSettings()
{
    static QSettingsStore store;
    return store;
}

}  // namespace plat
