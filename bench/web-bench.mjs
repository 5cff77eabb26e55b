// The page against the command line, by hand (not in make test): after `make web` and
// `make build`, NODE_PATH=build-web/npm/node_modules node bench/web-bench.mjs [RUNS]
// Prints, for the snub cube and the truncated icosidodecahedron with seed 1, the best of
// RUNS runs of each (seconds and iterations per second, page with its live view on), the
// page's weight gzip-compressed, and the time from loading the page to its first frame.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { launchChromium, serveSite } from '../tests/web/local_site.mjs';

const runs = Number(process.argv[2] || 5);
const home = mkdtempSync(join(tmpdir(), 'kelmor-web-bench-'));
const env = { ...process.env, HOME: home, XDG_CONFIG_HOME: join(home, '.config'), XDG_CACHE_HOME: join(home, '.cache') };
const solids = ['snub_cube', 'truncated_icosidodecahedron'];

function native(solid) {
  let best = null;
  for (let i = 0; i < runs; ++i) {
    const out = execFileSync('build/kelmor', ['run', `examples/${solid}.txt`, '--out', join(home, 'out'), '--seed', '1'],
      { env, encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
    const m = /iterations=(\d+) attempts=(\d+) seconds=([0-9.]+)/.exec(out);
    const r = { iterations: Number(m[1]), attempts: Number(m[2]), seconds: Number(m[3]) };
    if (!best || r.seconds < best.seconds) best = r;
  }
  return best;
}

const { origin, server } = await serveSite('.', 'build-web/site', env);
const browser = await launchChromium(env);
const page = await browser.newPage({ bypassCSP: true });
await page.goto(origin + '/');
await page.waitForSelector('#status[data-state=ready]');
await page.click('#relax');
await page.waitForFunction(() => window.kelmorPage.view.frames > 0);
const firstFrame = await page.evaluate(() => window.kelmorPage.view.firstFrameAt);
await page.waitForFunction(() => !window.kelmorPage.state.running);

console.log('solid                          native s  native it/s   page s   page it/s  page/native');
for (const solid of solids) {
  const n = native(solid);
  let best = null;
  for (let i = 0; i < runs; ++i) {
    await page.selectOption('#example', solids.find((s) => s !== solid));
    await page.selectOption('#example', solid);
    await page.fill('#seed', '1');
    await page.click('#relax');
    await page.waitForFunction(() => !window.kelmorPage.state.running && window.kelmorPage.state.result, null, { timeout: 300000 });
    const r = await page.evaluate(() => { const x = window.kelmorPage.state.result; return { seconds: x.seconds, iterations: x.solutions[0].iterations, attempts: x.solutions[0].attempts }; });
    if (!best || r.seconds < best.seconds) best = r;
  }
  const same = best.iterations === n.iterations && best.attempts === n.attempts ? '' : ' (runs differ!)';
  console.log(`${solid.padEnd(30)} ${n.seconds.toFixed(3).padStart(8)} ${(n.iterations / n.seconds).toFixed(0).padStart(12)} ` +
    `${best.seconds.toFixed(3).padStart(8)} ${(best.iterations / best.seconds).toFixed(0).padStart(11)} ${(best.seconds / n.seconds).toFixed(2).padStart(11)}x${same}`);
}
let raw = 0, gz = 0;
for (const f of readdirSync('build-web/site')) {
  const bytes = readFileSync(join('build-web/site', f));
  raw += bytes.length;
  gz += gzipSync(bytes, { level: 9 }).length;
}
console.log(`page weight: ${(raw / 1024).toFixed(0)} KiB, ${(gz / 1024).toFixed(0)} KiB gzip -9`);
console.log(`load to first frame (Relax pressed as soon as the engine is ready): ${firstFrame.toFixed(0)} ms`);
await browser.close();
server.kill();
