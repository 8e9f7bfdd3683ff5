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
}

QString MaskEdBox::FormattedText() const
{
    const QTime t = QTime::fromString(displayText(), QStringLiteral("HH:mm"));
    return t.isValid() ? t.toString(QStringLiteral("HH:mm")) : displayText();
}
