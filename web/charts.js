// Charts as SVG, drawn from the chart data the core computes (the same
// data `fortelle-cli chart` writes as CSV and JSON): the figures, axis
// titles, scales, ticks, marks and shading all come from the core; this
// file only places them. Series differ by dash or hatching as well as by
// colour, so that they stay apart in grey; the data table under each
// chart is its accessible alternative. A classic script: global
// `FortelleCharts`.
(function (global) {
  'use strict';

  const SVG = 'http://www.w3.org/2000/svg';
  const DASHES = ['', '7 4', '2 3', '10 3 2 3'];
  let made = 0; // unique ids for each chart's patterns

  const svg = (tag, attrs = {}, ...children) => {
    const node = document.createElementNS(SVG, tag);
    for (const [k, v] of Object.entries(attrs)) if (v !== undefined && v !== null) node.setAttribute(k, v);
    node.append(...children);
    return node;
  };
  const html = (tag, props = {}, ...children) => {
    const node = Object.assign(document.createElement(tag), props);
    node.append(...children);
    return node;
  };
  const colour = (i) => `var(--chart-${(i % 4) + 1})`;

  // What an axis says: the core's label, else its title, unit and scale.
  const axisLabel = (a) => a.label || a.title + (a.unit ? ` (${a.unit})` : '') + (a.log ? ', log scale' : '');

  // The stretch of an axis: the core's, else from the figures (a linear
  // scale of amounts or chances starts at 0, a log one at a power of ten).
  function extent(axis, values) {
    if (axis.categories?.length) return [-0.5, axis.categories.length - 0.5];
    if (axis.from !== undefined && axis.to !== undefined && axis.from < axis.to) return [axis.from, axis.to];
    const finite = values.filter((v) => Number.isFinite(v) && (!axis.log || v > 0));
    if (!finite.length) return axis.log ? [1, 10] : [0, 1];
    let lo = Math.min(...finite), hi = Math.max(...finite);
    if (axis.log) {
      lo = 10 ** Math.floor(Math.log10(lo));
      hi = 10 ** Math.ceil(Math.log10(hi));
      return lo < hi ? [lo, hi] : [lo, lo * 10];
    }
    lo = Math.min(0, lo);
    return lo < hi ? [lo, hi] : [lo, lo + 1];
  }

  const plain = (v) => (Math.abs(v) >= 1e7 || (v !== 0 && Math.abs(v) < 1e-4)
    ? v.toExponential(0).replace('e', 'E') : v.toLocaleString('en-US', { maximumSignificantDigits: 6 }));

  // The core's ticks, else powers of ten (log) or round steps (linear).
  function ticks(axis, [lo, hi]) {
    if (axis.categories?.length) return axis.categories.map((label, i) => ({ at: i, label }));
    if (axis.ticks?.length) return axis.ticks;
    const out = [];
    if (axis.log) {
      const a = Math.round(Math.log10(lo)), b = Math.round(Math.log10(hi));
      const step = Math.max(1, Math.ceil((b - a) / 6));
      for (let e = a; e <= b; e += step) out.push({ at: 10 ** e, label: plain(10 ** e) });
      return out;
    }
    const rough = (hi - lo) / 5;
    const power = 10 ** Math.floor(Math.log10(rough));
    const step = [1, 2, 5, 10].map((m) => m * power).find((s) => s >= rough);
    for (let v = Math.ceil(lo / step) * step; v <= hi + step * 1e-9; v += step) out.push({ at: v, label: plain(+v.toPrecision(12)) });
    return out;
  }

  function scale(axis, [lo, hi], from, to) {
    const f = axis.log ? Math.log10 : (v) => v;
    const a = f(lo), b = f(hi);
    return (v) => {
      const t = (f(axis.log ? Math.max(v, lo) : v) - a) / (b - a);
      return from + (to - from) * Math.min(1.02, Math.max(-0.02, t));
    };
  }

  // The chart as a <figure>: the drawing, a legend, the note and the data table.
  function figure(chart, width) {
    const id = 'chart-' + ++made;
    const W = Math.max(280, Math.round(width));
    const H = Math.max(260, Math.min(420, Math.round(W * 0.7)));
    const points = chart.series.flatMap((s) => s.points);
    const xs = extent(chart.x, [...points, ...chart.marks].map((p) => p.x));
    const ys = extent(chart.y, [...points, ...chart.marks].map((p) => p.y));
    const xt = ticks(chart.x, xs), yt = ticks(chart.y, ys);
    const left = 22 + 7 * Math.max(3, ...yt.map((t) => t.label.length));
    const top = 14, right = 18, bottom = 26;
    const X = scale(chart.x, xs, left, W - right), Y = scale(chart.y, ys, H - bottom, top);
    const base = chart.y.log ? ys[0] : Math.max(ys[0], 0);

    const defs = svg('defs');
    const hatch = (name, angle, fill) => {
      defs.append(svg('pattern', { id: `${id}-${name}`, width: 6, height: 6, patternUnits: 'userSpaceOnUse', patternTransform: `rotate(${angle})` },
        svg('rect', { width: 6, height: 6, style: `fill: ${fill}; fill-opacity: 0.25` }),
        svg('line', { x1: 0, y1: 0, x2: 0, y2: 6, style: `stroke: ${fill}; stroke-width: 2.5` })));
      return `url(#${id}-${name})`;
    };
    const plot = svg('g');
    const drawing = svg('svg', { viewBox: `0 0 ${W} ${H}`, width: W, height: H, role: 'img', 'aria-labelledby': `${id}-title`, 'aria-describedby': `${id}-desc` },
      svg('title', { id: `${id}-title` }, chart.title),
      svg('desc', { id: `${id}-desc` }, `${axisLabel(chart.x)} against ${axisLabel(chart.y)}. The data table below gives every figure.`),
      defs, plot);

    // Grid, axes and their labels.
    for (const t of yt) {
      const y = Y(t.at);
      plot.append(svg('line', { x1: left, x2: W - right, y1: y, y2: y, style: 'stroke: var(--grid)' }),
        svg('text', { x: left - 6, y: y + 4, 'text-anchor': 'end', 'font-size': 12, fill: 'currentColor' }, t.label));
    }
    const room = (W - left - right) / Math.max(1, xt.length);
    const every = Math.max(1, Math.ceil(7 * Math.max(...xt.map((t) => t.label.length), 1) / Math.max(room, 1)));
    xt.forEach((t, i) => {
      const x = X(t.at);
      plot.append(svg('line', { x1: x, x2: x, y1: H - bottom, y2: H - bottom + 5, stroke: 'currentColor' }));
      // A label that would pass the drawing's edge ends at it.
      const half = 3.5 * t.label.length;
      const anchor = x + half > W ? 'end' : x - half < 0 ? 'start' : 'middle';
      const at = anchor === 'end' ? W - 1 : anchor === 'start' ? 1 : x;
      if (i % every === 0) plot.append(svg('text', { x: at, y: H - bottom + 18, 'text-anchor': anchor, 'font-size': 12, fill: 'currentColor' }, t.label));
    });
    plot.append(svg('path', { d: `M${left},${top}V${H - bottom}H${W - right}`, fill: 'none', stroke: 'currentColor' }));

    // The shaded stretch, hatched so that it shows in grey too.
    if (chart.shade) {
      const a = X(Math.max(chart.shade.from, xs[0])), b = X(Math.min(chart.shade.to, xs[1]));
      plot.append(svg('rect', { x: Math.min(a, b), y: top, width: Math.abs(b - a), height: H - bottom - top, fill: hatch('shade', 45, 'var(--shade)') },
        svg('title', {}, chart.shade.label)));
    }

    // The series: bars side by side in each category, lines and steps.
    const bars = chart.series.filter((s) => s.style === 'bars');
    const band = (W - left - right) / Math.max(1, chart.x.categories?.length || Math.max(...bars.map((s) => s.points.length), 1));
    chart.series.forEach((s, i) => {
      const tip = (p) => svg('title', {}, `${s.name}: ${p.x_text}, ${p.y_text}${p.detail ? ' (' + p.detail + ')' : ''}`);
      const ok = s.points.filter((p) => Number.isFinite(p.x) && Number.isFinite(p.y) && (!chart.y.log || p.y > 0));
      if (s.style === 'bars') {
        const k = bars.indexOf(s), w = (band * 0.8) / bars.length;
        const fill = k === 0 ? colour(i) : hatch('bars' + k, k % 2 ? 45 : -45, colour(i));
        for (const p of ok) {
          const x = X(p.x) - band * 0.4 + k * w, y = Y(p.y), y0 = Y(base);
          plot.append(svg('rect', { x, y: Math.min(y, y0), width: Math.max(1, w - 1), height: Math.max(1, Math.abs(y0 - y)), style: `fill: ${fill}; stroke: ${colour(i)}` }, tip(p)));
        }
        return;
      }
      let d = '';
      ok.forEach((p, j) => {
        const x = X(p.x), y = Y(p.y);
        d += j === 0 ? `M${x},${y}` : s.style === 'steps' ? `H${x}V${y}` : `L${x},${y}`;
      });
      plot.append(svg('path', { d, fill: 'none', style: `stroke: ${colour(i)}; stroke-width: 2.5`, 'stroke-dasharray': DASHES[i % 4] || null }));
      if (ok.length <= 60) for (const p of ok) plot.append(svg('circle', { cx: X(p.x), cy: Y(p.y), r: 3, style: `fill: ${colour(i)}` }, tip(p)));
    });

    // Marked points: a dashed line down to the axis, a ring and its number;
    // the labels are listed under the drawing, where they have room.
    chart.marks.forEach((m, i) => {
      if (!Number.isFinite(m.x) || !Number.isFinite(m.y)) return;
      const x = X(m.x), y = Y(m.y), end = x > (left + W - right) / 2;
      plot.append(svg('line', { x1: x, x2: x, y1: y, y2: H - bottom, stroke: 'currentColor', 'stroke-dasharray': '3 3' }),
        svg('circle', { cx: x, cy: y, r: 5, fill: 'none', stroke: 'currentColor', 'stroke-width': 2 }, svg('title', {}, m.label)),
        svg('text', { x: x + (end ? -8 : 8), y: Math.max(top + 12, Math.min(H - bottom - 6, y + (i % 2 ? 18 : -8))), 'text-anchor': end ? 'end' : 'start', 'font-size': 13, 'font-weight': 700, fill: 'currentColor', 'paint-order': 'stroke', stroke: 'var(--panel)', 'stroke-width': 3 }, String(i + 1)));
    });

    const fig = html('figure', { className: 'chart' });
    fig.append(html('figcaption', { textContent: chart.title }), html('p', { className: 'axis-y', textContent: axisLabel(chart.y) }),
      drawing, html('p', { className: 'axis-x', textContent: axisLabel(chart.x) }));
    if (chart.marks.length) fig.append(html('ol', { className: 'marks' }, ...chart.marks.map((m) => html('li', { textContent: m.label }))));
    if (chart.series.length > 1 || chart.shade) {
      const legend = html('ul', { className: 'legend' });
      chart.series.forEach((s, i) => {
        const sample = s.style === 'bars'
          ? svg('rect', { x: 2, y: 1, width: 28, height: 10, style: `fill: ${bars.indexOf(s) === 0 ? colour(i) : hatch('bars' + bars.indexOf(s), 45, colour(i))}` })
          : svg('line', { x1: 0, x2: 32, y1: 6, y2: 6, style: `stroke: ${colour(i)}; stroke-width: 2.5`, 'stroke-dasharray': DASHES[i % 4] || null });
        legend.append(html('li', {}, svg('svg', { viewBox: '0 0 32 12', 'aria-hidden': 'true' }, sample), s.name));
      });
      if (chart.shade) legend.append(html('li', {}, svg('svg', { viewBox: '0 0 32 12', 'aria-hidden': 'true' }, svg('rect', { width: 32, height: 12, fill: `url(#${id}-shade)` })), chart.shade.label));
      fig.append(legend);
    }
    if (chart.note) fig.append(html('p', { className: 'note', textContent: chart.note }));
    fig.append(dataTable(chart));
    return fig;
  }

  // Every point and mark with its exact figures, as `fortelle-cli chart`
  // writes them in its CSV.
  function dataTable(chart) {
    const head = ['Series or mark', axisLabel(chart.x), axisLabel(chart.y), 'Exact figure'];
    const rows = [...chart.series.flatMap((s) => s.points.map((p) => [s.name, p.x_text, p.y_text, p.detail || ''])),
      ...chart.marks.map((m) => [m.label, m.x_text, m.y_text, m.detail || ''])];
    const table = html('table', {}, html('caption', { textContent: chart.title }),
      html('thead', {}, html('tr', {}, ...head.map((h) => html('th', { scope: 'col', textContent: h })))),
      html('tbody', {}, ...rows.map((r) => html('tr', {}, ...r.map((c) => html('td', { textContent: c }))))));
    const scroller = html('div', { className: 'scroll', tabIndex: 0 }, table);
    scroller.setAttribute('role', 'region');
    scroller.setAttribute('aria-label', 'Data table: ' + chart.title);
    return html('details', { className: 'data' }, html('summary', { textContent: 'Data table' }), scroller);
  }

  global.FortelleCharts = Object.freeze({ figure });
})(typeof globalThis !== 'undefined' ? globalThis : this);
