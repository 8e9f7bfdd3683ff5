// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/FakeServices.h"

namespace common {

void RecordingMessageBoxes::Show(QWidget*, const QString& text, QMessageBox::Icon icon, const QString& title)
{
    shown.append({text, icon, title.isEmpty() ? ProgramTitle() : title});
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
