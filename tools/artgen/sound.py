"""The four sound effects, synthesised: 16-bit mono PCM at 44,100 Hz.

Tonal sounds are sums of sine partials; every note opens and closes with a
short raised-cosine fade, so no note starts or ends with a step. Noise comes from a small xorshift generator written here.
Each sound is scaled to its own loudness (K-weighted power of its 10 ms
blocks within 20 dB of the loudest one): the bull's fanfare above the
others, by a margin checked on each sound's loudest 100 ms (problems()
below), the throw's whoosh and the landing's thock (heard thirty times a
match) next, the menu chime under them; every sound must peak below -1 dBFS."""
import math
import struct

import numpy as np

RATE = 44100
# dB, K-weighted and gated as in loudness() below, by file name.
LOUDNESS = {"bull.wav": -12.6, "confirm.wav": -15.0, "cancel.wav": -13.0, "throw.wav": -13.0}
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
    """A dart's "thock", also heard going back: the tick of the point
    striking, a short burst of noise and two tiny modes between 2 and 4 kHz,
    then the board's wooden body, which drops from about 330 to 190 Hz
    within a few milliseconds, holds briefly and dies within some 60 ms. A
    phone's small speaker that loses the body still plays the tick. Its
    waves keep round crests: nothing squares them off."""
    n = LENGTHS["cancel.wav"]
    t = _t(n)
    # The body starts 2 ms after the tick; its pitch falls as the strike's
    # energy spreads: a phase integrating 190 Hz plus 140 Hz that decays
    # with an 8 ms time constant.
    tb = np.maximum(t - 0.002, 0)
    drop = 0.008
    phase = 2 * np.pi * (190.0 * tb + 140.0 * drop * (1 - np.exp(-tb / drop)))
    env = np.where(tb < 0.015, 1.0, np.exp(-(tb - 0.015) / 0.025)) * (t >= 0.002)
    body = (np.sin(phase) + 0.45 * np.sin(2.03 * phase + 0.6)) * env
    i0, k = int(0.002 * RATE), int(0.0015 * RATE)
    body[i0:i0 + k] *= _fade(k)
    tick = _bandpass(_noise(n, 0x51C3), np.full(n, 3000.0), 1.6)
    tick = _lowpass(_lowpass(tick, 6000.0), 6000.0) * np.exp(-t / 0.008)
    tick[:12] *= _fade(12)
    modes = _note(n, 0.0, n / RATE, ((2650.0, 1.0, 0.0), (3520.0, 0.7, 40.0)), decay=140.0,
                  fade=0.0004)
    # Summed as it is, never driven into saturation: its crests stay round.
    # The tick is held low enough that the sum peaks under the limit at the
    # thock's loudness.
    s = _highpass(body + 6.0 * tick + 1.0 * modes, 40.0)
    k = int(0.03 * RATE)
    s[n - k:] *= _fade(k)[::-1]
    return s


