"""The four sound effects, synthesised: 16-bit mono PCM at 44,100 Hz.

Tonal sounds are sums of sine partials; every note opens and closes with a
short raised-cosine fade, so no note starts or ends with a step. Noise comes from a small xorshift generator written here.
Each sound is scaled to its own loudness (K-weighted power of its 10 ms
blocks within 20 dB of the loudest one), in an order of importance: the
bull's fanfare above the menu sounds, the throw's swish below them; every
sound must peak below -1 dBFS."""
import math
import struct

import numpy as np

RATE = 44100
# dB, K-weighted and gated as in loudness() below, by file name.
LOUDNESS = {"bull.wav": -12.0, "confirm.wav": -15.0, "cancel.wav": -15.5, "throw.wav": -17.5}
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


def _note(n, start, end, partials, decay=0.0, fade=NOTE_FADE, vibrato=0.0, release=None,
          scoop=0.0):
    """One note from start to end seconds: partials (frequency, amplitude,
    extra decay per second, and a starting phase, zero if left out), an
    exponential decay, a raised-cosine fade in (fade seconds) and out
    (release seconds, as long as the fade in unless given), and silence
    elsewhere. A scoop starts the pitch that fraction flat and lets it rise
    to the note within some 15 ms."""
    out = np.zeros(n)
    i0, i1 = int(round(start * RATE)), min(n, int(round(end * RATE)))
    u = np.arange(i1 - i0, dtype=np.float64) / RATE
    # Vibrato as a phase offset that is zero at the note's start.
    wobble = vibrato * (1 - np.cos(2 * np.pi * 5.5 * u)) / (2 * np.pi * 5.5)
    wobble -= scoop * 0.015 * (1 - np.exp(-u / 0.015))
    for f, a, d, *phase in partials:
        out[i0:i1] += a * np.sin(2 * np.pi * f * (u + wobble) + sum(phase)) * np.exp(-u * d)
    out[i0:i1] *= np.exp(-u * decay)
    k = int(fade * RATE)
    out[i0:i0 + k] *= _fade(k)
    k = int((fade if release is None else release) * RATE)
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


def confirm():
    """A struck chime, E6 then B6: a mallet's quick attack on bar-like
    partials that die fast, over a soft body an octave down, so the sound
    is short to the ear and has faded to nothing well before its end."""
    n = LENGTHS["confirm.wav"]
    s = np.zeros(n)
    for start, f, level in ((0.0, 1318.5, 1.0), (0.075, 1975.5, 0.9)):
        # A tuned bar: the fundamental, its octave and the bar's high
        # inharmonic modes, which carry the strike and fade first.
        partials = tuple(p for p in ((f / 2, 0.45 * level, 6.0), (f, level, 0.0),
                                     (2 * f, 0.3 * level, 12.0), (2.76 * f, 0.6 * level, 60.0),
                                     (5.40 * f, 0.3 * level, 120.0)) if p[0] < 8000)
        s += _note(n, start, start + 0.40, partials, decay=16.0, fade=0.0008, release=0.12)
    return s


def cancel():
    """A "thwack": a slap of band-passed noise round 2 kHz, some 30 ms long,
    over a few short wooden modes between 1 and 3.5 kHz and a brief thud
    near 450 Hz, so it carries on a phone's speaker."""
    n = LENGTHS["cancel.wav"]
    t = _t(n)
    modes = _note(n, 0.0, n / RATE, ((1180.0, 1.0, 0.0), (1730.0, 0.8, 10.0), (2460.0, 0.6, 20.0),
                                     (3350.0, 0.35, 35.0), (450.0, 0.6, 30.0)),
                  decay=60.0, fade=0.0008)
    slap = _bandpass(_noise(n, 0x51C3), np.full(n, 2100.0), 1.0) * np.exp(-t * 70.0)
    slap[:30] *= _fade(30)
    s = modes + 2.6 * slap
    k = int(0.02 * RATE)
    s[n - k:] *= _fade(k)[::-1]
    return s


