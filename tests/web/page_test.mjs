// The page in headless Chromium against `kelmor run`: node page_test.mjs SITE KELMOR SOURCE WORK.
// Relaxes the snub cube with seed 1 and the command line's date text and checks the
// figures, the OFF file byte for byte, the 38 faces read back from the canvas in the
// colours of the OFF file, and that no console error and no request beyond the page's
// origin happened; then drops an OFF file and relaxes it; then a bad input shows its
// message and the page still relaxes. Exit 77 (skipped) when Chromium cannot start.
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { launchChromium, serveSite } from './local_site.mjs';

const [site, kelmor, source, work] = process.argv.slice(2);
rmSync(work, { recursive: true, force: true });
const home = join(work, 'home');
for (const d of ['.config', '.cache', '.local/share', 'out']) mkdirSync(join(home, d), { recursive: true });
const env = { ...process.env, HOME: home, XDG_CONFIG_HOME: join(home, '.config'), XDG_CACHE_HOME: join(home, '.cache'),
  XDG_DATA_HOME: join(home, '.local/share'), LC_ALL: 'C', TZ: 'UTC' };
let failures = 0;
const check = (ok, what) => { if (!ok) { failures += 1; console.log('FAIL: ' + what); } else console.log('ok: ' + what); };

// The command line's files for the same input and seed.
execFileSync(kelmor, ['run', join(source, 'examples/snub_cube.txt'), '--out', join(home, 'out'), '--seed', '1', '--quiet'], { env });
const cliOff = readFileSync(join(home, 'out/snub_cube.off'), 'latin1');
const dateText = /Generation Date: (.*)\r/.exec(cliOff)[1];
// Face colours of the OFF file, face by face: "n v1 .. vn r g b".
const offFaces = cliOff.split('\r\n').filter((l) => /^ *[0-9]+( +[0-9]+)+ *$/.test(l) && !l.startsWith('#'))
  .map((l) => l.trim().split(/ +/).map(Number)).filter((w) => w.length === w[0] + 4).map((w) => w.slice(-3));

const { origin, server } = await serveSite(source, site, env);

