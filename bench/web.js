// The browser build's figures, printed by tools/web-bench: what the page
// transfers (as served, and compressed as a server would send it), the time
// from navigation to the first painted page in headless Chromium (a first
// visit: nothing cached, no saved progress), and a tap's work in the browser
// (from the stylus lifting to the program waiting again, over a walkthrough's
// taps) beside the native page turn (build/bench/page_turn_bench).
'use strict';

const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const { serve, launch, play, waitForRun } = require('../tests/web/player');

const repo = path.resolve(__dirname, '..');
const site = process.env.FERNVALE_WEB_BUILD || path.join(repo, 'build-web');
const nativeBench = path.join(repo, 'build', 'bench', 'page_turn_bench');
const walkthrough = path.join(repo, 'tests', 'walkthroughs', 'ending-305.script');
const RUNS = 5;

const median = (v) => v.slice().sort((a, b) => a - b)[Math.floor(v.length / 2)];
const kb = (n) => `${(n / 1024).toFixed(0)} KB`;
const ms = (n) => `${n.toFixed(2)} ms`;

function transferSizes() {
  let raw = 0, gzip = 0, brotli = 0;
  for (const name of ['index.html', 'app.js', 'fernvale.js', 'fernvale.wasm', 'fernvale.png']) {
    const data = fs.readFileSync(path.join(site, name));
    raw += data.length;
    gzip += zlib.gzipSync(data, { level: 9 }).length;
    brotli += zlib.brotliCompressSync(data, {
      params: { [zlib.constants.BROTLI_PARAM_QUALITY]: 11, [zlib.constants.BROTLI_PARAM_SIZE_HINT]: data.length },
    }).length;
  }
  return { raw, gzip, brotli };
}

// The native page turn's median, in ms.
function nativeTurn() {
  if (!fs.existsSync(nativeBench)) return null;
  const r = spawnSync(nativeBench, ['--benchmark_format=json'], { encoding: 'utf8', maxBuffer: 1 << 26 });
  if (r.status !== 0) return null;
  const row = JSON.parse(r.stdout).benchmarks.find((b) => b.aggregate_name === 'median');
  const scale = { ns: 1e-6, us: 1e-3, ms: 1 }[row.time_unit];
  return row.real_time * scale;
}

(async () => {
  const [server, address] = await serve(site);
  const browser = await launch();
  try {
    const size = transferSizes();
    console.log(`transfer: ${kb(size.raw)} as served, ${kb(size.gzip)} gzip, ${kb(size.brotli)} brotli (aim: under 2048 KB compressed)`);

    const firsts = [];
    for (let i = 0; i < RUNS; ++i) {
      const context = await browser.newContext();
      const page = await context.newPage();
      await page.goto(address);
      await page.waitForFunction(() => window.fernvale && window.fernvale.stats.firstPresent > 0);
      firsts.push(await page.evaluate(() => window.fernvale.stats.firstPresent));
      await context.close();
    }
    console.log(`first painted page: ${ms(median(firsts))} median of ${RUNS} first visits (${firsts.map((t) => t.toFixed(0)).join(', ')}) (aim: under 500 ms)`);

    const context = await browser.newContext({ viewport: { width: 600, height: 900 } });
    const page = await context.newPage();
    const clock = fs.readFileSync(walkthrough.replace(/\.script$/, '.clock'), 'utf8').trim();
    await page.goto(`${address}?clock=${clock}`);
    await waitForRun(page);
    await play(page, walkthrough);
    const turns = await page.evaluate(() => window.fernvale.stats.turns);
    const browserTurn = median(turns);
    const nativeMs = nativeTurn();
    console.log(`tap to page shown in the browser: ${ms(browserTurn)} median of ${turns.length} taps`);
    if (nativeMs === null) {
      console.log('native page turn: build/bench/page_turn_bench is not built');
    } else {
      console.log(`native page turn: ${ms(nativeMs)} median (page_turn_bench); browser / native: ${(browserTurn / nativeMs).toFixed(2)} (aim: under 2)`);
    }
  } finally {
    await browser.close();
    server.close();
  }
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