def throw():
    """A dart's whoosh past the ear: a breathy whistle whose pitch climbs
    from about 600 Hz to 1.5 kHz and falls back to 700 Hz (the rise a
    little quicker than the fall), carried by air: noise in a narrow band
    an octave and a half over the whistle, moving with it, and a wider band
    round the whistle that gives the sound its body. Full within 10 ms,
    loudest at the top of the sweep, fading over its last third."""
    n = LENGTHS["throw.wav"]
    t = _t(n)
    u = t / t[-1]
    rise = THROW_TOP
    low, top, end = 600.0, 1500.0, 700.0
    # Up, then down more slowly, as the dart passes the ear: each half a
    # raised cosine in log frequency, so the turn is smooth.
    up = 0.5 - 0.5 * np.cos(np.pi * np.clip(u / rise, 0, 1))
    down = 0.5 - 0.5 * np.cos(np.pi * np.clip((u - rise) / (1 - rise), 0, 1))
    pitch = np.where(u < rise, low * (top / low) ** up, top * (end / top) ** down)
    phase = 2 * np.pi * np.cumsum(pitch) / RATE
    whistle = np.sin(phase) + 0.25 * np.sin(2 * phase + 0.7)
    air = _bandpass(_noise(n, 0x7B3A), 2.8 * pitch, 6.0) * np.sqrt(2.8 * top / (2.8 * pitch))
    body = _bandpass(_noise(n, 0x2E51), pitch, 2.0)
    # The noise's skirts reach far above the band; cut them off over
    # THROW_AIR_TOP, or the air hisses rather than whooshes.
    for _ in range(3):
        air, body = _lowpass(air, THROW_AIR_TOP), _lowpass(body, THROW_AIR_TOP)
    s = 0.55 * whistle + 1.0 * air + 0.9 * body
    attack, hold = 0.010 / t[-1], 0.66
    # The level follows the sweep: strongest at its top.
    swell = 0.7 + 0.3 * np.sin(np.pi * np.clip(u / (2 * rise), 0, 1))
    env = np.where(u < attack, np.sin(np.pi / 2 * u / attack) ** 2,
                   np.where(u < hold, 1.0, np.cos(np.pi / 2 * (u - hold) / (1 - hold)) ** 2))
    return s * env * swell


THROW_TOP = 0.42  # where the throw's sweep turns, as a share of its length
THROW_AIR_TOP = 5000.0  # Hz; the throw's noise is low-passed here


# Hz: no partial of the fanfare above this, so that it stays warm, not shrill.
BRASS_TOP = 5000.0


def _brass(f, level, bright=1.0):
    """Partials of a brassy tone: strong low harmonics falling off by
    harmonic number (less steeply as bright grows), the upper ones fading
    faster, none above BRASS_TOP."""
    # Phases spread along k squared keep the harmonics from peaking together.
    return tuple((k * f, level * (1.0 if k == 1 else 0.9 / k ** (1.25 / bright ** 0.5)), 2.5 * k,
                  np.pi * k * k / 12) for k in range(1, 9) if k * f < BRASS_TOP)


