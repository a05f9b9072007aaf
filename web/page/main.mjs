// The page: file access, storage and display. Every result is what tolvane-cli prints for the
// same command, run by the module in a worker.
const $ = (id) => document.getElementById(id);
const utf8 = new TextDecoder('utf-8');

// ---- the worker, from the script inlined in the page; replaced when a run is cancelled ----
const workerUrl = URL.createObjectURL(new Blob([$('worker-source').textContent], { type: 'text/javascript' }));
let worker = null;
let pending = new Map();
let nextId = 1;
function startWorker() {
  worker = new Worker(workerUrl);
  worker.onmessage = (event) => {
    if (event.data.progress) {
      pending.get(event.data.id)?.progress?.(...event.data.progress);
      return;
    }
    const done = pending.get(event.data.id);
    pending.delete(event.data.id);
    if (done) done.resolve(event.data);
  };
  worker.onerror = (event) => {
    for (const done of pending.values()) done.reject(new Error(event.message || 'ワーカーが止まりました'));
    pending = new Map();
  };
}
startWorker();

// progress(done, total), when given, follows a long run. With `history`, the module finds the
// encoding of that history (自動) and the command gets it as --encoding.
function run(args, files = {}, read = [], progress = null, history = null) {
  const id = nextId++;
  return new Promise((resolve, reject) => {
    pending.set(id, { resolve, reject, progress });
    worker.postMessage({ id, args, files, read, history });
  });
}

function cancel() {
  worker.terminate();
  for (const done of pending.values()) done.reject(new Error('中止しました。'));
  pending = new Map();
  startWorker();
}
for (const button of document.querySelectorAll('.cancel')) button.addEventListener('click', cancel);

// ---- the history: in memory, kept in IndexedDB between visits ----
let history = null; // {name, bytes}
let unsaved = false;

function openStore() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open('tolvane', 1);
    request.onupgradeneeded = () => request.result.createObjectStore('history');
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}
async function store(action) {
  const db = await openStore();
  return new Promise((resolve, reject) => {
    const transaction = db.transaction('history', 'readwrite');
    const request = action(transaction.objectStore('history'));
    transaction.oncomplete = () => resolve(request.result);
    transaction.onerror = () => reject(transaction.error);
  });
}
const keep = () => store((s) => s.put({ ...history, game: $('game').value, encoding: $('encoding').value }, 'current'))
  .catch(() => setStatus('ブラウザに履歴を保存できませんでした (ファイルの保存は使えます)。'));

function setStatus(text) { $('status').textContent = text; }
function setError(text) { $('error').textContent = text; }

function showHistory() {
  $('loaded').textContent = history
    ? `${history.name} (${history.bytes.length.toLocaleString()} バイト${unsaved ? '、未保存の変更あり' : ''})`
    : 'まだ履歴がありません。';
}

async function useHistory(name, bytes, changed) {
  history = { name: name.replace(/[/\\]/g, '_') || 'history.csv', bytes };
  unsaved = changed;
  showHistory();
  await keep();
  await predict();
}

async function readChosen(file) {
  setError('');
  try {
    await useHistory(file.name, new Uint8Array(await file.arrayBuffer()), false);
  } catch (error) {
    setError(`ファイルを読めませんでした: ${error.message}`);
  }
}

$('file').addEventListener('change', () => { if ($('file').files[0]) readChosen($('file').files[0]); });
const drop = $('drop');
drop.addEventListener('dragover', (event) => { event.preventDefault(); drop.classList.add('over'); });
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', (event) => {
  event.preventDefault();
  drop.classList.remove('over');
  if (event.dataTransfer.files[0]) readChosen(event.dataTransfer.files[0]);
});
$('forget').addEventListener('click', async () => {
  await store((s) => s.delete('current')).catch(() => {});
  history = null;
  unsaved = false;
  showHistory();
  setStatus('保存した履歴を忘れました。');
});

// ---- commands ----
// The history and its game; its encoding as chosen, or none for 自動 (see encodingToFind).
function historyArgs() {
  const encoding = $('encoding').value;
  return [history.name, '--game', $('game').value, ...(encoding === 'auto' ? [] : ['--encoding', encoding])];
}
const encodingToFind = () => ($('encoding').value === 'auto' ? { path: history.name, game: $('game').value } : null);

