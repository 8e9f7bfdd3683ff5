// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QObject>
#include <QString>
#include <future>
#include <memory>
#include <optional>
#include <set>

class QThread;

namespace plat {

// The pilot's option switches in the per-user store, section "Setting", one
// key per switch, written as "True" or "False".
class SettingsStore : public QObject {
    Q_OBJECT
public:
    // The switch as stored. Absent, or hand-edited into neither a number nor
    // True/False, it reads as `def`.
    bool Read(const QString& key, bool def);
    // Hands the switch over to be stored at once; never waits for the disk.
    void Save(const QString& key, bool on);

    // The text under "Setting/<key>", if there is one.
    virtual std::optional<QString> Text(const QString& key) = 0;
    virtual void setText(const QString& key, const QString& text) = 0;

signals:
    // Once for each text handed over that could not be stored, or that has
    // not been stored after a few seconds.
    void NotSaved();
};

// The native store through QSettings: ~/.config/Tarmalo/Tarmalo.conf on
// Linux, HKEY_CURRENT_USER\Software\Tarmalo\Tarmalo on Windows. One thread
// of its own, started on first use, reads and writes it, so that a slow disk
// or a lock held by another program never holds the window.
class QSettingsStore final : public SettingsStore {
    Q_OBJECT
public:
    QSettingsStore();
    ~QSettingsStore() override;

    // Waits a second at most; a store that does not answer by then reads as
    // empty.
    std::optional<QString> Text(const QString& key) override;
    // Only the latest text per key is written; one held back by the file's
    // lock is written as soon as the lock is free.
    void setText(const QString& key, const QString& text) override;
    // Gives the texts still on their way a few seconds to land, then stops
    // the thread. Returns at once when there are none.
    void Finish();

    struct Shared;
    class Writer;

private:
    void Start();
    // The writes up to click `upTo` are over.
    void Settled(quint64 upTo, bool stored);

    std::shared_ptr<Shared> m_shared;
    QThread* m_thread = nullptr;
    Writer* m_writer = nullptr;
    quint64 m_clicks = 0;  // numbered for the store's life, across threads
    std::set<quint64> m_waiting;  // clicks not stored yet, and not told
    std::future<std::optional<QString>> m_unanswered;  // a read the store has not answered
};

// The store the program keeps its options in.
QSettingsStore& UserSettings();

}  // namespace plat
