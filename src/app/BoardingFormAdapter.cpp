// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/BoardingFormAdapter.h"

#include <QAccessibleWidget>
#include <algorithm>
#include <cmath>

void BoardingFormAdapter::setEntriesEnabled(bool on)
{
    m_controls.txtTime->setEnabled(on);
    m_controls.txtTotal->setEnabled(on);
    m_menus.mnuOptionsCountdown->setEnabled(on);
}

void BoardingFormAdapter::FocusField(Field field)
{
    TextBox* box = field == Field::Time ? m_controls.txtTime : m_controls.txtTotal;
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

void BoardingFormAdapter::setProgressMax(float maximum)
{
    // An empty flight shows an empty bar: Qt shows a busy bar for 0..0.
    const int rounded = static_cast<int>(std::lround(maximum));
    m_controls.pgbInAC->setRange(0, rounded <= 0 ? 1 : rounded);
}

void BoardingFormAdapter::setProgressValue(float value)
{
    QProgressBar* bar = m_controls.pgbInAC;
    bar->setValue(std::clamp(static_cast<int>(std::lround(value)), bar->minimum(), bar->maximum()));
    // QProgressBar repaints itself only once the value has moved a chunk's
    // width since it last painted, and lblPAX(1) overlaps its top row by a
    // pixel: each count update paints that row, which counts as painted, so
    // with hundreds of passengers the bar never filled. Repaint every change.
    bar->update();
}

void BoardingFormAdapter::setStatusToolTip(const QString& text)
{
    // Set on every tick; an unchanged text leaves a shown tooltip alone.
    if (m_controls.stsStatusInfo->toolTip() != text)
        m_controls.stsStatusInfo->setToolTip(text);
}

void BoardingFormAdapter::setStatusInfo(const QString& text)
{
    QLabel* panel = m_controls.stsStatusInfo;
    if (panel->text() == text)
        return;  // set on every tick: only a change is said
    panel->setText(text);
    // Screen readers say a notification as it shows, but not a label's new text.
    if (!m_notice)
        QAccessible::registerAccessibleInterface(
            new QAccessibleWidget(m_notice = new QWidget(panel), QAccessible::Notification));
    m_notice->setAccessibleName(text);
    QAccessibleEvent shown(m_notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
#ifdef Q_OS_WIN
    QAccessibleValueChangeEvent said(panel, text);  // the one of these UI Automation says aloud
    QAccessible::updateAccessibility(&said);
#endif
}
