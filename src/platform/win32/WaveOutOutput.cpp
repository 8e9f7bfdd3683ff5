// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Sound through the Windows waveOut API (winmm).
#include "platform/SoundOutput.h"

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <chrono>
#include <thread>

namespace plat {

namespace {

// Pieces queued ahead of the speaker; with the player's 20 ms pieces about
// 200 ms, as much as the server holds on Linux.
constexpr int kBuffers = 10;
// How often a wait looks at the queued pieces and at the stop.
constexpr std::chrono::milliseconds kPoll{5};

// The driver sets the flag from a thread of its own.
bool Done(const WAVEHDR& header)
{
    return (*static_cast<const volatile DWORD*>(&header.dwFlags) & WHDR_DONE) != 0;
}

class WaveOutOutput final : public SoundOutput {
public:
    ~WaveOutOutput() override
    {
        if (!m_out)
            return;
        // Every queued piece comes back done, and only then may it be unprepared.
        waveOutReset(m_out);
        for (Buffer& b : m_buffers)
            if (b.prepared)
                waveOutUnprepareHeader(m_out, &b.header, sizeof(WAVEHDR));
        waveOutClose(m_out);
    }

    bool open(const Pcm16& sound) override
    {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = WORD(sound.channels);
        format.nSamplesPerSec = DWORD(sound.rate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = WORD(sound.channels * 2);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        HWAVEOUT out = nullptr;
        if (!check(waveOutOpen(&out, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL)))
            return false;
        m_out = out;
        return true;
    }

    bool write(const char* samples, qsizetype bytes, const std::atomic<bool>& stop) override
    {
        Buffer* buffer = nullptr;
        while (!(buffer = freeBuffer())) {
            if (stop)
                return true;
            std::this_thread::sleep_for(kPoll);
        }
        if (buffer->prepared) {
            if (!check(waveOutUnprepareHeader(m_out, &buffer->header, sizeof(WAVEHDR))))
                return false;
            buffer->prepared = false;
        }
        buffer->data = QByteArray(samples, bytes);
        buffer->header = WAVEHDR{};
        buffer->header.lpData = buffer->data.data();
        buffer->header.dwBufferLength = DWORD(bytes);
        if (!check(waveOutPrepareHeader(m_out, &buffer->header, sizeof(WAVEHDR))))
            return false;
        buffer->prepared = true;
        return check(waveOutWrite(m_out, &buffer->header, sizeof(WAVEHDR)));
    }

    bool drain(const std::atomic<bool>& stop) override
    {
        while (!stop && !allDone())
            std::this_thread::sleep_for(kPoll);
        return true;
    }

    QString errorText() const override { return m_error; }

private:
    struct Buffer {
        WAVEHDR header{};
        QByteArray data;
        bool prepared = false;
    };

    Buffer* freeBuffer()
    {
        for (Buffer& b : m_buffers)
            if (!b.prepared || Done(b.header))
                return &b;
        return nullptr;
    }

    bool allDone() const
    {
        for (const Buffer& b : m_buffers)
            if (b.prepared && !Done(b.header))
                return false;
        return true;
    }

    bool check(MMRESULT result)
    {
        if (result == MMSYSERR_NOERROR)
            return true;
        wchar_t text[MAXERRORLENGTH] = {};
        if (waveOutGetErrorTextW(result, text, MAXERRORLENGTH) == MMSYSERR_NOERROR)
            m_error = QStringLiteral("waveOut: ") + QString::fromWCharArray(text);
        else
            m_error = QStringLiteral("waveOut: error %1").arg(result);
        return false;
    }

    HWAVEOUT m_out = nullptr;
    std::array<Buffer, kBuffers> m_buffers;
    QString m_error;
};

}  // namespace

std::unique_ptr<SoundOutput> NewSoundOutput()
{
    return std::make_unique<WaveOutOutput>();
}

}  // namespace plat
