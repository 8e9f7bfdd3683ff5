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

#include <atomic>

namespace plat {

namespace {

// Far longer than a slow disk takes, well within the pilot's patience.
constexpr std::chrono::seconds kTellAfter{5};
// QSettings backs off for seconds between looks at a held lock; this many
// milliseconds land a write soon after the other program lets go.
constexpr int kLockPollMs = 150;
constexpr std::chrono::seconds kReadWait{1};
// At quit no write starts after the first, and the thread is let go after
// the second: the program ends within about five seconds.
constexpr int kLastWriteMs = 4000;
constexpr int kQuitWaitMs = 4500;

QString Path(const QString& key)
{
    return QStringLiteral("Setting/") + key;
}

// Stores the texts and says whether they landed; if not, they are taken
// back, so that no later write stores them either. A file that cannot be
// replaced sets the status (a fresh look at it would only see this run's
// own copy); a registry write that fails keeps a clean status, and only a
// fresh look finds it out.
bool Write(const QHash<QString, QString>& texts)
{
    const std::unique_ptr<QSettings> settings = options::Open();
    if (!settings || !settings->isWritable())
        return false;
    QHash<QString, QVariant> before;
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        before.insert(Path(it.key()), settings->value(Path(it.key())));
        settings->setValue(Path(it.key()), it.value());
    }
    settings->sync();
    const std::unique_ptr<QSettings> fresh = options::Open();
    bool stored = settings->status() != QSettings::AccessError && fresh != nullptr;
    for (auto it = texts.begin(); stored && it != texts.end(); ++it)
        stored = fresh->value(Path(it.key())).toString() == it.value();
    for (auto it = before.begin(); !stored && it != before.end(); ++it) {
        if (it.value().isValid())
            settings->setValue(it.key(), it.value());
        else
            settings->remove(it.key());
    }
    return stored;
}

}  // namespace

// Lives on the store's thread: writes the latest text per key.
class QSettingsStore::Writer final : public QObject {
public:
    explicit Writer(QSettingsStore* store) : m_store(store)
    {
        m_retry.setSingleShot(true);
        m_retry.setInterval(kLockPollMs);
        connect(&m_retry, &QTimer::timeout, this, &Writer::Flush);
    }

    void Want(const QString& key, const QString& text, quint64 click)
    {
        m_wanted.insert(key, text);
        m_upTo = click;
        if (!m_retry.isActive())  // otherwise it goes with the next look at the lock
            Flush();
    }

    void EndWhenWritten()
    {
        m_lastWrite.setRemainingTime(kLastWriteMs);
        m_stopping = true;
        Flush();
    }

    std::atomic<QSettingsStore*> m_store;

private:
    void Flush()
    {
        if (m_stopping && (m_wanted.isEmpty() || m_lastWrite.hasExpired()))
            return Quit();
        if (m_wanted.isEmpty())
            return;
        const options::Turn turn = options::WriteTurn();
        if (turn == options::Turn::Later)
            return m_retry.start();
        const bool stored = turn == options::Turn::Now && Write(m_wanted);
        m_wanted.clear();
        if (QSettingsStore* store = m_store)
            QMetaObject::invokeMethod(
                store, [store, upTo = m_upTo, stored] { store->Settled(upTo, stored); },
                Qt::QueuedConnection);
        if (m_stopping)
            Quit();
    }

    void Quit()
    {
        m_retry.stop();  // where it runs
        thread()->quit();
    }

    QTimer m_retry{this};
    QHash<QString, QString> m_wanted;
    quint64 m_upTo = 0;  // the last click among them
    bool m_stopping = false;
    QDeadlineTimer m_lastWrite;
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

QSettingsStore::~QSettingsStore()
{
    Finish();
}

void QSettingsStore::Start()
{
    if (m_thread)
        return;
    m_thread = new QThread;
    m_writer = new Writer(this);
    m_writer->moveToThread(m_thread);
    m_thread->start();
}

std::optional<QString> QSettingsStore::Text(const QString& key)
{
    if (m_unanswered.valid() && m_unanswered.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return std::nullopt;  // the disk is stuck: the defaults do
    Start();
    auto answer = std::make_shared<std::promise<std::optional<QString>>>();
    std::future<std::optional<QString>> result = answer->get_future();
    QMetaObject::invokeMethod(
        m_writer,
        [answer, key] {
            const std::unique_ptr<QSettings> settings = options::Open();
            const QVariant v = settings ? settings->value(Path(key)) : QVariant();
            answer->set_value(v.isValid() ? std::optional<QString>(v.toString()) : std::nullopt);
        },
        Qt::QueuedConnection);
    if (result.wait_for(kReadWait) != std::future_status::ready) {
        m_unanswered = std::move(result);
        return std::nullopt;
    }
    return result.get();
}

void QSettingsStore::setText(const QString& key, const QString& text)
{
    Start();
    const quint64 click = ++m_clicks;
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
    for (auto it = m_waiting.begin(); it != m_waiting.end() && *it <= upTo; it = m_waiting.erase(it))
        ++untold;
    // Counted first: a message shown for one runs the event loop.
    for (; !stored && untold > 0; --untold)
        emit NotSaved();
}

void QSettingsStore::Finish()
{
    if (!m_thread)
        return;
    QMetaObject::invokeMethod(
        m_writer, [writer = m_writer] { writer->EndWhenWritten(); }, Qt::QueuedConnection);
    if (m_thread->wait(QDeadlineTimer(kQuitWaitMs))) {
        delete m_writer;
        delete m_thread;
    } else {
        m_writer->m_store = nullptr;  // stuck in the disk: the program ends without it
    }
    m_writer = nullptr;
    m_thread = nullptr;
}

QSettingsStore& UserSettings()
{
    static QSettingsStore store;
    return store;
}

}  // namespace plat
