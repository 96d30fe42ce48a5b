// The browser build in Debian's Chromium, as a person uses it: a walkthrough
// played by taps and keys on the canvas to its good ending, the screens
// compared pixel for pixel with the headless device's, the progress kept
// across a reload and across a crash, and a second tab kept from running a
// second copy.
//
// FERNVALE_WEB_BUILD: the built page (build-web); FERNVALE_NATIVE: the native
// reader (build/fernvale) that makes the headless screens.
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { PNG } = require('pngjs');
const { WIDTH, HEIGHT, serve, launch, readScript, play, waitForRun } = require('./player');

const repo = path.resolve(__dirname, '..', '..');
const site = process.env.FERNVALE_WEB_BUILD || path.join(repo, 'build-web');
const native = process.env.FERNVALE_NATIVE || path.join(repo, 'build', 'fernvale');
const walkthrough = path.join(repo, 'tests', 'walkthroughs', 'ending-305.script');

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'fernvale-web-'));
let server, address, browser, context, page, second;
const errors = [];

// The headless device's screens for the walkthrough, run natively: one after
// the first wait, one at each dump.
function headlessShots(script, clock) {
  const shots = [];
  const edited = [];
  const shot = () => {
    shots.push(path.join(work, `headless-${shots.length}.png`));
    return `shot ${shots[shots.length - 1]}`;
  };
  for (const line of readScript(script)) {
    edited.push(line === 'dump' ? shot() : line);
    if (line.startsWith('wait') && shots.length === 0) edited.push(shot());
  }
  const file = path.join(work, 'shots.script');
  fs.writeFileSync(file, edited.join('\n') + '\n');
  const store = fs.mkdtempSync(path.join(work, 'store-'));
  const result = spawnSync(native, ['--headless', '--script', file, '--store', store, '--clock', String(clock)],
    { env: { ...process.env, SDL_AUDIODRIVER: 'dummy', XDG_RUNTIME_DIR: store }, encoding: 'utf8' });
  assert.equal(result.status, 0, `the headless replay failed: ${result.stderr}`);
  return shots.map((f) => PNG.sync.read(fs.readFileSync(f)));
}

// The canvas as shown, each screen pixel a uniform square of the scale's
// size (crisp pixels), equals a headless screen.
async function assertScreenIs(expected, what) {
  const shot = PNG.sync.read(await page.locator('#screen').screenshot());
  const scale = shot.width / WIDTH;
  assert.ok(Number.isInteger(scale) && shot.height === HEIGHT * scale,
    `${what}: the canvas is shown at ${shot.width}x${shot.height}, not an integer scale`);
  let differ = 0, first = '';
  for (let y = 0; y < HEIGHT; ++y) {
    for (let x = 0; x < WIDTH; ++x) {
      const want = expected.data.readUInt32BE((y * WIDTH + x) * 4) >>> 8;
      for (let k = 0; k < scale * scale; ++k) {
        const at = ((y * scale + Math.floor(k / scale)) * shot.width + x * scale + (k % scale)) * 4;
        const got = shot.data.readUInt32BE(at) >>> 8;
        if (got !== want) {
          if (!differ) first = `(${x},${y}) is ${got.toString(16)}, headless ${want.toString(16)}`;
          ++differ;
          break;
        }
      }
    }
  }
  assert.equal(differ, 0, `${what}: ${differ} pixels differ from the headless screen, first ${first}`);
}

before(async () => {
  assert.ok(fs.existsSync(path.join(site, 'fernvale.wasm')), `no browser build in ${site}`);
  [server, address] = await serve(site);
  browser = await launch();
  // Room for the screen at twice its size.
  context = await browser.newContext({ viewport: { width: 600, height: 900 } });
  page = await context.newPage();
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
  fs.rmSync(work, { recursive: true, force: true });
});

test('a walkthrough played by taps reaches its good ending, on the headless screens', async () => {
  const clock = Number(fs.readFileSync(walkthrough.replace(/\.script$/, '.clock'), 'utf8'));
  const shots = headlessShots(walkthrough, clock);
  // The device clock virtual from the walkthrough's start, as headless.
  await page.goto(`${address}?clock=${clock}`);
  await waitForRun(page);
  let pictured = false;
  const dump = await play(page, walkthrough, async (command, screen) => {
    if (command === 'wait') await assertScreenIs(shots[0], 'the screen after the introduction');
    if (command === 'press' && !pictured && /picture 17\d\d/.test(screen)) {
      // The first story page with a picture, as a person sees the page
      // (the README's picture comes from here).
      pictured = true;
      await page.screenshot({ path: path.join(site, 'browser.png'), clip: { x: 0, y: 0, width: 600, height: 710 } });
    }
  });
  assert.equal(dump, fs.readFileSync(walkthrough.replace(/\.script$/, '.dump'), 'utf8'),
    'the ending\'s screen dump is the headless one');
  assert.match(dump, /weight 700 "A Hollow Victory"/);
  await assertScreenIs(shots[shots.length - 1], 'the ending');
  assert.ok(await page.evaluate(() => window.fernvale.stats.sounds) > 0, 'no sound was played');
  assert.deepEqual(errors, []);
});

