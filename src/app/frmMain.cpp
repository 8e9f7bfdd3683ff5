// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/frmMain.h"

#include "app/MainLayout.h"
#include "boarding/MediaPlayer.h"
#include "common/Clock.h"
#include "common/Conversions.h"
#include "info/Appearance.h"
#include "info/frmHelp.h"
#include "platform/Desktop.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>

frmMain::frmMain(const AppServices& services, QWidget* parent) : QMainWindow(parent), m_services(services)
{
    setWindowTitle(QGuiApplication::applicationDisplayName());
    setFont(DialogFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());

    m_player = m_services.makePlayer(this);
    m_boarding =
        new Boarding(*this, *m_services.clock, *m_services.messages, *m_player, m_services.random, this);

    BuildLayout(*this, *m_services.clock);
    // A clock that was set shows at the next tick, at no extra wake-up.
    connect(&tmrTimer(), &common::Timer::Tick, stsStatusClock, &ClockPanel::Update);
    connect(txtTotal, &QLineEdit::textChanged, this, &frmMain::txtTotal_Change);
    connect(txtTotal, &TextBox::GotFocus, this, &frmMain::txtTotal_GotFocus);
    connect(txtTime, &TextBox::GotFocus, this, &frmMain::txtTime_GotFocus);

    BuildMenus(*this, *m_services.settings, *m_services.messages);
    // The run sets File > Start's check mark itself: Qt's turn is undone.
    connect(mnuFileStart, &QAction::triggered, this, [this](bool checked) {
        mnuFileStart->setChecked(!checked);
        mnuFileStart_Click();
    });
    connect(mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);
    connect(mnuHelpHelp, &QAction::triggered, this, &frmMain::mnuHelpHelp_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);

    Form_Load();
}

void frmMain::Form_Load()
{
    FitWindow(*this);
    m_boarding->setSoundFolder(m_services.appPath);
    mnuFileStart->setChecked(false);
    mnuFileStart->setEnabled(false);
    tmrTimer().setEnabled(false);
    tmrTimer().setInterval(Boarding::kBoardingInterval);
    ReadOptions();
    m_boarding->CreateCommon();
    txtTime->setFocus(Qt::OtherFocusReason);
}

void frmMain::Form_Unload()
{
    m_boarding->ReleaseCommon();
    m_player->stop();
    stsStatusClock->Stop();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmMain::mnuHelpHelp_Click()
{
    frmHelp::ShowNew();
}

void frmMain::txtTotal_Change()
{
    // A pasted cell brings its line break: it is dropped, so no count shows it.
    const QString trimmed = txtTotal->Text().trimmed();
    const bool numeric = common::ParseNumber(trimmed).has_value();
    // A running boarding can always be stopped.
    mnuFileStart->setEnabled(numeric || mnuFileStart->isChecked());
    // The text written runs this handler once more, and that ends the chain.
    if (numeric && trimmed != txtTotal->Text())
        txtTotal->setText(trimmed);
}

void frmMain::txtTotal_GotFocus()
{
    // Selecting nothing still moves a new box's caret, which screen readers take for the focus.
    if (!txtTotal->text().isEmpty())
        txtTotal->selectAll();
}

void frmMain::setEntriesEnabled(bool on)
{
    if (!on) {
        // Keys typed after the run go where they went before it; meanwhile
        // the window holds the focus, so its shortcuts still work.
        m_entryFocus = focusWidget() == txtTotal ? static_cast<TextBox*>(txtTotal) : txtTime;
        if (focusWidget() == txtTotal || focusWidget() == txtTime)
            setFocus(Qt::OtherFocusReason);
    }
    txtTime->setEnabled(on);
    txtTotal->setEnabled(on);
    mnuOptionsCountdown->setEnabled(on);
    if (on)
        (m_entryFocus ? m_entryFocus : txtTime)->setFocus(Qt::OtherFocusReason);
}

void frmMain::FocusField(Field field)
{
    TextBox* box = field == Field::Time ? txtTime : txtTotal;
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

void frmMain::setProgressMax(float maximum)
{
    // An empty flight shows an empty bar: Qt shows a busy bar for 0..0.
    const int rounded = static_cast<int>(std::lround(maximum));
    pgbInAC->setRange(0, rounded <= 0 ? 1 : rounded);
}

void frmMain::setProgressValue(float value)
{
    pgbInAC->setValue(
        std::clamp(static_cast<int>(std::lround(value)), pgbInAC->minimum(), pgbInAC->maximum()));
    // QProgressBar repaints only once the value has moved a chunk's width, and
    // the count above paints over its top row: it would never fill.
    pgbInAC->update();
}

void frmMain::setStatusToolTip(const QString& text)
{
    // An unchanged text leaves a shown tooltip alone.
    if (stsStatusInfo->toolTip() != text)
        stsStatusInfo->setToolTip(text);
}

void frmMain::setStatusInfo(const QString& text)
{
    if (stsStatusInfo->text() == text)
        return;  // only a change is said
    stsStatusInfo->setText(text);
    // Screen readers say a notification as it shows, but not a label's new text.
    if (!m_notice)
        QAccessible::registerAccessibleInterface(
            new QAccessibleWidget(m_notice = new QWidget(stsStatusInfo), QAccessible::Notification));
    m_notice->setAccessibleName(text);
    QAccessibleEvent shown(m_notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    plat::SayTextChanged(stsStatusInfo, text);
}
