// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window as created and after start-up: layout, menus, keys,
// options and their store.
#include "app/MainLayout.h"
#include "common/Twips.h"
#include "info/frmAbout.h"
#include "info/frmHelp.h"
#include "support/Harness.h"
#include "support/Runner.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QtTest>

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void fixedSizeAndStatusBar();
    void startUpState();
    void optionsFromStore_data();
    void optionsFromStore();
    void optionClickSavesAtOnce();
    void unsavableOptionTellsEachTime();
    void keyboard();
    void helpOpensWhileBoardingGoesOn();
    void clockPanelWakesOnTheMinute();
    void progressBarShowsTheShareAboard();
    void paxFrameAndNumberColumn();
    void captionsFitTheirBoxes_data();
    void captionsFitTheirBoxes();
};

void TestWindow::fixedSizeAndStatusBar()
{
    Harness h;
    frmMain& w = *h.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    // The client area ends at the bottom of the "PAX" frame, where the
    // status bar begins.
    const QPoint frameBottom = w.Frame1->mapTo(&w, QPoint(0, w.Frame1->height()));
    QCOMPARE(frameBottom.y(), w.statusBar()->geometry().top());
    QCOMPARE(w.statusBar()->geometry().bottom(), w.height() - 1);
    QCOMPARE(w.width(), common::TwipsToPixels(2355));
    QCOMPARE(w.stsStatusClock->text(), QStringLiteral("10:00"));
}

void TestWindow::startUpState()
{
    Harness h;
    frmMain& w = *h.window;
    QCOMPARE(w.windowTitle(), QStringLiteral("Tarmalo"));
    QVERIFY(!w.mnuFileStart->isChecked());
    QVERIFY(!w.mnuFileStart->isEnabled());
    QVERIFY(!w.tmrTimer().Enabled());
    QCOMPARE(w.lblPAX[0]->text(), QString());
    QCOMPARE(w.lblPAX[1]->text(), QString());
    QCOMPARE(w.stsStatusInfo->text(), QString());
    // The timer stays quiet however long the window waits.
    h.clock.advance(3600 * 1000);
    QCOMPARE(h.player->playCalls, 0);
}

void TestWindow::optionsFromStore_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");  // empty: absent
    QTest::addColumn<QString>("checked");  // the switches top to bottom, 1 on
    // Nothing stored: Countdown time off, every other switch on. The True
    // and False the store writes read back; each switch has its own key.
    QTest::newRow("nothing stored") << "Depart" << QString() << "10111";
    QTest::newRow("Depart False") << "Depart"
                                  << "False"
                                  << "00111";
    QTest::newRow("Count True") << "Count"
                                << "True"
                                << "11111";
    QTest::newRow("Boarding False") << "Boarding"
                                    << "False"
                                    << "10011";
    QTest::newRow("Gate False") << "Gate"
                                << "False"
                                << "10101";
    QTest::newRow("Brief False") << "Brief"
                                 << "False"
                                 << "10110";
    // Hand-edited junk falls back to the default.
    QTest::newRow("Gate junk") << "Gate"
                               << "yes please"
                               << "10111";
}

void TestWindow::optionsFromStore()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, checked);
    plat::MemorySettingsStore store;
    if (!stored.isNull())
        store.set(key, stored);
    Harness h(Harness::At(10, 0), &store);
    frmMain& w = *h.window;
    QString got;
    for (QAction* a : {w.mnuOptionsDepart, w.mnuOptionsCountdown, w.mnuOptionsBoarding, w.mnuOptionsGate,
                       w.mnuOptionsBriefing})
        got += a->isChecked() ? u'1' : u'0';
    QCOMPARE(got, checked);
    QCOMPARE(store.writes, 0);
}

