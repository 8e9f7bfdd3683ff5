#include "platform/SettingsStore.h"

#include <QSettings>

namespace plat {

namespace {
QString keyPath(const QString& section, const QString& key)
{
    return section + u'/' + key;
}
}  // namespace

QString QSettingsStore::GetSetting(const QString& app, const QString& section,
                                   const QString& key, const QString& def)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, app, app);
    const QVariant v = s.value(keyPath(section, key));
    if (!v.isValid())
        return def;
    return v.toString();
}

bool QSettingsStore::SaveSetting(const QString& app, const QString& section,
                                 const QString& key, const QString& value)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, app, app);
    if (!s.isWritable())
        return false;
    s.setValue(keyPath(section, key), value);
    s.sync();
    return s.status() == QSettings::NoError;
}

QString QSettingsStore::fileFor(const QString& app)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, app, app);
    return s.fileName();
}

QString MemorySettingsStore::GetSetting(const QString& app, const QString& section,
                                        const QString& key, const QString& def)
{
    ++reads;
    const auto it = m_values.constFind(app + u'\n' + keyPath(section, key));
    return it == m_values.constEnd() ? def : *it;
}

bool MemorySettingsStore::SaveSetting(const QString& app, const QString& section,
                                      const QString& key, const QString& value)
{
    ++writes;
    if (failWrites)
        return false;
    set(app, section, key, value);
    return true;
}

void MemorySettingsStore::set(const QString& app, const QString& section, const QString& key,
                              const QString& value)
{
    m_values.insert(app + u'\n' + keyPath(section, key), value);
}

bool MemorySettingsStore::contains(const QString& app, const QString& section, const QString& key) const
{
    return m_values.contains(app + u'\n' + keyPath(section, key));
}

QString MemorySettingsStore::value(const QString& app, const QString& section, const QString& key) const
{
    return m_values.value(app + u'\n' + keyPath(section, key));
}

}  // namespace plat
