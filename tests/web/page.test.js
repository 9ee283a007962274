// The web page in headless Chromium: its reports against the native
// fortelle-cli byte for byte, its speed and size, what it remembers, and
// how it looks in light and dark.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { chromium } = require('playwright-core');

const root = path.resolve(__dirname, '../..');
const site = path.resolve(process.env.FORTELLE_WEB_SITE || path.join(root, 'build-web/site'));
const cli = path.resolve(process.env.FORTELLE_CLI || path.join(root, 'build-cli/fortelle-cli'));
const shots = path.resolve(process.env.FORTELLE_WEB_SHOTS || path.join(root, 'build-web/screenshots'));
const CASES = Number(process.env.FORTELLE_WEB_CASES || 300);
const pageUrl = 'file://' + site + '/index.html';
const FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

const native = (args) => {
  const r = spawnSync(cli, args, { maxBuffer: 1 << 28 });
  return { out: r.stdout.toString('utf8'), bytes: r.stdout, err: r.stderr.toString('utf8'), status: r.status };
};
const sameBytes = (text, bytes) => Buffer.from(text, 'utf8').equals(bytes);

// The largest plain answer per field; other answers test the reading itself.
const RANGES = { lotto: [120, 30, 120], powerball: [90, 40, 10, 20], euro: [80, 12, 20, 6],
  horses: [40], parlay: [400], soccer: [400], stddev: [60, 120, 1e9] };
const ODD_ANSWERS = ['', 'abc', '7.5', ' 7.5 ', '6.5', '1e1', '1 2', '2D1', '-3', '--5', '12 horses',
  '2147483648', '-2147483649', '1e20', '1e400', '0.5', '+4', '.5e1', '\t9', '32768', '-0', '1e-310'];
const STDDEV_ENTRIES = ['n', 'N', 'T'];

function random(seed) { // mulberry32
  return () => {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
function answer(rand, max) {
  const r = rand();
  if (r < 0.25) return ODD_ANSWERS[Math.floor(rand() * ODD_ANSWERS.length)];
  if (r < 0.4) return (rand() * max).toFixed(1);
  return String(Math.floor(rand() * (max + 1)));
}

let browser;
test.before(async () => { browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: FLAGS }); });
test.after(async () => { await browser?.close(); });

async function openPage(url = pageUrl, options = {}) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 }, ...options });
  const page = await context.newPage();
  const requests = [];
  page.on('request', (r) => requests.push(r.url()));
  await page.goto(url);
  await page.waitForFunction(() => performance.getEntriesByName('fortelle-first-report').length > 0);
  return { context, page, requests };
}
const fields = (page) => page.$$eval('#fields input', (inputs) => inputs.map((i) => i.value));
const shownErrors = (page) => page.$$eval('#fields .error', (errors) =>
  errors.flatMap((e, i) => (e.hidden ? [] : [[i, e.textContent]])));

test('the page is small, loads offline and shows its first report within a second', async (t) => {
  const bytes = fs.readdirSync(site).reduce((sum, f) => sum + fs.statSync(path.join(site, f)).size, 0);
  const started = Date.now();
  const { context, page, requests } = await openPage();
  const wall = Date.now() - started;
  const mark = await page.evaluate(() => performance.getEntriesByName('fortelle-first-report')[0].startTime);
  t.diagnostic(`site ${bytes} bytes; first report ${mark.toFixed(0)} ms after navigation (${wall} ms wall)`);
  assert.ok(bytes < 2 * 1024 * 1024, `${bytes} bytes`);
  assert.ok(mark < 1000, `first report after ${mark} ms`);
  assert.deepEqual(requests.filter((u) => !u.startsWith('file://') && !u.startsWith('data:')), []);
  assert.ok(sameBytes(await page.textContent('#report'), native(['lotto']).bytes));
  await context.close();
});

