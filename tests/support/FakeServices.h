#pragma once
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

namespace plat {

struct RecordedMessage {
    QString text;
    int style;
    QString title;
};

// Message boxes that are recorded instead of shown.
class RecordingMessageBoxes final : public MessageBoxes {
public:
    void MsgBox(QWidget* parent, const QString& text, int style, const QString& title) override;
    QList<RecordedMessage> shown;
    // Runs while the "box" is open, e.g. to deliver events meanwhile.
    std::function<void()> whileOpen;
};

// An in-memory settings store; writes can be made to fail.
class MemorySettingsStore final : public SettingsStore {
public:
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& def) override;
    bool SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override;

    void set(const QString& app, const QString& section, const QString& key, const QString& value);
    bool contains(const QString& app, const QString& section, const QString& key) const;
    QString value(const QString& app, const QString& section, const QString& key) const;

    bool failWrites = false;
    int writes = 0;
    int reads = 0;

private:
    QHash<QString, QString> m_values;
};

// Passes every call on to a registry and counts the keys left open.
class KeyCountingRegistry final : public reg::Registry {
public:
    explicit KeyCountingRegistry(reg::Registry& inner) : m_inner(inner) { }
    long OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t access,
                 reg::Handle& key) override;
    long QueryValue(reg::Handle key, const std::string& valueName, std::uint32_t& type, char* data,
                    std::uint32_t& size) override;
    void CloseKey(reg::Handle key) override;
    int openKeys() const { return m_open; }

private:
    reg::Registry& m_inner;
    int m_open = 0;
};

}  // namespace plat
