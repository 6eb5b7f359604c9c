// The dashboard page: everything shown is built with textContent from
// /api/view, so no text from the record is ever read as markup.
'use strict';

const REFRESH_MS = 2000;
const charts = {};
let choiceChanged = false;

function el(tag, text, className) {
  const node = document.createElement(tag);
  if (text !== undefined && text !== null) node.textContent = String(text);
  if (className) node.className = className;
  return node;
}

function table(id, headers, rows) {
  const target = document.getElementById(id);
  target.replaceChildren();
  const head = el('tr');
  for (const h of headers) head.appendChild(el('th', h));
  target.appendChild(head);
  for (const row of rows) {
    const tr = el('tr');
    for (const cell of row) tr.appendChild(el('td', cell === null ? '' : cell, typeof cell === 'number' ? 'number' : ''));
    target.appendChild(tr);
  }
}

function percent(value) { return value === null ? '–' : (value * 100).toFixed(1) + '%'; }

function chart(id, config) {
  if (charts[id]) {
    charts[id].data = config.data;
    charts[id].update('none');
  } else {
    config.options = Object.assign({ responsive: true, maintainAspectRatio: false, animation: false }, config.options);
    charts[id] = new Chart(document.getElementById(id), config);
  }
}

const ROW_HEADERS = ['编号 Id', '时间 Time', '工位 Station', '设备 Slot', '操作 Operation', '结果 Result', '地址 Address', '状态 State', '名称 Name', '耗时 ms'];
function rowCells(r) {
  return [r.id, r.time, r.station, r.slot, r.operation, r.result, r.address, r.state, r.name, r.durationMs];
}

function showFindings(check) {
  const box = document.getElementById('findings');
  box.replaceChildren();
  const unknown = check.unknown.length;
  box.hidden = check.duplicates.length === 0 && unknown === 0;
  if (check.duplicates.length > 0) {
    box.appendChild(el('h2', '重复地址 Addresses in more than one module: ' + check.duplicates.length));
    for (const d of check.duplicates) {
      box.appendChild(el('p', d.address + ': ' + d.rows.length + ' 行 rows'));
      const t = el('table');
      t.id = 'dup-' + d.address.replaceAll(':', '');
      box.appendChild(t);
      table(t.id, ROW_HEADERS, d.rows.map(rowCells));
    }
  }
  if (unknown > 0) {
    box.appendChild(el('h2', '结果未知 Unknown outcomes: ' + unknown));
    const t = el('table');
    t.id = 'unknownTable';
    box.appendChild(t);
    table(t.id, ROW_HEADERS, check.unknown.map(rowCells));
  }
}

function showTotals(totals) {
  const box = document.getElementById('totals');
  box.replaceChildren();
  const cards = [
    ['addressed', '写地址 Addressed', totals.addressed],
    ['burnsPassed', '烧录成功 Burns passed', totals.burnsPassed],
    ['burnsFailed', '烧录失败 Burns failed', totals.burnsFailed],
    ['yield', '良率 Yield', percent(totals.yield)],
  ];
  for (const [key, label, value] of cards) {
    const card = el('div', null, 'card');
    card.appendChild(el('div', label));
    const figure = el('div', value, 'figure');
    figure.dataset.total = key;
    card.appendChild(figure);
    box.appendChild(card);
  }
}

function showHours(view) {
  const byHour = new Map();
  for (const h of view.hours) {
    const sum = byHour.get(h.hour) || { addressed: 0, burnsPassed: 0, burnsFailed: 0 };
    sum.addressed += h.addressed;
    sum.burnsPassed += h.burnsPassed;
    sum.burnsFailed += h.burnsFailed;
    byHour.set(h.hour, sum);
  }
  const hours = [...byHour.keys()].sort();
  const sums = hours.map((h) => byHour.get(h));
  const yields = sums.map((s) => (s.burnsPassed + s.burnsFailed === 0 ? null : (100 * s.burnsPassed) / (s.burnsPassed + s.burnsFailed)));
  chart('hoursChart', {
    type: 'bar',
    data: {
      labels: hours.map((h) => h.slice(11)),
      datasets: [
        { label: '写地址 Addressed', data: sums.map((s) => s.addressed), stack: 'addressed', backgroundColor: '#4e79a7', yAxisID: 'y' },
        { label: '烧录成功 Burns passed', data: sums.map((s) => s.burnsPassed), stack: 'burns', backgroundColor: '#59a14f', yAxisID: 'y' },
        { label: '烧录失败 Burns failed', data: sums.map((s) => s.burnsFailed), stack: 'burns', backgroundColor: '#e15759', yAxisID: 'y' },
        { label: '良率 Yield %', data: yields, type: 'line', borderColor: '#f28e2b', backgroundColor: '#f28e2b', yAxisID: 'yield', spanGaps: true },
      ],
    },
    options: {
      scales: {
        x: { stacked: true },
        y: { stacked: true, beginAtZero: true, title: { display: true, text: '数量 Count' } },
        yield: { position: 'right', min: 0, max: 100, grid: { drawOnChartArea: false }, title: { display: true, text: '良率 Yield %' } },
      },
    },
  });
  table('hoursTable', ['小时 Hour', '工位 Station', '写地址 Addressed', '烧录成功 Passed', '烧录失败 Failed', '良率 Yield'],
    view.hours.map((h) => [h.hour, h.station, h.addressed, h.burnsPassed, h.burnsFailed, percent(h.yield)]));
}

