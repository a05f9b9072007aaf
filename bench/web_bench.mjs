// The browser module beside the native tolvane-cli on the same machine: the sample's prediction
// and the nine-run evaluation (median of RUNS), the module's start plus first prediction (what
// stands between choosing the sample and its result on screen), and the page's size.
// Usage: node bench/web_bench.mjs TOLVANE_CLI MODULE_JS PAGE_HTML [RUNS]
import { spawnSync } from 'node:child_process';
import { readFileSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';

const [cli, modulePath, pagePath, runsText] = process.argv.slice(2);
const runs = Number(runsText ?? 9);
const sample = resolve('data/numbers3-sample.csv');
const median = (times) => times.sort((a, b) => a - b)[Math.floor(times.length / 2)];
const time = (action) => {
  const times = [];
  for (let i = 0; i < runs; i += 1) {
    const start = performance.now();
    action();
    times.push(performance.now() - start);
  }
  return median(times);
};

let start = performance.now();
const module = await createRequire(import.meta.url)(resolve(modulePath))();
module.FS.mkdirTree(resolve('data'));
module.FS.writeFile(sample, readFileSync(sample));
module.run(['predict', sample], undefined);
const firstResult = performance.now() - start;

const cases = [
  ['prediction', ['predict', sample, '--format', 'json']],
  ['nine-run evaluation', ['backtest', sample, '--filter', 'all', '--frame', 'all', '--format', 'json', '--threads', '1']],
];
console.log(`median of ${runs} runs, milliseconds (native: a whole process, one thread)`);
for (const [name, args] of cases) {
  const native = time(() => spawnSync(cli, args));
  const web = time(() => module.run(args, undefined));
  console.log(`${name.padEnd(20)} native ${native.toFixed(1).padStart(8)}  module ${web.toFixed(1).padStart(8)}  ratio ${(web / native).toFixed(2)}`);
}
console.log(`module start and first prediction: ${firstResult.toFixed(0)} ms`);
console.log(`tolvane.html: ${statSync(pagePath).size} bytes`);
