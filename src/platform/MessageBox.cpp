// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/MessageBox.h"

#include <QMessageBox>

namespace plat {

QString AppTitle()
{
    // The program's title, whatever the executable happens to be called.
    return QStringLiteral("Tarmalo");
}

void QtMessageBoxes::MsgBox(QWidget* parent, const QString& text, int style, const QString& title)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
    case vbCritical: icon = QMessageBox::Critical; break;
    case vbExclamation: icon = QMessageBox::Warning; break;
    default: break;
    }
    QMessageBox box(icon, title.isEmpty() ? AppTitle() : title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace plat
