// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QGuiApplication>
#include <QMessageBox>
#include <QString>

namespace common {

// The messages a pilot is shown: modal, one OK button.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Show(QWidget* parent, const QString& text, QMessageBox::Icon icon, const QString& title) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    void Show(QWidget* parent, const QString& text, QMessageBox::Icon icon, const QString& title) override
    {
        QMessageBox(icon, title, text, QMessageBox::Ok, parent).exec();
    }
};

inline QString ProgramTitle()
{
    return QGuiApplication::applicationDisplayName();
}

}  // namespace common
