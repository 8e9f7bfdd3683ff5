#pragma once
#include <QGroupBox>

// A frame with a caption drawn as on the old dialog platform whatever the
// style: an etched border whose top line runs through the middle of the
// caption, the caption a little in from the left, the controls inside.
// Positions inside it stay measured from its top-left corner.
class CaptionFrame : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};
