// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QDeadlineTimer>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QSemaphore>
#include <QSet>
#include <QWaitCondition>
#include <functional>
#include <optional>

namespace plat {

// The texts of the section "Setting" by key: "True" or "False" as written.
using Texts = QMap<QString, QString>;

// The pilot's option switches in the per-user store.
class SettingsStore : public QObject {
    Q_OBJECT
public:
    virtual void Load() = 0;  // Loaded follows, at once or when the disk answers
    virtual void Save(const QString& key, bool on) = 0;  // never waits for the disk

signals:
    void Loaded(const plat::Texts& stored);  // what is stored and was not clicked meanwhile
    void Tell(const QString& text);  // what the pilot must know of the store
};

// Where each platform keeps them, for the store's thread: none when they
// cannot be read; written beside the others once another program's lock
// comes free, and not at all once `over` says so.
namespace options {
std::optional<Texts> Read();
bool Write(const Texts& texts, const std::function<bool()>& over);
}  // namespace options

// The native store, read and written by a thread of its own: a slow disk or
// another program's lock never holds the window. One write runs, and one
// waits with the latest choices.
class QSettingsStore final : public SettingsStore {
    Q_OBJECT
public:
    ~QSettingsStore() override { Finish(); }
    void Load() override;
    void Save(const QString& key, bool on) override;
    // Gives the choices on their way a few seconds, then says what was
    // neither stored nor told.
    QString Finish();

private:
    void Run();

    QThread* m_thread = nullptr;
    bool m_loaded = false;  // the stored switches came
    QSet<QString> m_chosen;  // clicked in this run
    QSemaphore m_readDone;
    QMutex m_mutex;  // guards what follows
    QWaitCondition m_wake;
    bool m_failed = false, m_ending = false;
    Texts m_wanted;  // waiting for a write
    QDeadlineTimer m_lastStep;
};

QSettingsStore& UserSettings();

}  // namespace plat
