// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/SettingsStore.h"

#include "common/Conversions.h"
#include "platform/SettingsBackend.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QSettings>
#include <QThread>
#include <QTimer>

#include <condition_variable>
#include <mutex>

namespace plat {

namespace {

// How long a write may take before the pilot is told it has not landed:
// far longer than a slow disk takes, well within the pilot's patience.
constexpr std::chrono::seconds kTellAfter{5};
// How often a write held back by another program's lock looks again.
constexpr std::chrono::milliseconds kLockPoll{150};
// How long the window waits for a read at start-up.
constexpr std::chrono::seconds kReadWait{1};
// At quit: how long the writes still on their way may take, and then the
// thread, so that the program ends within about five seconds.
constexpr std::chrono::milliseconds kQuitWait{4000};
constexpr int kStopWaitMs = 500;

QString Path(const QString& key)
{
    return QStringLiteral("Setting/") + key;
}

std::optional<QString> ReadText(const QString& key)
{
    const std::unique_ptr<QSettings> settings = options::Open();
    const QVariant v = settings ? settings->value(Path(key)) : QVariant();
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

// Stores the texts and says whether they landed; if not, they are taken
// back, so that no later write stores them either.
bool Write(const QHash<QString, QString>& texts)
{
    QHash<QString, QString> values;
    for (auto it = texts.begin(); it != texts.end(); ++it)
        values.insert(Path(it.key()), it.value());
    std::unique_ptr<QSettings> settings = options::Open();
    if (!settings || !settings->isWritable())
        return false;
    QHash<QString, QVariant> before;
    for (auto it = values.begin(); it != values.end(); ++it) {
        before.insert(it.key(), settings->value(it.key()));
        settings->setValue(it.key(), it.value());
    }
    settings->sync();
    if (settings->status() != QSettings::NoError) {
        // The status keeps the first error of the object's life, a file that
        // did not parse included. A fresh object on the same file writes
        // whatever is still pending and starts with a clean status.
        settings = options::Open();
        if (!settings)
            return false;
        settings->sync();
    }
    if (options::Stored(*settings, values))
        return true;
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (it.value().isValid())
            settings->setValue(it.key(), it.value());
        else
            settings->remove(it.key());
    }
    return false;
}

}  // namespace

// What the window's thread and the writer share. The writer may outlive the
// store when the disk holds it for good.
struct QSettingsStore::Shared {
    std::mutex lock;
    std::condition_variable settled;
    QSettingsStore* store = nullptr;  // none once the store has stopped listening
    quint64 asked = 0, done = 0;  // the last click handed over, and the last one settled
    bool ending = false;  // no more writes are started
};

// Lives on the store's thread: writes the latest text per key, one write at
// a time.
class QSettingsStore::Writer final : public QObject {
public:
    explicit Writer(std::shared_ptr<Shared> shared) : m_shared(std::move(shared)), m_retry(new QTimer(this))
    {
        m_retry->setSingleShot(true);
        m_retry->setInterval(kLockPoll);
        connect(m_retry, &QTimer::timeout, this, &Writer::Flush);
    }

    void Want(const QString& key, const QString& text, quint64 click)
    {
        m_wanted.insert(key, text);
        m_upTo = click;
        // Texts that come while the lock is held go with the next try.
        if (!m_retry->isActive())
            Flush();
    }

    // Ends the thread, its timer stopped where it runs.
    void Stop()
    {
        m_retry->stop();
        QThread::currentThread()->quit();
    }

private:
    void Flush()
    {
        if (m_wanted.isEmpty())
            return;
        {
            const std::lock_guard<std::mutex> held(m_shared->lock);
            if (m_shared->ending)
                return;
        }
        bool stored = false;
        switch (options::WriteTurn()) {
        case options::Turn::Later:
            // QSettings would wait for the lock itself, backing off for
            // seconds between looks; looking often here lands the write
            // soon after the other program lets go.
            m_retry->start();
            return;
        case options::Turn::Now: stored = Write(m_wanted); break;
        case options::Turn::Never: break;
        }
        m_wanted.clear();
        const std::lock_guard<std::mutex> held(m_shared->lock);
        m_shared->done = m_upTo;
        m_shared->settled.notify_all();
        if (QSettingsStore* store = m_shared->store) {
            QMetaObject::invokeMethod(
                store, [store, upTo = m_upTo, stored] { store->Settled(upTo, stored); },
                Qt::QueuedConnection);
        }
    }

