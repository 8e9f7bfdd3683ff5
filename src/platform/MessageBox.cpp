// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/MessageBox.h"

namespace plat {

QString AppTitle()
{
    // The program's title, whatever the executable happens to be called.
    return QStringLiteral("Tarmalo");
}

void QtMessageBoxes::Show(QWidget* parent, const QString& text, QMessageBox::Icon icon, const QString& title)
{
    QMessageBox box(icon, title.isEmpty() ? AppTitle() : title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace plat
