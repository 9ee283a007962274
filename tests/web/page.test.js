// The web page in headless Chromium: its reports against the native
// fortelle-cli byte for byte, its speed and size, what it remembers, and
// how it looks in light and dark.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
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

// The native program reads the same game files as the page, and no user's.
const env = { ...process.env, FORTELLE_GAMES_DIR: path.join(root, 'data/games'),
  XDG_DATA_HOME: fs.mkdtempSync(path.join(os.tmpdir(), 'fortelle-web-')) };
const native = (args) => {
  const r = spawnSync(cli, args, { maxBuffer: 1 << 28, env });
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
const fields = (page) => page.$$eval('#fields input, #fields select', (inputs) =>
  inputs.map((i) => (i.type === 'checkbox' ? (i.checked ? '1' : '') : i.value)));
const shownErrors = (page) => page.$$eval('#fields .error', (errors) =>
  errors.flatMap((e, i) => (e.hidden ? [] : [[i, e.textContent]])));

test('the page is small, loads offline and shows its first report within a second', async (t) => {
  const bytes = fs.readdirSync(site).reduce((sum, f) => sum + fs.statSync(path.join(site, f)).size, 0);
  assert.ok(bytes < 2 * 1024 * 1024, `${bytes} bytes`);
  // Three fresh visits; the machine is shared, so the best one is judged.
  const marks = [];
  for (let visit = 0; visit < 3; visit++) {
    const { context, page, requests } = await openPage();
    marks.push(await page.evaluate(() => performance.getEntriesByName('fortelle-first-report')[0].startTime));
    assert.deepEqual(requests.filter((u) => !u.startsWith('file://') && !u.startsWith('data:')), []);
    assert.ok(sameBytes(await page.textContent('#report'), native(['lotto']).bytes));
    await context.close();
  }
  t.diagnostic(`site ${bytes} bytes; first report ${marks.map((m) => m.toFixed(0)).join(', ')} ms after navigation`);
  assert.ok(Math.min(...marks) < 1000, `first report after ${marks} ms`);
});

test("every calculator's offered values give the CLI's default report, each in under 50 ms", async (t) => {
  const { context, page } = await openPage();
  const names = await page.$$eval('#tool optgroup[label="Calculators"] option', (options) => options.map((o) => o.value));
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

// The command each game tool's form stands for, and answers to try in its
// text fields: [good ones, bad ones] (a select takes one of its options).
// A set of answers has at most one bad answer, so most give a report.
const given = (flags, values) => flags.flatMap((f, i) => (values[i] ? [f, values[i]] : []));
const GAME_TOOLS = {
  value: {
    argv: (v) => ['value', v[0], ...given(['--jackpot', '--price', '--cash', '--tax', '--tax-above', '--tickets-sold'], v.slice(1, 7)),
      ...v[7].split(/\s+/).filter(Boolean).flatMap((p) => ['--prize', p])],
    answers: [null, [['0', '1e6', '150000000', '2.5e9', '1,000,000', ' 2 000 '], ['-1', 'abc', '']],
      [['', '', '1', '2.5'], ['0', 'x']], [['', '', '1', '0.5', '0.61'], ['0', '2']], [['', '', '37', '37%', '0'], ['101', 'x']],
      [['', '', '600', '0'], ['-5']], [['', '', '0', '1000000', '300000000'], ['2.5', '1e13']], [['', '', ''], ['x', '5=-1', 'zzz=5']]],
  },
  draws: {
    argv: (v) => ['draws', ...v.slice(0, 2).filter(Boolean), ...given(['--spots', '--odds', '--draws', '--tickets'], v.slice(2))],
    answers: [null, [['', '', ''], ['x', '0', '6']], [[''], ['5', '21']], [[''], ['100', '24.87', '0.5', 'x']],
      [['1', '1040', '1e6', '1000000000', '7'], ['', '0', '2.5', 'x']], [['', '', '1', '3'], ['0', 'x']]],
  },
  'keno-return': {
    argv: (v) => ['keno-return', ...v.slice(0, 2).filter(Boolean), ...given(['--pay', '--games'], v.slice(2))],
    answers: [null, [['1', '3', '5', '8', '20']], [['0=0,2=1,3=25', '1=2', '0=1,1=1', '1=3,4=40,5=800'], ['', 'x', '2=1,2=3', '3=-1']],
      [['', '1', '100', '1000', '100000'], ['0', 'x']]],
  },
};
function answers(rand, pools, options) {
  const choose = (list) => list[Math.floor(rand() * list.length)];
  const bad = rand() < 0.4 ? choose(pools.map((p, i) => (p && p[1] ? i : -1)).filter((i) => i >= 0)) : -1;
  return pools.map((p, i) => (p ? choose(p[i === bad ? 1 : 0]) : choose(options)));
}

test('named games and value tools give the same text or refusal as the CLI', async (t) => {
  const { context, page } = await openPage();
  const rand = random(Number(process.env.FORTELLE_WEB_SEED || 17) + 1);
  const games = JSON.parse(native(['games', '--json']).out).games;
  const run = (sets) => page.evaluate((sets) => sets.map((values) => {
    const inputs = document.querySelectorAll('#fields input, #fields select');
    values.forEach((v, i) => { if (inputs[i].type === 'checkbox') inputs[i].checked = v !== ''; else inputs[i].value = v; });
    document.getElementById('form').requestSubmit();
    const errors = [...document.querySelectorAll('form .error')].filter((e) => !e.hidden).map((e) => e.textContent);
    return { report: document.getElementById('report').textContent, errors };
  }), sets);
  const check = (shown, argv) => {
    const expected = native(argv);
    if (expected.status === 0) {
      assert.deepEqual(shown.errors, [], argv.join(' '));
      assert.ok(sameBytes(shown.report, expected.bytes), argv.join(' '));
    } else {
      assert.deepEqual(shown.errors, [expected.err.trimEnd()], argv.join(' '));
    }
    return expected.status === 0;
  };
  let reports = 0, refusals = 0;
  const count = (ok) => (ok ? reports++ : refusals++);
  // Every named game as offered, exact figures too, and spot counts for Keno.
  for (const g of games) {
    await page.selectOption('#tool', 'game-' + g.id);
    const offered = await fields(page);
    const spots = g.keno ? [offered[0]] : [];
    const sets = [[...spots, ''], [...spots, '1'], ...(g.keno ? ['0', '1', '20', '21', 'x', ''].map((s) => [s, '']) : [])];
    (await run(sets)).forEach((shown, i) => count(check(shown, ['game', g.id, ...sets[i].slice(0, -1).filter(Boolean), ...(sets[i].at(-1) ? ['--exact'] : [])])));
  }
  for (const [id, argv] of [['games', ['games']], ['games-check', ['games', '--check']]]) {
    await page.selectOption('#tool', id);
    count(check((await run([[]]))[0], argv));
  }
  for (const [id, tool] of Object.entries(GAME_TOOLS)) {
    await page.selectOption('#tool', id);
    const options = await page.$$eval('#fields select', (selects) => selects.map((s) => [...s.options].map((o) => o.value)));
    const sets = [await fields(page), ...Array.from({ length: Math.ceil(CASES / 3) }, () => answers(rand, tool.answers, options[0]))];
    (await run(sets)).forEach((shown, i) => count(check(shown, tool.argv(sets[i]))));
  }
  t.diagnostic(`${reports} reports and ${refusals} refusals compared with fortelle-cli, all equal`);
  // A refusal stands next to the field it names.
  await page.selectOption('#tool', 'value');
  await page.fill('#field-1', 'abc');
  await page.click('#calculate');
  assert.equal(await page.textContent('#field-1-error'), native(['value', 'us-powerball', '--jackpot', 'abc']).err.trimEnd());
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

  await page.selectOption('#tool', 'value'); // a tool over a command keeps what it last reported with
  await page.selectOption('#field-0', 'uk-lotto');
  await page.fill('#field-1', '5e6');
  await page.press('#field-1', 'Enter');
  assert.ok(sameBytes(await page.textContent('#report'), native(['value', 'uk-lotto', '--jackpot', '5e6']).bytes));
  await page.reload();
  assert.deepEqual((await fields(page)).slice(0, 2), ['uk-lotto', '5e6']);
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
  const json = await page.evaluate(() => Fortelle.load().then((api) => ({
    games: api.games({ json: true }), check: api.checkGames(), game: api.game('keno', 5, { json: true }),
    value: api.value('us-powerball', { jackpot: '5e8', tax: '37', prizes: { 5: '2000000' }, json: true }),
    draws: api.draws(null, null, { odds: '1e6', draws: '1000', json: true }),
    keno: api.kenoReturn('keno', 3, { pay: { 0: 0, 2: 1, 3: 25 }, json: true }),
  })));
  const parsed = (argv) => JSON.parse(native(argv).out);
  const baseNames = (list) => list.games.map((g) => ({ ...g, file: path.basename(g.file) }));
  assert.deepEqual(baseNames(json.games), baseNames(parsed(['games', '--json'])));
  assert.deepEqual(json.check, { agrees: true, text: native(['games', '--check']).out });
  assert.deepEqual(json.game, parsed(['game', 'keno', '5', '--json']));
  assert.deepEqual(json.value, parsed(['value', 'us-powerball', '--jackpot', '5e8', '--tax', '37', '--prize', '5=2000000', '--json']));
  assert.deepEqual(json.draws, parsed(['draws', '--odds', '1e6', '--draws', '1000', '--json']));
  assert.deepEqual(json.keno, parsed(['keno-return', 'keno', '3', '--pay', '0=0,2=1,3=25', '--json']));

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
