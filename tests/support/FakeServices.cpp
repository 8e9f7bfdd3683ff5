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

void MemorySettingsStore::Load()
{
    emit Loaded(m_values);
}

void MemorySettingsStore::Save(const QString& key, bool on)
{
    ++writes;
    if (failWrites)
        emit Tell(QStringLiteral("not saved"));
    else
        set(key, on ? QStringLiteral("True") : QStringLiteral("False"));
}

}  // namespace plat
