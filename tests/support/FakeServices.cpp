#include "support/FakeServices.h"

namespace plat {

namespace {
QString keyPath(const QString& app, const QString& section, const QString& key)
{
    return app + u'\n' + section + u'/' + key;
}
}  // namespace

void RecordingMessageBoxes::MsgBox(QWidget*, const QString& text, int style, const QString& title)
{
    shown.append({text, style, title.isEmpty() ? AppTitle() : title});
    if (whileOpen)
        whileOpen();
}

QString MemorySettingsStore::GetSetting(const QString& app, const QString& section, const QString& key,
                                        const QString& def)
{
    ++reads;
    const auto it = m_values.constFind(keyPath(app, section, key));
    return it == m_values.constEnd() ? def : *it;
}

bool MemorySettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key,
                                      const QString& value)
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
    m_values.insert(keyPath(app, section, key), value);
}

bool MemorySettingsStore::contains(const QString& app, const QString& section, const QString& key) const
{
    return m_values.contains(keyPath(app, section, key));
}

QString MemorySettingsStore::value(const QString& app, const QString& section, const QString& key) const
{
    return m_values.value(keyPath(app, section, key));
}

}  // namespace plat