// A long run's bar: `share` of it from `from` on is this run's (the hit rates run twice, for the
// table and for the chart).
function follow(bar, from = 0, share = 1) {
  if (!bar) return null;
  bar.hidden = false;
  if (from === 0) bar.value = 0;
  return (done, total) => { bar.value = from + share * (total > 0 ? Math.min(done / total, 1) : 0); };
}

// Runs a command on the history and shows its output in `out`; the reasons of a failure go to
// the error line. Returns the result, or null.
async function command(name, extra, out, read = [], progress = null) {
  if (!history) {
    setError('履歴ファイルを選んでください。');
    return null;
  }
  setError('');
  setStatus('計算中…');
  const started = performance.now();
  try {
    const result = await run([name, ...historyArgs(), ...extra], { [history.name]: history.bytes }, read, progress,
      encodingToFind());
    const stdout = utf8.decode(result.stdout);
    const stderr = utf8.decode(result.stderr);
    if (out) out.textContent = stdout;
    if (result.status !== 0) {
      setError(result.reasons || stderr || `失敗しました (終了コード ${result.status})。`);
      setStatus('');
      return null;
    }
    setStatus(`${stderr}${stderr ? ' ' : ''}(${Math.round(performance.now() - started)} ms)`);
    return { ...result, text: stdout };
  } catch (error) {
    setError(error.message);
    setStatus('');
    return null;
  }
}

function predictArgs() {
  const args = ['--filter', $('filter').value, '--frame', $('frame').value];
  if ($('round').value.trim()) args.push('--round', $('round').value.trim());
  if ($('bet').value) args.push('--bet', $('bet').value, '--tickets', String($('tickets').value || 1));
  return args;
}
const predict = () => command('predict', predictArgs(), $('out-predict'));
function backtestArgs() {
  const filter = $('bt-filter').value;
  const args = ['--filter', filter, '--frame', filter === 'all' ? 'all' : $('frame').value];
  if ($('bt-last').value.trim()) args.push('--last', $('bt-last').value.trim());
  return args;
}
function moneyArgs() {
  const args = ['--filter', $('filter').value, '--frame', $('frame').value,
    '--bet', $('mo-bet').value, '--tickets', String($('mo-tickets').value || 1)];
  if ($('mo-last').value.trim()) args.push('--last', $('mo-last').value.trim());
  return args;
}

function download(name, bytes, type) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}
async function saveCsv(commandName, extra, name) {
  const result = await command(commandName, [...extra, '--format', 'csv'], null);
  if (result) download(name, result.stdout, 'text/csv');
}

