// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boarding/Boarding.h"

#include "common/Clock.h"
#include "common/Conversions.h"

#include <QDir>

#include <cmath>

using common::PaxCount;
using common::RuntimeError;
using Option = BoardingForm::Option;

namespace {

// 16-bit passenger arithmetic: a result outside the range is an overflow.
qint16 SubtractPax(qint16 a, qint16 b)
{
    const qint32 r = static_cast<qint32>(a) - static_cast<qint32>(b);
    if (r < -32768 || r > 32767)
        throw RuntimeError(common::Fault::Overflow);
    return static_cast<qint16>(r);
}

}  // namespace

Boarding::Boarding(BoardingForm& form, common::Clock& clock, common::MessageBoxes& messages,
                   MediaPlayer& player, std::function<float()> random, QObject* parent)
    : QObject(parent), m_form(form), m_clock(clock), m_messages(messages), m_player(player),
      m_timer(clock, this), m_random(std::move(random))
{
    connect(&m_timer, &common::Timer::Tick, this, &Boarding::tmrTimer_Timer);
    connect(&m_player, &MediaPlayer::playStateChanged, this, &Boarding::mpAnnounce_StateChange);
}

void Boarding::CreateCommon()
{
    m_cCommon = std::make_unique<clsCommon>(m_clock, m_random);
    connect(m_cCommon.get(), &clsCommon::GateStateChanged, this, &Boarding::m_cCommon_GateStateChanged);
}

void Boarding::ReleaseCommon()
{
    m_timer.setEnabled(false);
    m_cCommon.reset();
}

void Boarding::mnuFileStart_Click()
{
    if (m_form.StartChecked())
        return StopRun();
    const bool countdown = m_form.OptionChecked(Option::Countdown);
    if (!common::IsTimeOfDay(m_form.TimeText())) {
        ShowError(countdown ? QStringLiteral("Type the time to departure as hh:mm, from 00:00 to 23:59.")
                            : QStringLiteral("Type the departure time as hh:mm, from 00:00 to 23:59."),
                  QMessageBox::Warning);
        m_form.FocusField(BoardingForm::Field::Time);
        return;
    }
    // Whole passengers only: 2.5 would board and stay half a passenger.
    const std::optional<double> total = common::ParseNumber(m_form.TotalText());
    if (!total || *total < 0 || *total > 32767 || std::trunc(*total) != *total) {
        ShowError(QStringLiteral("Type the number of booked passengers, a whole number from 0 to 32767."),
                  QMessageBox::Warning);
        m_form.FocusField(BoardingForm::Field::Total);
        return;
    }
    StartRun();
}

void Boarding::StartRun()
{
    m_form.setStartChecked(true);
    m_form.setEntriesEnabled(false);
    m_lGateState = 0;
    const QDateTime now = m_clock.now();
    const common::Date typed = common::ReadTimeOfDay(m_form.TimeText());
    // Real minutes on the UTC timeline: a daylight-saving change in between
    // moves neither the departure nor the minutes counted to it.
    m_dtDepTime = m_form.OptionChecked(Option::Countdown) ? common::UtcValue(now) + typed
                                                          : common::NextWallClockTime(now, typed);
    m_form.setPaxCaption(0, m_form.TotalText());
    m_form.setPaxCaption(1, QStringLiteral("0"));
    m_form.setProgressMax(PaxCount(m_form.TotalText()));
    m_form.setProgressValue(0);
    m_form.setProgressVisible(true);
    m_form.setStatusToolTip(ScheduleText());
    m_waitingForSound = false;
    m_timer.setInterval(kBoardingInterval);
    m_timer.setEnabled(true);
}

void Boarding::StopRun()
{
    m_form.setStartChecked(false);
    m_timer.setEnabled(false);
    // A sound still playing must not wake the stopped run when it ends.
    m_waitingForSound = false;
    m_form.setEntriesEnabled(true);
    m_form.setPaxCaption(0, QString());
    m_form.setPaxCaption(1, QString());
    m_form.setProgressVisible(false);
    m_form.setStatusToolTip(QString());
    m_lGateState = 0;
    if (m_cCommon)
        m_cCommon->Clear();
}

QString Boarding::ScheduleText() const
{
    const QDateTime now = m_clock.now();
    const common::Date minute = common::FromMillis(common::ToMillis(m_dtDepTime) / 60000 * 60000);
    auto at = [&](int minutesBefore) {
        const QDateTime wall = common::WallClockAt(minute - minutesBefore / 1440.0, now);
        const QString hhmm = wall.time().toString(QStringLiteral("HH:mm"));
        const qint64 days = now.date().daysTo(wall.date());
        if (days == 0)
            return hhmm;
        if (days == 1)
            return QStringLiteral("%1 tomorrow").arg(hhmm);
        return QStringLiteral("%1 on %2").arg(hhmm, QLocale().toString(wall.date(), QLocale::ShortFormat));
    };
    return QStringLiteral("Departure %1\nGate opens %2\nFinal call %3").arg(at(0), at(20), at(5));
}

