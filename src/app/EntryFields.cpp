#include "app/EntryFields.h"

#include <QTime>

void TextBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    emit GotFocus();
}

MaskEdBox::MaskEdBox(QWidget* parent) : TextBox(parent)
{
    // Qt's "9" is the old control's "#" limited to digits; "_" fills blanks.
    setInputMask(QStringLiteral("99:99;_"));
    // Qt's "9" also lets in other scripts' digits (Arabic-Indic, full-width),
    // which the time reading refuses: a complete-looking time would be
    // rejected. Fold them to 0-9 as they arrive.
    connect(this, &QLineEdit::textChanged, this, &MaskEdBox::foldDigits);
}

void MaskEdBox::foldDigits()
{
    QString folded = displayText();
    bool changed = false;
    for (QChar& c : folded) {
        if (c.unicode() >= 128 && c.isDigit()) {
            c = QChar(u'0' + c.digitValue());
            changed = true;
        }
    }
    if (!changed)
        return;
    const int cursor = cursorPosition();
    setText(folded);
    setCursorPosition(cursor);
}

QString MaskEdBox::FormattedText() const
{
    const QTime t = QTime::fromString(displayText(), QStringLiteral("HH:mm"));
    return t.isValid() ? t.toString(QStringLiteral("HH:mm")) : displayText();
}