test('a reload resumes on the saved page', async () => {
  await page.reload();
  await waitForRun(page);
  const dump = await page.evaluate(() => window.fernvale.dump());
  assert.match(dump, /text at \d+,26 size \d+x13 weight 700 "A Hollow Victory"/, dump);
});

test('a second tab says the book is open elsewhere, and goes on when the first closes', async () => {
  second = await context.newPage();
  await second.goto(address);
  await second.waitForFunction(() => /open in another tab/.test(document.getElementById('notice').textContent));
  assert.equal(await second.evaluate(() => window.fernvale.running()), false);
  assert.equal(await second.evaluate(() => document.getElementById('import').disabled), true);
  await page.close();
  await waitForRun(second);
  const dump = await second.evaluate(() => window.fernvale.dump());
  assert.match(dump, /weight 700 "A Hollow Victory"/, 'the first tab\'s record was saved as it closed');
  assert.equal(await second.evaluate(() => document.getElementById('notice').textContent), '');
  assert.deepEqual(errors, []);
});

test('a record imported resumes there, and exports as the desktop saves it', async () => {
  // A desktop record at story paragraph 48, sound on, version 218.
  const record = Buffer.alloc(1160);
  record.writeInt16LE(48, 0);
  record[2] = 1;
  record.writeInt32LE(218, 28);
  const chooser = second.waitForEvent('filechooser');
  await second.click('#import');
  await (await chooser).setFiles({ name: 'QOT1Fernvale.dat', mimeType: 'application/octet-stream', buffer: record });
  let dump = '';
  for (let i = 0; i < 50 && !/weight 700 "The Valley Road"/.test(dump); ++i) {
    await second.waitForTimeout(100);
    dump = await second.evaluate(() => window.fernvale.running() ? window.fernvale.look() : '');
  }
  assert.match(dump, /weight 700 "The Valley Road"/, 'resumed on paragraph 48');
  const download = second.waitForEvent('download');
  await second.click('#export');
  const exported = fs.readFileSync(await (await download).path());
  // The desktop reader saves the same record after the same start
  // (tests/reader/resume.dump: its size, then its non-zero bytes).
  const saved = fs.readFileSync(path.join(repo, 'tests', 'reader', 'resume.dump'), 'utf8').split('saved ')[1];
  const expected = Buffer.alloc(Number(saved.split(' ')[0]));
  for (const [offset, value] of saved.trim().split('\n').slice(1).map((l) => l.split(' ').map(Number)))
    expected[offset] = value;
  assert.deepEqual(exported, expected, 'the record the desktop reader saves');
  await waitForRun(second);
});

test('a tab that ends without its save (a crash) resumes where it was, by its journal', async () => {
  // `second` runs from the record imported above: its page scrolled to a
  // choice, the choice taken, the next page scrolled and a key pressed.
  const screen = () => second.evaluate(() => window.fernvale.look());
  const withoutClock = (dump) => dump.replace(/^screen at \d+ ms\n/, '');
  while (!/weight 700 "The Valley Road"/.test(await screen())) await second.waitForTimeout(100);
  const before = withoutClock(await screen());
  const box = await second.locator('#screen').boundingBox();
  await second.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await second.mouse.wheel(0, 1000);
  const script = path.join(work, 'turn.script');
  fs.writeFileSync(script, 'press 5000\n');
  await play(second, script);
  await second.mouse.wheel(0, 200);
  await second.keyboard.press('ArrowDown');
  const left = withoutClock(await screen());
  assert.notEqual(left, before, 'the taps changed nothing to replay');
  const cdp = await context.newCDPSession(second);
  const crashed = new Promise((resolve) => second.once('crash', resolve));
  cdp.send('Page.crash').catch(() => {});
  await crashed;
  const third = await context.newPage();
  await third.goto(address);
  await waitForRun(third);
  assert.equal(withoutClock(await third.evaluate(() => window.fernvale.look())), left);
});
