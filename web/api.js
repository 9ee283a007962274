// Fortelle's JavaScript API: every fortelle-cli command as one function,
// answered by the same core compiled to WebAssembly. See web/README.md.
// A classic script (no modules), so that it also runs from file://.
(function (global) {
  'use strict';

  // A command that fortelle-cli ends with a non-zero status: `message` is
  // what it writes to standard error, without the last line feed.
  class FortelleError extends Error {
    constructor(result) {
      super(result.err.replace(/\n$/, ''));
      this.name = 'FortelleError';
      this.status = result.status;
      this.stderr = result.err;
    }
  }

  function wrap(core) {
    const run = (args) => core.commandLine(Array.from(args, String));
    const text = (args) => {
      const result = run(args);
      if (result.status !== 0) throw new FortelleError(result);
      return result.out;
    };
    const raw = (options) => (options && options.raw ? ['--raw'] : []);
    // A command with --json: the parsed JSON when asked for, else the text.
    const textOrJson = (options, args) =>
      (options && options.json ? JSON.parse(text([...args, '--json'])) : text([...raw(options), ...args]));
    // Options given as {name: value}: each becomes "--name value" when set.
    const given = (pairs) => pairs.flatMap(([flag, value]) =>
      (value === undefined || value === null || value === '' ? [] : [flag, String(value)]));
    // {KEY: VALUE, ...} or ["KEY=VALUE", ...] as the words KEY=VALUE.
    const entries = (table) => (table === undefined || table === null ? []
      : Array.isArray(table) ? table.map(String) : Object.entries(table).map(([k, v]) => k + '=' + v));

    return Object.freeze({
      // fortelle-cli ARGS...: {out, err, status}, exactly as the program.
      run,
      // fortelle-cli -- CALCULATOR ANSWERS...: the report. Each answer is
      // read as the calculator's prompt reads it, a missing one takes the
      // built-in default. {raw: true} keeps the CR LF line ends.
      report: (calculator, answers = [], options = {}) =>
        text([...raw(options), '--', calculator, ...answers]),
      // fortelle-cli --help and --version.
      help: () => text(['--help']),
      version: () => text(['--version']),
      // fortelle-cli games [--json]: the named games.
      games: (options = {}) => textOrJson(options, ['games']),
      // fortelle-cli games --check: {agrees, text}; agrees is false where a
      // published figure differs from the computed one (status 1).
      checkGames() {
        const result = run(['games', '--check']);
        if (result.status > 1) throw new FortelleError(result);
        return { agrees: result.status === 0, text: result.out };
      },
      // fortelle-cli game ID [SPOTS] [--exact] [--json].
      game: (id, spots = null, options = {}) => textOrJson(options, [
        'game', id, ...(spots === null || spots === undefined ? [] : [String(spots)]),
        ...(options.exact ? ['--exact'] : [])]),
      // fortelle-cli value ID --jackpot X [--price P] [--cash F] [--tax R]
      // [--tax-above T] [--tickets-sold S] [--prize TIER=AMOUNT ...] [--json];
      // options {jackpot, price, cash, tax, taxAbove, ticketsSold, prizes, json, raw}.
      value: (id, options = {}) => textOrJson(options, ['value', id, ...given([
        ['--jackpot', options.jackpot], ['--price', options.price], ['--cash', options.cash],
        ['--tax', options.tax], ['--tax-above', options.taxAbove], ['--tickets-sold', options.ticketsSold]]),
        ...entries(options.prizes).flatMap((p) => ['--prize', p])]),
      // fortelle-cli draws (ID [TIER] [--spots S] | --odds X) --draws N [--tickets K] [--json];
      // id null with options.odds for typed odds.
      draws: (id, tier = null, options = {}) => textOrJson(options, ['draws',
        ...[id, tier].filter((w) => w !== null && w !== undefined && w !== '').map(String),
        ...given([['--spots', options.spots], ['--odds', options.odds], ['--draws', options.draws],
          ['--tickets', options.tickets]])]),
      // fortelle-cli keno-return ID SPOTS [--games N] [--pay CATCH=PAY,...] [--json].
      kenoReturn: (id, spots, options = {}) => textOrJson(options, ['keno-return', id, String(spots),
        ...given([['--games', options.games], ['--pay', entries(options.pay).join(',')]])]),
      // The calculators in the window's order: [{name, caption, tooltip}].
      calculators: () => core.calculators(),
      // One click of a calculator's button on the desktop window, in memory:
      // `files` is the working folder ({name: text}, the parameter files),
      // `answers` what is typed into its prompts (null: OK on each offered
      // value). Returns {asked: [{title, message, offered}], files, box}.
      click: (calculator, files = {}, answers = null) =>
        core.click(calculator, files, answers === null ? null : Array.from(answers, String)),
      // The tool windows beyond the buttons, in menu order: [{id, menu,
      // title, summary, memoryField, entries}] (entries: the memory field's
      // options for a tool listed once per game, else []).
      tools: () => JSON.parse(core.tools()),
      // A tool's form over the page's files ({"Tools.json": text}): state()
      // gives {fields, values, problems} as JSON text, set(key, value) types
      // a value, setLink(values) fills in a shared address, remember(values)
      // keeps the values of a computation that succeeded, calculate()
      // computes here, files() gives the folder afterwards. delete() frees it.
      toolForm: (id, files = {}) => new core.ToolForm(id, files),
      // One computation of a tool: {problems, title, verdict, report (line
      // feeds, as fortelle-cli prints it), tables, charts, exports};
      // progress(fraction) is called as it goes.
      compute: (id, values, progress = null) => JSON.parse(core.compute(id, values, progress)),
    });
  }

  // Where this script was loaded from: the module's files are beside it.
  const folder = typeof document !== 'undefined' && document.currentScript
    ? new URL('.', document.currentScript.src).href : './';

  // The module's WebAssembly: fetched over the network, or from file://,
  // where a browser fetches nothing, from a script that holds it as text;
  // in Node.js, read from its file.
  function wasmBinary() {
    if (typeof document === 'undefined') {
      return typeof require === 'function'
        ? Promise.resolve(require('fs').readFileSync(require('path').join(__dirname, 'fortelle-core.wasm'))) : null;
    }
    if (location.protocol !== 'file:') {
      return fetch(folder + 'fortelle-core.wasm').then((r) => {
        if (!r.ok) throw new Error('fortelle-core.wasm: ' + r.status);
        return r.arrayBuffer();
      });
    }
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = folder + 'fortelle-core-wasm.js';
      script.onload = () => {
        const text = atob(global.FortelleWasm);
        global.FortelleWasm = null; // the text is not needed again
        const bytes = new Uint8Array(text.length);
        for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
        resolve(bytes.buffer);
      };
      script.onerror = () => reject(new Error('fortelle-core-wasm.js is not there'));
      document.head.append(script);
    });
  }

  let loading = null;
  let binary = null;
  // Resolves to the API once the module is compiled (once per page).
  function load() {
    if (!loading) {
      const factory = global.FortelleCore ||
        (typeof require === 'function' ? require('./fortelle-core.js') : null);
      const bytes = factory && wasmBinary();
      loading = !factory ? Promise.reject(new Error('fortelle-core.js is not loaded'))
        : bytes ? bytes.then((b) => { binary = b; return factory({ wasmBinary: b }); }).then(wrap)
          : factory().then(wrap);
    }
    return loading;
  }

  // The module's WebAssembly once loaded: a worker makes its own module from it.
  const wasm = () => load().then(() => binary);

  global.Fortelle = Object.freeze({ load, wasm, FortelleError });
  if (typeof module === 'object' && module.exports) module.exports = global.Fortelle;
})(typeof globalThis !== 'undefined' ? globalThis : this);