void TestWindow::optionClickSavesAtOnce()
{
    plat::MemorySettingsStore store;
    {
        Harness h(Harness::At(10, 0), &store);
        frmMain& w = *h.window;
        const std::pair<QAction*, const char*> items[] = {{w.mnuOptionsDepart, "Depart"},
                                                          {w.mnuOptionsCountdown, "Count"},
                                                          {w.mnuOptionsBoarding, "Boarding"},
                                                          {w.mnuOptionsGate, "Gate"},
                                                          {w.mnuOptionsBriefing, "Brief"}};
        for (const auto& [item, key] : items) {
            const bool before = item->isChecked();
            // One click turns the switch over once.
            QSignalSpy flips(item, &QAction::toggled);
            item->trigger();
            QCOMPARE(flips.size(), 1);
            QCOMPARE(item->isChecked(), !before);
            QCOMPARE(store.value(key), before ? QStringLiteral("False") : QStringLiteral("True"));
        }
        QCOMPARE(store.writes, 5);
        w.mnuOptionsCountdown->trigger();
        QCOMPARE(store.value("Count"), QStringLiteral("False"));
        w.mnuOptionsCountdown->trigger();
        QVERIFY(h.messages.shown.isEmpty());
    }
    // A new window reads the choices back.
    Harness again(Harness::At(11, 0), &store);
    QVERIFY(!again.window->mnuOptionsDepart->isChecked());
    QVERIFY(again.window->mnuOptionsCountdown->isChecked());
    QVERIFY(!again.window->mnuOptionsBoarding->isChecked());
    QVERIFY(!again.window->mnuOptionsGate->isChecked());
    QVERIFY(!again.window->mnuOptionsBriefing->isChecked());
    // Switches stored that come late apply, except where the pilot clicked meanwhile.
    again.window->mnuOptionsDepart->trigger();
    emit store.Loaded({{"Depart", "False"}, {"Gate", "True"}});
    QVERIFY(again.window->mnuOptionsDepart->isChecked());
    QVERIFY(again.window->mnuOptionsGate->isChecked());
}

void TestWindow::unsavableOptionTellsEachTime()
{
    plat::MemorySettingsStore store;
    store.failWrites = true;
    Harness h(Harness::At(10, 0), &store);
    frmMain& w = *h.window;
    // A choice that fails while the message is still open adds no box.
    h.messages.whileOpen = [&] {
        if (h.messages.shown.size() == 1)
            emit store.Tell(QStringLiteral("again"));
        QCoreApplication::processEvents();
    };
    w.mnuOptionsGate->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!w.mnuOptionsGate->isChecked());
    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(h.messages.shown[0].title, QStringLiteral("Tarmalo"));
    // Each later failure is told again: the first message did not cover it.
    w.mnuOptionsBriefing->trigger();
    QCoreApplication::processEvents();
    w.mnuOptionsGate->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!w.mnuOptionsBriefing->isChecked());
    QVERIFY(w.mnuOptionsGate->isChecked());
    QCOMPARE(h.messages.shown.size(), 3);
}

void TestWindow::keyboard()
{
    Harness h;
    frmMain& w = *h.window;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // The focus starts in the time field.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.txtTime));

    // Ctrl+S does nothing while Start is disabled.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!w.mnuFileStart->isChecked());
    QVERIFY(!w.tmrTimer().Enabled());
    QVERIFY(h.messages.shown.isEmpty());
}

void TestWindow::helpOpensWhileBoardingGoesOn()
{
    Harness h(Harness::At(10, 0));
    frmMain& w = *h.window;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    h.typeTime(QStringLiteral("1015"));
    h.setTotal(QStringLiteral("100"));
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);  // File > Start
    Runner run(h);
    h.clock.advance(5000);
    QCOMPARE(run.ticks.size(), 1);

    // F1 from the window: a Help window of its own, not modal.
    const auto helpWindows = [] {
        QList<frmHelp*> found;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* help = qobject_cast<frmHelp*>(top); help && help->isVisible())
                found << help;
        return found;
    };
    QTest::keyClick(&w, Qt::Key_F1);
    QTRY_COMPARE(helpWindows().size(), 1);
    QVERIFY(!helpWindows().first()->isModal());

    // The boarding goes on underneath.
    h.clock.advance(60 * 1000);
    QCOMPARE(run.ticks.size(), 13);
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Go to gate"));
    for (frmHelp* help : helpWindows())
        help->close();
}

