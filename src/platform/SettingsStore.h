// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>
#include <memory>
#include <optional>

namespace plat {

// The pilot's option switches in the per-user store, section "Setting", one
// key per switch, written as "True" or "False".
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The switch as stored. Absent, or hand-edited into neither a number nor
    // True/False, it reads as `def`.
    bool Read(const QString& key, bool def);
    // Stores the switch at once; false when it could not be stored.
    bool Save(const QString& key, bool on);

    // The text under "Setting/<key>", if there is one.
    virtual std::optional<QString> Text(const QString& key) = 0;
    // False when the text could not be stored.
    virtual bool setText(const QString& key, const QString& text) = 0;
};

// The native store through QSettings: ~/.config/Tarmalo/Tarmalo.conf on
// Linux, HKEY_CURRENT_USER\Software\Tarmalo\Tarmalo on Windows. Writes run
// on threads of their own: a held or stale lock on the file holds no window.
class QSettingsStore final : public SettingsStore {
public:
    QSettingsStore();
    std::optional<QString> Text(const QString& key) override;
    // Waits a moment at most; a write still held by the file's lock then
    // counts as not stored, and lands once the lock is free.
    bool setText(const QString& key, const QString& text) override;

    struct Writer;

private:
    std::shared_ptr<Writer> m_writer;
};

// The store the program keeps its options in.
SettingsStore& UserSettings();

}  // namespace plat
