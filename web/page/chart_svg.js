// A chart as an SVG document, drawn again from the data the page gave uPlot (data[0] the x
// values, data[i] the values of series i - 1): the axes with round ticks and their titles, a
// line for each series and a legend. The page's script follows this one in the same element.
const escapeXml = (text) => String(text).replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' })[c]);

// About five ticks from low to high on 1, 2 or 5 times a power of ten.
function roundTicks(low, high) {
  if (!(high > low)) return [low];
  const rough = (high - low) / 5;
  const power = 10 ** Math.floor(Math.log10(rough));
  const step = (rough / power < 2 ? 1 : rough / power < 5 ? 2 : 5) * power;
  const ticks = [];
  for (let i = Math.ceil(low / step); i * step <= high + step * 1e-9; i += 1) ticks.push(Number((i * step).toPrecision(12)));
  return ticks;
}

function chartSvg({ data, series, xLabel, yLabel, colours }) {
  const width = 900;
  const plotHeight = 300;
  const [left, right, top] = [90, 20, 20];
  const legendRows = Math.ceil(series.length / 3);
  const height = top + plotHeight + 60 + 22 * legendRows;
  const values = data.slice(1).flat().filter(Number.isFinite);
  const xs = data[0];
  let [xLow, xHigh] = [Math.min(...xs), Math.max(...xs)];
  let [yLow, yHigh] = [Math.min(0, ...values), Math.max(...values)];
  if (xHigh === xLow) [xLow, xHigh] = [xLow - 1, xHigh + 1];
  if (yHigh === yLow) [yLow, yHigh] = [yLow - 1, yHigh + 1];
  const px = (x) => left + ((x - xLow) / (xHigh - xLow)) * (width - left - right);
  const py = (y) => top + ((yHigh - y) / (yHigh - yLow)) * plotHeight;
  const number = (v) => v.toLocaleString('ja-JP', { maximumFractionDigits: 6 });
  const f = (v) => v.toFixed(1);
  const parts = [
    `<svg xmlns="http://www.w3.org/2000/svg" width="${width}" height="${height}" viewBox="0 0 ${width} ${height}" font-family="sans-serif" font-size="12">`,
    `<rect width="${width}" height="${height}" fill="#fff"/>`,
  ];
  for (const x of roundTicks(xLow, xHigh)) {
    parts.push(`<line x1="${f(px(x))}" y1="${top}" x2="${f(px(x))}" y2="${top + plotHeight}" stroke="#ddd"/>`,
      `<text x="${f(px(x))}" y="${top + plotHeight + 16}" text-anchor="middle">${number(x)}</text>`);
  }
  for (const y of roundTicks(yLow, yHigh)) {
    parts.push(`<line x1="${left}" y1="${f(py(y))}" x2="${width - right}" y2="${f(py(y))}" stroke="#ddd"/>`,
      `<text x="${left - 6}" y="${f(py(y) + 4)}" text-anchor="end">${number(y)}</text>`);
  }
  parts.push(`<rect x="${left}" y="${top}" width="${width - left - right}" height="${plotHeight}" fill="none" stroke="#333"/>`,
    `<text x="${(left + width - right) / 2}" y="${top + plotHeight + 38}" text-anchor="middle">${escapeXml(xLabel)}</text>`,
    `<text transform="translate(16 ${top + plotHeight / 2}) rotate(-90)" text-anchor="middle">${escapeXml(yLabel)}</text>`);
  series.forEach((label, i) => {
    const colour = colours[i % colours.length];
    // A missing value breaks the line, as uPlot draws it.
    const runs = [[]];
    xs.forEach((x, j) => {
      const y = data[i + 1][j];
      if (Number.isFinite(y)) runs.at(-1).push(`${f(px(x))},${f(py(y))}`);
      else if (runs.at(-1).length > 0) runs.push([]);
    });
    for (const points of runs.filter((r) => r.length > 0)) {
      parts.push(`<polyline fill="none" stroke="${colour}" stroke-width="2" points="${points.join(' ')}"/>`);
    }
    const [lx, ly] = [left + (i % 3) * 260, top + plotHeight + 58 + 22 * Math.floor(i / 3)];
    parts.push(`<line x1="${lx}" y1="${ly - 4}" x2="${lx + 24}" y2="${ly - 4}" stroke="${colour}" stroke-width="3"/>`,
      `<text x="${lx + 30}" y="${ly}">${escapeXml(label)}</text>`);
  });
  parts.push('</svg>');
  return parts.join('\n');
}
