#include "platform/SettingsStore.h"

#include <QSettings>

namespace plat {

QSettingsStore::QSettingsStore(QString organisation) : m_organisation(std::move(organisation)) { }

std::unique_ptr<QSettings> QSettingsStore::open(const QString& app) const
{
    auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                         m_organisation.isEmpty() ? app : m_organisation, app);
    // Only the application's own values: no organisation-wide or machine-wide
    // defaults (on Windows QSettings would also read those).
    s->setFallbacksEnabled(false);
    return s;
}

QSettingsStore::~QSettingsStore() = default;

QSettings& QSettingsStore::settings(const QString& app)
{
    if (!m_settings || m_settings->applicationName() != app)
        m_settings = open(app);
    return *m_settings;
}

QString QSettingsStore::GetSetting(const QString& app, const QString& section, const QString& key,
                                   const QString& def)
{
    const QVariant v = settings(app).value(section + u'/' + key);
    if (!v.isValid())
        return def;
    return v.toString();
}

bool QSettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key,
                                 const QString& value)
{
    QSettings& s = settings(app);
    if (!s.isWritable())
        return false;
    const QString path = section + u'/' + key;
    const QVariant before = s.value(path);
    s.setValue(path, value);
    s.sync();
    if (s.status() == QSettings::NoError)
        return true;
    // The status keeps the first error of the object's life, a file that did
    // not parse included, so it cannot tell whether this write landed. A fresh
    // object on the same file writes whatever is still pending and starts
    // with a clean status.
    m_settings = open(app);
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return true;
    // Not stored: this run goes on with what the store holds.
    if (before.isValid())
        m_settings->setValue(path, before);
    else
        m_settings->remove(path);
    m_settings.reset();
    return false;
}

}  // namespace plat
