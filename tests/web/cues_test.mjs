// Aiming by ear in the browser: seat 1's sound cues on in the page's stored
// host settings, a "301" dart played pass by pass under ?test. The host's
// voice goes through the page's audio graph (a stereo panner into the same
// output as the game's sounds): the tone sounds while the pointer slides,
// from the left channel when the pointer is left and from the right when it
// is right, as the analysers on the output's two channels hear it, and the
// peak's chime is struck.
import { check, openGame, sceneStep } from './common.mjs';
import { playScript } from './support.mjs';

const CUES = 'hints 0\nhintsChosen 1\nseat1Cues 1\n';
// START, "301", one player, the ready screen, into the match.
const TO_MATCH = 'clock 100000\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n' +
  'run 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 1\n';
// A press of A as the match reads it: held over two passes.
const PRESS = 'hold 0x0D\nrun 2\nrelease 0x0D\n';

// The output's loudness on each channel, as its analysers hear it now.
function heard(page) {
  return page.evaluate(() => {
    const taps = window.tobelyn.voice.taps;
    if (!taps) return null;
    return taps.map((tap) => {
      const data = new Float32Array(tap.fftSize);
      tap.getFloatTimeDomainData(data);
      let sum = 0;
      for (const v of data) sum += v * v;
      return Math.sqrt(sum / data.length);
    });
  });
}

// Passes until the voice's tone is on that side (-1 left, 1 right).
async function slideTo(page, side) {
  for (let i = 0; i < 120; ++i) {
    const pan = await page.evaluate(() => window.tobelyn.voice.tone.pan);
    if (pan * side > 0.6) return pan;
    await playScript(page, 'run 1\n');
  }
  return null;
}

export async function testCues(browser, url) {
  const context = await browser.newContext({ viewport: { width: 480, height: 800 } });
  const page = await openGame(context, url + '?test', 'cues', { 'tobelyn.host': CUES });
  // The page starts its sound with the first key; here, straight away.
  const started = await page.evaluate(async () => {
    const a = window.tobelyn.audio;
    const Ctx = window.AudioContext || window.webkitAudioContext;
    if (!Ctx) return false;
    if (!a.ctx) a.ctx = new Ctx();
    await a.ctx.resume();
    return a.ctx.state === 'running';
  });
  check('cues: the page has a running audio context', started);
  await playScript(page, TO_MATCH + 'run 20\n' + PRESS + 'wait 3\nrun 2\n');
  check('cues: the pointer slides', await sceneStep(page) === 3);
  const tone = await page.evaluate(() => ({ ...window.tobelyn.voice.tone,
    graph: !!window.tobelyn.voice.osc }));
  check('cues: the sliding pointer has a tone in the audio graph', tone.graph && tone.level > 0,
    JSON.stringify(tone));

  const sides = [];
  for (const [name, side] of [['left', -1], ['right', 1]]) {
    const pan = await slideTo(page, side);
    await page.waitForTimeout(150);
    const levels = await heard(page);
    sides.push(`${name}: pan ${pan}, L ${levels && levels[0].toFixed(3)} R ${levels && levels[1].toFixed(3)}`);
    const louder = levels && (side < 0 ? levels[0] > 2 * levels[1] : levels[1] > 2 * levels[0]);
    check(`cues: the pointer on the ${name} sounds from the ${name}`, pan !== null && louder,
      sides.join('; '));
  }

  console.log(`     heard: ${sides.join('; ')}`);

  // The aim, the gauge started, a climb of 40 passes and the peak.
  const marksBefore = await page.evaluate(() => window.tobelyn.voice.marks);
  await playScript(page, PRESS + 'run 20\n' + PRESS + 'run 40\n' + PRESS + 'run 2\n');
  const afterPeak = await page.evaluate(() => ({ marks: window.tobelyn.voice.marks,
    level: window.tobelyn.voice.tone.level }));
  check('cues: the gauge has its tone and the peak its chime',
    (await sceneStep(page)) === 6 && afterPeak.level > 0 && afterPeak.marks > marksBefore,
    JSON.stringify(afterPeak));
  await context.close();
}
