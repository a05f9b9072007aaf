// The browser module against tolvane-cli: for each row (a command line over the sample files) the
// module's exit status, standard output, standard error and the files it writes are the
// program's, byte for byte. Usage: node equivalence.mjs TOLVANE_CLI MODULE_JS SOURCE_DIR
// Exits 77 (skipped) when the module has not been built (the wasm preset).
import { spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';

const [cli, modulePath, source] = process.argv.slice(2);
if (!existsSync(modulePath)) {
  console.log(`skipped: no module at ${modulePath} (cmake --preset wasm && cmake --build --preset wasm)`);
  process.exit(77);
}
const createModule = createRequire(import.meta.url)(resolve(modulePath));

const n3 = join(source, 'data/numbers3-sample.csv');
const n4 = join(source, 'data/numbers4-sample.csv');
const results = join(source, 'data/numbers3-results-example.csv');
const work = mkdtempSync(join(tmpdir(), 'tolvane-web-'));
const copy = join(work, 'history.csv');
const out = join(work, 'out.csv');
const n4copy = join(work, 'history4.csv');
const broken = join(work, 'broken.csv');
const n3utf8 = join(work, 'utf8.csv');
const n4utf8 = join(work, 'utf8-4.csv');
const inUtf8 = (path, mark = '') => Buffer.from(mark + new TextDecoder('shift_jis').decode(readFileSync(path)));

// args: the command line; inputs: files both sides read (the module gets copies at the same
// paths); fresh: files copied from a source (a path or the bytes) before each side runs; outputs:
// files compared after; found: the encoding the module finds for the history (the page's 自動),
// given to the program as --encoding.
const rows = [
  { args: ['predict', n3, '--format', 'json'] },
  { args: ['predict', n3] },
  { args: ['predict', n3, '--filter', 'bpf', '--frame', 'tail', '--format', 'csv'] },
  { args: ['predict', n3, '--filter', 'none', '--round', '12', '--bet', 'all', '--tickets', '3'] },
  { args: ['predict', n4, '--game', 'numbers4', '--format', 'json', '--bet', 'straight,box'] },
  { args: ['predict', n4, '--game', 'numbers4', '--frame', 'headtail'] },
  { args: ['predict', n3, '--encoding', 'utf-8'] },
  { args: ['predict', join(work, 'missing.csv')] },
  { args: ['predict', broken], fresh: [[broken, '第1回,2024/1/4,木,12x\n']] },
  { args: ['predict', n3, '--filter', 'sideways'] },
  { args: ['predict', n3], found: 'cp932' },
  { args: ['predict', n3utf8], found: 'utf-8', fresh: [[n3utf8, inUtf8(n3)]] },
  { args: ['predict', n4utf8, '--game', 'numbers4'], found: 'utf-8', fresh: [[n4utf8, inUtf8(n4, '\ufeff')]] },
  { args: ['predict', broken], found: 'cp932', fresh: [[broken, '第1回,2024/1/4,木,12x\n']] },
  { args: ['backtest', n3, '--filter', 'all', '--frame', 'all', '--format', 'json'] },
  { args: ['backtest', n3, '--last', '300', '--bet', 'all', '--tickets', '5'] },
  { args: ['backtest', n4, '--game', 'numbers4', '--last', '200', '--format', 'csv'] },
  { args: ['stats', n3, '--format', 'json'] },
  { args: ['stats', n4, '--game', 'numbers4'] },
  { args: ['import', results, '-o', out], outputs: [out] },
  { args: ['import', results, '--into', copy], fresh: [[copy, n3]], outputs: [copy] },
  { args: ['add', copy, '123'], fresh: [[copy, n3]], outputs: [copy] },
  { args: ['add', n4copy, '９８７６', '--game', 'numbers4', '--round', '6501'],
    fresh: [[n4copy, n4]], outputs: [n4copy] },
  { args: ['add', copy, '12'], fresh: [[copy, n3]], outputs: [copy] },
];

const prepare = (row, write) => {
  for (const [path, from] of row.fresh ?? []) {
    write(path, Buffer.isBuffer(from) ? from : existsSync(from) ? readFileSync(from) : Buffer.from(from));
  }
};

const module = await createModule();
const inModule = (path, bytes) => {
  module.FS.mkdirTree(dirname(path));
  module.FS.writeFile(path, bytes);
};
for (const file of [n3, n4, results]) {
  inModule(file, readFileSync(file));
}
module.FS.mkdirTree(work);

let failures = 0;
for (const row of rows) {
  const name = row.args.join(' ');
  for (const path of row.outputs ?? []) {
    rmSync(path, { force: true });
    try { module.FS.unlink(path); } catch { /* not there */ }
  }
  // The program.
  prepare(row, writeFileSync);
  const game = row.args.includes('numbers4') ? 'numbers4' : 'numbers3';
  const native = spawnSync(cli, row.found ? [...row.args, '--encoding', row.found] : row.args,
    { stdio: ['ignore', 'pipe', 'pipe'] });
  const nativeFiles = (row.outputs ?? []).map((path) => (existsSync(path) ? readFileSync(path) : null));
  // The module.
  prepare(row, inModule);
  const web = module.run(row.found ? [...row.args, '--encoding', module.historyEncoding(row.args[1], game)] : row.args,
    undefined);
  const webFiles = (row.outputs ?? []).map((path) => {
    try { return Buffer.from(module.FS.readFile(path)); } catch { return null; }
  });
  const differs = [];
  if (web.status !== native.status) differs.push(`status ${web.status} != ${native.status}`);
  const webOut = Buffer.from(web.stdout);
  if (!webOut.equals(native.stdout)) {
    differs.push('standard output');
  }
  if (!Buffer.from(web.stderr).equals(native.stderr)) {
    differs.push(`standard error:\n${Buffer.from(web.stderr)}\n-- the program's:\n${native.stderr}`);
  }
  nativeFiles.forEach((bytes, i) => {
    const other = webFiles[i];
    if ((bytes === null) !== (other === null) || (bytes && !bytes.equals(other))) {
      differs.push(`file ${row.outputs[i]}`);
    }
  });
  if (differs.length > 0) {
    failures += 1;
    console.log(`FAIL ${name}: ${differs.join('; ')}`);
  } else {
    console.log(`ok   ${name} (status ${native.status})`);
  }
}
rmSync(work, { recursive: true, force: true });
process.exit(failures === 0 ? 0 : 1);
