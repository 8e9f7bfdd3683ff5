// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QObject>
#include <QString>
#include <future>
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

// The native store through QSettings, read and written by one thread of its
// own, so that a slow disk or a lock held by another program never holds
// the window.
class QSettingsStore final : public SettingsStore {
    Q_OBJECT
public:
    ~QSettingsStore() override;

    // Waits a second at most; a store that does not answer reads as empty.
    std::optional<QString> Text(const QString& key) override;
    // Only the latest text per key is written; one held back by the file's
    // lock lands as soon as the lock is free.
    void setText(const QString& key, const QString& text) override;
    // Gives the texts still on their way a few seconds to land, then stops
    // the thread.
    void Finish();

    class Writer;

private:
    void Start();
    // The writes up to click `upTo` are over.
    void Settled(quint64 upTo, bool stored);

    QThread* m_thread = nullptr;
    Writer* m_writer = nullptr;
    quint64 m_clicks = 0;
    std::set<quint64> m_waiting;  // clicks not stored yet, and not told
    std::future<std::optional<QString>> m_unanswered;  // a read the disk holds
};

// The store the program keeps its options in.
QSettingsStore& UserSettings();

}  // namespace plat