def throw():
    """A swish: noise through a band-pass that sweeps up from 700 Hz to 3 kHz
    and back down to 1 kHz, swelling and fading as the dart passes."""
    n = LENGTHS["throw.wav"]
    t = _t(n)
    u = t / t[-1]
    # Up quickly, down more slowly, as the sound passes the ear.
    rise = 0.4
    centre = np.where(u < rise, 700 * (3000 / 700) ** (u / rise),
                      3000 * (1000 / 3000) ** ((u - rise) / (1 - rise)))
    air = _bandpass(_noise(n, 0x7B3A), centre, 5.0)
    env = np.where(u < rise, np.sin(np.pi / 2 * u / rise) ** 2,
                   np.cos(np.pi / 2 * (u - rise) / (1 - rise)) ** 2)
    return air * env


def _brass(f, level, bright=1.0):
    """Partials of a brassy tone: strong low harmonics falling off slowly by
    harmonic number (brighter as bright grows), the upper ones fading
    faster."""
    # Phases spread along k squared keep the harmonics from peaking together.
    return tuple((k * f, level * (1.0 if k == 1 else 0.95 / k ** (0.75 / bright)), 2.0 * k,
                  np.pi * k * k / 12) for k in range(1, 13) if k * f < 9000)


def _blare(n, start, end, f, level, bright=1.0):
    """A brass note with an attack: its upper harmonics flare at the start
    and settle, as a horn's do when the note is tongued."""
    out = _note(n, start, end, _brass(f, level, bright), decay=1.2, fade=0.006, scoop=0.018)
    flare = _note(n, start, min(end, start + 0.12),
                  tuple((k * f, level * 0.5 / k ** 0.5, 30.0, np.pi * k * k / 12) for k in range(2, 9)
                        if k * f < 9000),
                  decay=0.0, fade=0.006)
    return out + flare


def bull():
    """A short brass fanfare: G4 C5 E5 tongued in quick succession, each
    ringing on under the next, into a held C major chord (C4 G4 C5 E5 G5
    C6) that swells and dies away."""
    n = LENGTHS["bull.wav"]
    end = n / RATE
    s = np.zeros(n)
    for start, f in ((0.00, 392.0), (0.08, 523.25), (0.16, 659.25)):
        s += _blare(n, start, start + 0.16, f, 1.6)
    # The chord's upper voices stay bright, the top C brightest.
    for f, level, bright in ((261.63, 0.5, 1.0), (392.0, 0.45, 1.0), (523.25, 0.6, 1.3),
                             (659.25, 0.55, 1.5), (783.99, 0.6, 1.7), (1046.5, 0.85, 2.2)):
        s += _blare(n, 0.24, end, f, level, bright)
    # Driven gently into saturation, as a horn's bell is at full blast: the
    # peaks round off and the tone gains brightness.
    s = np.tanh(1.8 * s / np.max(np.abs(s)))
    # The held chord dies away over its last 0.2 s rather than stopping.
    tail = int(0.2 * RATE)
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


def finish(s, name):
    """Scale to the sound's loudness, check the peak, quantise to 16 bits."""
    s = s * 10 ** ((LOUDNESS[name] - loudness(s)) / 20)
    peak = 20 * math.log10(np.max(np.abs(s)))
    if peak >= PEAK_LIMIT:
        raise ValueError(f"{name}: peak {peak:.2f} dBFS at loudness {LOUDNESS[name]} dB")
    return np.clip(np.round(s * 32768), -32768, 32767).astype("<i2")


def wav_bytes(samples):
    data = samples.astype("<i2").tobytes()
    return (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE" + b"fmt " +
            struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE * 2, 2, 16) + b"data" +
            struct.pack("<I", len(data)) + data)


def build():
    made = {"confirm.wav": confirm(), "cancel.wav": cancel(), "throw.wav": throw(), "bull.wav": bull()}
    return {name: wav_bytes(finish(s, name)) for name, s in made.items()}
