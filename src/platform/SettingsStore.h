#pragma once
#include <QString>
#include <memory>

class QSettings;

namespace plat {

// The per-user settings store: text values by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString GetSetting(const QString& app, const QString& section, const QString& key,
                               const QString& def) = 0;
    // False when the value could not be stored.
    virtual bool SaveSetting(const QString& app, const QString& section, const QString& key,
                             const QString& value) = 0;
};

// The native per-user store through QSettings: a file in the user's config
// folder on Linux (~/.config/<app>/<app>.conf), the registry on Windows
// (HKEY_CURRENT_USER\Software\<organisation>\<app>). Without an
// organisation the application's name stands for it. One QSettings object
// serves the reads and writes of an application.
class QSettingsStore final : public SettingsStore {
public:
    explicit QSettingsStore(QString organisation = QString());
    ~QSettingsStore() override;
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& def) override;
    bool SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override;

private:
    QSettings& settings(const QString& app);
    std::unique_ptr<QSettings> open(const QString& app) const;
    QString m_organisation;
    std::unique_ptr<QSettings> m_settings;
};

// The store of the platform the program runs on.
SettingsStore& UserSettings();

}  // namespace plat