$('run-predict').addEventListener('click', predict);
$('csv-predict').addEventListener('click', () => saveCsv('predict', predictArgs(), 'prediction.csv'));
// ---- charts (uPlot), drawn from the commands' JSON ----
/* global uPlot, chartSvg */
const charts = {};
const drawn = {}; // what each chart was drawn from, for its SVG
const colours = ['#1f5fbf', '#c0392b', '#27864a', '#8e44ad', '#d4880f', '#16a0a0', '#555', '#b0457a', '#6b8e23'];
function draw(name, data, series, xLabel, yLabel) {
  const box = $(`chart-${name}`);
  charts[name]?.destroy();
  drawn[name] = { data, series, xLabel, yLabel, colours };
  const width = Math.min(box.parentElement.clientWidth - 24, 900);
  charts[name] = new uPlot({
    width, height: 260,
    scales: { x: { time: false } },
    axes: [{ label: xLabel }, { label: yLabel }],
    series: [{ label: xLabel }, ...series.map((label, i) => ({ label, stroke: colours[i % colours.length], width: 2 }))],
  }, data, box);
}
function savePng(name, file) {
  const chart = charts[name];
  if (!chart) { setError('先にグラフを出してください。'); return; }
  chart.ctx.canvas.toBlob((blob) => download(file, blob, 'image/png'));
}
function saveSvg(name, file) {
  if (!drawn[name]) { setError('先にグラフを出してください。'); return; }
  download(file, chartSvg(drawn[name]), 'image/svg+xml');
}
const digits = [0, 1, 2, 3, 4, 5, 6, 7, 8, 9];
async function chartStats() {
  const result = await command('stats', ['--format', 'json'], null);
  if (!result) return;
  const stats = JSON.parse(result.text);
  draw('stats', [digits, ...stats.places.map((p) => p.counts)], stats.places.map((p) => p.place), '数字', '回数');
}
async function chartBacktest(args, progress) {
  const result = await command('backtest', [...args, '--format', 'json'], null, [], progress);
  if (!result) return;
  const evaluation = JSON.parse(result.text);
  const ks = digits.map((d) => d + 1);
  // Each run's hit rate at k over all places, beside chance (k in 10).
  const rates = evaluation.runs.map((run) => ks.map((k, i) =>
    run.places.reduce((sum, p) => sum + p.hits[i], 0) / (run.trials * run.places.length)));
  draw('backtest', [ks, ...rates, ks.map((k) => k / 10)],
    [...evaluation.runs.map((run) => `${run.filter} ${run.frame ?? ''}`.trim()), '偶然'], 'k', '的中率');
}
// The bar shows for as long as `action` runs.
async function withBar(bar, action) {
  try {
    await action();
  } finally {
    bar.hidden = true;
  }
}
$('run-backtest').addEventListener('click', () => withBar($('progress-backtest'), async () => {
  const args = backtestArgs();
  const bar = $('progress-backtest');
  if (await command('backtest', args, $('out-backtest'), [], follow(bar, 0, 0.5))) {
    await chartBacktest(args, follow(bar, 0.5, 0.5));
  }
}));
$('png-backtest').addEventListener('click', () => savePng('backtest', 'hit-rates.png'));
$('png-stats').addEventListener('click', () => savePng('stats', 'statistics.png'));
$('png-money').addEventListener('click', () => savePng('money', 'balance.png'));
for (const [name, file] of [['backtest', 'hit-rates.svg'], ['stats', 'statistics.svg'], ['money', 'balance.svg']]) {
  $(`svg-${name}`).addEventListener('click', () => saveSvg(name, file));
}
$('csv-backtest').addEventListener('click', () => saveCsv('backtest', backtestArgs(), 'backtest.csv'));
// The balance of each kind of ticket after every replayed draw, as the window draws it: what
// the draws so far paid less what their tickets cost, from the command's rows of draws.
const betNames = { straight: 'ストレート', box: 'ボックス', set: 'セット', mini: 'ミニ' };
async function chartMoney(args, progress) {
  const result = await command('backtest', [...args, '--format', 'csv'], null, [], progress);
  if (!result) return;
  const cost = 200 * Number($('mo-tickets').value || 1);
  const balances = new Map(); // bet -> [draw, balance][]
  for (const line of result.text.split('\n').slice(1).filter((l) => l !== '')) {
    const [, , bet, round, , , winnings] = line.split(',');
    if (!balances.has(bet)) balances.set(bet, []);
    const points = balances.get(bet);
    points.push([Number(round), (points.at(-1)?.[1] ?? 0) + Number(winnings) - cost]);
  }
  const bets = [...balances.keys()];
  if (bets.length === 0) return;
  draw('money', [balances.get(bets[0]).map(([d]) => d), ...bets.map((b) => balances.get(b).map(([, v]) => v))],
    bets.map((b) => betNames[b] ?? b), '回 (履歴の何回目)', '収支 (円)');
  // What the lines end at, for those who cannot see them.
  const ends = bets.map((b) => `${betNames[b] ?? b} ${balances.get(b).at(-1)[1].toLocaleString('ja-JP')} 円`);
  $('chart-money').setAttribute('aria-label', `券種ごとの収支の推移のグラフ (最後の回で ${ends.join('、')})`);
}
$('run-money').addEventListener('click', () => withBar($('progress-money'), async () => {
  const args = moneyArgs();
  const bar = $('progress-money');
  if (await command('backtest', args, $('out-money'), [], follow(bar, 0, 0.5))) {
    await chartMoney(args, follow(bar, 0.5, 0.5));
  }
}));
$('csv-money').addEventListener('click', () => saveCsv('backtest', moneyArgs(), 'money.csv'));
$('run-stats').addEventListener('click', async () => {
  if (await command('stats', [], $('out-stats'))) await chartStats();
});
$('csv-stats').addEventListener('click', () => saveCsv('stats', [], 'statistics.csv'));

