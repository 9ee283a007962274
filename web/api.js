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
    const run = (args) => core.run(Array.from(args, String));
    const text = (args) => {
      const result = run(args);
      if (result.status !== 0) throw new FortelleError(result);
      return result.out;
    };
    const raw = (options) => (options && options.raw ? ['--raw'] : []);

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
      // The calculators in the window's order: [{name, caption, tooltip}].
      calculators: () => core.calculators(),
      // One click of a calculator's button on the desktop window, in memory:
      // `files` is the working folder ({name: text}, the parameter files),
      // `answers` what is typed into its prompts (null: OK on each offered
      // value). Returns {asked: [{title, message, offered}], files, box}.
      click: (calculator, files = {}, answers = null) =>
        core.click(calculator, files, answers === null ? null : Array.from(answers, String)),
    });
  }

  let loading = null;
  // Resolves to the API once the module is compiled (once per page).
  function load() {
    if (!loading) {
      const factory = global.FortelleCore ||
        (typeof require === 'function' ? require('./fortelle-core.js') : null);
      loading = factory ? factory().then(wrap) : Promise.reject(new Error('fortelle-core.js is not loaded'));
    }
    return loading;
  }

  global.Fortelle = Object.freeze({ load, FortelleError });
  if (typeof module === 'object' && module.exports) module.exports = global.Fortelle;
})(typeof globalThis !== 'undefined' ? globalThis : this);
