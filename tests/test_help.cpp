// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Help window: its text, the fit of the field to the window, and the
// windows' independence.
#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "info/frmHelp.h"

namespace {

const QString kHyphens50 = QString(50, QLatin1Char('-'));

// The text as a fresh Help window holds it.
QString HelpText()
{
    frmHelp help;
    return help.txtHelp->toPlainText();
}

QStringList HelpLines()
{
    return HelpText().split(QLatin1Char('\n'));
}

QStringList ShownLines(const frmHelp& help)
{
    QStringList lines;
    for (QTextBlock b = help.txtHelp->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

void ProcessDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The field fills the window's client area, whatever its size.
void VerifyFit(const frmHelp& help)
{
    QCOMPARE(help.txtHelp->geometry(), help.rect());
}

}  // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmHelp*>(w))
                delete w;
    }

    void textHas23Lines()
    {
        const QString text = HelpText();
        QCOMPARE(text.count(QLatin1Char('\n')), 22);
        QVERIFY(!text.endsWith(QLatin1Char('\n')));
        for (QChar c : text)
            QVERIFY2(c.unicode() >= 0x20 || c == QLatin1Char('\n'), "control character in the help text");
        QCOMPARE(HelpLines().size(), 23);
    }

    void textLine_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("expected");
        const QStringList expected = {
            "General",
            kHyphens50,
            "Tarmalo is used for simulating passengers enbarking your aircraft.",
            "Enter the time when you are scheduled to depart (see Menus further down) and the number of "
            "passengers that are booked for your flight.",
            "Then press CTRL+S to start the countdown.",
            "",
            "The gate opens 20 minutes before departure, but don't expect too many passengers starting to "
            "arrive until 10 minutes before.",
            "5 mins before departure is the final boarding call made. If not all passengers are aboard on "
            "the scheduled time it will wait for 5 more minutes before closing the gate.",
            "",
            "Menus",
            kHyphens50,
            "File",
            "    Start - Starts the simulation",
            "    Exit  - Ends the program",
            "",
            "Options",
            "    Depart on clock - If not checked the gate will close as soon as all passengers have "
            "embarked.",
            "    Countdown time  - If checked the time will not reflect actual departure time but *time to* "
            "departure.",
            "    Play ... sound  - Plays the noted sound or not.",
            "",
            "Help",
            "    Help  - This text.",
            "    About - Version and copyright information about Tarmalo.",
        };
        for (int i = 0; i < expected.size(); ++i)
            QTest::addRow("line %d", i + 1) << i + 1 << expected[i];
    }
    void textLine()
    {
        QFETCH(int, line);
        QFETCH(QString, expected);
        const QStringList lines = HelpLines();
        QVERIFY(line <= lines.size());
        QCOMPARE(lines[line - 1], expected);
    }

    void windowShowsTheLinesWithoutStrayCharacters()
    {
        frmHelp help;
        const QStringList shown = ShownLines(help);
        QCOMPARE(shown.size(), 23);
        QCOMPARE(shown, HelpLines());
        QCOMPARE(shown.first(), QStringLiteral("General"));
        QCOMPARE(shown.last(),
                 QStringLiteral("    About - Version and copyright information about Tarmalo."));
        const QString plain = help.txtHelp->toPlainText();
        QVERIFY(!plain.contains(QLatin1Char('\r')));
        QVERIFY(!plain.contains(QChar(0x2029)));
        QCOMPARE(plain, HelpText());
    }

    void windowProperties()
    {
        frmHelp help;
        QCOMPARE(help.windowTitle(), QStringLiteral("Help"));
        QVERIFY(help.isWindow());
        QCOMPARE(help.parentWidget(), nullptr);
        QCOMPARE(help.windowType(), Qt::Window);
        // A plain window: a Tool window would get no taskbar entry.
        QVERIFY(help.windowFlags() & Qt::WindowMinimizeButtonHint
                || !(help.windowFlags() & Qt::CustomizeWindowHint));
        QVERIFY(help.testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(help.size(), QSize(503, 256));  // 7545 x 3840 twips
        QCOMPARE(help.txtHelp->parentWidget(), &help);
        QCOMPARE(help.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
        QCOMPARE(help.txtHelp->objectName(), QStringLiteral("txtHelp"));
        QCOMPARE(help.txtHelp->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(help.txtHelp->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
        QCOMPARE(help.txtHelp->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(help.txtHelp->wordWrapMode(), QTextOption::WordWrap);
    }

    void windowIcon()
    {
        frmHelp help;
        const QList<QSize> sizes = help.windowIcon().availableSizes();
        QVERIFY2(sizes.contains(QSize(32, 32)), "no 32x32 image in the help icon");
        QVERIFY2(sizes.contains(QSize(16, 16)), "no 16x16 image in the help icon");
    }

    void fieldFollowsEveryResize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wider") << QSize(700, 256);
        QTest::newRow("taller") << QSize(503, 500);
        QTest::newRow("smaller") << QSize(200, 120);
        QTest::newRow("narrow") << QSize(60, 300);
        QTest::newRow("below the field's own minimum") << QSize(2, 18);
    }
    void fieldFollowsEveryResize()
    {
        QFETCH(QSize, size);
        frmHelp* help = frmHelp::ShowNew();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        VerifyFit(*help);  // the first show
        help->resize(size);
        QTRY_COMPARE(help->size(), size);
        VerifyFit(*help);
        help->resize(503, 256);
        QTRY_COMPARE(help->size(), QSize(503, 256));
        VerifyFit(*help);
    }

    void maximizeAndRestore()
    {
        frmHelp* help = frmHelp::ShowNew();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        const QSize before = help->txtHelp->size();
        help->showMaximized();
        QTRY_VERIFY(help->isMaximized());
        QTRY_VERIFY(help->txtHelp->width() > before.width());
        VerifyFit(*help);
        help->showNormal();
        QTRY_VERIFY(!help->isMaximized());
        QTRY_COMPARE(help->txtHelp->size(), before);
        VerifyFit(*help);
    }

    void minimizeNeverGivesNegativeSize()
    {
        frmHelp* help = frmHelp::ShowNew();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        help->showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(help->txtHelp->width() >= 0);
        QVERIFY(help->txtHelp->height() >= 0);
        VerifyFit(*help);
        help->showNormal();
        QCoreApplication::processEvents();
        VerifyFit(*help);
    }

    void typingChangesNothing_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("letters") << "xyz";
        QTest::newRow("return") << "return";
        QTest::newRow("backspace") << "backspace";
        QTest::newRow("delete") << "delete";
        QTest::newRow("paste") << "paste";
        QTest::newRow("cut") << "cut";
    }
    void typingChangesNothing()
    {
        QFETCH(QString, keys);
        frmHelp* help = frmHelp::ShowNew();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QPlainTextEdit* field = help->txtHelp;
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        field->selectAll();
        if (keys == "xyz")
            QTest::keyClicks(field, keys);
        else if (keys == "return")
            QTest::keyClick(field, Qt::Key_Return);
        else if (keys == "backspace")
            QTest::keyClick(field, Qt::Key_Backspace);
        else if (keys == "delete")
            QTest::keyClick(field, Qt::Key_Delete);
        else if (keys == "paste")
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        else if (keys == "cut")
            QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(ShownLines(*help), HelpLines());
        QVERIFY(field->isReadOnly());
    }

    void textCanBeSelectedAndCopied()
    {
        frmHelp* help = frmHelp::ShowNew();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QPlainTextEdit* field = help->txtHelp;
        QVERIFY(field->textInteractionFlags() & Qt::TextSelectableByMouse);
        QVERIFY(field->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QApplication::clipboard()->clear();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), field->toPlainText());
        // A part selected from the keyboard copies just that part.
        QTest::keyClick(field, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(field, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("General"));
    }

    void twoChoicesGiveTwoIndependentWindows()
    {
        QPointer<frmHelp> first = frmHelp::ShowNew();
        QPointer<frmHelp> second = frmHelp::ShowNew();
        QVERIFY(first && second);
        QVERIFY(first != second);
        QVERIFY(QTest::qWaitForWindowExposed(first));
        QVERIFY(QTest::qWaitForWindowExposed(second));
        for (frmHelp* help : {first.data(), second.data()}) {
            QVERIFY(help->isVisible());
            QCOMPARE(help->parentWidget(), nullptr);
            QVERIFY(!help->isModal());
            QCOMPARE(help->txtHelp->verticalScrollBar()->value(), 0);
            QCOMPARE(help->txtHelp->cursorForPosition(QPoint(1, 1)).blockNumber(), 0);
            QCOMPARE(ShownLines(*help), HelpLines());
        }
        QVERIFY(first->txtHelp->document() != second->txtHelp->document());

        // Changing one leaves the other alone.
        second->resize(300, 150);
        QTRY_COMPARE(second->size(), QSize(300, 150));
        QCOMPARE(first->size(), QSize(503, 256));
        QCOMPARE(first->txtHelp->verticalScrollBar()->value(), 0);

        // Closing one destroys it and only it.
        QVERIFY(first->close());
        ProcessDeferredDeletes();
        QVERIFY(first.isNull());
        QVERIFY(second);
        QVERIFY(second->isVisible());
        QCOMPARE(ShownLines(*second), HelpLines());
    }

    // Help windows are primary windows: one left open keeps the program
    // running after the main window has closed, and the program ends when it
    // closes. Runs the real event loop, so it comes last.
    void lastHelpWindowKeepsTheProgramAlive()
    {
        QVERIFY(QGuiApplication::quitOnLastWindowClosed());
        auto* mainWindow = new QWidget;
        mainWindow->setAttribute(Qt::WA_DeleteOnClose);
        mainWindow->show();
        QPointer<frmHelp> help = frmHelp::ShowNew();
        QVERIFY(QTest::qWaitForWindowExposed(help));

        int lastClosedCount = 0;
        bool helpOpenWhenLastClosed = false;
        bool helpOpenAfterMainClosed = false;
        bool timedOut = false;
        connect(qApp, &QGuiApplication::lastWindowClosed, this, [&] {
            ++lastClosedCount;
            helpOpenWhenLastClosed = help && help->isVisible();
        });
        QTimer::singleShot(0, mainWindow, [mainWindow] { mainWindow->close(); });
        QTimer::singleShot(300, this, [&] {
            helpOpenAfterMainClosed = help && help->isVisible();
            if (help)
                help->close();
        });
        QTimer::singleShot(10000, this, [&] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        const int rc = QApplication::exec();
        disconnect(qApp, &QGuiApplication::lastWindowClosed, this, nullptr);

        QVERIFY(!timedOut);
        QCOMPARE(rc, 0);
        QVERIFY2(helpOpenAfterMainClosed, "the program ended with the main window");
        QCOMPARE(lastClosedCount, 1);
        QVERIFY(!helpOpenWhenLastClosed);
        ProcessDeferredDeletes();
        QVERIFY(help.isNull());
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestHelp test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_help.moc"