void TestWindow::clockPanelWakesOnTheMinute()
{
    Harness h(Harness::At(10, 0, 59));
    QCOMPARE(h.window->stsStatusClock->text(), QStringLiteral("10:00"));
    h.clock.advance(900);
    QCOMPARE(h.window->stsStatusClock->text(), QStringLiteral("10:00"));
    h.clock.advance(200);
    QCOMPARE(h.window->stsStatusClock->text(), QStringLiteral("10:01"));
    // An idle hour wakes the window about once a minute, not every second.
    int wakes = 0;
    while (h.clock.msToNextTick() >= 0 && h.clock.now() < Harness::At(11, 1, 0)) {
        h.clock.advanceToNextTick(3600 * 1000);
        ++wakes;
    }
    QVERIFY2(wakes >= 59 && wakes <= 61, qPrintable(QString::number(wakes)));
    QCOMPARE(h.window->stsStatusClock->text(), QStringLiteral("11:01"));
}

namespace {
// The bar as the screen holds it, not freshly painted: the columns of its
// middle row that differ from the empty bar's, as a share of its width.
double FilledShare(frmMain& w, const QImage& empty)
{
    QTest::qWait(30);  // let pending repaints reach the screen
    const QRect bar(w.pgbInAC->mapTo(&w, QPoint(0, 0)), w.pgbInAC->size());
    const QImage shot = w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const qreal dpr = shot.devicePixelRatio();
    const int y = int((bar.top() + bar.height() / 2) * dpr);
    int filled = 0;
    const int x0 = int(bar.left() * dpr), x1 = int((bar.right() + 1) * dpr);
    for (int x = x0; x < x1; ++x) {
        const QRgb a = shot.pixel(x, y), b = empty.pixel(x, y);
        if (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b))
            > 60)
            ++filled;
    }
    return double(filled) / (x1 - x0);
}
}  // namespace

void TestWindow::progressBarShowsTheShareAboard()
{
    // An airliner's load: each tick boards a small share of the flight.
    Harness h(Harness::At(10, 0));
    frmMain& w = *h.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    h.typeTime(QStringLiteral("1015"));
    h.setTotal(QStringLiteral("300"));
    h.start();
    QTest::qWait(30);
    const QImage empty = w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    if (empty.size() != w.size() * empty.devicePixelRatio())
        QSKIP("this platform's screen grab does not hold the whole window at this scale");
    QCOMPARE(w.pgbInAC->maximum(), 300);
    // A style that draws whole chunks may be a chunk short.
    const int chunk = w.pgbInAC->style()->pixelMetric(QStyle::PM_ProgressBarChunkWidth, nullptr, w.pgbInAC);
    const double slack = 0.02 + double(chunk + 2) / w.pgbInAC->width();
    Runner run(h);
    int checked = 0;
    while (w.pgbInAC->isVisible() && w.pgbInAC->value() < 300 && run.step(30 * 60 * 1000)) {
        if (!w.pgbInAC->isVisible())
            break;
        const double expected = double(w.pgbInAC->value()) / w.pgbInAC->maximum();
        const double seen = FilledShare(w, empty);
        QVERIFY2(std::abs(seen - expected) < slack,
                 qPrintable(QStringLiteral("%1 aboard of 300: %2 of the bar filled")
                                .arg(w.pgbInAC->value())
                                .arg(seen, 0, 'f', 3)));
        ++checked;
    }
    QVERIFY(checked > 20);
}

