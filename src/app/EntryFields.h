#pragma once
#include <QLineEdit>

// A single-line text box that reports when it receives the focus.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    QString Text() const { return text(); }

signals:
    void GotFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;
};

// The masked time entry: mask "##:##", placeholder "_". Only digits go into
// the four digit places and the ":" is skipped while typing.
class MaskEdBox : public TextBox {
    Q_OBJECT
public:
    explicit MaskEdBox(QWidget* parent = nullptr);
    // The full display text: always five characters with this mask, digits
    // of any script read as 0-9 and any other number as a blank.
    QString Text() const;
};
