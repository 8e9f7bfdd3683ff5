#include "app/EntryFields.h"

#include "platform/Conversions.h"

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
    // Qt's "9" takes any Unicode number: other scripts' digits, read as 0-9
    // as in the passenger field, but also "¼" or "²", which stay blanks.
    QString text = plat::AsciiDigits(displayText());
    for (QChar& c : text) {
        if (c.unicode() >= 128)
            c = u'_';
    }
    return text;
}
