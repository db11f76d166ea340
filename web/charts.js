// Draws each Levey-Jennings chart of the page with the charting library, in place of the chart the
// server drew (which stays when scripts are off): the mean, warning and action limits, the signed
// periods behind, the line of the values, and each point coloured by its state. A point beyond the
// chart's span (four SD either side of the mean) is drawn on its edge; its own value is in the legend.
'use strict';
(() => {
  if (typeof uPlot === 'undefined') return;
  const states = [
    ['ok', 'in control', '#246', '#246'],
    ['warn', 'warning', '#c90', '#c90'],
    ['action', 'action', '#c00', '#c00'],
    ['discarded', 'discarded', '#fff', '#246'],
  ];
  const charts = [];
  window.varnholtCharts = charts;
  const dayTime = t => new Date(t * 1e3).toISOString().slice(0, 16).replace('T', ' ');
  // Dates as the pages write them: the year where it begins or changes, the time when zoomed to days.
  const dates = (u, ticks) => {
    const hours = u.scales.x.max - u.scales.x.min < 3 * 86400;
    return ticks.map((t, i) => {
      const s = dayTime(t);
      if (hours) return s.slice(5);
      return i === 0 || s.slice(0, 4) !== dayTime(ticks[i - 1]).slice(0, 4) ? s.slice(0, 10) : s.slice(5, 10);
    });
  };
  for (const figure of document.querySelectorAll('figure.lj[data-chart]')) {
    const c = JSON.parse(figure.dataset.chart);
    const times = c.Points.map(p => p[0]);
    const values = c.Points.map(p => p[1]);
    const figure_ = v => (v == null ? '' : v.toFixed(c.Decimals));
    const limit = v => v.toFixed(c.Decimals + 1);
    let lo, hi;
    if (c.Limits) {
      lo = c.Limits.Mean - (c.Limits.ActionDev * 4) / 3;
      hi = c.Limits.Mean + (c.Limits.ActionDev * 4) / 3;
    } else {
      lo = Math.min(...values);
      hi = Math.max(...values);
    }
    if (!(hi > lo)) {
      lo = (Number.isFinite(lo) ? lo : 0) - 1;
      hi = (Number.isFinite(hi) ? hi : 0) + 1;
    }
    const onEdge = v => Math.min(hi, Math.max(lo, v));
    const own = (u, v, si, i) => (i == null ? '' : figure_(values[i]));
    const data = [times, values.map(onEdge)];
    const series = [
      { label: 'Time', value: (u, t) => (t == null ? '' : dayTime(t)) },
      { label: 'Value', stroke: '#456', width: 1, points: { show: false }, value: own },
    ];
    for (const [cls, label, fill, stroke] of states) {
      data.push(c.Points.map(p => (p[2] === cls ? onEdge(p[1]) : null)));
      series.push({ label, stroke, fill, paths: () => null, points: { show: true, size: 7, fill, stroke },
                    value: (u, v, si, i) => (v == null ? '' : own(u, v, si, i)) });
    }
    if (c.Limits) {
      const { Mean: m, WarnDev: w, ActionDev: a } = c.Limits;
      for (const [label, v, stroke] of [['Mean', m, '#000'], ['+warning', m + w, '#c90'], ['-warning', m - w, '#c90'],
                                        ['+action', m + a, '#c00'], ['-action', m - a, '#c00']]) {
        data.push(times.map(() => v));
        series.push({ label, stroke, width: 1, points: { show: false }, value: () => limit(v) });
      }
    }
    const signed = (u) => {
      const ctx = u.ctx;
      ctx.save();
      ctx.fillStyle = '#e0f0e0';
      for (const [from, to] of c.Signed) {
        const x1 = u.valToPos(Math.max(from, times[0]), 'x', true);
        const x2 = u.valToPos(Math.min(to, times[times.length - 1]), 'x', true);
        ctx.fillRect(x1, u.bbox.top, Math.max(1, x2 - x1), u.bbox.height);
      }
      ctx.restore();
    };
    const width = Math.max(320, Math.min(960, figure.clientWidth || 720));
    const svg = figure.querySelector('svg');
    const label = svg ? svg.getAttribute('aria-label') : `Levey-Jennings chart of level ${c.Level}`;
    const chart = new uPlot({
      width, height: 260,
      tzDate: t => uPlot.tzDate(new Date(t * 1e3), 'Etc/UTC'),
      scales: { y: { range: [lo, hi] } },
      axes: [{ values: dates }, { values: (u, ticks) => ticks.map(figure_) }],
      series,
      hooks: { drawClear: [signed] },
    }, data, (u, init) => {
      if (svg) svg.replaceWith(u.root);
      else figure.prepend(u.root);
      init();
    });
    const plot = chart.root.querySelector('.u-over');
    if (plot) {
      plot.setAttribute('role', 'img');
      plot.setAttribute('aria-label', label + (c.Unit ? ` (${c.Unit})` : ''));
    }
    if (c.Signed.length) {
      const caption = document.createElement('figcaption');
      caption.textContent = 'Shaded: ' + c.Signed.map(s => s[2]).join('; ');
      figure.append(caption);
    }
    charts.push(chart);
  }
})();
