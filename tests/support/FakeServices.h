// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "common/MessageBox.h"
#include "platform/SettingsStore.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

namespace common {

struct RecordedMessage {
    QString text;
    QMessageBox::Icon icon;
    QString title;
};

// Message boxes that are recorded instead of shown.
class RecordingMessageBoxes final : public MessageBoxes {
public:
    void Show(QWidget* parent, const QString& text, QMessageBox::Icon icon, const QString& title) override;
    QList<RecordedMessage> shown;
    // Runs while the "box" is open, e.g. to deliver events meanwhile.
    std::function<void()> whileOpen;
};

}  // namespace common

namespace plat {

// An in-memory settings store; writes can be made to fail, which is told at
// once.
class MemorySettingsStore final : public SettingsStore {
public:
    void Load() override;
    void Save(const QString& key, bool on) override;

    void set(const QString& key, const QString& value) { m_values.insert(key, value); }
    bool contains(const QString& key) const { return m_values.contains(key); }
    QString value(const QString& key) const { return m_values.value(key); }

    bool failWrites = false;
    int writes = 0;

private:
    Texts m_values;
};

}  // namespace plat
