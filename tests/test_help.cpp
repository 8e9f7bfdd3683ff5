// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Help window: what its text tells the pilot, reading it, and the
// windows' independence.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "info/frmHelp.h"

namespace {

// The text as a fresh Help window holds it.
QString HelpText()
{
    frmHelp help;
    return help.txtHelp->toPlainText();
}

void ProcessDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
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

    // What the pilot reads must agree with what Tarmalo does.
    void textStatesTheRules_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::newRow("start key") << "press CTRL+S to start";
        QTest::newRow("gate opens") << "The gate opens 20 minutes before departure";
        QTest::newRow("the crowd") << "until 10 minutes before";
        QTest::newRow("final call") << "5 mins before departure is the final boarding call";
        QTest::newRow("five more") << "wait for 5 more minutes before closing the gate";
        QTest::newRow("depart on clock")
            << "    Depart on clock - If not checked the gate will close as soon";
        QTest::newRow("countdown") << "    Countdown time  - If checked";
    }
    void textStatesTheRules()
    {
        QFETCH(QString, phrase);
        QVERIFY2(HelpText().contains(phrase), qPrintable(phrase));
    }

    // Long lines wrap at the window's edge: there is no scroll bar across.
    void longLinesWrap()
    {
        frmHelp* help = frmHelp::ShowNew();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QTRY_COMPARE(help->txtHelp->horizontalScrollBar()->maximum(), 0);
        QVERIFY(help->txtHelp->document()->documentLayout()->documentSize().height() > 23);
    }

    void typingChangesNothing_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("letters") << "xyz";
        QTest::newRow("delete") << "delete";
        QTest::newRow("paste") << "paste";
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
        else if (keys == "delete")
            QTest::keyClick(field, Qt::Key_Delete);
        else if (keys == "paste")
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->toPlainText(), HelpText());
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

    void twoChoicesGiveTwoWindows()
    {
        QPointer<frmHelp> first = frmHelp::ShowNew();
        QPointer<frmHelp> second = frmHelp::ShowNew();
        QVERIFY(first && second && first != second);
        QVERIFY(QTest::qWaitForWindowExposed(second));
        QVERIFY(!second->isModal());
        // Closing one destroys it and only it.
        QVERIFY(first->close());
        ProcessDeferredDeletes();
        QVERIFY(first.isNull());
        QVERIFY(second && second->isVisible());
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
