// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>

class QWidget;

namespace plat {

// Message box styles: the icon in bits 4-6, OK as the only button.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbCritical = 16;
inline constexpr int vbExclamation = 48;

// Shows message boxes; modal, returns when dismissed. Tests record instead.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void MsgBox(QWidget* parent, const QString& text, int style, const QString& title) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    void MsgBox(QWidget* parent, const QString& text, int style, const QString& title) override;
};

// The program's title, as message boxes show it.
QString AppTitle();

}  // namespace plat
