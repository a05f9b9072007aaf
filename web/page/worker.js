// The analysis side of the page: the module (its script is put before this one) runs
// tolvane-cli's commands on files the page sends, so the page never waits on it.
/* global createTolvaneModule */
/* global wasmAlphabet, wasmText, wasmSize */
// The module's WebAssembly from the base-85 text the page build puts before this script (five
// digits, most significant first, for each four bytes of its gzip).
async function wasmBytes() {
  if (typeof DecompressionStream !== 'function') {
    throw new Error('このブラウザでは動きません。Chrome、Edge、Firefox 113 以降、Safari 16.4 以降で開いてください。');
  }
  const digit = new Uint8Array(128);
  for (let i = 0; i < wasmAlphabet.length; i += 1) digit[wasmAlphabet.charCodeAt(i)] = i;
  const bytes = new Uint8Array(wasmText.length / 5 * 4);
  const view = new DataView(bytes.buffer);
  for (let at = 0; at < wasmText.length; at += 5) {
    let value = 0;
    for (let i = 0; i < 5; i += 1) value = value * 85 + digit[wasmText.charCodeAt(at + i)];
    view.setUint32(at / 5 * 4, value);
  }
  const unpacked = new Blob([bytes.subarray(0, wasmSize)]).stream().pipeThrough(new DecompressionStream('gzip'));
  return new Uint8Array(await new Response(unpacked).arrayBuffer());
}
const ready = wasmBytes().then((wasmBinary) => createTolvaneModule({ wasmBinary }));

self.onmessage = async (event) => {
  const { id, files, read, history } = event.data;
  try {
    const module = await ready;
    for (const [path, bytes] of Object.entries(files ?? {})) {
      module.FS.writeFile(path, bytes);
    }
    // An output the command does not write must not show an earlier run's file.
    for (const path of (read ?? []).filter((p) => !(p in (files ?? {})))) {
      try { module.FS.unlink(path); } catch { /* not there yet */ }
    }
    // 自動: the encoding the module finds for the history, as the window would choose it.
    const args = history ? [...event.data.args, '--encoding', module.historyEncoding(history.path, history.game)]
      : event.data.args;
    // A long run's progress, as the evaluation and the money replay report it.
    const result = module.run(args, (done, total) => self.postMessage({ id, progress: [done, total] }));
    const written = {};
    for (const path of read ?? []) {
      try { written[path] = module.FS.readFile(path); } catch { /* the command wrote nothing */ }
    }
    // A failure's reasons as the window gives them, in Japanese.
    const reasons = result.status === 0 ? '' : module.reasons(new TextDecoder().decode(result.stderr));
    self.postMessage({ id, status: result.status, stdout: result.stdout, stderr: result.stderr, reasons, files: written });
  } catch (error) {
    self.postMessage({ id, status: -1, stdout: new Uint8Array(), stderr: new TextEncoder().encode(String(error)), files: {} });
  }
};
