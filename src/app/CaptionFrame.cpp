#include "app/CaptionFrame.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace {
// From the frame's left edge to the caption, and the gap the border leaves
// on either side of it.
constexpr int kCaptionInset = 6;
constexpr int kCaptionGap = 2;
}  // namespace

void CaptionFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int lineY = metrics.height() / 2;
    qDrawShadeRect(&painter, QRect(0, lineY, width(), height() - lineY), palette(), true, 1, 0);
    if (title().isEmpty())
        return;
    QString shown = title();
    shown.remove(QLatin1Char('&'));
    const QRect caption(kCaptionInset, 0, metrics.horizontalAdvance(shown) + 2 * kCaptionGap,
                        metrics.height());
    // The caption stands on the window's background, hiding the line behind it.
    painter.fillRect(caption, palette().window());
    style()->drawItemText(&painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                          title(), QPalette::WindowText);
}
