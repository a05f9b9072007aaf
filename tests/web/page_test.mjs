// The built page in headless Chromium (the system's), opened from file:// as a user would:
// loads each game's sample, predicts, runs the hit rates (with their chart), the statistics and
// the money replay (its progress, its chart and the chart as SVG), adds a draw, and checks what is
// shown; with --screenshots DIR it saves the page at a desktop and a phone size.
// Usage: node page_test.mjs PAGE_HTML SOURCE_DIR [--screenshots DIR]. Exits 77 without the page.
import { existsSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const [pagePath, source, flag, shots] = process.argv.slice(2);
const chromium = process.env.CHROMIUM ?? '/usr/bin/chromium';
if (!existsSync(pagePath) || !existsSync(chromium)) {
  console.log(`skipped: needs ${pagePath} and ${chromium}`);
  process.exit(77);
}
const require = createRequire(join(source, 'web/package.json'));
let puppeteer;
try {
  puppeteer = require('puppeteer-core');
} catch {
  console.log('skipped: puppeteer-core is not installed (npm ci in web/)');
  process.exit(77);
}

const browser = await puppeteer.launch({
  executablePath: chromium,
  headless: 'new',
  args: ['--no-sandbox', '--allow-file-access-from-files'],
});
const failures = [];
const expect = (what, ok) => { if (!ok) failures.push(what); console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`); };
try {
  const page = await browser.newPage();
  page.on('pageerror', (error) => failures.push(`page error: ${error.message}`));
  await page.setViewport({ width: 1366, height: 768 });
  await page.goto(pathToFileURL(resolve(pagePath)).href);
  await page.waitForFunction(() => window.tolvaneReady === true);
  const text = (id) => page.$eval(`#${id}`, (e) => e.textContent);
  const waitFor = (id, needle) => page.waitForFunction(
    (i, n) => document.getElementById(i).textContent.includes(n) || document.getElementById('error').textContent !== '',
    { timeout: 60000 }, id, needle);

  // Each game's sample: its prediction, and the hit rates of the nine runs with their chart. The
  // Numbers 3 history stays for what follows.
  const samples = [
    { game: 'numbers4', file: 'numbers4-sample.csv', first: '千の位：\nパワースペクトル予想: 0, 4, 9, 5, 2, 7, 1, 6, 3, 8', all: 'all four' },
    { game: 'numbers3', file: 'numbers3-sample.csv', first: 'パワースペクトル予想: 2, 5, 4, 9, 6, 8, 3, 1, 0, 7', all: 'all three' },
  ];
  for (const sample of samples) {
    await page.$eval('#out-predict', (e) => { e.textContent = ''; });
    await page.$eval('#out-backtest', (e) => { e.textContent = ''; });
    await page.$eval('#chart-backtest', (e) => e.replaceChildren());
    await page.click('#tab-predict');
    await page.select('#game', sample.game);
    await (await page.$('#file')).uploadFile(join(source, 'data', sample.file));
    await waitFor('out-predict', '第6501回');
    expect(`${sample.game}: the prediction for round 6501`, (await text('out-predict')).includes(sample.first));

    await page.click('#tab-backtest');
    await page.$eval('#bt-last', (e) => { e.value = '500'; });
    await page.click('#run-backtest');
    await waitFor('out-backtest', '\nnone');
    const rates = await text('out-backtest');
    expect(`${sample.game}: the hit rates of nine runs`, rates.includes('\nnone') && rates.includes(sample.all));
    await page.waitForSelector('#chart-backtest canvas', { timeout: 60000 });
    expect(`${sample.game}: the hit rates drawn`, (await page.$$('#chart-backtest .u-series')).length === 11);
  }

  await page.click('#tab-stats');
  await page.click('#run-stats');
  await page.waitForSelector('#chart-stats canvas', { timeout: 60000 });
  expect('the statistics and their chart', (await text('out-stats')).includes('Hundreds place') &&
    (await page.$$('#chart-stats .u-series')).length === 4);

  await page.click('#tab-money');
  await page.type('#mo-last', '300');
  // Every value the bar is given, in order.
  await page.evaluate(() => {
    const bar = document.getElementById('progress-money');
    const value = Object.getOwnPropertyDescriptor(HTMLProgressElement.prototype, 'value');
    window.barValues = [];
    Object.defineProperty(bar, 'value', {
      get() { return value.get.call(this); },
      set(v) { window.barValues.push(v); value.set.call(this, v); },
    });
  });
  await page.click('#run-money');
  await waitFor('out-money', 'winnings');
  expect('the money replay', (await text('out-money')).includes('winnings'));
  // The table's run fills the first half of the bar, the chart's the second.
  await page.waitForSelector('#chart-money canvas', { timeout: 60000 });
  await page.waitForFunction(() => document.getElementById('progress-money').hidden, { timeout: 60000 });
  const values = await page.evaluate(() => window.barValues);
  expect(`its progress from 0 to 1, never back, the evaluation half of each run (${values.join(' ')})`,
    values[0] === 0 && values.at(-1) === 1 && values.includes(0.25) && values.includes(0.75) &&
    values.every((v, i) => i === 0 || v >= values[i - 1]) &&
    await page.$eval('#progress-money', (bar) => bar.hidden));
  expect('the balance of each kind of ticket drawn', (await page.$$('#chart-money .u-series')).length === 5);
  // Each line ends at the table's winnings less its cost.
  const table = await text('out-money');
  const bets = { straight: 'ストレート', box: 'ボックス', set: 'セット', mini: 'ミニ' };
  const ends = Object.entries(bets).map(([bet, name]) => {
    const [cost, won] = table.match(new RegExp(`\\n  ${bet} +\\d+ +\\d+ +([\\d,]+) +([\\d,]+) `)).slice(1).map((n) => Number(n.replace(/,/g, '')));
    return `${name} ${(won - cost).toLocaleString('ja-JP')} 円`;
  });
  const label = await page.$eval('#chart-money', (e) => e.getAttribute('aria-label'));
  expect(`the balances at the last draw (${label})`, label.endsWith(`(最後の回で ${ends.join('、')})`));
  // The saved SVG: what the page hands the download, parsed as the browser reads an .svg file.
  await page.evaluate(() => {
    const create = URL.createObjectURL;
    URL.createObjectURL = (blob) => { window.savedBlob = blob; return create(blob); };
  });
  await page.click('#svg-money');
  const svg = await page.evaluate(async () => {
    const blob = window.savedBlob;
    const doc = new DOMParser().parseFromString(await blob.text(), 'image/svg+xml');
    const lines = [...doc.querySelectorAll('polyline')];
    return { type: blob.type, root: doc.documentElement.nodeName, lines: lines.length,
      points: lines.map((line) => line.getAttribute('points').split(' ').length),
      texts: [...doc.querySelectorAll('text')].map((e) => e.textContent) };
  });
  expect(`the balance saved as SVG (${svg.root}, ${svg.lines} lines)`, svg.type === 'image/svg+xml' &&
    svg.root === 'svg' && svg.lines === 4 && svg.points.every((n) => n === 300) && ['ストレート', 'ミニ', '収支 (円)'].every((t) => svg.texts.includes(t)));

  await page.click('#tab-update');
  await page.type('#add-number', '123');
  await page.click('#run-add');
  await waitFor('out-predict', '第6502回');
  if ((await text('error')) !== '') console.log(await text('error'));
  expect('a draw added, the next prediction for round 6502', (await text('out-predict')).includes('第6502回'));
  expect('the addition reported', (await text('out-update')).includes('第6501回'));

  if (flag === '--screenshots') {
    await page.click('#tab-predict');
    await page.screenshot({ path: join(shots, 'web-desktop.png') });
    await page.setViewport({ width: 390, height: 844 });
    await page.screenshot({ path: join(shots, 'web-phone.png') });
    await page.setViewport({ width: 1366, height: 768 });
    await page.click('#tab-update');
  }
  await page.type('#add-number', '12');
  await page.click('#run-add');
  await page.waitForFunction(() => document.getElementById('error').textContent !== '');
  expect('a bad number gives the reason in Japanese, without the command\'s help',
    (await text('error')) === '当せん番号 "12" が 3 桁ではありません');
  expect('the history kept after a failure', (await text('loaded')).includes('未保存'));

} finally {
  await browser.close();
}
process.exit(failures.length === 0 ? 0 : 1);
