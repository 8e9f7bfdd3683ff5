// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QLineEdit>

// A single-line text box that reports when it receives the focus. Locked
// (disabled), it keeps its text whatever writes to it: assistive software
// can still reach a disabled box, and a run reads its fields on every tick.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);
    virtual QString Text() const { return text(); }

signals:
    void GotFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString m_lockedText;
};

// The masked time entry "hh:mm": four digit places, each blank until typed
// and shown as "_"; typing skips the ":".
class MaskEdBox : public TextBox {
    Q_OBJECT
public:
    explicit MaskEdBox(QWidget* parent = nullptr);
    // Always five characters; digits of any script read as 0-9, any other
    // number as a blank.
    QString Text() const override;
};
