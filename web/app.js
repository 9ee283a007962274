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

  // Tools over one command-line command each: named games and the Value
  // tools. A field is {label, help, offered, kind ('text', 'select' with
  // options [[value, label]], 'checkbox'), match}: a refusal whose text
  // (after "fortelle-cli: COMMAND: ") matches `match` is shown next to that
  // field, any other below the form. args(values) gives the
  // command's words; an empty field gives none, so the command takes its own
  // default. The values of a report are remembered for the next visit.
  function commandTool(api, tool) {
    const key = 'fortelle.form.' + tool.id;
    const builtIn = () => tool.fieldList.map((f) => ({ kind: 'text', ...f }));
    return {
      file: tool.id.replace(/[^a-z0-9-]+/gi, '-') + '.txt',
      ...tool,
      builtIn,
      fields() {
        let kept = [];
        try { kept = JSON.parse(storage.get(key)) || []; } catch (e) { /* none kept */ }
        return builtIn().map((f, i) => (typeof kept[i] === 'string' ? { ...f, offered: kept[i] } : f));
      },
      compute(values) {
        const result = api.run(tool.args(values));
        if (result.status === 0) {
          storage.set(key, JSON.stringify(values));
          return result.out;
        }
        const message = result.err.trimEnd();
        const reason = message.replace(/^fortelle-cli: [\w-]+: /, '');
        const index = tool.fieldList.findIndex((f) => f.match && f.match.test(reason));
        throw new FieldError(index, message, '');
      },
    };
  }

  const words = (...list) => list.filter((w) => w !== '');
  const option = (flag, value) => (value === '' ? [] : [flag, value]);

  function gameTools(api) {
    const games = api.games({ json: true }).games;
    const lotteries = games.filter((g) => !g.keno).map((g) => [g.id, g.name]);
    const kenos = games.filter((g) => g.keno);
    const spots = (g) => ({ label: 'Spots marked', help: `${g.spots_min} to ${g.spots_max}`, offered: '8', match: /^'[^']*' (takes|is a Keno game|is not a Keno game)|--spots/ });
    const named = games.map((g) => commandTool(api, {
      id: 'game-' + g.id,
      group: 'Named games',
      caption: g.name,
      description: (g.keno ? 'A Keno game: the odds of every catch. ' : 'The odds of every prize tier. ') +
        (g.rules_since ? `Rules since ${g.rules_since}.` : ''),
      fieldList: [
        ...(g.keno ? [spots(g)] : []),
        { label: 'Exact figures', help: 'Each chance also as an exact fraction of whole numbers', kind: 'checkbox', offered: '' },
      ],
      args: (v) => words('game', g.id, ...(g.keno ? [v[0]] : []), v[v.length - 1] ? '--exact' : ''),
    }));
    const lists = [
      commandTool(api, { id: 'games', group: 'Named games', caption: 'All named games',
        description: 'The games this edition knows, with the date of their rules.', fieldList: [], args: () => ['games'] }),
      commandTool(api, { id: 'games-check', group: 'Named games', caption: 'Check published figures',
        description: "Each game's published odds against the exact ones computed here.", fieldList: [], args: () => ['games', '--check'] }),
    ];
    const value = commandTool(api, {
      id: 'value', group: 'Value', caption: 'Ticket value',
      description: "What a ticket is worth: each tier's expected prize after cash option, tax and shared jackpots.",
      fieldList: [
        { label: 'Game', help: '', kind: 'select', options: lotteries, offered: 'us-powerball', match: /^(no game|name a game|'[^']*' is a Keno)/ },
        { label: 'Advertised jackpot', help: 'The annuity, in the game\'s currency', offered: '100000000', match: /^(the jackpot|give the advertised jackpot)/ },
        { label: 'Ticket price', help: "Empty: the game's own", offered: '', match: /price/ },
        { label: 'Cash option', help: 'A fraction of the jackpot: 1 for the annuity, 0.5 for half. Empty: 1', offered: '', match: /^the cash option/ },
        { label: 'Tax rate', help: 'In %, for example 37 or 37%. Empty: no tax', offered: '', match: /^the tax rate|needs a tax rate/ },
        { label: 'Taxed above', help: 'Prizes above this amount are taxed. Empty: every prize', offered: '', match: /^the tax threshold/ },
        { label: 'Other tickets sold', help: 'In the same draw, for shared prizes. Empty: none', offered: '', match: /^the number of tickets sold/ },
        { label: 'Prizes', help: 'TIER=AMOUNT for tiers without a fixed prize, separated by blanks', offered: '', match: /tier|prize/ },
      ],
      args: (v) => ['value', v[0], ...option('--jackpot', v[1]), ...option('--price', v[2]), ...option('--cash', v[3]),
        ...option('--tax', v[4]), ...option('--tax-above', v[5]), ...option('--tickets-sold', v[6]),
        ...v[7].split(/\s+/).filter(Boolean).flatMap((p) => ['--prize', p])],
    });
    const draws = commandTool(api, {
      id: 'draws', group: 'Value', caption: 'Many draws',
      description: 'The chance of winning at least once in many draws, with one ticket or several in each.',
      fieldList: [
        { label: 'Game', help: 'Or the odds of one draw, typed below', kind: 'select',
          options: [['', 'Odds typed below'], ...games.map((g) => [g.id, g.name])], offered: 'us-powerball', match: /^(no game|name a game)/ },
        { label: 'Prize tier', help: 'The tier\'s name (as in the game\'s report). Empty: any prize', offered: '', match: /tier|no pay table|chance is 0/ },
        { label: 'Spots marked', help: 'Keno games only', offered: '', match: /spot|Keno game/ },
        { label: 'Odds of one draw', help: '1 in X: enter X (without a game)', offered: '', match: /odds/ },
        { label: 'Number of draws', help: 'Independent draws, each with the tickets below', offered: '1040', match: /draws/ },
        { label: 'Tickets in each draw', help: 'Different tickets, for a prize that one combination wins (the jackpot). Empty: 1', offered: '', match: /tickets/ },
      ],
      args: (v) => words('draws', v[0], v[1], ...option('--spots', v[2]), ...option('--odds', v[3]), ...option('--draws', v[4]),
        ...option('--tickets', v[5])),
    });
    const keno = commandTool(api, {
      id: 'keno-return', group: 'Value', caption: 'Keno returns',
      description: "A Keno pay table's return to player, house edge and the chance of being behind.",
      fieldList: [
        { label: 'Game', help: '', kind: 'select', options: kenos.map((g) => [g.id, g.name]), offered: kenos[0]?.id ?? '', match: /^(no game|name a Keno game|'[^']*' is not a Keno game)/ },
        { ...spots(kenos[0] || { spots_min: 1, spots_max: 20 }) },
        { label: 'Pay table', help: 'CATCH=PAY,... per unit staked, stake included (0=0,2=1,3=25). Empty: the game file\'s', offered: '', match: /pay|catch/ },
        { label: 'Number of games', help: 'Empty: 100', offered: '', match: /number of games/ },
      ],
      args: (v) => words('keno-return', v[0], v[1], ...option('--pay', v[2]), ...option('--games', v[3])),
    });
    return [...named, ...lists, value, draws, ...(kenos.length ? [keno] : [])];
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
      let input;
      if (f.kind === 'select') {
        input = document.createElement('select');
        for (const [value, text] of f.options) input.append(new Option(text, value));
        input.id = id;
        input.value = f.offered;
      } else {
        input = document.createElement('input');
        Object.assign(input, { id, type: f.kind === 'checkbox' ? 'checkbox' : 'text', autocomplete: 'off', spellcheck: false });
        if (f.kind === 'checkbox') input.checked = f.offered !== ''; else input.value = f.offered;
      }
      if (f.kind === 'checkbox') box.classList.add('check');
      input.setAttribute('aria-describedby', help.id + ' ' + id + '-error');
      const error = document.createElement('p');
      error.id = id + '-error';
      error.className = 'error';
      error.hidden = true;
      if (!help.textContent) help.hidden = true;
      box.append(label, help, input, error);
      fields.append(box);
      return input;
    });
    if (page.inputs.length === 0) {
      const none = document.createElement('p');
      none.className = 'help';
      none.textContent = 'Nothing to fill in: Calculate shows the report.';
      fields.append(none);
    }
    storage.set(TOOL_KEY, tool.id);
    if (location.hash !== '#' + tool.id) history.replaceState(null, '', '#' + tool.id);
  }

  const valueOf = (input) => (input.type === 'checkbox' ? (input.checked ? '1' : '') : input.value);

  function clearErrors() {
    $('form-error').hidden = true;
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
      const text = tool.compute(page.inputs.map(valueOf));
      page.reportName = tool.file;
      showReport(text, tool.caption + ': report ready.');
    } catch (thrown) {
      // Whatever fails, the report of an earlier calculation must not stay
      // in the box as if it were this one's.
      const e = thrown instanceof FieldError ? thrown
        : new FieldError(-1, 'The calculation failed: ' + ((thrown && thrown.message) || String(thrown)), '');
      if (e !== thrown) console.error(thrown);
      const input = page.inputs[e.index];
      const error = input ? $(input.id + '-error') : $('form-error');
      error.textContent = e.message;
      error.hidden = false;
      showReport(e.boxText || '', tool.caption + ': not calculated. ' + e.message);
      if (input) {
        input.setAttribute('aria-invalid', 'true');
        input.focus();
      }
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
    // The named games are read after the first report, unless that report
    // is one of theirs.
    let withGames = false;
    const addGames = () => {
      if (withGames) return;
      withGames = true;
      page.tools.push(...gameTools(api));
      fillPicker();
      if (page.tool) $('tool').value = page.tool.id;
    };
    page.tools = calculatorTools(api);
    const wanted = location.hash.slice(1) || storage.get(TOOL_KEY) || 'lotto';
    if (!toolById(wanted)) addGames();
    fillPicker();
    showTool(toolById(wanted) || toolById('lotto'));
    $('tool').addEventListener('change', (e) => showTool(toolById(e.target.value)));
    $('form').addEventListener('submit', (e) => { e.preventDefault(); calculate(); });
    $('defaults').addEventListener('click', () => { showTool(page.tool, page.tool.builtIn()); page.inputs[0]?.focus(); });
    $('copy').addEventListener('click', copyReport);
    $('download').addEventListener('click', downloadReport);
    window.addEventListener('hashchange', () => {
      addGames();
      const tool = toolById(location.hash.slice(1));
      if (tool && tool !== page.tool) showTool(tool);
    });
    for (const id of ['tool', 'calculate', 'defaults']) $(id).disabled = false;
    calculate();
    performance.mark('fortelle-first-report');
    setTimeout(addGames, 0);
  }

  start();
})();
