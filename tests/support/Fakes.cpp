// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Fakes.h"

#include <QFileInfo>

void FakePlayer::setFileName(const QString& path)
{
    setFiles.append(path);
    if (failFor) {
        if (auto err = failFor(QFileInfo(path).fileName()))
            throw *err;
    }
    if (failSet) {
        auto e = *failSet;
        throw e;
    }
    m_path = path;
}

void FakePlayer::play()
{
    ++playCalls;
    if (failPlay) {
        auto e = *failPlay;
        throw e;
    }
    played.append(m_path);
    m_state = PlayState::Playing;
}

void FakePlayer::stop()
{
    m_state = PlayState::Stopped;
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
