// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "boarding/MediaPlayer.h"
#include "boarding/clsCommon.h"
#include "common/Clock.h"
#include "common/DateTime.h"
#include "common/MessageBox.h"

#include <QObject>
#include <functional>
#include <memory>

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

// One boarding run: File > Start and its stop, the clock tick that carries a
// run from the open gate to the closed one, and the announcements.
class Boarding : public QObject {
    Q_OBJECT
public:
    Boarding(BoardingForm& form, common::Clock& clock, common::MessageBoxes& messages, MediaPlayer& player,
             std::function<float()> random, QObject* parent = nullptr);

    static inline const QString kDing = QStringLiteral("Ding.wav");
    static inline const QString kBoardComplete = QStringLiteral("BoardComplete.wav");
    static inline const QString kGndbrief = QStringLiteral("Gndbrief.wav");
    static inline const QString kPretaxbr = QStringLiteral("Pretaxbr.wav");

    static constexpr int kBoardingInterval = 5000;
    static constexpr int kWaitInterval = 1000;
    static constexpr int kDepartedInterval = 30000;

    void CreateCommon();
    void ReleaseCommon();

    void mnuFileStart_Click();
    void tmrTimer_Timer();
    void m_cCommon_GateStateChanged();
    void mpAnnounce_StateChange(PlayState OldState, PlayState NewState);

    common::Timer& tmrTimer() { return m_timer; }
    void setSoundFolder(const QString& folder) { m_sPath = folder; }

private:
    void StartRun();
    void StopRun();
    // When the run's moments fall, for the status panel's tooltip.
    QString ScheduleText() const;
    void TickBody();
    // Starts an announcement, with `wait` the timer off until it has ended.
    void Announce(const QString& fileName, bool wait);
    template <typename Step>
    void Trapped(Step step);
    void ShowError(const QString& text, QMessageBox::Icon icon);

    BoardingForm& m_form;
    common::Clock& m_clock;
    common::MessageBoxes& m_messages;
    MediaPlayer& m_player;
    common::Timer m_timer;
    std::function<float()> m_random;
    std::unique_ptr<clsCommon> m_cCommon;

    qint32 m_lGateState = 0;
    // The departure fixed at Start, on the UTC timeline (common::NowUtc).
    common::Date m_dtDepTime = 0.0;
    QString m_sPath;

    // A tick is running: its message box must not let another in.
    bool m_ticking = false;
    // A tick switched the timer off until its sound has ended.
    bool m_waitingForSound = false;
};