let browser;
try {
  browser = await launchChromium(env);
} catch (e) {
  console.log('skipped: Chromium does not start here (' + String(e.message).split('\n')[0] + ')');
  server.kill();
  process.exit(77);
}
try {
  // Playwright evaluates its waits as strings, which the page's policy forbids; the
  // requests are watched below instead.
  const page = await browser.newPage({ viewport: { width: 1280, height: 900 }, bypassCSP: true });
  const errors = [], foreign = [];
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));
  page.on('request', (r) => { if (!r.url().startsWith(origin) && !/^(blob|data):/.test(r.url())) foreign.push(r.url()); });
  await page.goto(origin + '/');
  await page.waitForSelector('#status[data-state=ready]', { timeout: 60000 });

  const relax = async () => {
    await page.click('#relax');
    await page.waitForFunction(() => ['written', 'ended', 'refused'].includes(document.querySelector('#status').dataset.state)
      && !window.kelmorPage.state.running, null, { timeout: 120000 });
    return page.evaluate(() => window.kelmorPage.state.result);
  };

  // 1. The snub cube, seed 1.
  await page.selectOption('#example', 'snub_cube');
  await page.fill('#seed', '1');
  await page.fill('#dateText', dateText);
  const result = await relax();
  const s = result.solutions[0];
  check(s && s.name === 'snub_cube', 'the snub cube is solved');
  check(s.E < 1e-12 && s.P < 1e-12, `E and P at rounding level (E=${s.E}, P=${s.P})`);
  check(await page.textContent('#E') === String(s.E), 'E is shown');
  const off = s.files.find((f) => f.name === 'snub_cube.off');
  const pageOff = off ? Buffer.from(Object.values(off.bytes)).toString('latin1') : '';
  if (pageOff !== cliOff) writeFileSync(join(work, 'snub_cube.page.off'), pageOff, 'latin1');
  check(pageOff === cliOff, `the OFF file is the command line's, byte for byte (else ${join(work, 'snub_cube.page.off')})`);
  check(['snub_cube.glb', 'snub_cube.stl'].every((n) => s.files.some((f) => f.name === n)), 'glb and STL are offered');
  check(await page.$$eval('#downloads a', (as) => as.length) === s.files.length, 'every file is a download');

  // What is drawn at the end is the solution: every outline a unit edge.
  const lengths = await page.evaluate(() => {
    const o = window.kelmorPage.view.mesh.outlines, out = [];
    for (let i = 0; i < o.length; i += 6) out.push(Math.hypot(o[i] - o[i + 3], o[i + 1] - o[i + 4], o[i + 2] - o[i + 5]));
    return out;
  });
  check(lengths.length === 2 * 60 && lengths.every((l) => Math.abs(l - 1) < 1e-5), 'the solution is drawn at the end');

  // The faces as drawn: ids from many sides, each face's pixels in its OFF colour.
  const drawn = await page.evaluate((expected) => {
    const v = window.kelmorPage.view;
    const seen = new Set(), wrong = [];
    const dirs = [];
    for (const x of [-1, 0, 1]) for (const y of [-1, 0, 1]) for (const z of [-1, 0, 1]) if (x || y || z) dirs.push([x, y + 0.01, z]);
    const block = [];
    for (let dy = -2; dy <= 2; ++dy) for (let dx = -2; dx <= 2; ++dx) block.push(dy * v.pixels().width + dx);
    for (const d of dirs) {
      v.look(...d);
      const ids = v.faceIds();
      const { width, data } = v.pixels();
      for (let i = 2 * width + 2; i < ids.length - 2 * width - 2; ++i) {
        const id = ids[i];
        // Only pixels whose 5 x 5 block is all this face: outlines and the faces' own
        // edges are rasterised apart.
        if (id < 0 || !block.every((k) => ids[i + k] === id)) continue;
        seen.add(id);
        const want = expected[id];
        const got = [data[i * 4], data[i * 4 + 1], data[i * 4 + 2]];
        if (!want || got.some((c, k) => Math.abs(c - want[k]) > 2)) wrong.push({ id, got, want });
      }
    }
    return { faces: seen.size, wrong: wrong.length, example: wrong[0] };
  }, offFaces);
  check(drawn.faces === 38, `38 faces drawn (${drawn.faces})`);
  check(drawn.wrong === 0, `every face in its OFF colour ${JSON.stringify(drawn.example || '')}`);

  // The link carries the input and the options into a fresh page.
  const link = await page.getAttribute('#share', 'href');
  const shared = await browser.newPage({ bypassCSP: true });
  await shared.goto(origin + '/' + link);
  const restored = await shared.evaluate(() => [document.querySelector('#text').value,
    document.querySelector('#seed').value, document.querySelector('#dateText').value]);
  check(restored[0] === readFileSync(join(source, 'examples/snub_cube.txt'), 'utf8') && restored[1] === '1' &&
    restored[2] === dateText, 'the link restores the input, the seed and the date text');
  await shared.close();

  // 2. An OFF file dropped on the page.
  const cubeOff = 'OFF\n8 6 12\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n' +
    '4 0 3 2 1\n4 4 5 6 7\n4 0 1 5 4\n4 1 2 6 5\n4 2 3 7 6\n4 3 0 4 7\n';
  await page.evaluate((text) => {
    const dt = new DataTransfer();
    dt.items.add(new File([text], 'box.off'));
    document.querySelector('#drop').dispatchEvent(new DragEvent('drop', { dataTransfer: dt, bubbles: true, cancelable: true }));
  }, cubeOff);
  await page.waitForFunction(() => window.kelmorPage.state.running === false && window.kelmorPage.state.result?.solutions?.[0]?.name === 'box', null, { timeout: 120000 });
  const box = await page.evaluate(() => window.kelmorPage.state.result.solutions[0]);
  check(box.E < 1e-9 && box.files.some((f) => f.name === 'box.off'), 'the dropped OFF file is relaxed');

  // 3. A bad input: the described message, then the page still works.
  await page.selectOption('#example', 'cube');
  await page.fill('#text', 'no faces here');
  const bad = await relax();
  const shown = await page.textContent('#messages');
  check(bad.error && shown.includes('KELMOR has come across error, attempting to resume 62'), `a bad input shows its message (${shown.trim().replace(/\n/g, " / ")})`);
  await page.selectOption('#example', 'tetrahedron');
  const again = await relax();
  check(again.solutions?.[0]?.name === 'tetrahedron', 'the page relaxes again after a bad input');

  // 4. Re-do starts a new attempt and Stop ends an endless run (repeat mode, no limit).
  await page.selectOption('#example', 'truncated_icosidodecahedron');
  await page.fill('#solutions', '0');
  await page.click('#relax');
  await page.waitForFunction(() => Number(document.querySelector('#attempt').textContent) >= 1, null, { timeout: 60000 });
  const before = Number(await page.textContent('#attempt'));
  await page.click('#redo');
  await page.waitForFunction((n) => Number(document.querySelector('#attempt').textContent) > n, before, { timeout: 60000 });
  await page.click('#stop');
  await page.waitForFunction(() => !window.kelmorPage.state.running, null, { timeout: 60000 });
  const stopped = await page.getAttribute('#status', 'data-state');
  check(['ended', 'written'].includes(stopped), `Re-do starts a new attempt, Stop ends the run (${stopped})`);

  check(errors.length === 0, `no console error ${errors.join(' | ')}`);
  check(foreign.length === 0, `no request leaves the origin ${foreign.join(' ')}`);
} finally {
  await browser.close();
  server.kill();
}
process.exit(failures ? 1 : 0);
