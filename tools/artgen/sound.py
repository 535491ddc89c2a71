"""The four sound effects, synthesised: 16-bit mono PCM at 44,100 Hz.

Tonal sounds are sums of sine partials; every note starts at phase zero
and opens and closes with a short raised-cosine fade, so no note starts or
ends with a step. Noise comes from a small xorshift generator written here.
Each sound is scaled to the same loudness (K-weighted power of its 10 ms
blocks within 20 dB of the loudest one) and must peak below -1 dBFS."""
import math
import struct

import numpy as np

RATE = 44100
LOUDNESS = -14.0  # dB, K-weighted and gated as in loudness() below
PEAK_LIMIT = -1.0  # dBFS; every sound peaks under it
NOTE_FADE = 0.003  # seconds of fade at each end of a note

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


def _fade(k):
    """k samples rising from 0 towards 1 along half a cosine."""
    return 0.5 - 0.5 * np.cos(np.pi * np.arange(k) / k)


def _note(n, start, end, partials, decay=0.0, fade=NOTE_FADE, vibrato=0.0):
    """One note from start to end seconds: partials (frequency, amplitude,
    extra decay per second) from phase zero, an exponential decay, a
    raised-cosine fade in and out, and silence elsewhere."""
    out = np.zeros(n)
    i0, i1 = int(round(start * RATE)), min(n, int(round(end * RATE)))
    u = np.arange(i1 - i0, dtype=np.float64) / RATE
    # Vibrato as a phase offset that is zero at the note's start.
    wobble = vibrato * (1 - np.cos(2 * np.pi * 5.5 * u)) / (2 * np.pi * 5.5)
    for f, a, d in partials:
        out[i0:i1] += a * np.sin(2 * np.pi * f * (u + wobble)) * np.exp(-u * d)
    out[i0:i1] *= np.exp(-u * decay)
    k = int(fade * RATE)
    out[i0:i0 + k] *= _fade(k)
    out[i1 - k:i1] *= _fade(k)[::-1]
    return out


def _bandpass(x, centre, q):
    """A state-variable band-pass whose centre frequency (Hz, per sample)
    may move; unity gain at the centre."""
    out = np.empty_like(x)
    low = band = 0.0
    for i in range(len(x)):
        f = 2 * math.sin(math.pi * centre[i] / RATE)
        high = x[i] - low - band / q
        band += f * high
        low += f * band
        out[i] = band / q
    return out


def _lowpass(x, cutoff, poles):
    """One-pole low-passes at cutoff Hz, poles of them in a row."""
    k = 1 - math.exp(-2 * math.pi * cutoff / RATE)
    for _ in range(poles):
        y, out = 0.0, np.empty_like(x)
        for i in range(len(x)):
            y += k * (x[i] - y)
            out[i] = y
        x = out
    return x


def confirm():
    """A clear two-note chime, E6 then B6, with soft bell partials; the
    first note rings on under the second."""
    n = LENGTHS["confirm.wav"]
    s = np.zeros(n)
    for start, f, ring in ((0.0, 1318.5, 0.30), (0.09, 1975.5, 0.46)):
        s += _note(n, start, start + ring, ((f, 1.0, 0.0), (2 * f, 0.3, 6.0), (3 * f, 0.1, 14.0)),
                   decay=7.0, fade=0.004)
    return s


def cancel():
    """A short, neutral "thock": a click of filtered noise over a wooden
    body of a few damped modes at a fixed pitch (190 Hz and above)."""
    n = LENGTHS["cancel.wav"]
    t = _t(n)
    body = _note(n, 0.0, n / RATE, ((190.0, 1.0, 0.0), (423.0, 0.45, 40.0), (1040.0, 0.16, 90.0)),
                 decay=46.0, fade=0.0015)
    click = _bandpass(_noise(n, 0x51C3), np.full(n, 2600.0), 0.9) * np.exp(-t * 450.0)
    click[:20] *= _fade(20)
    s = body + 0.9 * click
    k = int(0.004 * RATE)
    s[n - k:] *= _fade(k)[::-1]
    return s


