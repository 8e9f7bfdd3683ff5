// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "boarding/BoardingForm.h"
#include "boarding/clsCommon.h"
#include "platform/DateTime.h"
#include "platform/Timer.h"

#include <QObject>
#include <QSet>
#include <functional>
#include <memory>

namespace plat {
class Clock;
class MediaPlayer;
class MessageBoxes;
}  // namespace plat

// One boarding run: File > Start and its stop, the clock tick that carries a
// run from the open gate to the closed one, and the announcements.
class Boarding : public QObject {
    Q_OBJECT
public:
    Boarding(BoardingForm& form, plat::Clock& clock, plat::MessageBoxes& messages, plat::MediaPlayer& player,
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
    void mpAnnounce_StateChange(int OldState, int NewState);

    plat::Timer& tmrTimer() { return m_timer; }

    // The folder the sound files are looked for in.
    void setPath(const QString& folder) { m_sPath = folder; }

    qint32 m_lGateState = 0;
    // The departure fixed at Start, on the UTC timeline (plat::NowUtc).
    plat::Date m_dtDepTime = 0.0;

private:
    // Refuses a start that cannot run; true when both fields are usable.
    bool ValidateStart();
    void StartRun();
    void StopRun();
    plat::Date ResolveDeparture(const QDateTime& now, plat::Date typed) const;
    // When the run's moments fall, for the status panel's tooltip.
    QString ScheduleText() const;
    void TickBody();
    // Joins m_sPath and the file name and starts the player; throws what the
    // player throws.
    void PlayAnnouncement(const QString& fileName);
    // Starts an announcement; false when it could not be started (already
    // reported). The tick then goes on as if it had played and ended.
    bool Announce(const QString& fileName);
    void PauseForAnnouncement();
    // Forgets a sound the run waits for, also under an open box.
    void LeaveSoundWait();
    void ShowError(const QString& text, int style);

    BoardingForm& m_form;
    plat::Clock& m_clock;
    plat::MessageBoxes& m_messages;
    plat::MediaPlayer& m_player;
    plat::Timer m_timer;
    std::function<float()> m_random;
    std::unique_ptr<clsCommon> m_cCommon;

    // Where the run is between the window's events. A tick that starts a
    // sound it must wait for leaves WaitingForSound; a box open on top of any
    // phase is WaitingForBox, and m_underBox the phase it interrupted (a
    // sound ending meanwhile turns WaitingForSound there into Idle).
    enum class Phase { Idle, Ticking, WaitingForSound, WaitingForBox };
    Phase m_phase = Phase::Idle;
    Phase m_underBox = Phase::Idle;

    QString m_sPath;
    QSet<QString> m_reportedFailures;

    friend struct ProgramProbe;  // tests look inside through one peer
};
