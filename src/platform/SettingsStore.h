#pragma once
#include <QHash>
#include <QString>

namespace plat {

// The per-user settings store: text values by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString GetSetting(const QString& app, const QString& section,
                               const QString& key, const QString& def) = 0;
    // False when the value could not be stored.
    virtual bool SaveSetting(const QString& app, const QString& section,
                             const QString& key, const QString& value) = 0;
};

// The native per-user store through QSettings: a file in the user's config
// folder on Linux (~/.config/<app>/<app>.conf), the registry on Windows.
class QSettingsStore final : public SettingsStore {
public:
    QString GetSetting(const QString& app, const QString& section,
                       const QString& key, const QString& def) override;
    bool SaveSetting(const QString& app, const QString& section,
                     const QString& key, const QString& value) override;
    static QString fileFor(const QString& app);
};

// An in-memory store for tests; writes can be made to fail.
class MemorySettingsStore final : public SettingsStore {
public:
    QString GetSetting(const QString& app, const QString& section,
                       const QString& key, const QString& def) override;
    bool SaveSetting(const QString& app, const QString& section,
                     const QString& key, const QString& value) override;

    void set(const QString& app, const QString& section, const QString& key, const QString& value);
    bool contains(const QString& app, const QString& section, const QString& key) const;
    QString value(const QString& app, const QString& section, const QString& key) const;

    bool failWrites = false;
    int writes = 0;
    int reads = 0;

private:
    QHash<QString, QString> m_values;
};

}  // namespace plat
