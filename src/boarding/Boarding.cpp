#include "boarding/Boarding.h"

#include "platform/Clock.h"
#include "platform/Conversions.h"
#include "platform/MediaPlayer.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"

using plat::CInt;
using plat::CStr;
using plat::RuntimeError;
using Option = BoardingForm::Option;

namespace {

// 16-bit passenger arithmetic: a result outside the range is an overflow.
qint16 Sub16(qint16 a, qint16 b)
{
    const qint32 r = static_cast<qint32>(a) - static_cast<qint32>(b);
    if (r < -32768 || r > 32767)
        throw RuntimeError::overflow();
    return static_cast<qint16>(r);
}

}  // namespace

Boarding::Boarding(BoardingForm& form, plat::Clock& clock, plat::MessageBoxes& messages,
                   plat::MediaPlayer& player, QObject* parent)
    : QObject(parent), m_form(form), m_clock(clock), m_messages(messages), m_player(player),
      m_timer(clock, this)
{
    connect(&m_timer, &plat::Timer::Tick, this, &Boarding::tmrTimer_Timer);
    connect(&m_player, &plat::MediaPlayer::PlayStateChange, this, &Boarding::mpAnnounce_StateChange);
}

Boarding::~Boarding() = default;

void Boarding::CreateCommon()
{
    m_cCommon = std::make_unique<clsCommon>(m_clock);
    connect(m_cCommon.get(), &clsCommon::GateStateChanged, this, &Boarding::m_cCommon_GateStateChanged);
}

void Boarding::ReleaseCommon()
{
    m_timer.setEnabled(false);
    m_cCommon.reset();
}

// ---------------------------------------------------------------- start/stop

void Boarding::mnuFileStart_Click()
{
    if (!m_form.StartChecked()) {
        if (!ValidateStart())
            return;
        StartRun();
    } else {
        StopRun();
    }
}

bool Boarding::ValidateStart()
{
    const bool countdown = m_form.OptionChecked(Option::Countdown);
    if (!plat::IsTimeOfDay(m_form.TimeText())) {
        ShowError(countdown
                      ? tr("Type the time to departure as hh:mm, from 00:00 to 23:59.")
                      : tr("Type the departure time as hh:mm, from 00:00 to 23:59."),
                  plat::vbExclamation);
        m_form.FocusField(BoardingForm::Field::Time);
        return false;
    }
    bool ok = true;
    try {
        const qint16 total = CInt(m_form.TotalText(), m_locale);
        ok = total >= 0;
    } catch (const RuntimeError&) {
        ok = false;
    }
    if (!ok) {
        ShowError(tr("Type the number of booked passengers, a number from 0 to 32767."),
                  plat::vbExclamation);
        m_form.FocusField(BoardingForm::Field::Total);
        return false;
    }
    return true;
}

plat::Date Boarding::ResolveDeparture(plat::Date now, plat::Date typed) const
{
    if (m_form.OptionChecked(Option::Countdown))
        return now + typed;  // the typed time is a time to departure
    // A clock time: its next occurrence. The present minute still counts as
    // today, so a departure typed for "now" is not pushed a day away.
    const plat::Date presentMinute = plat::TimeValue(plat::FormatHHNN(now));
    const plat::Date today = static_cast<double>(static_cast<qint64>(now));
    if (plat::DateDiffSeconds(presentMinute, typed) < 0)
        return plat::DateAddDays(today + typed, 1);
    return today + typed;
}

void Boarding::StartRun()
{
    m_form.setStartChecked(true);
    m_form.setTotalEnabled(false);
    m_form.setTimeEnabled(false);
    m_form.setCountdownEnabled(false);
    m_lGateState = 0;
    const plat::Date now = plat::Now(m_clock);
    m_dtDepTime = ResolveDeparture(now, plat::TimeValue(m_form.TimeText()));
    m_form.setPaxCaption(0, m_form.TotalText());
    m_form.setPaxCaption(1, CStr(0));
    m_form.setProgressMax(plat::CSng(m_form.TotalText(), m_locale));
    m_form.setProgressValue(0);
    m_form.setProgressVisible(true);
    m_pausedForAnnouncement = false;
    m_reportedFailures.clear();
    m_timer.setInterval(kBoardingInterval);
    m_timer.setEnabled(true);
}

void Boarding::StopRun()
{
    m_form.setStartChecked(false);
    m_timer.setEnabled(false);
    // A sound still playing must not wake the stopped run when it ends.
    m_pausedForAnnouncement = false;
    m_form.setTotalEnabled(true);
    m_form.setTimeEnabled(true);
    m_form.setCountdownEnabled(true);
    m_form.setPaxCaption(0, QString());
    m_form.setPaxCaption(1, QString());
    m_form.setProgressVisible(false);
    m_lGateState = 0;
    if (m_cCommon)
        m_cCommon->Clear();
}

// ---------------------------------------------------------------- the tick

plat::Date Boarding::DepartureReference() const
{
    // Start resolved the departure once in both time modes; measuring against
    // it keeps a late boarding's final call and departure on the same day.
    return m_dtDepTime;
}

void Boarding::tmrTimer_Timer()
{
    // One tick at a time: a tick's message box must not let another in.
    if (m_inTick || m_boxesOpen > 0)
        return;
    if (!m_form.StartChecked() || !m_cCommon) {
        // Nothing is running; whatever woke the timer was late.
        m_timer.setEnabled(false);
        return;
    }
    m_inTick = true;
    try {
        TickBody();
    } catch (const RuntimeError& e) {
        if (e.number() != plat::E_FAIL)
            ShowError(e.description(), plat::vbCritical);
    }
    m_inTick = false;
}

