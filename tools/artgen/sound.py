"""The four sound effects, synthesised: 16-bit mono PCM at 44,100 Hz.

Every sound is built from sine partials with simple envelopes and a
deterministic noise source, normalised to the same peak and faded in and
out so that nothing clicks."""
import struct

import numpy as np

RATE = 44100
PEAK = 10 ** (-1.0 / 20) * 32767  # about -1 dBFS
FADE_IN = 0.002
FADE_OUT = 0.006

# Samples of each sound, by file name.
LENGTHS = {"confirm.wav": 24696, "cancel.wav": 6615, "throw.wav": 4321, "bull.wav": 33075}


def _t(n):
    return np.arange(n, dtype=np.float64) / RATE


def _noise(n, seed):
    """Uniform noise in -1..1 from a 32-bit xorshift generator."""
    out = np.empty(n, dtype=np.float64)
    s = seed & 0xFFFFFFFF or 1
    for i in range(n):
        s ^= (s << 13) & 0xFFFFFFFF
        s ^= s >> 17
        s ^= (s << 5) & 0xFFFFFFFF
        out[i] = s / 2147483647.5 - 1.0
    return out


def _tone(t, freq, decay, start=0.0):
    """A bell-like partial starting at start seconds, decaying exponentially."""
    u = t - start
    env = np.where(u >= 0, np.exp(-np.maximum(u, 0) * decay), 0.0)
    return np.sin(2 * np.pi * freq * np.maximum(u, 0)) * env


def confirm():
    n = LENGTHS["confirm.wav"]
    t = _t(n)
    s = np.zeros(n)
    # Two rising chime notes (E6 then B6), each with a soft octave partial.
    for start, f in ((0.0, 1318.5), (0.09, 1975.5)):
        s += _tone(t, f, 7.0, start) + 0.35 * _tone(t, 2 * f, 12.0, start)
        s += 0.15 * _tone(t, 3 * f, 20.0, start)
    return s


def cancel():
    n = LENGTHS["cancel.wav"]
    t = _t(n)
    # A short falling square-ish blip.
    f = 520 - 260 * t / t[-1]
    phase = 2 * np.pi * np.cumsum(f) / RATE
    wave = np.sin(phase) + 0.3 * np.sin(3 * phase)
    return wave * np.exp(-t * 14)


def throw():
    n = LENGTHS["throw.wav"]
    t = _t(n)
    # Noise swept by a moving one-pole low-pass: a quick whoosh.
    noise = _noise(n, 0x7B3A)
    out = np.zeros(n)
    y = 0.0
    cut = 0.04 + 0.5 * np.sin(np.pi * t / t[-1]) ** 2
    for i in range(n):
        y += cut[i] * (noise[i] - y)
        out[i] = y
    env = np.sin(np.pi * t / t[-1]) ** 1.5
    return out * env


def bull():
    n = LENGTHS["bull.wav"]
    t = _t(n)
    s = np.zeros(n)
    # A bright rising arpeggio (C6 E6 G6) ending on a held C7.
    notes = ((0.00, 1046.5, 9.0), (0.09, 1318.5, 9.0), (0.18, 1568.0, 9.0), (0.27, 2093.0, 3.2))
    for start, f, decay in notes:
        vib = 1 + 0.004 * np.sin(2 * np.pi * 6 * np.maximum(t - start, 0))
        u = np.maximum(t - start, 0)
        env = np.where(t >= start, np.exp(-u * decay), 0.0)
        phase = 2 * np.pi * f * np.cumsum(vib) / RATE
        s += env * (np.sin(phase) + 0.45 * np.sin(2 * phase) + 0.2 * np.sin(3 * phase))
    # Let the held note die away over the last 0.15 s instead of stopping.
    tail = int(0.15 * RATE)
    s[n - tail:] *= 0.5 + 0.5 * np.cos(np.pi * np.arange(tail) / tail)
    return s


def finish(s):
    """Normalise to the common peak, fade both ends, quantise to 16 bits."""
    s = s / np.max(np.abs(s)) * PEAK
    n = len(s)
    fi = int(FADE_IN * RATE)
    fo = int(FADE_OUT * RATE)
    s[:fi] *= np.arange(fi) / fi
    s[n - fo:] *= np.arange(fo - 1, -1, -1) / fo
    return np.clip(np.round(s), -32768, 32767).astype("<i2")


def wav_bytes(samples):
    data = samples.astype("<i2").tobytes()
    return (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE" + b"fmt " +
            struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE * 2, 2, 16) + b"data" +
            struct.pack("<I", len(data)) + data)


def build():
    return {"confirm.wav": wav_bytes(finish(confirm())), "cancel.wav": wav_bytes(finish(cancel())),
            "throw.wav": wav_bytes(finish(throw())), "bull.wav": wav_bytes(finish(bull()))}
