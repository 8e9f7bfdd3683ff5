// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/EntryFields.h"

#include "common/Conversions.h"

#include <QFocusEvent>

TextBox::TextBox(QWidget* parent) : QLineEdit(parent)
{
    // Connected first, so later textChanged slots find the kept text in
    // text() (their argument may still be the written one).
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!isEnabled() && text() != m_lockedText)
            setText(m_lockedText);
    });
}

void TextBox::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        m_lockedText = text();
}

void TextBox::focusInEvent(QFocusEvent* event)
{
    // A caret moved by Qt on a Tab or shortcut hides the focus, and the field's name, from screen readers.
    QFocusEvent unmoved(QEvent::FocusIn,
                        event->reason() == Qt::MouseFocusReason ? event->reason() : Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&unmoved);
    emit GotFocus();
}

MaskEdBox::MaskEdBox(QWidget* parent) : TextBox(parent)
{
    // "9": a digit or a blank, "_" shows the blanks.
    setInputMask(QStringLiteral("99:99;_"));
}

QString MaskEdBox::Text() const
{
    // Qt's "9" takes any Unicode number, also "¼" or "²", which stay blanks.
    QString text = common::AsciiDigits(displayText());
    for (QChar& c : text) {
        if (c.unicode() >= 128)
            c = u'_';
    }
    return text;
}