test("every calculator's offered values give the CLI's default report, each in under 50 ms", async (t) => {
  const { context, page } = await openPage();
  const names = await page.$$eval('#tool option', (options) => options.map((o) => o.value));
  assert.deepEqual(names, ['pick3', 'pick4', 'lotto', 'powerball', 'euro', 'horses', 'roulette', 'parlay', 'soccer', 'stddev']);
  for (const name of names) {
    await page.selectOption('#tool', name);
    const offered = await fields(page);
    const expected = native([name]);
    assert.ok(sameBytes(native(['--', name, ...offered]).out, expected.bytes), name);
    const runs = await page.evaluate(() => Array.from({ length: 7 }, () => {
      const t0 = performance.now();
      document.getElementById('calculate').click();
      const report = document.getElementById('report');
      void report.offsetHeight; // layout included
      return { ms: performance.now() - t0, text: report.textContent };
    }));
    const ms = runs.map((r) => r.ms).sort((a, b) => a - b);
    t.diagnostic(`${name}: median ${ms[3].toFixed(2)} ms, slowest ${ms[6].toFixed(2)} ms`);
    for (const run of runs) assert.ok(sameBytes(run.text, expected.bytes), name);
    assert.ok(ms[6] < 50, `${name} took ${ms[6]} ms`);
  }
  await context.close();
});

test('random answers give the same report or refusal as the CLI', async (t) => {
  const { context, page } = await openPage();
  const rand = random(Number(process.env.FORTELLE_WEB_SEED || 17));
  let reports = 0, refusals = 0;
  for (const [name, maxima] of Object.entries(RANGES)) {
    await page.selectOption('#tool', name);
    const sets = Array.from({ length: CASES }, () => maxima.map((max) => answer(rand, max)));
    const shown = await page.evaluate((sets) => sets.map((values) => {
      const inputs = document.querySelectorAll('#fields input');
      values.forEach((v, i) => { inputs[i].value = v; });
      document.getElementById('form').requestSubmit();
      const errors = [...document.querySelectorAll('#fields .error')].flatMap((e, i) => (e.hidden ? [] : [[i, e.textContent]]));
      return { report: document.getElementById('report').textContent, errors };
    }), sets);
    sets.forEach((values, i) => {
      const expected = native(['--', name, ...values]);
      const what = `${name} ${JSON.stringify(values)}`;
      if (expected.status === 0) {
        assert.deepEqual(shown[i].errors, [], what);
        assert.ok(sameBytes(shown[i].report, expected.bytes), what);
        reports++;
      } else {
        assert.match(expected.err, /the entry \w+ /, what);
        const entry = STDDEV_ENTRIES.indexOf(/the entry (\w+) /.exec(expected.err)[1]);
        assert.deepEqual(shown[i].errors, [[entry, expected.err.trimEnd()]], what);
        refusals++;
      }
    });
  }
  t.diagnostic(`${reports} reports and ${refusals} refusals compared with fortelle-cli, all equal`);
  await context.close();
});

test('the page remembers accepted values as the window does, typed from the keyboard', async () => {
  const { context, page } = await openPage(pageUrl + '#lotto');
  const type = async (answers) => {
    await page.focus('#field-0');
    for (const [i, a] of answers.entries()) {
      await page.keyboard.press('Control+A');
      await page.keyboard.type(a);
      await page.keyboard.press(i + 1 < answers.length ? 'Tab' : 'Enter');
    }
  };
  await type(['6', '49', '3']); // k and N exchanged, the pool raised to k
  assert.ok(sameBytes(await page.textContent('#report'), native(['lotto', '6', '49', '3']).bytes));
  await page.reload();
  assert.deepEqual(await fields(page), ['49', '6', '6']);

  await page.selectOption('#tool', 'stddev');
  await type(['7', '5', '10']);
  const refusal = native(['stddev', '7', '5', '10']);
  assert.equal(refusal.status, 1);
  assert.deepEqual(await shownErrors(page), [[1, refusal.err.trimEnd()]]);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'field-1');
  await type(['1', '2', '100']);
  assert.deepEqual(await shownErrors(page), []);
  await page.reload();
  assert.deepEqual(await fields(page), [' 1', ' 2', ' 100']);
  await page.click('#defaults');
  assert.deepEqual(await fields(page), [' 6', ' 49', ' 100']);
  await context.close();
});

