// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "app/frmMain.h"
#include "boarding/Boarding.h"
#include "boarding/SoundPlayer.h"
#include "boarding/clsCommon.h"

// What only tests read or set inside the program: the one peer its classes let in.
struct ProgramProbe {
    static Boarding& Run(frmMain& w) { return *w.m_boarding; }
    static int Interval(const common::Timer& t) { return t.m_interval; }
    static clsCommon* Common(const Boarding& b) { return b.m_cCommon.get(); }
    // The folder the sound files are looked for in.
    static const QString& Path(const Boarding& b) { return b.m_sPath; }
    static const QString& LastState(const clsCommon& c) { return c.m_sLastState; }
    static PlayState State(const SoundPlayer& p) { return p.m_state; }
    static const QString& FileName(const SoundPlayer& p) { return p.m_path; }
};
