#include "map/WebPage.h"

#include "domain/ApSymbolSet.h"
#include "domain/ApSymbols.h"
#include "domain/NumberText.h"
#include "map/MapDocument.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QStringList>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <map>

namespace aero {

QString htmlEscaped(const QString& text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '&': out += QLatin1String("&amp;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default:
            // Control characters have no business in a page; show them as a blank.
            out += (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t')) ? QChar(' ') : c;
        }
    }
    return out;
}

QString symbolLegend(int number, const QString& symbolFile)
{
    static const char* const bands[] = {"-91 dBm and below", "-90 to -71 dBm", "-70 to -51 dBm", "-50 dBm and above"};
    const int k = number >= BuiltInSymbolCount ? programSymbolIndex(symbolFile) : -1;
    if (k >= 0 && k < 8)
        return QStringLiteral("%1 network, %2").arg(k < 4 ? QStringLiteral("Open") : QStringLiteral("Encrypted"),
                                                   QLatin1String(bands[k % 4]));
    if (k == 8 || number == PositionSymbol)
        return QStringLiteral("Position");
    if (number == FilteredSymbol)
        return QStringLiteral("Filtered out");
    return QStringLiteral("Other marker");
}

namespace {

// JSON text that is also safe inside a <script> element: no "<", ">" or "&" appear raw, so
// no SSID can close the element or start markup.
void jsonString(QByteArray& o, const QString& s)
{
    o += '"';
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u == '"' || u == '\\') {
            o += '\\';
            o += char(u);
        } else if (u < 0x20 || u == '<' || u == '>' || u == '&' || u == 0x2028 || u == 0x2029 || QChar::isSurrogate(u)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(u));
            o += buf;
        } else {
            o += QString(c).toUtf8();
        }
    }
    o += '"';
}

void number(QByteArray& o, double v)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::isfinite(v) ? v : 0.0);
    o.append(buf, r.ptr - buf);
}

// The notes the program writes are sent as their fields: a third of the size of a large page.
// Anything else goes as it is.
struct ApNote {
    QString mac, signal;
    int flags = 0;   // 1 WEP on, 2 BSS, 4 MAC sent without its colons
};

std::optional<ApNote> apNoteFields(const QString& note)
{
    // Only a note exactly as the program writes it: read back and written again, it is the same.
    AccessPoint ap;
    readApNote(note, ap);
    if (apNote(ap) != note)
        return std::nullopt;
    ApNote n;
    n.mac = ap.MAC;
    n.signal = singleText(ap.Signal);
    n.flags = (ap.WEP == QLatin1String("1") ? 1 : 0) | (ap.Mode == QLatin1String("1") ? 2 : 0);
    static const QRegularExpression macForm(QStringLiteral("^([0-9A-F]{2}:){5}[0-9A-F]{2}$"));
    if (macForm.match(n.mac).hasMatch()) {
        n.mac.remove(QLatin1Char(':'));
        n.flags |= 4;
    }
    return n;
}

