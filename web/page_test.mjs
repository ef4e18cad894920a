// The page in headless Chromium: serves build-web/ on 127.0.0.1, opens it with sound allowed to start by
// itself, and checks that a paced run draws the same field as the desktop program, that the page counts
// the fields it showed and could not show, that the song plays (not silent) in time with the picture and
// that nothing went to the browser's console as an error. Then times a run without the picture.
//
//   node --experimental-websocket web/page_test.mjs [--shots DIR] [--pass]
//
// --shots DIR also saves screenshots of a flag field and a net field; --pass runs a whole pass in real time
// (82 s) and checks picture and sound stay together through the fade, the stop and the restart.
import { spawn, execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '..');
const site = path.join(root, 'build-web');
const desktop = path.join(root, 'build', 'orbdemo');
const args = process.argv.slice(2);
const shots = args.includes('--shots') ? args[args.indexOf('--shots') + 1] : null;
const wholePass = args.includes('--pass');
const HELD_FIELD = 300;
const TIMED_FIELDS = 3000;

let passed = 0, failed = 0;
function check(ok, what) {
  if (ok) ++passed; else ++failed;
  console.log((ok ? 'ok   ' : 'FAIL ') + what);
}

// A static file server for the built folder, on the loopback address only.
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.MOD': 'application/octet-stream' };
function serve() {
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://127.0.0.1');
    const file = path.join(site, decodeURIComponent(url.pathname === '/' ? '/index.html' : url.pathname));
    if (!file.startsWith(site + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Chromium driven through its DevTools protocol.
async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orb-chromium-'));
  const browser = spawn('chromium', ['--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run',
    '--autoplay-policy=no-user-gesture-required', '--remote-debugging-port=0', '--remote-debugging-address=127.0.0.1',
    `--user-data-dir=${profile}`, '--window-size=900,760', '--hide-scrollbars', 'about:blank'],
  { stdio: ['ignore', 'ignore', 'pipe'] });
  browser.stderr.on('data', () => {});
  const portFile = path.join(profile, 'DevToolsActivePort');
  for (let i = 0; i < 300 && !fs.existsSync(portFile); ++i) await sleep(100);
  const [port, wsPath] = fs.readFileSync(portFile, 'utf8').split('\n');
  const socket = new WebSocket(`ws://127.0.0.1:${port}${wsPath}`);
  await new Promise((resolve, reject) => { socket.onopen = resolve; socket.onerror = reject; });
  let next = 0;
  const waiting = new Map();
  const listeners = [];
  socket.onmessage = (e) => {
    const m = JSON.parse(e.data);
    if (m.id !== undefined && waiting.has(m.id)) {
      const { resolve, reject } = waiting.get(m.id);
      waiting.delete(m.id);
      if (m.error) reject(new Error(m.error.message)); else resolve(m.result);
    } else if (m.method) {
      for (const l of listeners) l(m);
    }
  };
  const send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
    const id = ++next;
    waiting.set(id, { resolve, reject });
    socket.send(JSON.stringify({ id, method, params, sessionId }));
  });
  const close = () => {
    socket.close();
    browser.kill();
    setTimeout(() => fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 }), 500);
  };
  return { send, listeners, close };
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// A fresh tab at `url`; collects what reaches the console as an error.
async function open(browser, url) {
  const { targetId } = await browser.send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await browser.send('Target.attachToTarget', { targetId, flatten: true });
  const send = (method, params) => browser.send(method, params, sessionId);
  const errors = [];
  browser.listeners.push((m) => {
    if (m.sessionId !== sessionId) return;
    if (m.method === 'Runtime.exceptionThrown') errors.push(m.params.exceptionDetails.exception?.description || m.params.exceptionDetails.text);
    if (m.method === 'Runtime.consoleAPICalled' && (m.params.type === 'error' || m.params.type === 'assert'))
      errors.push(m.params.args.map((a) => a.value ?? a.description).join(' '));
    if (m.method === 'Log.entryAdded' && m.params.entry.level === 'error') errors.push(m.params.entry.text);
  });
  await send('Runtime.enable');
  await send('Log.enable');
  await send('Page.enable');
  await send('Page.navigate', { url });
  const evaluate = async (expression) => {
    const r = await send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
    if (r.exceptionDetails) throw new Error(r.exceptionDetails.text);
    return r.result.value;
  };
  const until = async (expression, seconds) => {
    for (const end = Date.now() + seconds * 1000; Date.now() < end; await sleep(200))
      if (await evaluate(expression).catch(() => false)) return true;
    return false;
  };
  const close = () => browser.send('Target.closeTarget', { targetId });
  return { send, evaluate, until, errors, close };
}

