// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/MessageBox.h"

namespace common {

QString ProgramTitle()
{
    // The program's title, whatever the executable happens to be called.
    return QStringLiteral("Tarmalo");
}

void QtMessageBoxes::Show(QWidget* parent, const QString& text, QMessageBox::Icon icon, const QString& title)
{
    QMessageBox box(icon, title.isEmpty() ? ProgramTitle() : title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace common
