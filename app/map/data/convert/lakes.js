// Writes lakes.bin, the large lakes of the built-in outline, from the npm package
// @geo-maps/earth-lakes-10m (GeoJSON of the world's lakes derived from OpenStreetMap, ODbL).
// No Natural Earth lakes are on npm, so these stand in for them: only lakes of MIN_AREA_KM2 or
// more, simplified to about SIMPLIFY_DEG, so the file stays small.
//
//   node lakes.js /tmp/npmwork/node_modules /path/to/app/map/data
//
// Same layout as outline.bin (see ../README.md), one layer of kind 4 (water): each polygon's
// outer ring followed by its large holes (islands), filled with the odd-even rule.
'use strict';
const fs = require('fs');
const path = require('path');

const [modules, outDir] = process.argv.slice(2);
const MIN_AREA_KM2 = 150;
const SIMPLIFY_DEG = 0.004;

function ringAreaKm2(ring) {
  // Shoelace on an equirectangular projection at the ring's latitude: good enough to sort lakes.
  let a = 0;
  const lat0 = ring[0][1] * Math.PI / 180;
  const kx = 111.32 * Math.cos(lat0), ky = 110.57;
  for (let i = 0, j = ring.length - 1; i < ring.length; j = i++)
    a += (ring[j][0] * kx) * (ring[i][1] * ky) - (ring[i][0] * kx) * (ring[j][1] * ky);
  return Math.abs(a / 2);
}

function simplify(points, tolerance) {
  // Douglas-Peucker, iterative.
  if (points.length < 4) return points;
  const keep = new Uint8Array(points.length);
  keep[0] = keep[points.length - 1] = 1;
  const stack = [[0, points.length - 1]];
  while (stack.length) {
    const [s, e] = stack.pop();
    const [x1, y1] = points[s], [x2, y2] = points[e];
    const dx = x2 - x1, dy = y2 - y1, len = Math.hypot(dx, dy) || 1e-12;
    let best = -1, bestD = tolerance;
    for (let i = s + 1; i < e; i++) {
      const d = Math.abs(dy * (points[i][0] - x1) - dx * (points[i][1] - y1)) / len;
      if (d > bestD) { bestD = d; best = i; }
    }
    if (best >= 0) { keep[best] = 1; stack.push([s, best], [best, e]); }
  }
  return points.filter((_, i) => keep[i]);
}

function zigzag(v) { return v >= 0 ? v * 2 : -v * 2 - 1; }
function pushVarint(bytes, v) {
  v = zigzag(v);
  while (v >= 0x80) { bytes.push((v % 0x80) | 0x80); v = Math.floor(v / 0x80); }
  bytes.push(v);
}
function pushU32(bytes, v) { bytes.push(v & 255, (v >>> 8) & 255, (v >>> 16) & 255, (v >>> 24) & 255); }

const geo = JSON.parse(fs.readFileSync(path.join(modules, '@geo-maps/earth-lakes-10m/map.geo.json'), 'utf8'));
const rings = [];
let lakes = 0;
for (const g of geo.geometries || [geo]) {
  const polygons = g.type === 'MultiPolygon' ? g.coordinates : g.type === 'Polygon' ? [g.coordinates] : [];
  for (const poly of polygons) {
    if (!poly.length || ringAreaKm2(poly[0]) < MIN_AREA_KM2) continue;
    lakes++;
    for (const [i, r] of poly.entries()) {
      if (i > 0 && ringAreaKm2(r) < MIN_AREA_KM2 / 10) continue;   // small islands go
      // A closed ring starts and ends on one point: simplify its two halves apart.
      let far = 0;
      for (let k = 1; k < r.length; k++)
        if (Math.hypot(r[k][0] - r[0][0], r[k][1] - r[0][1]) > Math.hypot(r[far][0] - r[0][0], r[far][1] - r[0][1])) far = k;
      const s = simplify(r.slice(0, far + 1), SIMPLIFY_DEG).concat(simplify(r.slice(far), SIMPLIFY_DEG).slice(1));
      if (s.length >= 4) rings.push(s);
    }
  }
}
const bytes = [...Buffer.from('AEROOUT1', 'latin1')];
pushU32(bytes, 1);
bytes.push(4);
pushU32(bytes, rings.length);
for (const line of rings) {
  pushU32(bytes, line.length);
  let px = 0, py = 0;
  for (const [lon, lat] of line) {
    const x = Math.round(lon * 1e5), y = Math.round(lat * 1e5);
    pushVarint(bytes, x - px); pushVarint(bytes, y - py);
    px = x; py = y;
  }
}
fs.writeFileSync(path.join(outDir, 'lakes.bin'), Buffer.from(bytes));
console.log(`${lakes} lakes, ${rings.length} rings, ${bytes.length} bytes`);