void Boarding::tmrTimer_Timer()
{
    if (m_ticking)
        return;
    if (!m_form.StartChecked() || !m_cCommon) {
        // Nothing is running; whatever woke the timer was late.
        m_timer.setEnabled(false);
        return;
    }
    m_ticking = true;
    // "Tomorrow" becomes today at midnight.
    m_form.setStatusToolTip(ScheduleText());
    Trapped([this] { TickBody(); });
    m_ticking = false;
}

// The tick reads the total afresh in the locale of the moment: one changed
// during a run may no longer read it, which is told and tried again.
template <typename Step>
void Boarding::Trapped(Step step)
{
    try {
        step();
    } catch (const RuntimeError& e) {
        ShowError(QString::fromLatin1(e.what()), QMessageBox::Critical);
    }
}

void Boarding::TickBody()
{
    // Start resolved the departure once in both time modes; measuring against
    // it keeps a late boarding's final call and departure on the same day.
    const common::Date reference = m_dtDepTime;

    switch (m_lGateState) {
    case 0: {
        const qint16 arrivals = m_cCommon->CountDown(PaxCount(m_form.TotalText()), reference);
        const qint16 stillAtGate = SubtractPax(PaxCount(m_form.PaxCaption(0)), arrivals);
        if (stillAtGate > 0) {
            m_form.setPaxCaption(0, QString::number(stillAtGate));
            m_form.setPaxCaption(1, QString::number(SubtractPax(PaxCount(m_form.TotalText()), stillAtGate)));
            m_form.setStatusInfo(m_cCommon->GateState(reference, m_lGateState));
        } else {
            m_form.setPaxCaption(0, QStringLiteral("0"));
            m_form.setPaxCaption(1, m_form.TotalText());
            m_form.setProgressVisible(false);
            if (m_form.OptionChecked(Option::Boarding))
                Announce(kBoardComplete, true);
            m_timer.setInterval(kWaitInterval);
            m_lGateState = 1;
        }
        m_form.setProgressValue(PaxCount(m_form.PaxCaption(1)));
        break;
    }
    case 1: {
        const auto depart = [this] {
            if (m_form.OptionChecked(Option::Gate))
                Announce(kGndbrief, true);
            m_timer.setInterval(kDepartedInterval);
            m_lGateState = 2;
        };
        if (m_form.OptionChecked(Option::Depart)) {
            if (common::SecondsBetween(common::NowUtc(m_clock), reference) <= 0)
                depart();
            m_form.setStatusInfo(m_cCommon->GateState(reference, m_lGateState));
        } else {
            // Departing as soon as everybody is aboard: now is the departure.
            m_form.setStatusInfo(m_cCommon->GateState(common::NowUtc(m_clock), m_lGateState));
            depart();
        }
        break;
    }
    case 2:
        m_form.setStatusInfo(m_cCommon->GateState(reference, m_lGateState));
        m_timer.setEnabled(false);
        m_timer.setInterval(0);
        if (m_form.OptionChecked(Option::Briefing))
            Announce(kPretaxbr, false);
        mnuFileStart_Click();
        break;
    }
}

void Boarding::Announce(const QString& fileName, bool wait)
{
    m_player.setFileName(QDir(m_sPath).filePath(fileName));
    m_player.play();
    m_waitingForSound |= wait;
    m_timer.setEnabled(m_timer.Enabled() && !wait);
}

void Boarding::m_cCommon_GateStateChanged()
{
    // Rung inside the tick's GateState: a failing chime must not cut the tick short.
    Trapped([this] { Announce(kDing, false); });
}

void Boarding::mpAnnounce_StateChange(PlayState /*OldState*/, PlayState NewState)
{
    // Only a timer that a tick paused for its sound resumes.
    if (NewState == PlayState::Playing || !m_waitingForSound)
        return;
    m_waitingForSound = false;
    // Under a tick's box the run resumes when the box closes.
    if (!m_ticking)
        m_timer.setEnabled(true);
}

void Boarding::ShowError(const QString& text, QMessageBox::Icon icon)
{
    // No tick while the box is open; after it the run goes on, or wakes if
    // its sound ended meanwhile.
    const bool wasEnabled = m_timer.Enabled();
    const bool wasWaiting = m_waitingForSound;
    m_timer.setEnabled(false);
    m_messages.Show(m_form.MessageParent(), text, icon, common::ProgramTitle());
    m_timer.setEnabled(wasEnabled || (wasWaiting && !m_waitingForSound && m_form.StartChecked()));
}
