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