void TestWindow::paxFrameAndNumberColumn()
{
    Harness h;
    frmMain& w = *h.window;
    h.setTotal(QStringLiteral("300"));
    w.lblPAX[0]->setText(QStringLiteral("300"));
    w.lblPAX[1]->setText(QStringLiteral("300"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QImage im = w.Frame1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    im.setDevicePixelRatio(1);
    im = im.scaled(w.Frame1->size());
    const auto dark = [&](int x, int y) { return qGray(im.pixel(x, y)) < 100; };

    // The border's top line, found right of the caption, runs above the
    // controls and through the caption, which stands a little in from the left.
    const int x = im.width() - 4;
    int lineY = 1;
    while (lineY < im.height() && qGray(im.pixel(x, lineY)) == qGray(im.pixel(x, 0)))
        ++lineY;
    QVERIFY2(lineY < w.txtTotal->y() && lineY < w.Label2->y(), qPrintable(QString::number(lineY)));
    int captionLeft = -1, captionTop = -1, captionBottom = -1;
    for (int y = 0; y < w.txtTotal->y(); ++y)
        for (int cx = 0; cx < im.width() / 3; ++cx)
            if (dark(cx, y)) {
                captionLeft = captionLeft < 0 ? cx : std::min(captionLeft, cx);
                captionTop = captionTop < 0 ? y : captionTop;
                captionBottom = y;
            }
    QVERIFY(captionLeft >= 3);
    QVERIFY2(captionTop < lineY && lineY < captionBottom,
             qPrintable(QStringLiteral("%1 %2 %3").arg(captionTop).arg(lineY).arg(captionBottom)));

    // The three numbers end in one column.
    const auto digitsEnd = [&](const QWidget* c) {
        const QRect r = c->geometry().adjusted(0, 2, -2, -2);  // clear of a field's border
        for (int cx = r.right(); cx > r.left(); --cx)
            for (int y = r.top(); y <= r.bottom(); ++y)
                if (dark(cx, y))
                    return cx;
        return -1;
    };
    const int column = digitsEnd(w.lblPAX[0]);
    QVERIFY(column > 0);
    QCOMPARE(digitsEnd(w.lblPAX[1]), column);
    QVERIFY2(std::abs(digitsEnd(w.txtTotal) - column) <= 1,
             qPrintable(QStringLiteral("%1 against %2").arg(digitsEnd(w.txtTotal)).arg(column)));
}

void TestWindow::captionsFitTheirBoxes_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");
    // Desktop fonts of Debian's desktops and of Wine, at their usual sizes and larger.
    for (const char* family : {"DejaVu Sans", "Liberation Sans", "Nimbus Sans", "Noto Sans", "Tahoma"})
        for (int points : {9, 10, 12})
            QTest::addRow("%s %d pt", family, points) << QString::fromLatin1(family) << points;
}

namespace {
QString Shown(QString text)
{
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// Why a caption does not fit the box it is drawn in; empty when it does.
QString Misfit(const QWidget* w)
{
    const QFontMetrics fm = w->fontMetrics();
    const QString name = w->objectName();
    if (auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty()) {
        const QRect box = label->contentsRect();
        const QString text = Shown(label->text());
        if (label->wordWrap()) {
            const int need = fm.boundingRect(box, Qt::TextWordWrap | label->alignment(), text).height();
            if (need > box.height())
                return QStringLiteral("%1: %2 px of text in %3").arg(name).arg(need).arg(box.height());
        } else if (fm.horizontalAdvance(text) > box.width() || fm.height() > box.height()) {
            return QStringLiteral("%1: \"%2\" takes %3 x %4 px in %5 x %6")
                .arg(name, text)
                .arg(fm.horizontalAdvance(text))
                .arg(fm.height())
                .arg(box.width())
                .arg(box.height());
        }
    } else if (auto* button = qobject_cast<const QPushButton*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = button->text();
        const QRect box = button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button);
        const QString text = Shown(button->text());
        if (fm.horizontalAdvance(text) > box.width())
            return QStringLiteral("%1: \"%2\" takes %3 px in %4")
                .arg(name, text)
                .arg(fm.horizontalAdvance(text))
                .arg(box.width());
    } else if (auto* frame = qobject_cast<const QGroupBox*>(w)) {
        if (fm.horizontalAdvance(frame->title()) > frame->width() / 2)
            return QStringLiteral("%1: its title takes %2 px")
                .arg(name)
                .arg(fm.horizontalAdvance(frame->title()));
    }
    return {};
}
}  // namespace

void TestWindow::captionsFitTheirBoxes()
{
    QFETCH(QString, family);
    QFETCH(int, points);
    const QFont desktop(family, points);
    if (!QFontInfo(desktop).family().startsWith(family))
        QSKIP("font not installed");
    const QFont before = QApplication::font();
    QApplication::setFont(desktop);
    const auto restore = qScopeGuard([&] { QApplication::setFont(before); });

    Harness h;
    frmAbout about(plat::SysInfoTool, h.messages);
    // The title keeps its own size.
    QCOMPARE(about.lblTitle->font().pointSize(), 18);
    for (QWidget* window : {static_cast<QWidget*>(h.window.get()), static_cast<QWidget*>(&about)}) {
        window->ensurePolished();
        for (const QWidget* w : window->findChildren<QWidget*>()) {
            const QString why = Misfit(w);
            QVERIFY2(why.isEmpty(), qPrintable(why));
        }
    }
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
