// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace plat {

void QSettingsStore::Load()
{
    m_thread = QThread::create([this] { Run(); });
    m_thread->start();
    m_readDone.tryAcquire(1, 750);  // the window shows within a second
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);  // what came in time, before the window shows
    QTimer::singleShot(std::chrono::seconds(5), this, [this] {
        if (!m_loaded)
            emit Tell(tr("Your settings are still being read. Until then, the options are the defaults."));
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
        this, [this, stored = read.value_or(Texts()), read = read.has_value()]() mutable {
            m_loaded = true;
            for (const QString& key : std::as_const(m_chosen))
                stored.remove(key);  // the click wins
            if (read)
                emit Loaded(stored);
            else
                emit Tell(tr("Your settings could not be read. The options are the defaults."));
        });
    m_readDone.release();
    QMutexLocker lock(&m_mutex);
    Texts stored;
    const auto over = [this] {
        QMutexLocker lock(&m_mutex);
        return m_ending && m_lastStep.hasExpired();
    };
    while (!(m_ending && (m_lastStep.hasExpired() || m_wanted.isEmpty()))) {
        if (m_wanted.isEmpty()) {
            m_wake.wait(&m_mutex);
            continue;
        }
        Texts texts = std::exchange(m_wanted, {});
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            if (texts.value(it.key()) == *it)
                texts.remove(it.key());  // back to what this run last wrote
        lock.unlock();
        const bool written = texts.isEmpty() || options::Write(texts, over);
        lock.relock();
        stored.insert(written ? texts : Texts());
        // Failures within a second of the first are one burst, told once.
        if (!written && !std::exchange(m_failed, true))
            QMetaObject::invokeMethod(this, [this] {
                QTimer::singleShot(1000, this, [this] {
                    if (QMutexLocker lock(&m_mutex); std::exchange(m_failed, false))
                        emit Tell(tr(
                            "This choice could not be saved in your settings. It applies until you quit."));
                });
            });
    }
}

QString QSettingsStore::Finish()
{
    if (!m_thread)
        return QString();
    QMutexLocker lock(&m_mutex);
    m_lastStep.setRemainingTime(6000);  // no disk step starts later
    m_ending = true;
    m_wake.wakeAll();
    lock.unlock();
    m_thread->wait();
    delete std::exchange(m_thread, nullptr);
    const bool lost = std::exchange(m_failed, false) || !std::exchange(m_wanted, {}).isEmpty();
    return lost ? tr("Your last choice could not be saved: the next start shows the options as they were.")
                : QString();
}

QSettingsStore& UserSettings()
{
    static QSettingsStore store;
    return store;
}

}  // namespace plat
