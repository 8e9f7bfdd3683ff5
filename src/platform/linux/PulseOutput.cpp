// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Sound through PulseAudio's simple API (PipeWire serves it too).
#include "platform/SoundOutput.h"

#include <QCoreApplication>

#include <pulse/error.h>
#include <pulse/simple.h>

namespace plat {

namespace {

// The server holds about this much ahead of the speaker.
constexpr pa_usec_t kBufferUs = 200000;
// The silence after a sound goes out in pieces this long.
constexpr pa_usec_t kTailPieceUs = 20000;
// Past this much silence the sound has been played, whatever the server says.
constexpr pa_usec_t kMaxTailUs = 2000000;

class PulseOutput final : public SoundOutput {
public:
    ~PulseOutput() override
    {
        if (m_out) {
            pa_simple_flush(m_out, nullptr);
            pa_simple_free(m_out);
        }
    }

    bool open(const Pcm16& sound) override
    {
        // A connection of its own for every sound: a server that went away
        // and came back is simply found again.
        m_format = {PA_SAMPLE_S16LE, uint32_t(sound.rate), uint8_t(sound.channels)};
        pa_buffer_attr attr;
        attr.maxlength = attr.prebuf = attr.minreq = attr.fragsize = uint32_t(-1);
        attr.tlength = uint32_t(pa_usec_to_bytes(kBufferUs, &m_format));
        m_out =
            pa_simple_new(nullptr, QCoreApplication::applicationName().toUtf8().constData(),
                          PA_STREAM_PLAYBACK, nullptr, "Announcement", &m_format, nullptr, &attr, &m_error);
        return m_out != nullptr;
    }

    bool write(const char* samples, qsizetype bytes, const std::atomic<bool>&) override
    {
        // Blocks until the server has room; it makes room at the speaker's pace.
        return pa_simple_write(m_out, samples, size_t(bytes), &m_error) == 0;
    }

    // pa_simple_drain cannot be cut short, and a sound shorter than the
    // server's prebuffer would not start without it. Silence follows the
    // sound instead, at the speaker's pace, until as much of it has gone out
    // as the server holds before the speaker: the last sample has then been
    // played.
    bool drain(const std::atomic<bool>& stop) override
    {
        const QByteArray silence(qsizetype(pa_usec_to_bytes(kTailPieceUs, &m_format)), '\0');
        const pa_usec_t piece = pa_bytes_to_usec(uint64_t(silence.size()), &m_format);
        for (pa_usec_t after = 0; !stop && after < kMaxTailUs;) {
            if (pa_simple_write(m_out, silence.constData(), size_t(silence.size()), &m_error) != 0)
                return false;
            after += piece;
            const pa_usec_t latency = pa_simple_get_latency(m_out, &m_error);
            if (latency == pa_usec_t(-1))
                return false;
            if (after >= latency)
                return true;
        }
        return true;
    }

    QString errorText() const override
    {
        return QStringLiteral("PulseAudio: ") + QString::fromUtf8(pa_strerror(m_error));
    }

private:
    pa_sample_spec m_format{};
    pa_simple* m_out = nullptr;
    int m_error = 0;
};

}  // namespace

std::unique_ptr<SoundOutput> NewSoundOutput()
{
    return std::make_unique<PulseOutput>();
}

}  // namespace plat
