// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace plat {

// The five switches of the Options menu.
enum class Option { Depart, Countdown, Boarding, Gate, Briefing };

// Tarmalo's options in the per-user store: section "Setting", one key per
// switch ("Depart", "Count", "Boarding", "Gate", "Brief"), written as "True"
// or "False".
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The switch as stored. Absent, or hand-edited into neither a number nor
    // True/False, it reads as its default: on, except Countdown.
    bool Read(Option option);
    // Stores the switch at once; false when it could not be stored.
    bool Save(Option option, bool on);

    // The text under "Setting/<key>", if there is one.
    virtual std::optional<QString> Text(const QString& key) = 0;
    // False when the text could not be stored.
    virtual bool setText(const QString& key, const QString& text) = 0;

    static QString Key(Option option);
};

// The native store through QSettings: ~/.config/Tarmalo/Tarmalo.conf on
// Linux, the registry under HKEY_CURRENT_USER\Software\<organisation>\Tarmalo
// on Windows (without an organisation, "Tarmalo" stands for it).
class QSettingsStore final : public SettingsStore {
public:
    explicit QSettingsStore(QString organisation = QString());
    ~QSettingsStore() override;
    std::optional<QString> Text(const QString& key) override;
    bool setText(const QString& key, const QString& text) override;

private:
    std::unique_ptr<QSettings> open() const;
    QString m_organisation;
    std::unique_ptr<QSettings> m_settings;
};

// The store of the platform the program runs on.
SettingsStore& UserSettings();

}  // namespace plat
