#pragma once
#include "platform/MessageBox.h"
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

}  // namespace plat
