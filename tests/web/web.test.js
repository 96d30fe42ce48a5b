// The browser build in Debian's Chromium, as a person uses it: a walkthrough
// played by taps and keys on the canvas to its good ending, the screens
// compared pixel for pixel with the headless device's, the progress kept
// across a reload, and a second tab kept from running a second copy.
//
// FERNVALE_WEB_BUILD: the built page (build-web); FERNVALE_NATIVE: the native
// reader (build/fernvale) that makes the headless screens.
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('playwright-core');
const { PNG } = require('pngjs');

const repo = path.resolve(__dirname, '..', '..');
const site = process.env.FERNVALE_WEB_BUILD || path.join(repo, 'build-web');
const native = process.env.FERNVALE_NATIVE || path.join(repo, 'build', 'fernvale');
const walkthrough = path.join(repo, 'tests', 'walkthroughs', 'ending-305.script');
const WIDTH = 240, HEIGHT = 320;
const KEYS = { UP: 'ArrowUp', DOWN: 'ArrowDown', PRIOR: 'PageUp', NEXT: 'PageDown', HOME: 'Home',
               END: 'End', RETURN: 'Enter', TAB: 'Tab' };

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'fernvale-web-'));
let server, browser, context, page, address;

// A static server for the built page on a free loopback port.
function serve(root) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
  const s = http.createServer((request, response) => {
    const name = path.join(root, path.normalize(decodeURIComponent(request.url.split('?')[0])));
    const file = name.endsWith(path.sep) ? path.join(name, 'index.html') : name;
    fs.readFile(file, (error, data) => {
      if (error || !file.startsWith(root)) {
        response.writeHead(404);
        response.end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
      response.end(data);
    });
  });
  return new Promise((resolve) => s.listen(0, '127.0.0.1', () => resolve(s)));
}