def _blare(n, start, end, f, level, bright=1.0):
    """A brass note with an attack: its upper harmonics flare at the start
    and settle, as a horn's do when the note is tongued."""
    out = _note(n, start, end, _brass(f, level, bright), decay=1.2, fade=0.006, scoop=0.018)
    flare = _note(n, start, min(end, start + 0.12),
                  tuple((k * f, level * 0.4 / k ** 0.8, 30.0, np.pi * k * k / 12) for k in range(2, 7)
                        if k * f < BRASS_TOP),
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
    # Driven gently into saturation, as a horn's bell is near full blast:
    # the peaks round off. What the saturation adds above the horn's own
    # range (a fizz at each note's start) is filtered off, and so is the
    # offset its uneven peaks leave.
    s = np.tanh(1.5 * s / np.max(np.abs(s)))
    for _ in range(3):
        s = _lowpass(s, 5000.0)
    s = _highpass(s, 30.0)
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


def _lowpass(x, fc, q=0.7071):
    """A two-pole low-pass at fc Hz (a bilinear transform at this rate)."""
    w = 2 * math.pi * fc / RATE
    a, c = math.sin(w) / (2 * q), math.cos(w)
    return _biquad(x, ((1 - c) / 2 / (1 + a), (1 - c) / (1 + a), (1 - c) / 2 / (1 + a)),
                   (1.0, -2 * c / (1 + a), (1 - a) / (1 + a)))


def _highpass(x, fc, q=0.7071):
    """A two-pole high-pass at fc Hz."""
    w = 2 * math.pi * fc / RATE
    a, c = math.sin(w) / (2 * q), math.cos(w)
    return _biquad(x, ((1 + c) / 2 / (1 + a), -(1 + c) / (1 + a), (1 + c) / 2 / (1 + a)),
                   (1.0, -2 * c / (1 + a), (1 - a) / (1 + a)))


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


def short_term(samples):
    """The loudest 100 ms of a sound, in dB relative to full scale: the mean
    power of the K-weighted signal over windows of 100 ms stepped by 10 ms
    (silence after the end). The ear sums a short sound's energy over about
    that long, so a 100 ms swish and a held chord compare fairly."""
    w = k_weighted(samples)
    n, hop = RATE // 10, RATE // 100
    energy = np.concatenate([[0.0], np.cumsum(np.concatenate([w, np.zeros(n)]) ** 2)])
    return 10 * math.log10(max(energy[i + n] - energy[i] for i in range(0, len(w), hop)) / n)


def whistle_track(samples):
    """The throw's pitch as the ear follows it: the strongest frequency
    between 300 Hz and 2.5 kHz in 20 ms windows stepped by 5 ms."""
    n, hop, size = RATE // 50, RATE // 200, 4096
    f = np.fft.rfftfreq(size, 1 / RATE)
    band = (f > 300) & (f < 2500)
    out = []
    for at in range(0, len(samples) - n + 1, hop):
        spectrum = np.abs(np.fft.rfft(samples[at:at + n] * np.hanning(n), size))
        out.append(f[band][np.argmax(spectrum[band])])
    return out


def band_share(samples, lo, hi):
    """The share of a sound's energy between lo and hi Hz."""
    power = np.abs(np.fft.rfft(samples - samples.mean())) ** 2
    f = np.fft.rfftfreq(len(samples), 1 / RATE)
    return power[(f >= lo) & (f < hi)].sum() / power[1:].sum()


# The bull's fanfare stands out over the loudest other sound by this many
# dB at its loudest 100 ms, and no more. The throw's whistle climbs and
# falls by these factors, turning within the range of its body, where it
# keeps this share of its energy.
BULL_MARGIN = (2.0, 3.5)
THROW_RISE, THROW_FALL, THROW_TURN, THROW_BODY = 1.8, 1.5, (1000, 2000), 0.6
# No sound holds its peak: never FLAT_RUN samples in a row within FLAT_NEAR
# (a share) of it, as a clipped or saturated wave would. The throw keeps
# under THROW_HISS of its energy above THROW_HISS_HZ.
FLAT_RUN, FLAT_NEAR = 4, 0.001
THROW_HISS_HZ, THROW_HISS = 8000, 0.005


def flat_top(x):
    """The longest run of samples within FLAT_NEAR of the sound's peak."""
    near = np.abs(x) >= (1 - FLAT_NEAR) * np.max(np.abs(x))
    best = run = 0
    for v in near:
        run = run + 1 if v else 0
        best = max(best, run)
    return best


def problems(files):
    """What the sounds get wrong by their own rules."""
    waves = {name: np.frombuffer(data[44:], "<i2").astype(np.float64) / 32768
             for name, data in files.items()}
    out = []
    level = {name: short_term(x) for name, x in waves.items()}
    bull = level.pop("bull.wav")
    margin = bull - max(level.values())
    if not BULL_MARGIN[0] <= margin <= BULL_MARGIN[1]:
        out.append(f"bull.wav stands {margin:.1f} dB over the loudest other sound, not "
                   f"{BULL_MARGIN[0]} to {BULL_MARGIN[1]}")
    track = whistle_track(waves["throw.wav"])
    top = max(track)
    if (top < THROW_RISE * track[0] or top < THROW_FALL * track[-1] or
            not THROW_TURN[0] <= top <= THROW_TURN[1]):
        out.append(f"throw.wav: its whistle goes {track[0]:.0f}, {top:.0f}, {track[-1]:.0f} Hz")
    for name, x in sorted(waves.items()):
        if flat_top(x) >= FLAT_RUN:
            out.append(f"{name}: {flat_top(x)} samples in a row at its peak")
    hiss = band_share(waves["throw.wav"], THROW_HISS_HZ, RATE)
    if hiss >= THROW_HISS:
        out.append(f"throw.wav: {hiss:.1%} of its energy above {THROW_HISS_HZ} Hz")
    body = band_share(waves["throw.wav"], 500, 2000)
    if body < THROW_BODY:
        out.append(f"throw.wav: {body:.0%} of its energy within 500-2000 Hz")
    return out


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