test('the API answers every command as the CLI, and Download and Copy give the report', async () => {
  const server = http.createServer((req, res) => {
    const file = path.join(site, path.normalize(new URL(req.url, 'http://x').pathname).replace(/^\/$/, '/index.html'));
    fs.readFile(file, (err, data) => { res.writeHead(err ? 404 : 200); res.end(data); });
  }).listen(0, '127.0.0.1');
  await new Promise((resolve) => server.once('listening', resolve));
  const origin = `http://127.0.0.1:${server.address().port}`;
  const { context, page } = await openPage(origin + '/#horses', { acceptDownloads: true });
  const api = await page.evaluate(() => Fortelle.load().then((api) => ({
    help: api.help(), version: api.version(), bogus: api.run(['bogus']),
    raw: api.report('horses', ['12'], { raw: true }), value: api.report('lotto', ['--5']),
  })));
  assert.equal(api.help, native(['--help']).out);
  assert.equal(api.version, native(['--version']).out);
  assert.deepEqual(api.bogus, (({ out, err, status }) => ({ out, err, status }))(native(['bogus'])));
  assert.equal(api.raw, native(['--raw', '--', 'horses', '12']).out);
  assert.equal(api.value, native(['--', 'lotto', '--5']).out);

  await page.fill('#field-0', '11');
  await page.click('#calculate');
  const report = await page.textContent('#report');
  assert.ok(sameBytes(report, native(['horses', '11']).bytes));
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#download')]);
  assert.equal(download.suggestedFilename(), 'horses.txt');
  assert.equal(fs.readFileSync(await download.path(), 'utf8'), report);
  await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin });
  await page.click('#copy');
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()), report);
  await context.close();
  server.close();
});

test('light and dark: every text colour has at least 7:1 contrast; screenshots', async (t) => {
  const pairs = [['--text', '--page'], ['--text', '--panel'], ['--muted', '--panel'], ['--muted', '--page'],
    ['--box-text', '--box'], ['--button-text', '--button'], ['--primary-text', '--primary'], ['--error', '--panel']];
  const luminance = (hex) => {
    const [r, g, b] = [1, 3, 5].map((i) => parseInt(hex.slice(i, i + 2), 16) / 255)
      .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4));
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
  };
  fs.mkdirSync(shots, { recursive: true });
  const backgrounds = [];
  for (const colorScheme of ['light', 'dark']) {
    const { context, page } = await openPage(pageUrl + '#lotto', { colorScheme });
    const colours = await page.evaluate((names) => names.map((n) =>
      getComputedStyle(document.documentElement).getPropertyValue(n).trim()), pairs.flat());
    backgrounds.push(await page.evaluate(() => getComputedStyle(document.documentElement).backgroundColor));
    for (let i = 0; i < colours.length; i += 2) {
      const [a, b] = [luminance(colours[i]), luminance(colours[i + 1])];
      const ratio = (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
      assert.ok(ratio >= 7, `${colorScheme} ${pairs[i / 2]}: ${ratio.toFixed(2)}`);
    }
    await page.screenshot({ path: path.join(shots, `fortelle-web-${colorScheme}.png`) });
    await page.setViewportSize({ width: 390, height: 844 });
    await page.screenshot({ path: path.join(shots, `fortelle-web-${colorScheme}-phone.png`), fullPage: true });
    await context.close();
  }
  t.diagnostic(`page background: light ${backgrounds[0]}, dark ${backgrounds[1]}`);
  assert.notEqual(backgrounds[0], backgrounds[1]);
});