    std::shared_ptr<Shared> m_shared;
    QTimer* m_retry;
    QHash<QString, QString> m_wanted;  // not written yet: the latest text per key
    quint64 m_upTo = 0;  // the last click among them
};

bool SettingsStore::Read(const QString& key, bool def)
{
    const std::optional<QString> text = Text(key);
    return text ? common::SwitchFromText(*text).value_or(def) : def;
}

void SettingsStore::Save(const QString& key, bool on)
{
    setText(key, on ? QStringLiteral("True") : QStringLiteral("False"));
}

QSettingsStore::QSettingsStore() = default;

QSettingsStore::~QSettingsStore()
{
    Finish();
}

void QSettingsStore::Start()
{
    if (m_thread)
        return;
    m_shared = std::make_shared<Shared>();
    m_shared->store = this;
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("Tarmalo settings"));
    m_writer = new Writer(m_shared);
    m_writer->moveToThread(m_thread);
    m_thread->start();
}

std::optional<QString> QSettingsStore::Text(const QString& key)
{
    // A read still unanswered: the disk is stuck, and the defaults do.
    if (m_unanswered.valid() && m_unanswered.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return std::nullopt;
    Start();
    auto answer = std::make_shared<std::promise<std::optional<QString>>>();
    std::future<std::optional<QString>> result = answer->get_future();
    QMetaObject::invokeMethod(
        m_writer, [answer, key] { answer->set_value(ReadText(key)); }, Qt::QueuedConnection);
    if (result.wait_for(kReadWait) != std::future_status::ready) {
        m_unanswered = std::move(result);
        return std::nullopt;
    }
    try {
        return result.get();
    } catch (const std::future_error&) {  // the thread ended before it read
        return std::nullopt;
    }
}

void QSettingsStore::setText(const QString& key, const QString& text)
{
    Start();
    const quint64 click = ++m_clicks;
    {
        const std::lock_guard<std::mutex> held(m_shared->lock);
        m_shared->asked = click;
    }
    m_waiting.insert(click);
    QMetaObject::invokeMethod(
        m_writer, [writer = m_writer, key, text, click] { writer->Want(key, text, click); },
        Qt::QueuedConnection);
    QTimer::singleShot(kTellAfter, this, [this, click] {
        if (m_waiting.erase(click))
            emit NotSaved();
    });
}

void QSettingsStore::Settled(quint64 upTo, bool stored)
{
    int untold = 0;
    while (!m_waiting.empty() && *m_waiting.begin() <= upTo) {
        m_waiting.erase(m_waiting.begin());
        ++untold;
    }
    if (!stored) {
        for (; untold > 0; --untold)
            emit NotSaved();
    }
}

void QSettingsStore::Finish()
{
    if (!m_thread)
        return;
    {
        std::unique_lock<std::mutex> held(m_shared->lock);
        m_shared->settled.wait_for(held, kQuitWait, [this] { return m_shared->done >= m_shared->asked; });
        m_shared->ending = true;
        m_shared->store = nullptr;
    }
    QMetaObject::invokeMethod(
        m_writer, [writer = m_writer] { writer->Stop(); }, Qt::QueuedConnection);
    if (m_thread->wait(QDeadlineTimer(kStopWaitMs))) {
        delete m_writer;
        delete m_thread;
    }
    // Otherwise a write stuck in the disk keeps its thread, and the program
    // ends without it.
    m_writer = nullptr;
    m_thread = nullptr;
}

QSettingsStore& UserSettings()
{
    static QSettingsStore store;
    return store;
}

}  // namespace plat
