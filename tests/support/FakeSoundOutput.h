// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "boarding/SoundPlayer.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

// Outputs that make no sound, for the player's own logic. The test and every
// output made share this, so it outlives a thread the player has let go.
class FakeSoundOutputs : public std::enable_shared_from_this<FakeSoundOutputs> {
public:
    enum class Hold {
        None,  // takes the samples and ends at once
        Frozen,  // the first write never returns until release(): a server that stopped answering
        Drain,  // the end of the sound never comes until a stop
    };

    SoundPlayer::OutputFactory factory();
    void release();

    Hold hold = Hold::None;
    QString refuse;  // when set, open fails with this text
    std::atomic<int> opened{0};
    std::atomic<int> closed{0};
    std::atomic<bool> holding{false};  // a thread is held right now

private:
    friend class FakeSoundOutput;
    std::mutex m_lock;
    std::condition_variable m_released;
    bool m_free = false;
};
