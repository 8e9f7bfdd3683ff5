// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "boarding/BoardingForm.h"
#include "boarding/MediaPlayer.h"
#include "boarding/clsCommon.h"
#include "common/DateTime.h"
#include "common/MessageBox.h"
#include "common/Timer.h"

#include <QObject>
#include <functional>
#include <memory>

namespace common {
class Clock;
}

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

    // The gate-schedule object; created once by the window, dropped at unload.
    void CreateCommon();
    void ReleaseCommon();

    void mnuFileStart_Click();
    void tmrTimer_Timer();
    void m_cCommon_GateStateChanged();
    void mpAnnounce_StateChange(PlayState OldState, PlayState NewState);

    common::Timer& tmrTimer() { return m_timer; }

    // The folder the sound files are looked for in.
    void setSoundFolder(const QString& folder) { m_sPath = folder; }

    qint32 m_lGateState = 0;
    // The departure fixed at Start, on the UTC timeline (common::NowUtc).
    common::Date m_dtDepTime = 0.0;

private:
    // Refuses a start that cannot run; true when both fields are usable.
    bool ValidateStart();
    void StartRun();
    void StopRun();
    common::Date ResolveDeparture(const QDateTime& now, common::Date typed) const;
    // When the run's moments fall, for the status panel's tooltip.
    QString ScheduleText() const;
    void TickBody();
    // Joins m_sPath and the file name and starts the player; throws what the
    // player throws.
    void PlayAnnouncement(const QString& fileName);
    // Starts an announcement, with `wait` the timer off until it has ended.
    // One that cannot start is told; the tick goes on as if it had ended.
    void Announce(const QString& fileName, bool wait);
    // The run waits while the box is open and goes on where it was after.
    void ShowError(const QString& text, QMessageBox::Icon icon);

    BoardingForm& m_form;
    common::Clock& m_clock;
    common::MessageBoxes& m_messages;
    MediaPlayer& m_player;
    common::Timer m_timer;
    std::function<float()> m_random;
    std::unique_ptr<clsCommon> m_cCommon;

    // A tick is running: every box of a run is shown from inside one, and
    // no other tick may start under it.
    bool m_ticking = false;
    // A tick switched the timer off until its sound has ended.
    bool m_waitingForSound = false;

    QString m_sPath;

    friend struct ProgramProbe;  // tests look inside through one peer
};
