// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Fakes.h"

void FakePlayer::play()
{
    ++playCalls;
    played.append(m_path);
    m_state = PlayState::Playing;
}

void FakePlayer::report(PlayState newState)
{
    const PlayState old = m_state;
    m_state = newState;
    emit playStateChanged(old, newState);
}

float ScriptedRandom::operator()()
{
    ++draws;
    if (values.empty())
        return fallback;
    const float v = values.front();
    values.pop_front();
    return v;
}
