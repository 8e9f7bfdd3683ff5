// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/FakeSoundOutput.h"

#include "platform/SoundOutput.h"

#include <chrono>
#include <thread>

class FakeSoundOutput final : public plat::SoundOutput {
public:
    explicit FakeSoundOutput(std::shared_ptr<FakeSoundOutputs> outputs) : m_outputs(std::move(outputs)) { }
    ~FakeSoundOutput() override
    {
        if (m_open)
            ++m_outputs->closed;
    }

    bool open(const plat::Pcm16&) override
    {
        m_open = m_outputs->refuse.isEmpty();
        m_outputs->opened += m_open;
        return m_open;
    }

    bool write(const char*, qsizetype, const std::atomic<bool>&) override
    {
        if (m_outputs->hold == FakeSoundOutputs::Hold::Frozen) {
            m_outputs->holding = true;
            std::unique_lock<std::mutex> held(m_outputs->m_lock);
            m_outputs->m_released.wait(held, [this] { return m_outputs->m_free; });
            m_outputs->holding = false;
        }
        return true;
    }

    bool drain(const std::atomic<bool>& stop) override
    {
        if (m_outputs->hold == FakeSoundOutputs::Hold::Drain) {
            m_outputs->holding = true;
            while (!stop)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            m_outputs->holding = false;
        }
        return true;
    }

    QString errorText() const override { return m_outputs->refuse; }

private:
    std::shared_ptr<FakeSoundOutputs> m_outputs;
    bool m_open = false;
};

SoundPlayer::OutputFactory FakeSoundOutputs::factory()
{
    return [outputs = shared_from_this()] { return std::make_unique<FakeSoundOutput>(outputs); };
}

void FakeSoundOutputs::release()
{
    {
        std::lock_guard<std::mutex> held(m_lock);
        m_free = true;
    }
    m_released.notify_all();
}