QByteArray pageData(const WebPageInput& page)
{
    const MapDocument& doc = *page.document;
    std::map<int, int> symbolIndex;
    for (std::size_t i = 0; i < page.symbols.size(); ++i)
        symbolIndex[page.symbols[i].number] = int(i);
    QByteArray n = "\"n\":[", y = "\"y\":[", x = "\"x\":[", s = "\"s\":[", m = "\"m\":[", g = "\"g\":[", f = "\"f\":[",
               t = "\"t\":{";
    int i = 0;
    bool firstNote = true;
    doc.markers.forEach([&](const Marker& mk) {
        if (mk.transient)
            return;
        const char* sep = i ? "," : "";
        n += sep, y += sep, x += sep, s += sep, m += sep, g += sep, f += sep;
        jsonString(n, mk.name);
        number(y, std::round(mk.where.lat * 1e6) / 1e6);
        number(x, std::round(mk.where.lon * 1e6) / 1e6);
        s += QByteArray::number(symbolIndex.count(mk.symbol) ? symbolIndex[mk.symbol] : 0);
        if (const auto note = apNoteFields(mk.note)) {
            jsonString(m, note->mac);
            jsonString(g, note->signal);
            f += QByteArray::number(note->flags);
        } else {
            m += "\"\"", g += "\"\"", f += "0";
            if (!mk.note.isEmpty()) {
                t += firstNote ? "\"" : ",\"";
                t += QByteArray::number(i) + "\":";
                jsonString(t, mk.note);
                firstNote = false;
            }
        }
        ++i;
    });
    QByteArray o = "{";
    for (QByteArray* part : {&n, &y, &x, &s, &m, &g, &f})
        o += *part + "],";
    o += t + "},\"sym\":[";
    for (std::size_t k = 0; k < page.symbols.size(); ++k) {
        o += k ? ",{\"src\":" : "{\"src\":";
        jsonString(o, QStringLiteral("data:image/png;base64,") + QString::fromLatin1(page.symbols[k].png.toBase64()));
        o += ",\"label\":";
        jsonString(o, page.symbols[k].label);
        o += "}";
    }
    o += "],\"base\":[";
    for (std::size_t k = 0; k < page.base.size(); ++k) {
        const WebPagePicture& b = page.base[k];
        o += k ? ",{\"src\":" : "{\"src\":";
        jsonString(o, QStringLiteral("data:%1;base64,").arg(b.mime) + QString::fromLatin1(b.bytes.toBase64()));
        o += ",\"x0\":", number(o, b.world.left()), o += ",\"y0\":", number(o, b.world.top());
        o += ",\"x1\":", number(o, b.world.right()), o += ",\"y1\":", number(o, b.world.bottom()), o += "}";
    }
    o += "],\"view\":{\"cx\":", number(o, page.centreWorld.x()), o += ",\"cy\":", number(o, page.centreWorld.y());
    o += ",\"scale\":", number(o, page.scale), o += "},\"maxScale\":", number(o, page.maxScale), o += ",\"units\":";
    jsonString(o, page.units == MapUnit::Kilometres ? QStringLiteral("km") : QStringLiteral("mi"));
    o += ",\"credits\":";
    jsonString(o, page.credits.join(QStringLiteral(" | ")));
    o += "}";
    return o;
}

const char* const Style = R"CSS(
html,body{margin:0;height:100%;font:14px sans-serif;color:#222}
body{display:flex;flex-direction:column}
h1{font-size:18px;margin:6px 10px}
#main{flex:1;display:flex;min-height:0}
#map{position:relative;flex:1;overflow:hidden;background:#aacae8;cursor:grab;touch-action:none}
#map canvas{display:block;width:100%;height:100%}
#zoom{position:absolute;left:8px;top:8px;display:flex;flex-direction:column}
#zoom button{width:28px;height:28px;font-size:18px;margin-bottom:2px}
#scale{position:absolute;left:10px;bottom:8px;border:2px solid #000;border-top:0;height:6px;font-size:11px}
#scale span{position:absolute;bottom:8px;left:2px;white-space:nowrap}
#credit{position:absolute;right:0;bottom:0;background:rgba(255,255,255,.75);font-size:11px;padding:1px 4px}
#note{position:absolute;background:#fff;border:1px solid #666;border-radius:4px;padding:6px 8px;max-width:280px;
 box-shadow:0 2px 6px rgba(0,0,0,.3);white-space:pre-wrap;pointer-events:none}
