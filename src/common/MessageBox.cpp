// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/MessageBox.h"

#include <QGuiApplication>

namespace common {

QString ProgramTitle()
{
    return QGuiApplication::applicationDisplayName();
}

void QtMessageBoxes::Show(QWidget* parent, const QString& text, QMessageBox::Icon icon, const QString& title)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace common
