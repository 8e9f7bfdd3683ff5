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
// folder on Linux (~/.config/<app>/<app>.conf), the registry on Windows. One
// QSettings object serves the reads and writes of an application.
class QSettingsStore final : public SettingsStore {
public:
    QSettingsStore();
    ~QSettingsStore() override;
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& def) override;
    bool SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override;

private:
    QSettings& settings(const QString& app);
    std::unique_ptr<QSettings> m_settings;
};

}  // namespace plat
