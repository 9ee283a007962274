// The page: one form per tool, built from the tool definitions below, and
// the report box with Copy and Download.
(function () {
  'use strict';

  const $ = (id) => document.getElementById(id);
  const FILE_PREFIX = 'fortelle.file.';
  const TOOL_KEY = 'fortelle.tool';

  // localStorage, where the page keeps the window's parameter files. When
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

  // An answer that was not accepted: shown next to field `index`.
  class FieldError extends Error {
    constructor(index, message, boxText) {
      super(message);
      this.index = index;
      this.boxText = boxText;
    }
  }

  // A tool is {id, group, caption, description, fields(), builtIn(), compute(values), file}.
  // fields() and builtIn() give [{label, help, offered}]; compute returns the
  // report or throws a FieldError. The calculators come from the core: the
  // window's buttons, their prompts and the values they remember.
  function calculatorTools(api) {
    return api.calculators().map((c) => {
      const prompts = api.click(c.name, {}, null).asked;
      const asField = (p) => ({ label: p.title, help: p.message, offered: p.offered });
      return {
        id: c.name,
        group: 'Calculators',
        caption: c.caption,
        description: c.tooltip,
        file: c.name + '.txt',
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
            throw new FieldError(Math.max(0, click.asked.length - 1), e.message, click.box);
          }
        },
      };
    });
  }

  const page = { tools: [], tool: null, inputs: [], reportName: 'report.txt' };

  function fillPicker() {
    const select = $('tool');
    select.textContent = '';
    const groups = new Map();
    for (const tool of page.tools) {
      if (!groups.has(tool.group)) {
        const group = document.createElement('optgroup');
        group.label = tool.group;
        select.append(group);
        groups.set(tool.group, group);
      }
      groups.get(tool.group).append(new Option(tool.caption, tool.id));
    }
  }

  function showTool(tool, values) {
    page.tool = tool;
    $('tool').value = tool.id;
    $('tool-description').textContent = tool.description;
    const fields = $('fields');
    fields.textContent = '';
    page.inputs = (values || tool.fields()).map((f, i) => {
      const id = 'field-' + i;
      const box = document.createElement('div');
      box.className = 'field';
      const label = document.createElement('label');
      label.htmlFor = id;
      label.textContent = f.label;
      const help = document.createElement('p');
      help.id = id + '-help';
      help.className = 'help';
      help.textContent = f.help.split('\n').map((line) => line.trim()).filter(Boolean).join('\n');
      const input = document.createElement('input');
      Object.assign(input, { id, type: 'text', value: f.offered, autocomplete: 'off', spellcheck: false });
      input.setAttribute('aria-describedby', help.id + ' ' + id + '-error');
      const error = document.createElement('p');
      error.id = id + '-error';
      error.className = 'error';
      error.hidden = true;
      box.append(label, help, input, error);
      fields.append(box);
      return input;
    });
    if (page.inputs.length === 0) {
      const none = document.createElement('p');
      none.className = 'help';
      none.textContent = 'This calculator asks for nothing.';
      fields.append(none);
    }
    storage.set(TOOL_KEY, tool.id);
    if (location.hash !== '#' + tool.id) history.replaceState(null, '', '#' + tool.id);
  }

  function clearErrors() {
    for (const input of page.inputs) {
      input.removeAttribute('aria-invalid');
      const error = $(input.id + '-error');
      error.hidden = true;
      error.textContent = '';
    }
  }

  function showReport(text, status) {
    const report = $('report');
    report.textContent = text;
    report.scrollTop = 0;
    $('copy').disabled = $('download').disabled = text.length === 0;
    $('status').textContent = status;
  }

  function calculate() {
    const tool = page.tool;
    clearErrors();
    try {
      const text = tool.compute(page.inputs.map((input) => input.value));
      page.reportName = tool.file;
      showReport(text, tool.caption + ': report ready.');
    } catch (e) {
      if (!(e instanceof FieldError)) throw e;
      const input = page.inputs[e.index];
      const error = $(input.id + '-error');
      error.textContent = e.message;
      error.hidden = false;
      input.setAttribute('aria-invalid', 'true');
      showReport(e.boxText || '', tool.caption + ': not calculated. ' + e.message);
      input.focus();
    }
  }

  async function copyReport() {
    const text = $('report').textContent;
    try {
      await navigator.clipboard.writeText(text);
    } catch (e) {
      // No clipboard API here (an older browser, or not allowed): copy the selection.
      const range = document.createRange();
      range.selectNodeContents($('report'));
      const selection = getSelection();
      selection.removeAllRanges();
      selection.addRange(range);
      document.execCommand('copy');
      selection.removeAllRanges();
    }
    $('status').textContent = 'Report copied.';
  }

  function downloadReport() {
    const blob = new Blob([$('report').textContent], { type: 'text/plain;charset=utf-8' });
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = page.reportName;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
  }

  function toolById(id) { return page.tools.find((t) => t.id === id); }

  async function start() {
    let api;
    try {
      api = await Fortelle.load();
    } catch (e) {
      $('status').textContent = 'The calculator could not be loaded: ' + e.message;
      return;
    }
    page.api = api;
    page.tools = calculatorTools(api);
    fillPicker();
    const first = toolById(location.hash.slice(1)) || toolById(storage.get(TOOL_KEY)) || toolById('lotto');
    showTool(first);
    $('tool').addEventListener('change', (e) => showTool(toolById(e.target.value)));
    $('form').addEventListener('submit', (e) => { e.preventDefault(); calculate(); });
    $('defaults').addEventListener('click', () => { showTool(page.tool, page.tool.builtIn()); page.inputs[0]?.focus(); });
    $('copy').addEventListener('click', copyReport);
    $('download').addEventListener('click', downloadReport);
    window.addEventListener('hashchange', () => {
      const tool = toolById(location.hash.slice(1));
      if (tool && tool !== page.tool) showTool(tool);
    });
    for (const id of ['tool', 'calculate', 'defaults']) $(id).disabled = false;
    calculate();
    performance.mark('fortelle-first-report');
  }

  start();
})();
