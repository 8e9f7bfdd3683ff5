// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QWaitCondition>
#include <atomic>
#include <functional>
#include <optional>

namespace plat {

// The texts of the section "Setting" by key: "True" or "False" as written.
using Texts = QMap<QString, QString>;

// The pilot's option switches in the per-user store.
class SettingsStore : public QObject {
    Q_OBJECT
public:
    virtual void Load() = 0;  // Loaded follows (and Tell, if unread), at once or when the disk answers
    virtual void Save(const QString& key, bool on) = 0;  // never waits for the disk
    // Gives the choices on their way a few seconds; says what is lost untold.
    virtual QString Finish() { return QString(); }

signals:
    void Loaded(const plat::Texts& stored);
    void Tell(const QString& text);  // what the pilot must know of the store
};

// Each platform's own place, for the store's thread; Write waits out a lock until `over`.
namespace options {
std::optional<Texts> Read();
bool Write(const Texts& texts, const std::function<bool()>& over);
}  // namespace options

// Read and written by a thread of its own, so that a slow disk or another
// program's lock never holds the window. One write runs, one waits.
class QSettingsStore final : public SettingsStore {
public:
    ~QSettingsStore() override { Finish(); }
    void Load() override;
    void Save(const QString& key, bool on) override
    {
        QMutexLocker lock(&m_mutex);
        m_wanted.insert(key, on ? QStringLiteral("True") : QStringLiteral("False"));
        m_wake.wakeAll();
    }
    QString Finish() override;

private:
    void Run();
    QThread* m_thread = nullptr;
    bool m_known = false;  // the stored switches came, or will not
    std::atomic<bool> m_over{false};
    QMutex m_mutex;  // guards what follows
    QWaitCondition m_wake;
    Texts m_wanted;  // waiting for a write
    bool m_failed = false, m_ending = false;  // failed and not yet told
};

}  // namespace plat