function showPareto(pareto) {
  chart('paretoChart', {
    type: 'bar',
    data: {
      labels: pareto.map((p) => p.result.trim() || '(空 empty)'),
      datasets: [{ label: '失败次数 Failures', data: pareto.map((p) => p.count), backgroundColor: '#e15759' }],
    },
    options: { indexAxis: 'y', scales: { x: { beginAtZero: true, ticks: { precision: 0 } } } },
  });
  table('paretoTable', ['操作 Operation', '结果 Result', '次数 Count'], pareto.map((p) => [p.operation, p.result, p.count]));
}

function showCycle(view) {
  const edges = view.cycleBinsMs;
  const labels = edges.map((e, i) => (i === 0 ? '<' + e : edges[i - 1] + '–' + e)).concat(['≥' + edges[edges.length - 1]]);
  const colours = ['#4e79a7', '#f28e2b', '#59a14f', '#e15759', '#76b7b2', '#edc948', '#b07aa1', '#ff9da7', '#9c755f', '#bab0ac'];
  chart('cycleChart', {
    type: 'bar',
    data: {
      labels: labels.map((l) => l + ' ms'),
      datasets: view.cycleTimes.map((c, i) => ({ label: c.operation, data: c.bins, backgroundColor: colours[i % colours.length] })),
    },
    options: { scales: { y: { beginAtZero: true, title: { display: true, text: '次数 Count' } } } },
  });
  table('cycleTable', ['操作 Operation', '次数 Count', '最短 Min', '中位 Median', 'P90', '最长 Max'],
    view.cycleTimes.map((c) => [c.operation, c.count, c.minMs, c.medianMs, c.p90Ms, c.maxMs]));
}

function showRanges(ranges) {
  table('rangesTable', ['NAP:UAP', '起始 First LAP', '末尾 Last LAP', '下一个 Next LAP', '已用 Used', '剩余 Left', '最近一小时 Last hour', '预计用完 Runs out'],
    ranges.map((r) => [r.nap + ':' + r.uap, r.firstLap, r.lastLap, r.nextLap === null ? '已用完 used up' : r.nextLap, r.used, r.left, r.lastHour,
      r.runsOutAt === null ? '–' : r.runsOutAt]));
}

function showStations(view) {
  const select = document.getElementById('station');
  const chosen = select.value;
  const names = new Set(view.stations);
  if (chosen) names.add(chosen);
  const wanted = ['', ...[...names].sort()];
  const have = [...select.options].map((o) => o.value);
  if (wanted.join('\n') === have.join('\n')) return;
  select.replaceChildren(el('option', '全部 All'));
  select.options[0].value = '';
  for (const name of wanted.slice(1)) {
    const option = el('option', name);
    option.value = name;
    select.appendChild(option);
  }
  select.value = chosen;
}

function showError(message) {
  const box = document.getElementById('error');
  box.replaceChildren(el('h2', '无法读取生产记录 The production record cannot be read'), el('p', message));
  box.hidden = false;
}

function query() {
  const [from, to] = document.getElementById('shift').value.split('-');
  const params = new URLSearchParams({ from, to });
  // Until the operator picks a day, the program's own today.
  const day = document.getElementById('day').value;
  if (day) params.set('day', day);
  const station = document.getElementById('station').value;
  if (station) params.set('station', station);
  return '/api/view?' + params.toString();
}

async function refresh() {
  const status = document.getElementById('status');
  try {
    choiceChanged = false;
    const response = await fetch(query(), { cache: 'no-store' });
    const body = await response.json();
    if (choiceChanged) return;
    if (!response.ok) {
      showError(body.error || String(response.status));
    } else {
      document.getElementById('error').hidden = true;
      showFindings(body.check);
      showTotals(body.totals);
      showHours(body);
      showPareto(body.pareto);
      showCycle(body);
      showRanges(body.ranges);
      table('latestTable', ROW_HEADERS, body.latest.map(rowCells));
      showStations(body);
      if (!document.getElementById('day').value) document.getElementById('day').value = body.from.slice(0, 10);
      document.body.dataset.loaded = body.now;
    }
    status.textContent = '更新于 Updated ' + new Date().toLocaleTimeString() + ' · ' + body.from + ' – ' + body.to;
  } catch (e) {
    showError('看板无应答 The dashboard does not answer: ' + e.message);
  }
}

function start() {
  for (const id of ['day', 'shift', 'station']) {
    document.getElementById(id).addEventListener('change', () => { choiceChanged = true; refresh(); });
  }
  refresh();
  setInterval(refresh, REFRESH_MS);
}

document.addEventListener('DOMContentLoaded', start);
