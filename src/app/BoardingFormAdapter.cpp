// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/BoardingFormAdapter.h"

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