// ---- updating the history ----
async function changeHistory(result, bytes) {
  if (!result) return;
  if (!bytes) {
    setError('履歴が書かれませんでした。');
    return;
  }
  $('out-update').textContent = utf8.decode(result.stderr);
  await useHistory(history.name, bytes, true);
}
$('run-add').addEventListener('click', async () => {
  const args = [$('add-number').value.trim()];
  if ($('add-round').value.trim()) args.push('--round', $('add-round').value.trim());
  if ($('add-date').value.trim()) args.push('--date', $('add-date').value.trim());
  if (!history) { setError('履歴ファイルを選んでください。'); return; }
  const result = await run(['add', ...historyArgs(), ...args], { [history.name]: history.bytes }, [history.name], null,
    encodingToFind());
  if (result.status !== 0) { setError(result.reasons || utf8.decode(result.stderr)); return; }
  $('add-number').value = '';
  await changeHistory(result, result.files[history.name]);
});
async function importResults(merge) {
  const file = $('results').files[0];
  if (!file) { setError('結果ファイルを選んでください。'); return; }
  if (merge && !history) { setError('履歴ファイルを選んでください。'); return; }
  setError('');
  const source = `results-${file.name.replace(/[/\\]/g, '_')}`;
  const files = { [source]: new Uint8Array(await file.arrayBuffer()) };
  const target = merge ? history.name : 'imported.csv';
  if (merge) files[target] = history.bytes;
  const args = merge ? ['import', source, '--into', target] : ['import', source, '-o', target, '--game', $('game').value];
  const result = await run(args, files, [target]);
  if (result.status !== 0) { setError(result.reasons || utf8.decode(result.stderr)); return; }
  if (!merge) history = { name: target, bytes: new Uint8Array() };
  await changeHistory(result, result.files[target]);
}
$('run-import').addEventListener('click', () => importResults(false));
$('run-merge').addEventListener('click', () => importResults(true));
$('save').addEventListener('click', async () => {
  if (!history) return;
  try {
    if (window.showSaveFilePicker) {
      const handle = await window.showSaveFilePicker({ suggestedName: history.name });
      const writable = await handle.createWritable();
      await writable.write(history.bytes);
      await writable.close();
    } else {
      download(history.name, history.bytes, 'text/csv');
    }
    unsaved = false;
    showHistory();
    setStatus(`保存しました: ${history.name}`);
  } catch (error) {
    // The history stays in the page and in the browser's storage: nothing is lost.
    setError(`保存できませんでした: ${error.message}`);
  }
});

// ---- tabs ----
const tabs = [...document.querySelectorAll('[role=tab]')];
function selectTab(tab) {
  for (const other of tabs) {
    const selected = other === tab;
    other.setAttribute('aria-selected', String(selected));
    other.tabIndex = selected ? 0 : -1;
    $(other.getAttribute('aria-controls')).hidden = !selected;
  }
  tab.focus();
}
tabs.forEach((tab, i) => {
  tab.tabIndex = i === 0 ? 0 : -1;
  tab.addEventListener('click', () => selectTab(tab));
  tab.addEventListener('keydown', (event) => {
    const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
    if (step) selectTab(tabs[(i + step + tabs.length) % tabs.length]);
  });
});

// ---- the last visit's history ----
store((s) => s.get('current')).then(async (kept) => {
  if (kept && kept.bytes) {
    $('game').value = kept.game || 'numbers3';
    $('encoding').value = kept.encoding || 'auto';
    history = { name: kept.name, bytes: kept.bytes };
    showHistory();
    await predict();
  } else {
    showHistory();
  }
}).catch(() => showHistory());
window.tolvaneReady = true;
