// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/MainLayout.h"

#include "common/Clock.h"
#include "common/Conversions.h"
#include "common/Twips.h"
#include "platform/Desktop.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <qdrawutil.h>

#include <limits>

using common::TwipsToPixels;

namespace {

// A frame with a caption drawn the same in every style, so that the
// counters keep their places: an etched border through the middle of the
// caption, positions inside measured from its top-left corner.
class CaptionFrame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        constexpr int kCaptionInset = 6;
        constexpr int kCaptionGap = 2;
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
        painter.fillRect(caption, palette().window());
        style()->drawItemText(&painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), title(), QPalette::WindowText);
    }
};

// The client area, and the part visible above the status bar.
constexpr int kClientWidthTwips = 2355;
constexpr int kVisibleHeightTwips = 1200 + 1215;

void Place(QWidget* w, const char* name, int left, int top, int width, int height)
{
    w->setObjectName(QLatin1String(name));
    w->setGeometry(common::TwipsRect(left, top, width, height));
}

// How far in from its right edge a line edit ends right-aligned text: its
// frame, QLineEdit's 2-pixel margin and the cursor's pixel.
int TextEndInset(const QLineEdit* edit)
{
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit);
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
    return edit->width() - (contents.x() + contents.width()) + edit->textMargins().right() + 2 + 1;
}

}  // namespace

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

ClockPanel::ClockPanel(common::Clock& clock, QWidget* parent) : QLabel(parent), m_clock(clock)
{
    setObjectName(QStringLiteral("Clock"));
    setAccessibleDescription(QStringLiteral("Time of day"));
    setAlignment(Qt::AlignCenter);
    m_timer = new common::Timer(clock, this);
    m_timer->setPrecise(true);
    connect(m_timer, &common::Timer::Tick, this, &ClockPanel::Update);
    // Its timer sleeps through a suspend, and through a clock set by hand.
    plat::WatchClockJumps(this, [this] {
        if (m_timer->Enabled())
            Update();
    });
    // The status bar sizes itself by what its panels hold when added.
    Update();
}

void ClockPanel::Update()
{
    const QDateTime now = m_clock.now();
    const QString text = now.time().toString(QStringLiteral("HH:mm"));
    if (this->text() != text)
        setText(text);
    // Just past the next minute; rescheduling the one timer adds no wake-up.
    const int intoMinute = now.time().second() * 1000 + now.time().msec();
    m_timer->setInterval(60000 - intoMinute + 20);
    m_timer->setEnabled(true);
}

void ClockPanel::Stop()
{
    m_timer->setEnabled(false);
}

void MainLayout::BuildLayout(QMainWindow& window, common::Clock& clock)
{
    auto* client = new QWidget(&window);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kVisibleHeightTwips));
    window.setCentralWidget(client);

    // First, so everything else lies on top of it.
    Image1 = new QLabel(client);
    Image1->setPixmap(QPixmap(QStringLiteral(":/tarmalo/banner.bmp")));
    Image1->setScaledContents(true);
    Place(Image1, "Image1", 0, 0, 2490, 810);

    Label5 = new QLabel(QStringLiteral("&Departure time"), client);
    Place(Label5, "Label5", 60, 900, 1215, 255);

    txtTime = new MaskEdBox(client);
    txtTime->setAccessibleName(QStringLiteral("Departure time"));
    Place(txtTime, "txtTime", 1680, 840, 615, 315);
    Label5->setBuddy(txtTime);

    Frame1 = new CaptionFrame(QStringLiteral("PAX"), client);
    Place(Frame1, "Frame1", 0, 1200, 2355, 1215);

    Label2 = new QLabel(QStringLiteral("&Total"), Frame1);
    Place(Label2, "Label2", 60, 240, 1215, 255);

    txtTotal = new TextBox(Frame1);
    txtTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtTotal->setAccessibleName(QStringLiteral("Total"));
    txtTotal->setMaxLength(std::numeric_limits<int>::max());  // a paste is kept whole
    Place(txtTotal, "txtTotal", 1680, 180, 615, 315);
    Label2->setBuddy(txtTotal);

    // A count ends where the digits in txtTotal end. Its accessible name,
    // left unset, is the count itself; the caption beside it names it.
    auto addCount = [&](QLabel* caption, const char* name, int top, const QString& description) {
        auto* count = new QLabel(Frame1);
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        count->setIndent(TextEndInset(txtTotal));
        count->setAccessibleDescription(description);
        Place(count, name, 1200, top, 1095, 255);
        caption->setBuddy(count);
        return count;
    };
    Label3 = new QLabel(QStringLiteral("Remaining"), Frame1);
    Place(Label3, "Label3", 60, 540, 1155, 255);
    lblPAX[0] = addCount(Label3, "lblPAX0", 540, QStringLiteral("Passengers still at the gate"));
    Label4 = new QLabel(QStringLiteral("In Aircraft"), Frame1);
    Place(Label4, "Label4", 60, 780, 1215, 255);
    lblPAX[1] = addCount(Label4, "lblPAX1", 780, QStringLiteral("Passengers in the aircraft"));

    pgbInAC = new QProgressBar(Frame1);
    pgbInAC->setRange(0, 100);
    pgbInAC->setValue(0);
    pgbInAC->setTextVisible(false);
    pgbInAC->setAccessibleName(QStringLiteral("Boarded"));
    Place(pgbInAC, "pgbInAC", 60, 1020, 2250, 150);

    QWidget::setTabOrder(txtTime, txtTotal);

    QStatusBar* bar = window.statusBar();
    bar->setObjectName(QStringLiteral("stsStatus"));
    bar->setSizeGripEnabled(false);
    stsStatusInfo = new QLabel(bar);
    stsStatusInfo->setObjectName(QStringLiteral("Info"));
    stsStatusInfo->setAccessibleDescription(QStringLiteral("Gate status"));
    stsStatusInfo->setMinimumWidth(TwipsToPixels(1000));
    bar->addWidget(stsStatusInfo, 1);
    stsStatusClock = new ClockPanel(clock, bar);
    stsStatusClock->setMinimumWidth(TwipsToPixels(700));
    bar->addPermanentWidget(stsStatusClock);
}

void MainLayout::FitWindow(QMainWindow& window)
{
    // The menu bar may wrap.
    const int width = TwipsToPixels(kClientWidthTwips);
    const int wrapped = window.menuBar()->heightForWidth(width);
    const int menuHeight = wrapped > 0 ? wrapped : window.menuBar()->sizeHint().height();
    window.setFixedSize(width, menuHeight + TwipsToPixels(kVisibleHeightTwips)
                                   + window.statusBar()->sizeHint().height());
    // The same place at every start; nothing remembers a move.
    window.move(TwipsToPixels(1590), TwipsToPixels(1860));
}