// An 8-bit RGB or RGBA PNG without interlacing, as the desktop program writes them, to RGBA.
function readPng(file) {
  const data = fs.readFileSync(file);
  let at = 8, width = 0, height = 0, channels = 0;
  const idat = [];
  while (at < data.length) {
    const length = data.readUInt32BE(at), type = data.toString('latin1', at + 4, at + 8);
    const body = data.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      channels = body[9] === 6 ? 4 : 3;
      if (body[8] !== 8 || (body[9] !== 2 && body[9] !== 6) || body[12] !== 0) throw new Error(file + ': not an 8-bit RGB(A) PNG');
    }
    if (type === 'IDAT') idat.push(body);
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels, rgba = Buffer.alloc(width * height * 4), line = Buffer.alloc(stride), prior = Buffer.alloc(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    raw.copy(line, 0, y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? line[i - channels] : 0, b = prior[i], c = i >= channels ? prior[i - channels] : 0;
      let p = 0;
      if (filter === 1) p = a;
      else if (filter === 2) p = b;
      else if (filter === 3) p = (a + b) >> 1;
      else if (filter === 4) {
        const q = a + b - c, pa = Math.abs(q - a), pb = Math.abs(q - b), pc = Math.abs(q - c);
        p = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      line[i] = (line[i] + p) & 0xFF;
    }
    line.copy(prior);
    for (let x = 0; x < width; ++x) {
      for (let k = 0; k < 3; ++k) rgba[(y * width + x) * 4 + k] = line[x * channels + k];
      rgba[(y * width + x) * 4 + 3] = channels === 4 ? line[x * channels + 3] : 255;
    }
  }
  return { width, height, rgba };
}

const canvasPixels = `(() => {
  const c = document.getElementById('canvas');
  const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  let s = '';
  for (let i = 0; i < d.length; i += 0x8000) s += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));
  return { width: c.width, height: c.height, data: btoa(s) };
})()`;

async function heldFieldMatchesDesktop(browser, base) {
  const tab = await open(browser, `${base}/?hold=${HELD_FIELD}`);
  const held = await tab.until(`orbStats.holding && orbStats.lastShown === ${HELD_FIELD}`, 60);
  check(held, `the paced page reaches field ${HELD_FIELD} and holds it on show`);
  const stats = await tab.evaluate('orbStats');
  // Wait for a report of the worklet after the hold, so the counts are the latest.
  await sleep(300);
  Object.assign(stats, await tab.evaluate('orbStats'));
  console.log(`     page: ${stats.fields} fields made, ${stats.shown} shown, ${stats.notShown} not shown; audio ` +
              `${stats.audio}, ${stats.audioFrames} frames rendered, peak ${stats.audioPeak.toFixed(3)}, ` +
              `commands at most ${stats.worstLateMs.toFixed(1)} ms late (${stats.worstLateCommand}; program at most ${stats.commandsBehindMs.toFixed(1)} ms behind; output latency ${stats.outputLatencyMs.toFixed(1)} ms)`);
  check(stats.shown > 0 && stats.shown + stats.notShown === stats.fields, 'the page counts every field as shown or not shown');
  check(stats.audio === 'running', 'the page\'s sound runs');
  // The song starts with the first field: about 960 frames of it per field since.
  check(stats.audioFrames > 0.8 * 960 * HELD_FIELD, `the worklet rendered the song (${stats.audioFrames} frames)`);
  check(stats.audioPeak > 0.05, 'the song is not silent');
  check(stats.worstLateMs < 20, 'the song\'s commands took effect within a field of their picture');
  check(stats.notices.length === 0, 'the page has nothing to complain about: ' + JSON.stringify(stats.notices));

  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'orb-fields-'));
  execFileSync(desktop, ['--headless', '--frames', String(HELD_FIELD + 1), '--png', dir, '--every', String(HELD_FIELD)]);
  const want = readPng(path.join(dir, `field-${String(HELD_FIELD).padStart(5, '0')}.png`));
  fs.rmSync(dir, { recursive: true, force: true });
  const got = await tab.evaluate(canvasPixels);
  const pixels = Buffer.from(got.data, 'base64');
  let differing = 0;
  if (got.width === want.width && got.height === 2 * want.height) {
    for (let y = 0; y < got.height; ++y)
      for (let x = 0; x < got.width; ++x)
        for (let k = 0; k < 4; ++k)
          if (pixels[(y * got.width + x) * 4 + k] !== want.rgba[((y >> 1) * want.width + x) * 4 + k]) { ++differing; break; }
  }
  check(got.width === want.width && got.height === 2 * want.height,
    `the canvas is the field line-doubled (${got.width} x ${got.height} for ${want.width} x ${want.height})`);
  check(differing === 0, `canvas of field ${HELD_FIELD} equals the desktop program's picture (${differing} pixels differ)`);
  check(tab.errors.length === 0, 'no errors in the browser console' + (tab.errors.length ? ': ' + tab.errors.join(' | ') : ''));
  await tab.close();
}