#note b{display:block;margin-bottom:2px;white-space:normal}
#note.list{pointer-events:auto;max-height:240px;overflow:auto}#note .stack a{display:block;color:#1040c0;padding:1px 0}
aside{width:400px;display:flex;flex-direction:column;border-left:1px solid #999;min-height:0}
#legend{padding:6px 8px;border-bottom:1px solid #ccc}
#legend div{display:flex;align-items:center;gap:6px;margin:2px 0}
#search{margin:6px 8px}#count{margin:0 8px 4px;color:#555}
#list{flex:1;overflow:auto}
table{border-collapse:collapse;width:100%}td,th{border-bottom:1px solid #ddd;padding:2px 4px;text-align:left;font-size:12px;white-space:nowrap}
tbody tr{cursor:pointer}tbody tr:hover{background:#eef}
)CSS";

// The page's code: every text from the data goes in through textContent, never as markup.
const char* const Script = R"JS(
"use strict";
(function () {
const D = JSON.parse(document.getElementById("data").textContent);
const N = D.n.length, PI = Math.PI;
const sym = D.sym.map(function (s) { const i = new Image(); i.src = s.src; i.onload = draw; return i; });
const base = D.base.map(function (b) { const i = new Image(); i.src = b.src; i.onload = draw; b.img = i; return b; });
const wx = new Float64Array(N), wy = new Float64Array(N);
for (let i = 0; i < N; i++) {
  wx[i] = (D.x[i] + 180) / 360;
  const s = Math.sin(D.y[i] * PI / 180);
  wy[i] = 0.5 - Math.log((1 + s) / (1 - s)) / (4 * PI);
}
let cx = D.view.cx, cy = D.view.cy, scale = D.view.scale, selected = -1, crowded = false;
const mapEl = document.getElementById("map"), cv = document.getElementById("c"), g = cv.getContext("2d");
const noteEl = document.getElementById("note");
function el(tag, text) { const e = document.createElement(tag); if (text !== undefined) e.textContent = text; return e; }
function mac(i) { const m = D.m[i]; return (D.f[i] & 4) ? m.replace(/(..)(?!$)/g, "$1:") : m; }
function note(i) {
  if (D.t[i] !== undefined) return D.t[i];
  if (D.m[i] === "" && D.g[i] === "") return "";
  const f = D.f[i];
  return "MAC = " + mac(i) + "\nSignal = " + D.g[i] + " dBm\nWEP = " + (f & 1 ? "On" : "Off") + "\n" + (f & 2 ? "BSS mode" : "Ad-Hoc mode");
}
let frame = 0;
function draw() { if (!frame) frame = requestAnimationFrame(paint); }
function resize() {
  const r = mapEl.getBoundingClientRect();
  cv.width = Math.max(1, Math.round(r.width)); cv.height = Math.max(1, Math.round(r.height));
  draw();
}
function sx(i) { return (wx[i] - cx) * scale + cv.width / 2; }
function sy(i) { return (wy[i] - cy) * scale + cv.height / 2; }
function paint() {
  frame = 0;
  const started = performance.now();
  const W = cv.width, H = cv.height;
  g.fillStyle = "#aacae8"; g.fillRect(0, 0, W, H);
  for (const b of base) if (b.img.complete && b.img.naturalWidth)
    g.drawImage(b.img, (b.x0 - cx) * scale + W / 2, (b.y0 - cy) * scale + H / 2, (b.x1 - b.x0) * scale, (b.y1 - b.y0) * scale);
  // Markers a few pixels apart are one stack: its top symbol with a count. A crowded view
  // gathers them into clusters with counts instead of a solid mass of symbols.
  let inView = 0;
  for (let i = 0; i < N; i++) { const x = sx(i), y = sy(i); if (x >= -8 && y >= -8 && x <= W + 8 && y <= H + 8) inView++; }
  crowded = inView > 1500;
  const cell = crowded ? 28 : 4, cw = Math.ceil((W + 16) / cell) + 1, ch = Math.ceil((H + 16) / cell) + 1;
  const count = new Uint32Array(cw * ch), top = new Int32Array(cw * ch);
  for (let i = 0; i < N; i++) {
    const x = sx(i), y = sy(i);
    if (x < -8 || y < -8 || x > W + 8 || y > H + 8) continue;
    const c = Math.floor((y + 8) / cell) * cw + Math.floor((x + 8) / cell);
    count[c]++; top[c] = i;
  }
  for (let c = 0; c < count.length; c++) {
    if (!count[c]) continue;
    const i = top[c], x = sx(i), y = sy(i), k = count[c];
    if (crowded && k > 1) { badge(x, y, 9 + 2 * Math.log10(k), k, "rgba(40,90,170,.86)"); continue; }
    const im = sym[D.s[i]];
    if (im && im.complete) g.drawImage(im, x - 8, y - 8, 16, 16);
    if (k > 1) badge(x + 8, y - 8, k >= 100 ? 8 : 6.5, k, "#c82828");
  }
  if (selected >= 0) {
    const x = sx(selected), y = sy(selected);
    g.strokeStyle = "#1040c0"; g.lineWidth = 2; g.beginPath(); g.arc(x, y, 11, 0, 2 * PI); g.stroke();
    noteEl.style.left = Math.min(Math.max(0, x + 14), W - 290) + "px"; noteEl.style.top = Math.max(0, y - 10) + "px";
  }
  scaleBar();
  // For measuring: when the page first stood complete, and what a frame costs.
  const b = document.body.dataset;
  b.paintMs = String(Math.round(performance.now() - started));
  if (!b.readyMs && sym.concat(base.map(function (x) { return x.img; })).every(function (i) { return i.complete; }))
    b.readyMs = String(Math.round(performance.now()));
}
function badge(x, y, r, k, fill) {
  g.beginPath(); g.arc(x, y, r, 0, 2 * PI); g.fillStyle = fill; g.fill();
  g.lineWidth = 1.5; g.strokeStyle = "#fff"; g.stroke();
  g.fillStyle = "#fff"; g.font = "bold " + Math.round(r * (k >= 100 ? 0.9 : 1.1)) + "px sans-serif";
  g.textAlign = "center"; g.textBaseline = "middle"; g.fillText(String(k), x, y + 0.5);
}
function scaleBar() {
  const lat = Math.atan(Math.sinh(PI * (1 - 2 * cy))), km = 40075.016686 * Math.cos(lat) / scale;
  const per = D.units === "km" ? km : km / 1.609344;
  let step = Math.pow(10, Math.floor(Math.log10(120 * per)));
  for (const k of [5, 2, 1]) if (k * step <= 120 * per) { step *= k; break; }
  const bar = document.getElementById("scale");
  bar.style.width = Math.round(step / per) + "px";
  bar.firstChild.textContent = (+step.toPrecision(6)) + " " + D.units;
}
function zoom(factor, px, py) {
  const nx = Math.max(128, Math.min(D.maxScale, scale * factor));
  if (nx === scale) return;
  if (px !== undefined) { cx += (px - cv.width / 2) / scale - (px - cv.width / 2) / nx; cy += (py - cv.height / 2) / scale - (py - cv.height / 2) / nx; }
  scale = nx; draw();
}
function show(i) {
  selected = i;
  noteEl.replaceChildren();
  if (i < 0) { noteEl.hidden = true; noteEl.classList.remove("list"); draw(); return; }
  noteEl.classList.remove("list");
  noteEl.append(el("b", D.n[i]), el("span", note(i)));
  noteEl.hidden = false; draw();
}
function hit(x, y) {
  let best = -1, bd = 100;
  for (let i = 0; i < N; i++) { const dx = sx(i) - x, dy = sy(i) - y, d = dx * dx + dy * dy; if (d <= bd) { bd = d; best = i; } }
  return best;
}
// Every marker of the stack (or, crowded, the cluster) the marker i is drawn in.
function stackOf(i) {
  const cell = crowded ? 28 : 4, W = cv.width, H = cv.height, out = [];
  const key = function (j) { return Math.floor((sy(j) + 8) / cell) * 1e6 + Math.floor((sx(j) + 8) / cell); };
  const k = key(i);
  for (let j = 0; j < N; j++) { const x = sx(j), y = sy(j); if (x >= -8 && y >= -8 && x <= W + 8 && y <= H + 8 && key(j) === k) out.push(j); }
  return out;
}
// A click on a stack lists its markers in the note, each a link to its own note.
function click(x, y) {
  const i = hit(x, y);
  if (i < 0) { show(-1); return; }
  const s = stackOf(i);
  if (s.length < 2) { show(i); return; }
  if (crowded) { show(-1); zoom(4, x, y); return; }
  selected = i;
  noteEl.replaceChildren(el("b", s.length + " markers here"));
  const ul = el("div"); ul.className = "stack";
  for (const j of s) { const a = el("a", D.n[j] || "(no name)"); a.href = "#"; a.dataset.i = String(j); ul.append(a); }
  noteEl.append(ul); noteEl.hidden = false; noteEl.classList.add("list"); draw();
}
noteEl.addEventListener("click", function (e) {
  const a = e.target.closest("a[data-i]");
  if (a) { e.preventDefault(); show(+a.dataset.i); }
});
let drag = null;
mapEl.addEventListener("pointerdown", function (e) {
  // The buttons and the note's list take their own clicks: capturing the pointer would steal them.
  if (e.target.closest("#zoom, #note")) return;
  drag = {x: e.clientX, y: e.clientY, moved: false}; mapEl.setPointerCapture(e.pointerId);
});
mapEl.addEventListener("pointermove", function (e) {
  if (!drag) return;
  const dx = e.clientX - drag.x, dy = e.clientY - drag.y;
  if (Math.abs(dx) + Math.abs(dy) > 2) drag.moved = true;
  if (drag.moved) { cx -= dx / scale; cy -= dy / scale; drag.x = e.clientX; drag.y = e.clientY; draw(); }
});
mapEl.addEventListener("pointerup", function (e) {
  if (drag && !drag.moved) { const r = cv.getBoundingClientRect(); click(e.clientX - r.left, e.clientY - r.top); }
  drag = null;
});
mapEl.addEventListener("wheel", function (e) {
  e.preventDefault(); const r = cv.getBoundingClientRect();
  zoom(e.deltaY < 0 ? 1.25 : 0.8, e.clientX - r.left, e.clientY - r.top);
}, {passive: false});
document.getElementById("in").addEventListener("click", function () { zoom(1.5); });
document.getElementById("out").addEventListener("click", function () { zoom(1 / 1.5); });
document.getElementById("credit").textContent = D.credits;
const legend = document.getElementById("legend");
D.sym.forEach(function (s, k) { const row = el("div"); const im = el("img"); im.src = s.src; im.width = 16; im.height = 16; im.alt = ""; row.append(im, el("span", s.label)); legend.append(row); });
const body = document.getElementById("rows"), count = document.getElementById("count"), search = document.getElementById("search");
let lower = null;
function list() {
  const q = search.value.trim().toLowerCase(), shown = [];
  if (q && !lower) { lower = new Array(N); for (let i = 0; i < N; i++) lower[i] = (D.n[i] + " " + mac(i)).toLowerCase(); }
  let matches = 0;
  for (let i = 0; i < N; i++) if (!q || lower[i].indexOf(q) >= 0) { if (shown.length < 200) shown.push(i); matches++; }
  body.replaceChildren();
  for (const i of shown) {
    const tr = el("tr");
    tr.append(el("td", D.n[i]), el("td", mac(i)), el("td", D.g[i]), el("td", D.y[i].toFixed(5) + ", " + D.x[i].toFixed(5)));
    tr.addEventListener("click", function () { cx = wx[i]; cy = wy[i]; if (scale < 1048576) scale = 1048576; show(i); });
    body.append(tr);
  }
  count.textContent = matches + " of " + N + " markers" + (matches > shown.length ? ", first " + shown.length + " listed" : "");
}
search.addEventListener("input", list);
window.addEventListener("resize", resize);
list(); resize();
})();
)JS";

} // namespace

