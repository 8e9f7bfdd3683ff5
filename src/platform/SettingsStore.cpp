// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/SettingsStore.h"

#include <QThread>
#include <QTimer>

namespace plat {

void QSettingsStore::Load()
{
    m_thread = QThread::create([this] { Run(); });
    m_thread->start();
    QTimer::singleShot(std::chrono::seconds(5), this, [this] {
        if (!m_known)
            emit Tell(tr("Your settings are still being read. Until then, the options are the defaults."));
    });
}

void QSettingsStore::Run()
{
    const std::optional<Texts> read = options::Read();
    QMetaObject::invokeMethod(this, [this, read] {
        m_known = true;
        emit Loaded(read.value_or(Texts()));
        if (!read)
            emit Tell(tr("Your settings could not be read. The options are the defaults."));
    });
    Texts stored = read.value_or(Texts());  // as read and written: a choice set back needs no write
    for (QMutexLocker lock(&m_mutex);;) {
        while (m_wanted.isEmpty() && !m_ending)
            m_wake.wait(&m_mutex);
        if (m_wanted.isEmpty() || m_over)
            return;
        const Texts texts = std::exchange(m_wanted, {});
        Texts after = stored;
        after.insert(texts);
        lock.unlock();
        const bool written = after == stored || options::Write(texts, [this] { return m_over.load(); });
        lock.relock();
        stored = written ? after : stored;
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
    m_mutex.lock();
    m_ending = true;
    m_mutex.unlock();
    m_wake.wakeAll();
    if (!m_thread->wait(6000))
        m_over = true;  // no disk step starts now
    m_thread->wait();
    delete std::exchange(m_thread, nullptr);
    return std::exchange(m_failed, false) || !m_wanted.isEmpty()
               ? tr("Your last choice could not be saved: the next start shows the options as they were.")
               : QString();
}

}  // namespace plat
