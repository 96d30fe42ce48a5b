// Plays the browser build as a person would, for the tests and the
// benchmark: a static server for the built page, Debian's Chromium, and a
// device script's commands carried out by taps and keys on the canvas.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { chromium } = require('playwright-core');

const WIDTH = 240, HEIGHT = 320;
const KEYS = { UP: 'ArrowUp', DOWN: 'ArrowDown', PRIOR: 'PageUp', NEXT: 'PageDown', HOME: 'Home',
               END: 'End', RETURN: 'Enter', TAB: 'Tab' };

// A static server for the built page on a free loopback port; resolves to
// [server, address].
async function serve(root) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                  '.png': 'image/png' };
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
  await new Promise((resolve) => s.listen(0, '127.0.0.1', resolve));
  return [s, `http://127.0.0.1:${s.address().port}/`];
}

// Debian's Chromium, headless, with nothing of its own reaching out.
function launch() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// A device script's commands, without comments and blank lines.
function readScript(file) {
  return fs.readFileSync(file, 'utf8').split('\n')
    .map((line) => line.replace(/(^|\s)#.*$/, '').trim())
    .filter((line) => line);
}

async function tap(page, x, y) {
  const box = await page.locator('#screen').boundingBox();
  await page.mouse.click(box.x + (x + 0.5) * box.width / WIDTH, box.y + (y + 0.5) * box.height / HEIGHT);
}

// The device clock, as the screen dump gives it.
async function deviceClock(page) {
  return Number((await page.evaluate(() => window.fernvale.look())).match(/^screen at (\d+)/)[1]);
}

// Where a device script's `press ID` taps: the middle of the topmost visible
// control with that id (its part on the screen), else of the menu bar button
// with that command. Resolves to [x, y, the screen dump it was read from].
async function pressPoint(page, id) {
  const screen = await page.evaluate(() => window.fernvale.look());
  const controls = screen.split('\n')
    .map((line) => line.match(/^\s+control (\d+) \S+ at (-?\d+),(-?\d+) size (\d+)x(\d+)/))
    .filter((m) => m && Number(m[1]) === id);
  if (controls.length) {
    const [, , x, y, w, h] = controls[controls.length - 1].map(Number);
    const left = Math.max(x, 0), top = Math.max(y, 0);
    const right = Math.min(x + w, WIDTH), bottom = Math.min(y + h, HEIGHT);
    return [Math.floor((left + right) / 2), Math.floor((top + bottom) / 2), screen];
  }
  for (const line of (await page.evaluate(() => window.fernvale.menuBar())).split('\n')) {
    const [command, left, top, right, bottom, enabled, hidden] = line.split(' ').map(Number);
    if (command === id && enabled && !hidden)
      return [Math.floor((left + right) / 2), Math.floor((top + bottom) / 2), screen];
  }
  throw new Error(`no control or menu bar button ${id} on screen:\n${screen}`);
}

// Carries out a walkthrough's commands (wait, press, key, type, dump) on the
// page; `after(command, screen)` runs after each wait and before each press
// (with the screen it taps on). Resolves to the last dump.
async function play(page, script, after) {
  let dump = '';
  for (const line of readScript(script)) {
    const [command, ...rest] = line.split(/\s+/);
    if (command === 'wait') {
      // Timers fall due in real time: wait until the virtual clock has moved on.
      const until = await deviceClock(page) + Number(rest[0]);
      while (await deviceClock(page) < until) await page.waitForTimeout(200);
      if (after) await after(command, null);
    } else if (command === 'press') {
      const [x, y, screen] = await pressPoint(page, Number(rest[0]));
      if (after) await after(command, screen);
      await tap(page, x, y);
    } else if (command === 'key') {
      await page.keyboard.press(KEYS[rest[0]] || rest[0]);
    } else if (command === 'type') {
      await page.keyboard.type(line.slice(line.indexOf(rest[0])));
    } else if (command === 'dump') {
      dump = await page.evaluate(() => window.fernvale.dump());
    } else {
      throw new Error(`the player does not know ${command}`);
    }
  }
  return dump;
}

async function waitForRun(page) {
  await page.waitForFunction(() => window.fernvale && window.fernvale.running());
}

module.exports = { WIDTH, HEIGHT, serve, launch, readScript, play, waitForRun };
