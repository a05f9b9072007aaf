// Makes the one-file page: the module's script and the worker's as the worker's source, the
// styles and the page's script inlined into index.html. Usage: node build_page.mjs MODULE_JS OUT
import { readFileSync, writeFileSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const [modulePath, outPath] = process.argv.slice(2);
const page = join(dirname(fileURLToPath(import.meta.url)), 'page');
const read = (name) => readFileSync(join(page, name), 'utf8');
// The page's own sources lose their indentation, blank lines and whole-line comments: bytes no
// browser needs. A template literal must not span lines, as its text would lose them too.
const lean = (name) => read(name).split('\n').map((line) => line.trim())
  .filter((line) => line !== '' && !line.startsWith('//') && !(line.startsWith('/*') && line.endsWith('*/')))
  .map((line) => {
    if ((line.match(/`/g) ?? []).length % 2 !== 0) throw new Error(`${name}: a template literal over lines: ${line}`);
    return line;
  }).join('\n');
// Inside a <script> element only "</script" ends it; the module's base-85 never holds one, but
// the scripts' text is escaped all the same.
const inScript = (text) => text.replace(/<\/(script)/gi, '<\\/$1');
// uPlot, the charts, from web/node_modules (npm ci in web/, the version in package-lock.json),
// with its licence as a comment beside it.
const uplot = join(dirname(fileURLToPath(import.meta.url)), 'node_modules/uplot');
const chartScript = inScript(`/*! uPlot, ${readFileSync(join(uplot, 'LICENSE'), 'utf8').replace(/\*\//g, '* /')} */\n${readFileSync(join(uplot, 'dist/uPlot.iife.min.js'), 'utf8')}`);
const chartStyle = readFileSync(join(uplot, 'dist/uPlot.min.css'), 'utf8');
// The module's WebAssembly, which emscripten inlines as base64 (4 characters for 3 bytes), goes
// to the worker gzipped, as base-85 text (5 for 4): a string of printable ASCII without '"', '\\'
// or '<', which the worker decodes and unpacks (wasmBytes) and hands to the module.
const alphabet = Array.from({ length: 92 }, (_, i) => String.fromCharCode(0x23 + i))
  .filter((c) => c !== '<' && c !== '\\').slice(0, 85).join('');
function base85(bytes) {
  const padded = new Uint8Array(Math.ceil(bytes.length / 4) * 4);
  padded.set(bytes);
  const view = new DataView(padded.buffer);
  const text = [];
  for (let at = 0; at < padded.length; at += 4) {
    let value = view.getUint32(at);
    const digits = [];
    for (let i = 0; i < 5; i += 1) {
      digits.unshift(alphabet[value % 85]);
      value = Math.floor(value / 85);
    }
    text.push(digits.join(''));
  }
  return text.join('');
}
const inlined = /(data:application\/octet-stream;base64,)([A-Za-z0-9+/=]+)/;
const moduleScript = readFileSync(modulePath, 'utf8');
const found = moduleScript.match(inlined);
if (!found) throw new Error(`${modulePath}: no inlined WebAssembly (-sSINGLE_FILE)`);
const wasm = gzipSync(Buffer.from(found[2], 'base64'), { level: 9 });
const worker = inScript(`${moduleScript.replace(inlined, '$1')}
const wasmAlphabet = "${alphabet}", wasmText = "${base85(wasm)}", wasmSize = ${wasm.length};
${lean('worker.js')}`);
const html = lean('index.html')
  .replace('/*STYLE*/', () => `${chartStyle}\n${lean('style.css')}`)
  .replace('/*CHARTS*/', () => chartScript)
  .replace('/*WORKER*/', () => worker)
  .replace('/*MAIN*/', () => inScript(`${lean('chart_svg.js')}\n${lean('main.mjs')}`));
writeFileSync(outPath, html);
console.log(`${outPath}: ${html.length} bytes`);
