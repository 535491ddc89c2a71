// The generated sounds in res/: levels, clean notes, no clipping, and the
// character each sound is meant to have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "tests/art_support.h"

namespace {

using namespace art;

// The samples of a wave file as the game carries it (one data chunk after
// a 44-byte header), full scale 1.0.
std::vector<double> samplesOf(const Bytes &f) {
  std::vector<double> s;
  for (size_t at = 44; at + 1 < f.size(); at += 2)
    s.push_back(static_cast<int16_t>(u16(f, at)) / 32768.0);
  return s;
}

double meanOf(const std::vector<double> &s) {
  double sum = 0;
  for (double v : s) sum += v;
  return sum / s.size();
}

// One biquad section over x, in place.
void biquad(std::vector<double> &x, const double b[3], const double a[3]) {
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (double &v : x) {
    const double y = b[0] * v + b[1] * x1 + b[2] * x2 - a[1] * y1 - a[2] * y2;
    x2 = x1, x1 = v, y2 = y1, y1 = y, v = y;
  }
}

// A wave weighted as broadcasters weigh loudness: a +4 dB shelf above
// about 1.7 kHz and a high-pass at about 38 Hz.
std::vector<double> kWeighted(std::vector<double> x) {
  const double pi = 3.14159265358979323846, rate = 44100;
  double k = std::tan(pi * 1681.974450955533 / rate), q = 0.7071752369554196;
  const double vh = std::pow(10.0, 3.999843853973347 / 20), vb = std::pow(vh, 0.4996667741545416);
  double a0 = 1 + k / q + k * k;
  const double shelfB[3] = {(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0,
                            (vh - vb * k / q + k * k) / a0};
  const double shelfA[3] = {1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
  biquad(x, shelfB, shelfA);
  k = std::tan(pi * 38.13547087602444 / rate), q = 0.5003270373238773, a0 = 1 + k / q + k * k;
  const double highB[3] = {1, -2, 1},
               highA[3] = {1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
  biquad(x, highB, highA);
  return x;
}

// Loudness: the mean power of the K-weighted wave's 10 ms blocks within
// 20 dB of the loudest, in dB of full scale.
double loudnessOf(const std::vector<double> &samples) {
  const std::vector<double> x = kWeighted(samples);
  std::vector<double> power;
  for (size_t at = 0; at + 441 <= x.size(); at += 441) {
    double sum = 0;
    for (size_t i = at; i < at + 441; ++i) sum += x[i] * x[i];
    power.push_back(sum / 441);
  }
  const double loudest = *std::max_element(power.begin(), power.end());
  double sum = 0;
  int blocks = 0;
  for (double p : power)
    if (p >= loudest / 100) sum += p, ++blocks;
  return 10 * std::log10(sum / blocks);
}

// Sample positions where a note starts or stops with a step: a second
// difference over a hundredth of full scale and more than three times any
// other within a millisecond either side (a sum of smooth partials changes
// its curvature gradually; a step makes it leap at one sample).
std::vector<size_t> stepsIn(const std::vector<double> &s) {
  if (s.size() < 3) return {};
  std::vector<double> curve(s.size(), 0.0);
  for (size_t i = 1; i + 1 < s.size(); ++i) curve[i] = std::fabs(s[i + 1] - 2 * s[i] + s[i - 1]);
  std::vector<size_t> steps;
  for (size_t i = 0; i < curve.size(); ++i) {
    if (curve[i] < 0.01) continue;
    double around = 0;
    for (size_t j = i < 44 ? 0 : i - 44; j < std::min(curve.size(), i + 45); ++j)
      if (j + 2 < i || j > i + 2) around = std::max(around, curve[j]);
    if (curve[i] > 3 * around) steps.push_back(i);
  }
  return steps;
}

// The share of a wave's energy between two frequencies, from the bins of its
// discrete Fourier transform up to the higher one; the whole energy comes
// from the samples (Parseval), half of it in the positive frequencies.
double energyShare(const std::vector<double> &s, double loHz, double hiHz) {
  const double pi = 3.14159265358979323846, rate = 44100;
  const size_t n = s.size();
  std::vector<double> cosine(n), sine(n);
  for (size_t i = 0; i < n; ++i)
    cosine[i] = std::cos(2 * pi * i / n), sine[i] = std::sin(2 * pi * i / n);
  double inBand = 0, total = 0, dc = 0;
  for (size_t i = 0; i < n; ++i) total += s[i] * s[i], dc += s[i];
  total = (n * total - dc * dc) / 2;
  for (size_t k = 1; k <= n / 2 && k * rate / n < hiHz; ++k) {
    double re = 0, im = 0;
    for (size_t i = 0, at = 0; i < n; ++i, at = (at + k) % n)
      re += s[i] * cosine[at], im -= s[i] * sine[at];
    if (k * rate / n >= loHz) inBand += re * re + im * im;
  }
  return inBand / total;
}

// The loudest 100 ms of a sound, K-weighted, in dB of full scale:
// windows of 4410 samples stepped by 441, silence after the end. The ear
// sums a short sound over about that long, so a swish of a tenth of a
// second and a held chord compare fairly.
double shortTermOf(const std::vector<double> &samples) {
  const std::vector<double> x = kWeighted(samples);
  const size_t window = 4410;
  std::vector<double> energy(1, 0.0);
  for (size_t i = 0; i < x.size() + window; ++i) {
    const double v = i < x.size() ? x[i] : 0.0;
    energy.push_back(energy.back() + v * v);
  }
  double loudest = 0;
  for (size_t at = 0; at < x.size(); at += 441)
    loudest = std::max(loudest, energy[at + window] - energy[at]);
  return 10 * std::log10(loudest / window);
}

// The four sounds peak under -1 dBFS, begin and end at silence with no DC
// offset, and the tonal ones have no step where a note starts or ends. The
// bull's fanfare is the loudest, over its sounding part and at its loudest
// 100 ms, where it stands out by a few decibels and no more.
TEST(ArtSounds, LevelsAndSmoothNotes) {
  struct Case {
    const char *file;
    bool tonal;
  } cases[] = {{.file = "confirm.wav", .tonal = true},
               {.file = "cancel.wav", .tonal = false},
               {.file = "throw.wav", .tonal = false},
               {.file = "bull.wav", .tonal = true}};
  std::map<std::string, double> loudness, shortTerm;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<double> s = samplesOf(readRes(c.file));
    ASSERT_GT(s.size(), 441u);
    double peak = 0;
    for (double v : s) peak = std::max(peak, std::fabs(v));
    EXPECT_LT(20 * std::log10(peak), -1.0) << "peak in dBFS";
    loudness[c.file] = loudnessOf(s);
    shortTerm[c.file] = shortTermOf(s);
    EXPECT_LE(std::fabs(s.front()) + std::fabs(s.back()), 4 / 32768.0) << "ends away from zero";
    EXPECT_LT(std::fabs(meanOf(s)), 1e-4) << "DC offset";
    if (c.tonal) {
      EXPECT_EQ(stepsIn(s), std::vector<size_t>()) << "samples where a note steps";
    }
  }
  struct Louder {
    const char *name, *quieter;
  } order[] = {{.name = "bull over confirm", .quieter = "confirm.wav"},
               {.name = "bull over back and landing", .quieter = "cancel.wav"},
               {.name = "bull over throw", .quieter = "throw.wav"}};
  double nextLoudest = -100;
  for (const Louder &o : order) {
    EXPECT_GT(loudness["bull.wav"], loudness[o.quieter])
        << o.name << ": " << loudness["bull.wav"] << " and " << loudness[o.quieter] << " dB";
    nextLoudest = std::max(nextLoudest, shortTerm[o.quieter]);
  }
  const double margin = shortTerm["bull.wav"] - nextLoudest;
  EXPECT_GE(margin, 2.0) << "bull's loudest 100 ms over the loudest other's, dB";
  EXPECT_LE(margin, 3.5) << "bull's loudest 100 ms over the loudest other's, dB";
}

// The power of a stretch of samples, shaped by a Hann window, between two
// frequencies (every bin from loHz up to, not including, hiHz), and its
// whole power over all the bins; power-weighted mean frequency too.
struct Spectrum {
  double inBand = 0, total = 0, centroidHz = 0;
};

Spectrum spectrumOf(const std::vector<double> &s, size_t from, size_t count, double loHz,
                    double hiHz) {
  const double pi = 3.14159265358979323846, rate = 44100;
  Spectrum out;
  double weighted = 0;
  for (size_t k = 1; k <= count / 2; ++k) {
    double re = 0, im = 0;
    for (size_t i = 0; i < count; ++i) {
      const double w = 0.5 - 0.5 * std::cos(2 * pi * i / count);
      const double v = from + i < s.size() ? s[from + i] * w : 0;
      re += v * std::cos(2 * pi * k * i / count), im -= v * std::sin(2 * pi * k * i / count);
    }
    const double power = re * re + im * im, hz = k * rate / count;
    out.total += power, weighted += power * hz;
    if (hz >= loHz && hz < hiHz) out.inBand += power;
  }
  out.centroidHz = weighted / out.total;
  return out;
}

// No sound is clipped or driven into saturation: a wave squared off at its
// crest holds its peak over a run of samples, where a round crest passes
// through it. Never four samples in a row within 0.1% of the peak.
TEST(ArtSounds, NoSoundHoldsItsPeak) {
  const char *files[] = {"confirm.wav", "cancel.wav", "throw.wav", "bull.wav"};
  for (const char *file : files) {
    const std::vector<double> s = samplesOf(readRes(file));
    double peak = 0;
    for (double v : s) peak = std::max(peak, std::fabs(v));
    size_t run = 0, longest = 0;
    for (double v : s) {
      run = std::fabs(v) >= 0.999 * peak ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    EXPECT_LT(longest, 4u) << file << ": samples in a row at its peak";
  }
}

// Sound 2 answers both "back" and every landing: a dart's thock, with a
// wooden body low down and the tick of the point in the range a phone's
// small speaker still plays, and louder than the thwack it replaced.
TEST(ArtSounds, LandingThockHasABodyAndATick) {
  const std::vector<double> s = samplesOf(readRes("cancel.wav"));
  struct Band {
    const char *name;
    double loHz, hiHz, atLeast;
  } bands[] = {{.name = "body, 150-400 Hz", .loHz = 150, .hiHz = 400, .atLeast = 0.35},
               {.name = "tick, 2-4 kHz", .loHz = 2000, .hiHz = 4000, .atLeast = 0.15}};
  for (const Band &b : bands) EXPECT_GE(energyShare(s, b.loHz, b.hiHz), b.atLeast) << b.name;
  // The sound it replaced stood at -15.5 dB over its sounding part.
  EXPECT_GE(loudnessOf(s), -13.5) << "loudness in dB";
  // Struck, not squashed: its peak stands well over its loudness, as it
  // would not if saturation had rounded its first cycles flat (that stood
  // at 9.1 dB).
  double peak = 0;
  for (double v : s) peak = std::max(peak, std::fabs(v));
  EXPECT_GE(20 * std::log10(peak) - loudnessOf(s), 10.5) << "peak over loudness, dB";
}

// The bull's fanfare: no fizz above 10 kHz as each of its notes starts (the
// three tongued notes and the chord), in the 20 ms from the start.
TEST(ArtSounds, BullNotesStartClean) {
  const std::vector<double> s = samplesOf(readRes("bull.wav"));
  struct Start {
    const char *name;
    double seconds;
  } starts[] = {{.name = "G4", .seconds = 0.00},
                {.name = "C5", .seconds = 0.08},
                {.name = "E5", .seconds = 0.16},
                {.name = "the chord", .seconds = 0.24}};
  for (const Start &n : starts) {
    const Spectrum sp = spectrumOf(s, static_cast<size_t>(n.seconds * 44100), 882, 10000, 22051);
    EXPECT_LT(10 * std::log10(sp.inBand / sp.total), -55) << n.name << ": dB above 10 kHz";
  }
}

// The strongest frequency between 300 Hz and 2.5 kHz in 20 ms (882
// samples, Hann window) from a sample on, to 5 Hz: what the ear follows as
// a whoosh's pitch.
double whistleAt(const std::vector<double> &s, size_t from) {
  const double pi = 3.14159265358979323846, rate = 44100;
  const size_t count = 882;
  double best = 0, bestHz = 0;
  for (double hz = 300; hz < 2500; hz += 5) {
    double re = 0, im = 0;
    for (size_t i = 0; i < count && from + i < s.size(); ++i) {
      const double v = s[from + i] * (0.5 - 0.5 * std::cos(2 * pi * i / count));
      re += v * std::cos(2 * pi * hz * i / rate), im -= v * std::sin(2 * pi * hz * i / rate);
    }
    if (re * re + im * im > best) best = re * re + im * im, bestHz = hz;
  }
  return bestHz;
}

// The throw's whoosh is heard rising and falling: a pitch the ear can
// follow climbs from its start, turns within its body's range (500 Hz to
// 2 kHz, where most of its energy lies) and falls again by its end; it
// is strong within its first 20 ms and no longer the quietest of the four
// sounds.
TEST(ArtSounds, ThrowRiseAndFallHeard) {
  const std::vector<double> s = samplesOf(readRes("throw.wav"));
  std::vector<double> level, pitch;
  for (size_t at = 0; at + 441 <= s.size(); at += 441) {
    double sum = 0;
    for (size_t i = at; i < at + 441; ++i) sum += s[i] * s[i];
    level.push_back(10 * std::log10(sum / 441));
  }
  for (size_t at = 0; at + 882 <= s.size(); at += 220) pitch.push_back(whistleAt(s, at));
  ASSERT_GE(level.size(), 8u);
  const size_t loudest = std::max_element(level.begin(), level.end()) - level.begin();
  EXPECT_GE(level[1], level[loudest] - 3) << "10-20 ms against the loudest 10 ms, dB";
  const double top = *std::max_element(pitch.begin(), pitch.end());
  EXPECT_GE(top, 1.8 * pitch.front()) << "rise from " << pitch.front() << " Hz";
  EXPECT_GE(top, 1.5 * pitch.back()) << "fall to " << pitch.back() << " Hz";
  EXPECT_TRUE(top >= 1000 && top <= 2000) << "turns at " << top << " Hz";
  EXPECT_GE(energyShare(s, 500, 2000), 0.6) << "share of its energy in 500-2000 Hz";
  // Air, not hiss: next to nothing above 8 kHz.
  EXPECT_LT(energyShare(s, 8000, 22051), 0.005) << "share of its energy above 8 kHz";
  // It stood at -17.5 dB over its sounding part, the quietest sound.
  EXPECT_GE(loudnessOf(s), -14.0) << "loudness in dB";
}

}  // namespace