void writeWebPage(QIODevice& out, const WebPageInput& page)
{
    const QByteArray t = htmlEscaped(page.title).toUtf8();
    QByteArray o;
    o += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src data:; "
         "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n"
         "<meta name=\"viewport\" content=\"width=device-width\">\n<title>" + t + "</title>\n<style>" + Style +
         "</style>\n</head>\n<body>\n<h1>" + t + "</h1>\n<div id=\"main\">\n"
         "<div id=\"map\"><canvas id=\"c\"></canvas>"
         "<div id=\"zoom\"><button id=\"in\" title=\"Zoom in\">+</button><button id=\"out\" title=\"Zoom out\">&minus;</button></div>"
         "<div id=\"scale\"><span></span></div><div id=\"credit\"></div><div id=\"note\" hidden></div></div>\n"
         "<aside><div id=\"legend\"></div><input id=\"search\" type=\"search\" placeholder=\"Search SSID or MAC\">"
         "<div id=\"count\"></div><div id=\"list\"><table><thead><tr><th>Name</th><th>MAC</th><th>dBm</th>"
         "<th>Position</th></tr></thead><tbody id=\"rows\"></tbody></table></div></aside>\n</div>\n"
         "<script type=\"application/json\" id=\"data\">";
    out.write(o);
    out.write(pageData(page));
    o = "</script>\n<script>";
    o += Script;
    o += "</script>\n</body>\n</html>\n";
    out.write(o);
}

} // namespace aero