async function timedRun(browser, base) {
  const tab = await open(browser, `${base}/?fast&nopicture&hold=${TIMED_FIELDS}`);
  const done = await tab.until('orbStats.holding && orbStats.runMs > 0', 120);
  const ms = done ? await tab.evaluate('orbStats.runMs') : Infinity;
  const rate = (TIMED_FIELDS / ms) * 1000;
  console.log(`     WebAssembly in Chromium: ${TIMED_FIELDS} fields in ${(ms / 1000).toFixed(2)} s, ${rate.toFixed(0)} fields/s`);
  check(done && rate > 100, 'the page runs the program well above 50 fields a second without the picture');
  check(tab.errors.length === 0, 'no errors in the browser console' + (tab.errors.length ? ': ' + tab.errors.join(' | ') : ''));
  await tab.close();
}

async function screenshots(browser, base) {
  fs.mkdirSync(shots, { recursive: true });
  for (const [field, name] of [[1000, 'flag'], [2600, 'net']]) {
    const tab = await open(browser, `${base}/?fast&silent&hold=${field}`);
    await tab.until(`orbStats.holding && orbStats.lastShown === ${field}`, 120);
    await sleep(300);
    const { data } = await tab.send('Page.captureScreenshot', { format: 'png' });
    const file = path.join(shots, `page-${name}-${field}.png`);
    fs.writeFileSync(file, Buffer.from(data, 'base64'));
    console.log(`     screenshot ${file}`);
    await tab.close();
  }
}

async function pass(browser, base) {
  const tab = await open(browser, `${base}/?hold=4200`);
  const done = await tab.until('orbStats.holding', 120);
  const stats = await tab.evaluate('orbStats');
  console.log(`     a pass and more: ${stats.fields} fields, ${stats.notShown} not shown, commands at most ${stats.worstLateMs.toFixed(1)} ms late (${stats.worstLateCommand}; program at most ${stats.commandsBehindMs.toFixed(1)} ms behind; output latency ${stats.outputLatencyMs.toFixed(1)} ms)`);
  check(done && stats.worstLateMs < 20, 'over a pass, the fade, the stop and the restart stay within a field of the picture');
  check(tab.errors.length === 0, 'no errors in the browser console' + (tab.errors.length ? ': ' + tab.errors.join(' | ') : ''));
  await tab.close();
}

const server = await serve();
const base = `http://127.0.0.1:${server.address().port}`;
const browser = await launch();
try {
  if (!args.includes('--shots-only')) {
    await heldFieldMatchesDesktop(browser, base);
    await timedRun(browser, base);
  }
  if (wholePass) await pass(browser, base);
  if (shots) await screenshots(browser, base);
} catch (e) {
  check(false, 'the page test ran to the end: ' + e.message);
} finally {
  browser.close();
  server.close();
}
console.log(`page: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
