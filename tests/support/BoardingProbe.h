#pragma once
#include "boarding/Boarding.h"
#include "boarding/clsCommon.h"

// What only tests read of a boarding: the one peer the boarding classes let in.
struct BoardingProbe {
    static clsCommon* Common(const Boarding& b) { return b.m_cCommon.get(); }
    // True while the timer is off because the tick waits for a sound to end.
    static bool PausedForAnnouncement(const Boarding& b)
    {
        return b.m_phase == Boarding::Phase::WaitingForSound;
    }
    static const QString& LastState(const clsCommon& c) { return c.m_sLastState; }
};
