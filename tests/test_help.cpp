// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Help window: what its text tells the pilot agrees with the gate, and
// the text wraps and can be copied.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include "boarding/clsCommon.h"
#include "info/frmHelp.h"
#include "support/FakeClock.h"

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    // The minutes the text names are those at which the gate's status
    // changes: one minute more still shows the status before.
    void textAgreesWithTheGate_data()
    {
        QTest::addColumn<QString>("phrase");  // (\d+): the minutes
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("from");
        QTest::newRow("gate opens") << "The gate opens (\\d+) minutes before departure"
                                    << clsCommon::kGateClosed << clsCommon::kGoToGate;
        QTest::newRow("final call") << "(\\d+) mins before departure is the final boarding call"
                                    << clsCommon::kGoToGate << clsCommon::kFinalCall;
    }
    void textAgreesWithTheGate()
    {
        QFETCH(QString, phrase);
        QFETCH(QString, before);
        QFETCH(QString, from);
        frmHelp help;
        const QRegularExpressionMatch said = QRegularExpression(phrase).match(help.txtHelp->toPlainText());
        QVERIFY2(said.hasMatch(), qPrintable(phrase));
        const int minutes = said.captured(1).toInt();
        const QDateTime departure(QDate(2026, 5, 10), QTime(11, 0), Qt::UTC);
        common::FakeClock clock(departure.addSecs(-60 * (minutes + 1)));
        clsCommon gate(clock, [] { return 0.5f; });
        QCOMPARE(gate.GateState(common::UtcValue(departure), 0), before);
        clock.set(departure.addSecs(-60 * minutes));
        QCOMPARE(gate.GateState(common::UtcValue(departure), 0), from);
    }

    // Long lines wrap at the window's edge: there is no scroll bar across.
    void longLinesWrap()
    {
        frmHelp help;
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QTRY_COMPARE(help.txtHelp->horizontalScrollBar()->maximum(), 0);
        QVERIFY(help.txtHelp->document()->documentLayout()->documentSize().height() > 23);
    }

    void textCanBeSelectedAndCopied()
    {
        frmHelp help;
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QPlainTextEdit* field = help.txtHelp;
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
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
