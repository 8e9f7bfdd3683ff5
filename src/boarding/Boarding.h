#pragma once
#include "boarding/BoardingForm.h"
#include "boarding/clsCommon.h"
#include "platform/DateTime.h"
#include "platform/Timer.h"

#include <QLocale>
#include <QObject>
#include <QSet>
#include <memory>

namespace plat {
class Clock;
class MediaPlayer;
class MessageBoxes;
class RuntimeError;
}

// One boarding run: File > Start and its stop, the clock tick that carries a
// run from the open gate to the closed one, and the announcements.
class Boarding : public QObject {
    Q_OBJECT
public:
    Boarding(BoardingForm& form, plat::Clock& clock, plat::MessageBoxes& messages,
             plat::MediaPlayer& player, QObject* parent = nullptr);
    ~Boarding() override;

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
    clsCommon* Common() const { return m_cCommon.get(); }

    void mnuFileStart_Click();
    void tmrTimer_Timer();
    void m_cCommon_GateStateChanged();
    void mpAnnounce_StateChange(int OldState, int NewState);

    // Joins m_sPath and the file name and starts the player; throws what the
    // player throws.
    void PlayAnnouncement(const QString& fileName);

    plat::Timer& tmrTimer() { return m_timer; }
    plat::MediaPlayer& mpAnnounce() { return m_player; }

    qint32 m_lGateState = 0;
    plat::Date m_dtDepTime = 0.0;
    QString m_sPath;
    // Numbers are read in this locale (the user's by default).
    QLocale m_locale;

    // True while the timer is off because the tick waits for a sound to end.
    bool PausedForAnnouncement() const { return m_pausedForAnnouncement; }

private:
    // Refuses a start that cannot run; true when both fields are usable.
    bool ValidateStart();
    void StartRun();
    void StopRun();
    plat::Date ResolveDeparture(plat::Date now, plat::Date typed) const;
    plat::Date DepartureReference() const;
    void TickBody();
    // Starts an announcement; false when it could not be started (already
    // reported). The tick then goes on as if it had played and ended.
    bool Announce(const QString& fileName);
    void PauseForAnnouncement();
    void ShowError(const QString& text, int style);

    BoardingForm& m_form;
    plat::Clock& m_clock;
    plat::MessageBoxes& m_messages;
    plat::MediaPlayer& m_player;
    plat::Timer m_timer;
    std::unique_ptr<clsCommon> m_cCommon;

    bool m_inTick = false;
    bool m_pausedForAnnouncement = false;
    int m_boxesOpen = 0;
    bool m_resumeAfterBox = false;
    QSet<QString> m_reportedFailures;
};
