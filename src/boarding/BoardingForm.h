// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>

class QWidget;

// What a boarding needs of its window, so that the rules here depend on no
// widget. The main window answers it.
class BoardingForm {
public:
    enum class Option { Depart, Countdown, Boarding, Gate, Briefing };
    enum class Field { Time, Total };

    virtual ~BoardingForm() = default;

    virtual bool StartChecked() const = 0;
    virtual void setStartChecked(bool on) = 0;
    virtual bool OptionChecked(Option option) const = 0;
    // Both fields and the countdown switch, locked while a run goes.
    virtual void setEntriesEnabled(bool on) = 0;

    virtual QString TotalText() const = 0;
    // The full display text of the time field: five characters, the ":" and
    // any "_" placeholders included.
    virtual QString TimeText() const = 0;
    // Puts the focus into a field with its whole text selected.
    virtual void FocusField(Field field) = 0;

    virtual QString PaxCaption(int index) const = 0;
    virtual void setPaxCaption(int index, const QString& caption) = 0;

    virtual void setProgressMax(float maximum) = 0;
    virtual void setProgressValue(float value) = 0;
    virtual void setProgressVisible(bool on) = 0;

    virtual void setStatusInfo(const QString& text) = 0;
    // When the run's departure, open gate and final call fall; empty when
    // no run is going.
    virtual void setStatusToolTip(const QString& text) = 0;

    virtual QWidget* MessageParent() = 0;
};
