// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QDeadlineTimer>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QWaitCondition>
#include <functional>
#include <optional>

class QThread;

namespace plat {

// Switch texts by key: "True" or "False" as written, anything a hand put there as read.
using Texts = QMap<QString, QString>;

// The pilot's option switches in the per-user store, section "Setting".
class SettingsStore : public QObject {
    Q_OBJECT
public:
    // Reads every switch: Loaded follows, at once or when the disk answers.
    virtual void Load() = 0;
    // Hands a switch over to be stored, after Load; never waits for the disk.
    virtual void Save(const QString& key, bool on) = 0;

signals:
    void Loaded(const plat::Texts& stored);  // a switch not in it keeps its default, or its new click
    void Tell(const QString& text);  // what the pilot must know of the store
};

// Where each platform keeps them, for the store's thread.
namespace options {
std::optional<Texts> Read();  // none when they cannot be read
// Stores the texts beside the others, once another program's lock comes
// free; stores nothing once `over` says so.
bool Write(const Texts& texts, const std::function<bool()>& over);
}  // namespace options

// The native store, read and written by a thread of its own: a slow disk or
// another program's lock never holds the window. At most one write runs and
// one waits, holding the latest choices.
class QSettingsStore final : public SettingsStore {
    Q_OBJECT
public:
    ~QSettingsStore() override { Finish(); }
    void Load() override;
    void Save(const QString& key, bool on) override;
    // Gives the choices on their way a few seconds and ends the thread;
    // says what was neither stored nor told.
    QString Finish();

private:
    void Run();
    void TellFailed();

    QThread* m_thread = nullptr;
    bool m_loaded = false;  // the stored switches came
    QSet<QString> m_chosen;  // clicked in this run
    QMutex m_mutex;  // guards what follows
    QWaitCondition m_wake;
    bool m_read = false, m_failed = false;
    Texts m_wanted;  // waiting for a write
    QDeadlineTimer m_lastStep;
    bool m_ending = false;
};

QSettingsStore& UserSettings();

}  // namespace plat