function readScript(file) {
  return fs.readFileSync(file, 'utf8').split('\n')
    .map((line) => line.replace(/(^|\s)#.*$/, '').trim())
    .filter((line) => line);
}

// The headless device's screens: the script run natively, with a `shot` in
// place of each `dump`, and one after the first `wait`.
function headlessShots(script, clock) {
  const lines = readScript(script);
  const shots = [];
  const edited = [];
  for (const line of lines) {
    if (line === 'dump') {
      shots.push(path.join(work, `headless-${shots.length}.png`));
      edited.push(`shot ${shots[shots.length - 1]}`);
      continue;
    }
    edited.push(line);
    if (line.startsWith('wait') && shots.length === 0) {
      shots.push(path.join(work, 'headless-0.png'));
      edited.push(`shot ${shots[0]}`);
    }
  }
  const file = path.join(work, 'shots.script');
  fs.writeFileSync(file, edited.join('\n') + '\n');
  const store = fs.mkdtempSync(path.join(work, 'store-'));
  const result = spawnSync(native, ['--headless', '--script', file, '--store', store, '--clock', String(clock)],
    { env: { ...process.env, SDL_AUDIODRIVER: 'dummy', XDG_RUNTIME_DIR: store }, encoding: 'utf8' });
  assert.equal(result.status, 0, `the headless replay failed: ${result.stderr}`);
  return shots.map((shot) => PNG.sync.read(fs.readFileSync(shot)));
}

// The canvas as shown, each screen pixel a uniform block of the scale's size
// (crisp pixels), compared with a headless screen.
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

async function tap(x, y) {
  const box = await page.locator('#screen').boundingBox();
  await page.mouse.click(box.x + (x + 0.5) * box.width / WIDTH, box.y + (y + 0.5) * box.height / HEIGHT);
}

// Where a device script's `press ID` taps: the middle of the topmost visible
// control with that id (its part on the screen), else of the menu bar button
// with that command.
async function pressPoint(id) {
  const screen = await page.evaluate(() => window.fernvale.look());
  const controls = screen.split('\n')
    .map((line) => line.match(/^\s+control (\d+) \S+ at (-?\d+),(-?\d+) size (\d+)x(\d+)/))
    .filter((m) => m && Number(m[1]) === id);
  if (controls.length) {
    const [, , x, y, w, h] = controls[controls.length - 1].map(Number);
    const left = Math.max(x, 0), top = Math.max(y, 0);
    const right = Math.min(x + w, WIDTH), bottom = Math.min(y + h, HEIGHT);
    return [Math.floor((left + right) / 2), Math.floor((top + bottom) / 2)];
  }
  for (const line of (await page.evaluate(() => window.fernvale.menuBar())).split('\n')) {
    const [command, left, top, right, bottom, enabled, hidden] = line.split(' ').map(Number);
    if (command === id && enabled && !hidden) return [Math.floor((left + right) / 2), Math.floor((top + bottom) / 2)];
  }
  throw new Error(`no control or menu bar button ${id} on screen:\n${screen}`);
}

// The device clock, as the screen dump gives it.
async function deviceClock() {
  return Number((await page.evaluate(() => window.fernvale.look())).match(/^screen at (\d+)/)[1]);
}

async function waitForRun(p) {
  await p.waitForFunction(() => window.fernvale && window.fernvale.running());
}

before(async () => {
  assert.ok(fs.existsSync(path.join(site, 'fernvale.wasm')), `no browser build in ${site}`);
  server = await serve(site);
  address = `http://127.0.0.1:${server.address().port}/`;
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  // Room for the screen at twice its size.
  context = await browser.newContext({ viewport: { width: 600, height: 900 } });
  page = await context.newPage();
  page.on('console', (m) => { if (m.type() === 'error') page.errors.push(m.text()); });
  page.on('pageerror', (e) => page.errors.push(String(e)));
  page.errors = [];
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
  let dump = '';
  let waited = false;
  for (const line of readScript(walkthrough)) {
    const [command, ...rest] = line.split(/\s+/);
    if (command === 'wait') {
      // Timers fall due in real time: wait until the virtual clock has moved on.
      const until = await deviceClock() + Number(rest[0]);
      while (await deviceClock() < until) await page.waitForTimeout(200);
      if (!waited) await assertScreenIs(shots[0], 'the screen after the introduction');
      waited = true;
    } else if (command === 'press') {
      await tap(...await pressPoint(Number(rest[0])));
    } else if (command === 'key') {
      await page.keyboard.press(KEYS[rest[0]] || rest[0]);
    } else if (command === 'type') {
      await page.keyboard.type(line.slice(line.indexOf(rest[0])));
    } else if (command === 'dump') {
      dump = await page.evaluate(() => window.fernvale.dump());
    } else {
      throw new Error(`the test does not play ${command}`);
    }
  }
  assert.equal(dump, fs.readFileSync(walkthrough.replace(/\.script$/, '.dump'), 'utf8'),
    'the ending\'s screen dump is the headless one');
  assert.match(dump, /weight 700 "A Hollow Victory"/);
  await assertScreenIs(shots[shots.length - 1], 'the ending');
  assert.deepEqual(page.errors, []);
});

test('a reload resumes on the saved page', async () => {
  await page.reload();
  await waitForRun(page);
  const dump = await page.evaluate(() => window.fernvale.dump());
  assert.match(dump, /text at \d+,26 size \d+x13 weight 700 "A Hollow Victory"/, dump);
});

test('a second tab says the book is open elsewhere, and goes on when the first closes', async () => {
  const second = await context.newPage();
  await second.goto(address);
  await second.waitForFunction(() => /open in another tab/.test(document.getElementById('notice').textContent));
  assert.equal(await second.evaluate(() => window.fernvale.running()), false);
  assert.equal(await second.evaluate(() => document.getElementById('import').disabled), true);
  await page.close();
  await waitForRun(second);
  const dump = await second.evaluate(() => window.fernvale.dump());
  assert.match(dump, /weight 700 "A Hollow Victory"/, 'the first tab\'s record was saved as it closed');
  assert.equal(await second.evaluate(() => document.getElementById('notice').textContent), '');
});