def throw():
    """Air: noise through a band-pass swept about 400 to 2500 to 800 Hz,
    with the top cut, swelling as the dart passes."""
    n = LENGTHS["throw.wav"]
    t = _t(n)
    u = t / t[-1]
    # Up quickly, down more slowly, as the sound passes the ear.
    rise = 0.35
    centre = np.where(u < rise, 400 * (2500 / 400) ** (u / rise),
                      2500 * (800 / 2500) ** ((u - rise) / (1 - rise)))
    air = _lowpass(_bandpass(_noise(n, 0x7B3A), centre, 2.4), 3600.0, 3)
    env = np.where(u < rise, np.sin(np.pi / 2 * u / rise) ** 2,
                   np.cos(np.pi / 2 * (u - rise) / (1 - rise)) ** 1.5)
    return air * env


def _brass(f, level):
    """Partials of a brassy tone: strong low harmonics falling off by
    harmonic number, the upper ones fading faster."""
    return tuple((k * f, level * (1.0 if k == 1 else 0.85 / k ** 0.9), 2.5 * k) for k in range(1, 9)
                 if k * f < 9000)


def bull():
    """A short brass fanfare: C5 E5 G5 staccato rising to a held C6, over a
    low C4 that enters with the held note."""
    n = LENGTHS["bull.wav"]
    end = n / RATE
    s = np.zeros(n)
    for start, f in ((0.00, 523.25), (0.09, 659.25), (0.18, 783.99)):
        s += _note(n, start, start + 0.082, _brass(f, 1.0), decay=4.0)
    s += _note(n, 0.27, end, _brass(1046.5, 1.0), decay=1.6, fade=0.004, vibrato=0.003)
    s += _note(n, 0.27, end, _brass(261.63, 0.9), decay=1.9, fade=0.004)
    s += _note(n, 0.27, end, _brass(523.25, 0.45), decay=1.8, fade=0.004)
    # The held chord dies away over its last 0.15 s rather than stopping.
    tail = int(0.15 * RATE)
    s[n - tail:] *= 0.5 + 0.5 * np.cos(np.pi * np.arange(tail) / tail)
    return s


def _biquad(x, b, a):
    out = np.empty_like(x)
    x1 = x2 = y1 = y2 = 0.0
    for i in range(len(x)):
        y = b[0] * x[i] + b[1] * x1 + b[2] * x2 - a[1] * y1 - a[2] * y2
        x2, x1, y2, y1 = x1, x[i], y1, y
        out[i] = y
    return out


def k_weighted(x):
    """The broadcast loudness weighting: a +4 dB shelf above about 1.7 kHz,
    then a high-pass at about 38 Hz (bilinear transforms at this rate)."""
    k = math.tan(math.pi * 1681.974450955533 / RATE)
    q = 0.7071752369554196
    vh = 10 ** (3.999843853973347 / 20)
    vb = vh ** 0.4996667741545416
    a0 = 1 + k / q + k * k
    x = _biquad(x, ((vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0),
                (1.0, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0))
    k = math.tan(math.pi * 38.13547087602444 / RATE)
    q = 0.5003270373238773
    a0 = 1 + k / q + k * k
    return _biquad(x, (1.0, -2.0, 1.0), (1.0, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0))


def loudness(samples):
    """Loudness in dB relative to full scale (1.0): the mean power of the
    K-weighted signal over its 10 ms blocks within 20 dB of the loudest."""
    w = k_weighted(samples)
    block = RATE // 100
    k = len(w) // block
    power = (w[:k * block].reshape(k, block) ** 2).mean(axis=1)
    return 10 * math.log10(power[power >= power.max() / 100].mean())


def finish(s):
    """Scale to the common loudness, check the peak, quantise to 16 bits."""
    s = s * 10 ** ((LOUDNESS - loudness(s)) / 20)
    peak = 20 * math.log10(np.max(np.abs(s)))
    if peak >= PEAK_LIMIT:
        raise ValueError(f"peak {peak:.2f} dBFS at loudness {LOUDNESS} dBFS")
    return np.clip(np.round(s * 32768), -32768, 32767).astype("<i2")


def wav_bytes(samples):
    data = samples.astype("<i2").tobytes()
    return (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE" + b"fmt " +
            struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE * 2, 2, 16) + b"data" +
            struct.pack("<I", len(data)) + data)


def build():
    return {"confirm.wav": wav_bytes(finish(confirm())), "cancel.wav": wav_bytes(finish(cancel())),
            "throw.wav": wav_bytes(finish(throw())), "bull.wav": wav_bytes(finish(bull()))}
