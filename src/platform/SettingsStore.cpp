// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/SettingsStore.h"

#include "common/Conversions.h"

#include <QHash>
#include <QSettings>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace plat {

namespace {

const QString kApp = QStringLiteral("Tarmalo");
// How long an option click waits for its write: a blink.
constexpr std::chrono::milliseconds kWriteWait{500};

QString Path(const QString& key)
{
    return QStringLiteral("Setting/") + key;
}

std::unique_ptr<QSettings> Open()
{
    auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kApp, kApp);
    // Only Tarmalo's own values: no organisation-wide or machine-wide
    // defaults (on Windows QSettings would also read those).
    s->setFallbacksEnabled(false);
    return s;
}

// Stores the texts and says whether they landed; if not, they are taken
// back, so that no later write stores them either.
bool Write(const QHash<QString, QString>& texts)
{
    std::unique_ptr<QSettings> settings = Open();
    if (!settings->isWritable())
        return false;
    QHash<QString, QVariant> before;
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        before.insert(Path(it.key()), settings->value(Path(it.key())));
        settings->setValue(Path(it.key()), it.value());
    }
    settings->sync();
    if (settings->status() != QSettings::NoError) {
        // The status keeps the first error of the object's life, a file that
        // did not parse included. A fresh object on the same file writes
        // whatever is still pending and starts with a clean status.
        settings = Open();
        settings->sync();
    }
    if (settings->status() == QSettings::NoError)
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

// What option clicks hand the writing threads, and what they hand back.
struct QSettingsStore::Writer {
    std::mutex writing;  // one write at a time
    std::mutex lock;  // guards the rest
    std::condition_variable changed;
    QHash<QString, QString> wanted;  // not written yet: the latest text per key
    quint64 asked = 0, done = 0;  // writes asked for, and those finished
    bool stored = true;  // what the last finished write came to

    // Writes what is wanted now, so that a thread held up by the file's lock
    // never stores an older choice after a newer one.
    void write()
    {
        const std::lock_guard<std::mutex> one(writing);
        std::unique_lock<std::mutex> held(lock);
        const quint64 upTo = asked;
        if (upTo == done)  // an earlier thread wrote this one too
            return;
        const QHash<QString, QString> texts = wanted;
        held.unlock();
        const bool ok = Write(texts);
        held.lock();
        for (auto it = texts.begin(); it != texts.end(); ++it) {
            if (wanted.value(it.key()) == it.value())
                wanted.remove(it.key());
        }
        stored = ok;
        done = upTo;
        changed.notify_all();
    }
};

bool SettingsStore::Read(const QString& key, bool def)
{
    const std::optional<QString> text = Text(key);
    return text ? common::SwitchFromText(*text).value_or(def) : def;
}

bool SettingsStore::Save(const QString& key, bool on)
{
    return setText(key, on ? QStringLiteral("True") : QStringLiteral("False"));
}

QSettingsStore::QSettingsStore() : m_writer(std::make_shared<Writer>()) { }

std::optional<QString> QSettingsStore::Text(const QString& key)
{
    const QVariant v = Open()->value(Path(key));
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

bool QSettingsStore::setText(const QString& key, const QString& text)
{
    Writer& w = *m_writer;
    std::unique_lock<std::mutex> held(w.lock);
    w.wanted.insert(key, text);
    const quint64 mine = ++w.asked;
    try {
        std::thread([writer = m_writer] { writer->write(); }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    return w.changed.wait_for(held, kWriteWait, [&] { return w.done >= mine; }) && w.stored;
}

SettingsStore& UserSettings()
{
    static QSettingsStore store;
    return store;
}

}  // namespace plat