void Boarding::TickBody()
{
    const plat::Date reference = DepartureReference();

    switch (m_lGateState) {
    case 0: {
        const qint16 total = CInt(m_form.TotalText(), m_locale);
        const qint16 arrivals = m_cCommon->CountDown(total, reference);
        const qint16 test = Sub16(CInt(m_form.PaxCaption(0), m_locale), arrivals);
        if (test > 0) {
            m_form.setPaxCaption(0, CStr(Sub16(CInt(m_form.PaxCaption(0), m_locale), arrivals)));
            const qint16 remaining = CInt(m_form.PaxCaption(0), m_locale);
            m_form.setPaxCaption(1, CStr(Sub16(CInt(m_form.TotalText(), m_locale), remaining)));
            m_form.setStatusInfo(m_cCommon->GateState(reference, m_lGateState));
        } else {
            m_form.setPaxCaption(0, CStr(0));
            m_form.setPaxCaption(1, m_form.TotalText());
            m_form.setProgressVisible(false);
            if (m_form.OptionChecked(Option::Boarding) && Announce(kBoardComplete))
                PauseForAnnouncement();
            m_timer.setInterval(kWaitInterval);
            m_lGateState = 1;
        }
        m_form.setProgressValue(CInt(m_form.PaxCaption(1), m_locale));
        break;
    }
    case 1:
        if (m_form.OptionChecked(Option::Depart)) {
            if (plat::DateDiffSeconds(plat::Now(m_clock), reference) > 0) {
                m_form.setStatusInfo(m_cCommon->GateState(reference, m_lGateState));
            } else {
                if (m_form.OptionChecked(Option::Gate) && Announce(kGndbrief))
                    PauseForAnnouncement();
                m_timer.setInterval(kDepartedInterval);
                m_lGateState = 2;
                m_form.setStatusInfo(m_cCommon->GateState(reference, m_lGateState));
            }
        } else {
            // Departing as soon as everybody is aboard: now is the departure.
            const plat::Date now = plat::Now(m_clock);
            m_form.setStatusInfo(m_cCommon->GateState(now, m_lGateState));
            if (m_form.OptionChecked(Option::Gate) && Announce(kGndbrief))
                PauseForAnnouncement();
            m_timer.setInterval(kDepartedInterval);
            m_lGateState = 2;
        }
        break;
    case 2:
        m_form.setStatusInfo(m_cCommon->GateState(reference, m_lGateState));
        m_timer.setEnabled(false);
        m_timer.setInterval(0);
        if (m_form.OptionChecked(Option::Briefing))
            Announce(kPretaxbr);
        mnuFileStart_Click();
        break;
    default:
        m_timer.setEnabled(false);
        break;
    }
}

// ---------------------------------------------------------------- sounds

void Boarding::PlayAnnouncement(const QString& fileName)
{
    m_player.setFileName(plat::BuildPath(m_sPath, fileName));
    m_player.play();
}

bool Boarding::Announce(const QString& fileName)
{
    try {
        PlayAnnouncement(fileName);
        return true;
    } catch (const RuntimeError& e) {
        // Reported once per run and kind; the phase goes on without the sound.
        const QString key = fileName + u'\n' + QString::number(e.number()) + u'\n' + e.description();
        if (e.number() != plat::E_FAIL && !m_reportedFailures.contains(key)) {
            m_reportedFailures.insert(key);
            ShowError(e.description(), plat::vbCritical);
        }
        return false;
    }
}

void Boarding::PauseForAnnouncement()
{
    m_pausedForAnnouncement = true;
    m_timer.setEnabled(false);
}

void Boarding::m_cCommon_GateStateChanged()
{
    try {
        PlayAnnouncement(kDing);
    } catch (const RuntimeError& e) {
        if (e.number() != plat::E_FAIL)
            ShowError(e.description(), plat::vbCritical);
    }
}

void Boarding::mpAnnounce_StateChange(int /*OldState*/, int NewState)
{
    if (NewState == plat::mpPlaying)
        return;
    // Only a timer that a tick paused for its sound resumes; a chime ending,
    // or a sound outliving a stopped run, wakes nothing.
    if (!m_pausedForAnnouncement)
        return;
    if (m_boxesOpen > 0) {
        m_resumeAfterBox = true;
        return;
    }
    m_pausedForAnnouncement = false;
    m_timer.setEnabled(true);
}

void Boarding::ShowError(const QString& text, int style)
{
    // The run waits while the box is open and goes on where it was after.
    const bool wasEnabled = m_timer.Enabled();
    if (m_boxesOpen == 0)
        m_resumeAfterBox = false;
    ++m_boxesOpen;
    m_timer.setEnabled(false);
    m_messages.MsgBox(m_form.MessageParent(), text, style, plat::AppTitle());
    --m_boxesOpen;
    if (m_boxesOpen == 0) {
        bool enable = wasEnabled;
        if (m_resumeAfterBox && m_pausedForAnnouncement) {
            m_pausedForAnnouncement = false;
            enable = true;
        }
        m_resumeAfterBox = false;
        m_timer.setEnabled(enable);
    }
}
