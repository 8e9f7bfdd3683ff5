#include "app/EntryFields.h"

void TextBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    emit GotFocus();
}

MaskEdBox::MaskEdBox(QWidget* parent) : TextBox(parent)
{
    // Qt's "9" is the old control's "#" limited to digits; "_" fills blanks.
    setInputMask(QStringLiteral("99:99;_"));
}

QString MaskEdBox::Text() const
{
    // Qt's "9" takes any Unicode number: Arabic-Indic or full-width digits,
    // but also "¼" or "²". The time is read from 0-9 only, so a time typed
    // in another script's digits would look complete and yet be refused.
    QString text = displayText();
    for (QChar& c : text) {
        if (c.unicode() < 128)
            continue;
        const int digit = c.digitValue();
        c = digit >= 0 && digit <= 9 && c.isDigit() ? QChar(u'0' + digit) : QChar(u'_');
    }
    return text;
}
