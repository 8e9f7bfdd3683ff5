// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/FakeServices.h"

#include <QCoreApplication>

namespace {
// Titles come from the application's name, which main() sets.
void NameTarmalo()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tarmalo"));
}
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(NameTarmalo)

namespace common {

void RecordingMessageBoxes::Show(QWidget*, const QString& text, QMessageBox::Icon icon, const QString& title)
{
    shown.append({text, icon, title});
    if (whileOpen)
        whileOpen();
}

}  // namespace common

namespace plat {

std::optional<QString> MemorySettingsStore::Text(const QString& key)
{
    ++reads;
    const auto it = m_values.constFind(key);
    return it == m_values.constEnd() ? std::nullopt : std::optional<QString>(*it);
}

void MemorySettingsStore::setText(const QString& key, const QString& text)
{
    ++writes;
    if (failWrites)
        emit NotSaved();
    else
        set(key, text);
}

}  // namespace plat
