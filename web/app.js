// The page: the picker, one form per tool, the result (verdict, tables,
// charts, the exact report) with Copy, Download and Share. The calculators'
// forms are the window's prompts; every other tool's form is drawn from the
// core's registry, as the window draws its tool windows.
(function () {
  'use strict';

  const $ = (id) => document.getElementById(id);
  const el = (tag, props = {}, ...children) => {
    const node = Object.assign(document.createElement(tag), props);
    node.append(...children.filter((c) => c !== null && c !== undefined));
    return node;
  };
  const FILE_PREFIX = 'fortelle.file.';
  const TOOL_KEY = 'fortelle.tool';

  // localStorage, where the page keeps the window's files: the parameter
  // files of the calculators and Tools.json of the other tools. When
  // storage is off the page still works; it only forgets.
  const storage = {
    get(key) { try { return localStorage.getItem(key); } catch (e) { return null; } },
    set(key, value) { try { localStorage.setItem(key, value); } catch (e) { /* forgets */ } },
    folder() {
      const files = {};
      try {
        for (let i = 0; i < localStorage.length; i++) {
          const key = localStorage.key(i);
          if (key.startsWith(FILE_PREFIX)) files[key.slice(FILE_PREFIX.length)] = localStorage.getItem(key);
        }
      } catch (e) { /* nothing remembered */ }
      return files;
    },
    keep(files) { for (const [name, text] of Object.entries(files)) this.set(FILE_PREFIX + name, text); },
  };

  // A sentence for a person from the command line's refusal: without the
  // program's and the command's names, with a capital and a full stop.
  const sentence = (text) => {
    const s = text.replace(/^fortelle-cli: [\w-]+: /, '').trim();
    return s.charAt(0).toUpperCase() + s.slice(1) + (/[.!?]$/.test(s) ? '' : '.');
  };
  // A key for a calculator's prompt in a shared address: its title, in words.
  const slug = (title) => title.toLowerCase().replace(/[^a-z0-9]+/g, '-').replace(/^-|-$/g, '');

  // An answer that was not accepted: shown next to field `index`.
  class FieldError extends Error {
    constructor(index, message, boxText) {
      super(message);
      this.index = index;
      this.boxText = boxText;
    }
  }

  // The calculators come from the core: the window's buttons, their prompts
  // and the values they remember. fields() and builtIn() give [{label,
  // help, offered, key}]; compute returns the report or throws a FieldError.
  function calculatorTools(api) {
    return api.calculators().map((c) => {
      const prompts = api.click(c.name, {}, null).asked;
      const asField = (p) => ({ label: p.title, help: p.message, offered: p.offered, key: slug(p.title) });
      return {
        kind: 'calculator',
        id: c.name,
        group: 'Calculators',
        caption: c.caption,
        description: c.tooltip,
        file: c.name + '.txt',
        keys: prompts.map((p) => slug(p.title)),
        builtIn: () => prompts.map(asField),
        fields() {
          // What the window would offer now; a prompt the remembered values
          // never reach offers its built-in value.
          const offered = api.click(c.name, storage.folder(), null).asked;
          return prompts.map((p, i) => asField(offered[i] || p));
        },
        compute(values) {
          const click = api.click(c.name, storage.folder(), values);
          storage.keep(click.files);
          try {
            return api.report(c.name, values);
          } catch (e) {
            if (!(e instanceof Fortelle.FortelleError)) throw e;
            throw new FieldError(Math.max(0, click.asked.length - 1), sentence(e.message), click.box);
          }
        },
      };
    });
  }

  // The other tools: the registry's, in menu order.
  function registryTools(api) {
    return api.tools().map((t) => ({
      kind: 'form', id: t.id, group: t.menu, caption: t.title, description: t.summary.replace(/[^.!?]$/, '$&.'),
      memoryField: t.memoryField, entries: t.entries,
    }));
  }

  // ---- Computations off the page's thread ----
  //
  // A tool of the registry computes in a Web Worker with a module of its
  // own, so that the page answers while it works, shows how far it is and
  // can stop it (by ending the worker). The worker is made from the very
  // module this page loaded, so it also runs from file://.
  function workerMain() {
    let ready = null;
    self.onmessage = (e) => {
      if (e.data.wasm) { ready = FortelleCore({ wasmBinary: e.data.wasm }); return; }
      compute(e.data);
    };
    const compute = ({ id, values }) => ready.then((core) => {
      const json = core.compute(id, values, (fraction) => self.postMessage({ progress: fraction }));
      self.postMessage({ result: json });
    }).catch((error) => self.postMessage({ error: String((error && error.message) || error) }));
  }

  const runner = {
    worker: null,
    job: null,
    start() {
      if (this.worker || this.unavailable) return;
      try {
        const source = 'var _scriptDir;\nvar FortelleCore = ' + FortelleCore.toString() + ';\n(' + workerMain + ')();\n';
        const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
        this.worker = new Worker(url);
        URL.revokeObjectURL(url);
        this.worker.onmessage = (e) => this.message(e.data);
        this.worker.postMessage({ wasm: page.wasm });
        this.worker.onerror = (e) => { e.preventDefault(); this.end({ error: e.message || 'the computation stopped' }); };
      } catch (e) {
        this.unavailable = true; // computes on the page's thread instead
      }
    },
    message(data) {
      if (!this.job) return;
      if ('progress' in data) this.job.progress(data.progress);
      else this.end(data);
    },
    end(data) {
      const job = this.job;
      this.job = null;
      if (data.error !== undefined) {
        this.stop(); // a module that failed is not used again
        job?.reject(new Error(data.error));
      } else {
        job?.resolve(JSON.parse(data.result));
      }
    },
    compute(id, values, progress) {
      this.start();
      if (!this.worker) return Promise.resolve().then(() => page.api.compute(id, values, progress));
      return new Promise((resolve, reject) => {
        this.job = { resolve, reject, progress };
        this.worker.postMessage({ id, values });
      });
    },
    stop() {
      this.worker?.terminate();
      this.worker = null;
      const job = this.job;
      this.job = null;
      job?.reject(Object.assign(new Error('stopped'), { stopped: true }));
    },
  };

  // ---- The page ----

  const page = {
    api: null, tools: [], tool: null, inputs: [], form: null, state: null,
    touched: new Set(), tried: false, busy: false, result: null, runs: 0,
  };

  const toolById = (id) => page.tools.find((t) => t.id === id);
  // The picker's value for a tool: "game?game=keno" for a tool the menus
  // list once per game.
  const entryValue = (tool, choice) => (tool.entries?.length
    ? tool.id + '?' + new URLSearchParams({ [tool.memoryField]: choice }) : tool.id);

  function fillPicker() {
    const select = $('tool');
    const chosen = select.value;
    select.textContent = '';
    const groups = new Map();
    for (const tool of page.tools) {
      if (!groups.has(tool.group)) {
        const group = el('optgroup', { label: tool.group });
        select.append(group);
        groups.set(tool.group, group);
      }
      const list = tool.entries?.length ? tool.entries.map((e) => [entryValue(tool, e.value), e.label])
        : [[tool.id, tool.caption]];
      for (const [value, label] of list) groups.get(tool.group).append(new Option(label, value));
    }
    if (chosen) select.value = chosen;
  }

  function syncPicker() {
    const tool = page.tool;
    const value = tool.entries?.length ? entryValue(tool, page.state.values[tool.memoryField]) : tool.id;
    $('tool').value = value;
    storage.set(TOOL_KEY, value);
  }

  // The address of the tool and, once computed, of its values.
  function setAddress(values) {
    const hash = '#' + page.tool.id + (values ? '?' + new URLSearchParams(values) : '');
    if (location.hash !== hash) history.replaceState(null, '', hash);
  }

  function readAddress() {
    const hash = location.hash.slice(1);
    const at = hash.indexOf('?');
    const id = at < 0 ? hash : hash.slice(0, at);
    return { id, link: at < 0 ? null : Object.fromEntries(new URLSearchParams(hash.slice(at + 1))) };
  }

  // A field's box: label, help, the control (with its unit), its problem.
  function fieldBox(i, f, control) {
    const id = 'field-' + i;
    control.id = id;
    control.dataset.key = f.key;
    const box = el('div', { className: 'field' });
    const help = el('p', { id: id + '-help', className: 'help', textContent: f.help || '', hidden: !f.help });
    const error = el('p', { id: id + '-error', className: 'error', hidden: true });
    const described = [help.id, error.id];
    let row = control;
    if (f.unit) {
      const unit = el('span', { id: id + '-unit', className: 'unit', textContent: f.unit });
      described.unshift(unit.id);
      row = el('div', { className: 'with-unit' }, control, unit);
    }
    control.setAttribute('aria-describedby', described.join(' '));
    if (f.kind === 'picks') {
      const legend = el('span', { id: id + '-label', className: 'label', textContent: f.label });
      control.setAttribute('aria-labelledby', legend.id);
      box.append(legend, help, row, error);
    } else if (f.kind === 'check') {
      box.classList.add('check');
      box.append(el('label', { htmlFor: id, textContent: f.label }), help, row, error);
    } else {
      box.append(el('label', { htmlFor: id, textContent: f.label }), help, row, error);
    }
    return box;
  }

  // ---- The calculators' forms ----

  function showCalculator(tool, fields) {
    const list = $('fields');
    list.textContent = '';
    page.inputs = fields.map((f, i) => {
      const input = el('input', { type: 'text', autocomplete: 'off', spellcheck: false, value: f.offered });
      input.inputMode = 'decimal';
      list.append(fieldBox(i, { ...f, help: f.help.split('\n').map((l) => l.trim()).filter(Boolean).join('\n') }, input));
      return input;
    });
  }

  function calculateCalculator(user) {
    const tool = page.tool;
    clearErrors();
    const values = page.inputs.map((i) => i.value);
    try {
      const text = tool.compute(values);
      setAddress(Object.fromEntries(tool.keys.map((k, i) => [k, values[i]])));
      showResult({ title: tool.caption, report: text, fileName: tool.file }, user);
    } catch (thrown) {
      // Whatever fails, the report of an earlier calculation must not stay
      // as if it were this one's.
      const e = thrown instanceof FieldError ? thrown : new FieldError(-1, 'The calculation failed: ' + thrown.message, '');
      const input = page.inputs[e.index];
      const error = input ? $(input.id + '-error') : $('form-error');
      error.textContent = e.message;
      error.hidden = false;
      showRefusal(e.message, e.boxText || '');
      if (input) {
        input.setAttribute('aria-invalid', 'true');
        if (user) input.focus();
      }
    }
  }

  function clearErrors() {
    $('form-error').hidden = true;
    for (const input of page.inputs) {
      input.removeAttribute('aria-invalid');
      const error = $(input.id + '-error');
      error.hidden = true;
      error.textContent = '';
    }
  }

  // ---- The registry's forms ----

  const shapeOf = (fields) => JSON.stringify(fields.map((f) => [f.key, f.label, f.kind, f.unit, f.options, f.lowest, f.highest]));

  function control(f) {
    switch (f.kind) {
      case 'choice': {
        const select = el('select');
        for (const o of f.options) select.append(new Option(o.label, o.value));
        return select;
      }
      case 'check': return el('input', { type: 'checkbox' });
      case 'lines': return el('textarea', { rows: 5, spellcheck: false, placeholder: f.placeholder ? 'e.g. ' + f.placeholder : '' });
      case 'picks': {
        const grid = el('div', { className: 'picks' });
        grid.setAttribute('role', 'group');
        for (let n = f.lowest; n <= f.highest; n++) {
          const toggle = el('button', { type: 'button', textContent: String(n), value: String(n) });
          toggle.setAttribute('aria-pressed', 'false');
          grid.append(toggle);
        }
        return grid;
      }
      default: {
        const input = el('input', { type: 'text', autocomplete: 'off', spellcheck: false,
          placeholder: f.placeholder ? 'e.g. ' + f.placeholder : '' });
        if (f.kind === 'decimal') input.inputMode = 'decimal';
        if (f.kind === 'count') input.inputMode = 'numeric';
        return input;
      }
    }
  }

  const controlValue = (c) => (c.classList.contains('picks')
    ? [...c.querySelectorAll('[aria-pressed="true"]')].map((b) => b.value).join(' ')
    : c.type === 'checkbox' ? (c.checked ? '1' : '') : c.value);

  function showValue(c, value) {
    if (c.classList.contains('picks')) {
      const picked = new Set(value.split(/\s+/));
      for (const b of c.children) b.setAttribute('aria-pressed', String(picked.has(b.value)));
    } else if (c.type === 'checkbox') {
      c.checked = value === '1';
    } else if (c.value !== value) {
      c.value = value;
    }
  }

  function openForm(tool, choice, link) {
    page.form = page.api.toolForm(tool.id, storage.folder());
    if (choice !== undefined) page.form.set(tool.memoryField, choice);
    if (link) page.form.setLink(link);
    page.touched.clear();
    page.tried = Boolean(link);
    page.shape = null;
    drawForm();
  }

  // Draws the form anew when the fields changed (another game asks other
  // things), else shows the values and problems; the field being typed in
  // keeps the focus and its caret.
  function drawForm() {
    page.state = JSON.parse(page.form.state());
    const fields = page.state.fields;
    const shape = shapeOf(fields);
    if (shape !== page.shape) {
      const focused = document.activeElement?.closest?.('#fields [data-key]');
      const key = focused?.dataset.key;
      const caret = focused && 'selectionStart' in focused ? focused.selectionStart : null;
      page.shape = shape;
      const list = $('fields');
      list.textContent = '';
      page.inputs = fields.map((f, i) => {
        const c = control(f);
        list.append(fieldBox(i, f, c));
        return c;
      });
      const again = page.inputs.find((c) => c.dataset.key === key);
      if (again) {
        again.focus();
        if (caret !== null && 'setSelectionRange' in again && again.type !== 'checkbox') again.setSelectionRange(caret, caret);
      }
    }
    fields.forEach((f, i) => {
      const c = page.inputs[i];
      if (c !== document.activeElement || c.tagName === 'SELECT') showValue(c, page.state.values[f.key] ?? '');
    });
    showProblems();
    syncPicker();
  }

  function showProblems() {
    const byKey = new Map();
    const rest = [];
    for (const p of page.state.problems) {
      if (page.inputs.some((c) => c.dataset.key === p.key)) byKey.set(p.key, (byKey.has(p.key) ? byKey.get(p.key) + ' ' : '') + p.message);
      else rest.push(p.message);
    }
    for (const c of page.inputs) {
      const text = byKey.get(c.dataset.key);
      const shown = text !== undefined && (page.tried || page.touched.has(c.dataset.key));
      const error = $(c.id + '-error');
      error.textContent = shown ? text : '';
      error.hidden = !shown;
      if (shown) c.setAttribute('aria-invalid', 'true'); else c.removeAttribute('aria-invalid');
    }
    $('form-error').textContent = rest.join(' ');
    $('form-error').hidden = !(page.tried && rest.length);
  }

  function edited(c) {
    if (!page.form) return;
    const key = c.dataset.key;
    page.form.set(key, controlValue(c));
    if (key === page.tool.memoryField) {
      // Another game: its own remembered answers, nothing typed yet.
      page.touched.clear();
      page.tried = false;
    } else {
      page.touched.add(key);
    }
    drawForm();
  }

  // The values the address carries: the memory field, and every field
  // shown whose value is not its initial one.
  function linkValues(values) {
    const link = {};
    for (const f of page.state.fields) {
      const v = values[f.key] ?? '';
      if (f.key === page.tool.memoryField || v !== f.initial) link[f.key] = v;
    }
    return link;
  }

  async function calculateForm(user) {
    const tool = page.tool;
    page.tried = true;
    showProblems();
    const problems = page.state.problems;
    if (problems.length) {
      const marked = problems.some((p) => page.inputs.some((c) => c.dataset.key === p.key));
      const others = problems.filter((p) => !page.inputs.some((c) => c.dataset.key === p.key)).map((p) => p.message);
      showRefusal(['Not calculated:', marked ? 'put right what is marked.' : '', ...others].filter(Boolean).join(' '), '');
      if (user) page.inputs.find((c) => c.getAttribute('aria-invalid'))?.focus();
      return;
    }
    const values = { ...page.state.values };
    const link = linkValues(values);
    setBusy(true);
    let result;
    try {
      result = await runner.compute(tool.id, values, showProgress);
    } catch (e) {
      if (page.tool !== tool) return;
      setBusy(false);
      if (e.stopped) {
        showRefusal('Stopped: nothing was computed or remembered.', '');
        return;
      }
      result = { problems: [{ key: '', message: 'The calculation failed: ' + e.message }] };
    }
    if (page.tool !== tool) return;
    setBusy(false);
    if (result.problems.length) {
      showRefusal('Not calculated: ' + result.problems.map((p) => p.message).join(' '), '');
      return;
    }
    page.form.remember(values);
    storage.keep(page.form.files());
    setAddress(link);
    const name = (result.title || tool.caption).replace(/[^A-Za-z0-9]+/g, '-').replace(/^-|-$/g, '').toLowerCase();
    showResult({ ...result, fileName: name + '.txt' }, user);
  }

  function setBusy(busy) {
    page.busy = busy;
    $('calculate').disabled = busy;
    clearTimeout(page.busyTimer);
    if (busy) {
      $('status').textContent = 'Calculating…';
      // The bar shows once a computation has taken a moment.
      page.busyTimer = setTimeout(() => {
        $('progress').hidden = false;
        $('progress-bar').removeAttribute('value');
      }, 300);
    } else {
      $('progress').hidden = true;
    }
  }

  function showProgress(fraction) { $('progress-bar').value = fraction; }

  // ---- The result ----

  // The report read as blocks a phone can show: paragraphs of prose, and
  // rows ("~ label -> 1 in X  p = ...") as label and figures. The text
  // itself stays as it is, one tap away.
  function readReport(text) {
    const blocks = [];
    let row = null;
    let prose = null;
    for (const line of text.split('\n')) {
      const trimmed = line.trim();
      const item = /^[~*-] /.test(trimmed) ? trimmed.slice(2).trim() : null;
      const arrow = item?.indexOf('->') ?? -1;
      const colon = trimmed.startsWith('~') ? item.indexOf(': ') : -1;
      if (!trimmed) {
        row = prose = null;
      } else if (item !== null && (arrow > 0 || colon > 0)) {
        const cut = arrow > 0 ? arrow : colon;
        row = { label: item.slice(0, cut).trim(), cells: item.slice(cut + (arrow > 0 ? 2 : 1)).trim().split(/\s{2,}/) };
        prose = null;
        const last = blocks[blocks.length - 1];
        if (last?.rows) last.rows.push(row); else blocks.push({ rows: [row] });
      } else if (row && /^\s{3,}/.test(line)) {
        row.cells.push(trimmed); // the row's second line
      } else if (item !== null || !prose || /[.:]$/.test(prose.text) || /^[A-Z0-9][\w' ()-]{0,30}:( |$)/.test(trimmed)) {
        // A new paragraph after a full stop or before "Label: ...".
        row = null;
        prose = { text: trimmed };
        blocks.push(prose);
      } else {
        prose.text += ' ' + trimmed;
      }
    }
    return blocks;
  }

  function drawLayout(result) {
    const box = $('layout');
    box.textContent = '';
    if (result.tables?.length) {
      for (const t of result.tables) {
        box.append(el('h3', { textContent: t.title }));
        const list = el('ol', { className: 'rows' });
        for (const r of t.rows) {
          const dl = el('dl');
          t.columns.forEach((c, i) => { if (i > 0) dl.append(el('div', {}, el('dt', { textContent: c }), el('dd', { textContent: r[i] ?? '' }))); });
          list.append(el('li', {}, el('p', { className: 'row-label', textContent: t.columns[0] + ' ' + r[0] }), dl));
        }
        box.append(list);
      }
      return;
    }
    for (const b of readReport(result.report)) {
      if (!b.rows) {
        box.append(el('p', { textContent: b.text }));
        continue;
      }
      const list = el('ol', { className: 'rows' });
      for (const r of b.rows) {
        list.append(el('li', {}, el('p', { className: 'row-label', textContent: r.label }),
          ...r.cells.map((c) => el('p', { className: 'row-cell', textContent: c }))));
      }
      box.append(list);
    }
  }

  // The charts at the width they have (again when it changes: a phone turned).
  function drawCharts() {
    const charts = $('charts');
    charts.textContent = '';
    page.chartWidth = charts.clientWidth;
    for (const chart of page.result?.charts || []) charts.append(FortelleCharts.figure(chart, charts.clientWidth || 600));
  }

  function showResult(result, user) {
    page.result = result;
    const verdict = $('verdict');
    verdict.textContent = result.verdict || '';
    verdict.hidden = !result.verdict;
    $('report').textContent = result.report;
    $('report').scrollTop = 0;
    drawLayout(result);
    drawCharts();
    const exports = $('exports');
    exports.textContent = '';
    // The files the result offers, and each chart's data as the command line writes it.
    const files = [...(result.exports || []), ...(result.charts || []).filter((c) => c.csv)
      .map((c, i) => ({ label: 'chart data as CSV' + (result.charts.length > 1 ? ' ' + (i + 1) : ''), fileName: c.kind + '-chart.csv', bytes: c.csv }))];
    for (const e of files) {
      exports.append(el('button', { type: 'button', textContent: 'Save ' + e.label, onclick: () => download(e.bytes, e.fileName) }));
    }
    for (const id of ['copy', 'download', 'share']) $(id).disabled = false;
    finishResult('ready', 'Report ready: ' + result.title + '.', user);
  }

  function showRefusal(message, boxText) {
    page.result = null;
    $('verdict').textContent = message;
    $('verdict').hidden = false;
    $('report').textContent = boxText;
    $('layout').textContent = '';
    $('charts').textContent = '';
    $('exports').textContent = '';
    for (const id of ['copy', 'download', 'share']) $(id).disabled = true;
    finishResult('refused', page.tool.caption + ': not calculated.', false);
  }

  function clearResult() {
    showRefusal('Fill in the form and press Calculate.', '');
    $('result').dataset.state = 'empty';
  }

  function finishResult(state, status, user) {
    $('status').textContent = status;
    const result = $('result');
    result.dataset.state = state;
    result.dataset.run = String(++page.runs);
    if (page.runs === 1) performance.mark('fortelle-first-report');
    if (user) {
      // The answer is below the form on a phone: bring it into view and
      // give it the focus, so that it is seen and read out.
      result.focus({ preventScroll: true });
      result.scrollIntoView({ block: 'start' });
    }
  }

  // ---- Copy, Download, Share ----

  async function copyText(text, done) {
    try {
      await navigator.clipboard.writeText(text);
    } catch (e) {
      // No clipboard API here (an older browser, or not allowed): copy a selection.
      const area = el('textarea', { value: text, readOnly: true });
      document.body.append(area);
      area.select();
      document.execCommand('copy');
      area.remove();
    }
    $('status').textContent = done;
  }

  function download(text, name) {
    const link = el('a', { href: URL.createObjectURL(new Blob([text], { type: 'text/plain;charset=utf-8' })), download: name });
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
  }

  async function share() {
    const url = location.href;
    if (navigator.share) {
      try {
        await navigator.share({ title: 'Fortelle: ' + page.result.title, text: page.result.verdict || undefined, url });
        return;
      } catch (e) {
        if (e.name === 'AbortError') return; // the user closed the sheet
      }
    }
    await copyText(url, 'Link copied: it opens this result.');
  }

  // ---- Choosing a tool ----

  function open(tool, { choice, link, calculate = false } = {}) {
    if (page.busy) { runner.stop(); setBusy(false); }
    page.form?.delete();
    page.form = null;
    page.state = null;
    page.tool = tool;
    $('tool-description').textContent = tool.description;
    $('form-error').hidden = true;
    if (tool.kind === 'calculator') {
      const fields = tool.fields();
      if (link) fields.forEach((f) => { if (f.key in link) f.offered = link[f.key]; });
      showCalculator(tool, fields);
      $('tool').value = tool.id;
      storage.set(TOOL_KEY, tool.id);
    } else {
      openForm(tool, choice, link);
    }
    if (!link) setAddress(null);
    // An address is read as strictly as the form: a value it names for no
    // field of the tool is refused, not passed over.
    const keys = page.state ? page.state.fields.map((f) => f.key) : tool.keys;
    const unknown = Object.keys(link || {}).filter((k) => !keys.includes(k));
    if (unknown.length) {
      const error = $('form-error');
      error.textContent = `The address names ${unknown.map((k) => `'${k}'`).join(', ')}, which this form does not ask for.`;
      error.hidden = false;
      showRefusal('Not calculated: ' + error.textContent, '');
      return;
    }
    if (!calculate) {
      clearResult();
      return;
    }
    // Opened with values (a shared address, or at the start): the answer
    // at once, unless something must be filled in first.
    if (tool.kind === 'calculator') calculateCalculator(false);
    else if (link || !page.state.problems.length) calculateForm(false);
    else clearResult();
  }

  function openEntry(value, options) {
    const at = value.indexOf('?');
    const tool = toolById(at < 0 ? value : value.slice(0, at));
    if (!tool) return false;
    const choice = at < 0 ? undefined : new URLSearchParams(value.slice(at + 1)).get(tool.memoryField);
    open(tool, { ...options, choice: choice ?? undefined });
    return true;
  }

  // An address that names a tool, with values or without.
  function openAddress() {
    const { id, link } = readAddress();
    const tool = toolById(id);
    if (!tool) return false;
    open(tool, { link, calculate: true });
    return true;
  }

  function calculate(user) {
    if (page.busy) return;
    if (page.tool.kind === 'calculator') calculateCalculator(user);
    else calculateForm(user);
  }

  async function start() {
    let api;
    try {
      api = await Fortelle.load();
    } catch (e) {
      $('status').textContent = 'The calculator could not be loaded: ' + e.message;
      return;
    }
    page.api = api;
    page.wasm = await Fortelle.wasm();
    // The registry's tools (and the games they read) come after the first
    // report, unless that report is one of theirs.
    let withRegistry = false;
    const addRegistry = () => {
      if (withRegistry) return;
      withRegistry = true;
      page.tools.push(...registryTools(api));
      fillPicker();
      if (page.state) syncPicker();
    };
    page.tools = calculatorTools(api);
    const { id } = readAddress();
    const stored = storage.get(TOOL_KEY) || 'lotto';
    const first = id || stored.split('?')[0];
    if (!toolById(first)) addRegistry();
    fillPicker();
    if (!(id && openAddress()) && !openEntry(stored, { calculate: true })) open(toolById('lotto'), { calculate: true });

    $('tool').addEventListener('change', (e) => openEntry(e.target.value));
    $('form').addEventListener('submit', (e) => { e.preventDefault(); calculate(true); });
    $('fields').addEventListener('input', (e) => { const c = e.target.closest('[data-key]'); if (c && page.form) edited(c); });
    $('fields').addEventListener('click', (e) => {
      const toggle = e.target.closest('.picks button');
      if (!toggle) return;
      toggle.setAttribute('aria-pressed', String(toggle.getAttribute('aria-pressed') !== 'true'));
      edited(toggle.parentElement);
    });
    $('fields').addEventListener('keydown', (e) => {
      // Enter in a field calculates, as in the window (a text area keeps its lines).
      if (e.key === 'Enter' && e.target.tagName === 'INPUT' && e.target.type === 'checkbox') { e.preventDefault(); calculate(true); }
    });
    $('defaults').addEventListener('click', () => {
      if (page.tool.kind === 'calculator') showCalculator(page.tool, page.tool.builtIn());
      else {
        const field = page.tool.memoryField;
        page.form.setLink(field ? { [field]: page.state.values[field] ?? '' } : {});
        page.touched.clear();
        page.tried = false;
        drawForm();
      }
      page.inputs[0]?.focus();
    });
    $('cancel').addEventListener('click', () => runner.stop());
    $('copy').addEventListener('click', () => copyText(page.result.report, 'Report copied.'));
    $('download').addEventListener('click', () => download(page.result.report, page.result.fileName));
    $('share').addEventListener('click', share);
    $('show-text').addEventListener('click', () => {
      const shown = $('result').classList.toggle('show-text');
      $('show-text').setAttribute('aria-expanded', String(shown));
      $('show-text').textContent = shown ? 'Show as rows' : 'Show the exact text';
    });
    window.addEventListener('resize', () => {
      if (page.result?.charts?.length && $('charts').clientWidth !== page.chartWidth) drawCharts();
    });
    window.addEventListener('hashchange', () => {
      addRegistry();
      const { link } = readAddress();
      if (link || readAddress().id !== page.tool.id) openAddress();
    });
    for (const id of ['tool', 'calculate', 'defaults']) $(id).disabled = false;
    setTimeout(() => {
      addRegistry();
      runner.start();
      // Installable and offline: the service worker keeps the page's files
      // (not from file://, where there is none).
      if ('serviceWorker' in navigator && location.protocol.startsWith('http')) {
        navigator.serviceWorker.register('sw.js').catch(() => { /* the page works without it */ });
      }
    }, 0);
  }

  start();
})();
