// Headless Chromium driven through the DevTools protocol on a pipe: no port, no network. Every
// host name is unresolvable, so a page that tried to fetch anything would fail and say so.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { inflateSync } from 'node:zlib';

const kFlags = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--enable-unsafe-swiftshader', '--use-angle=swiftshader', '--host-resolver-rules=MAP * ~NOTFOUND',
  '--hide-scrollbars', '--remote-debugging-pipe',
];

export class Chromium {
  constructor(program, { width = 800, height = 600 } = {}) {
    this.profile = mkdtempSync(join(tmpdir(), 'lobewright-chromium-'));
    this.process = spawn(
      program,
      [...kFlags, `--user-data-dir=${this.profile}`, `--window-size=${width},${height}`,
        'about:blank'],
      { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] },
    );
    this.stderr = '';
    this.process.stderr.on('data', (chunk) => { this.stderr += chunk; });
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    let buffer = Buffer.alloc(0);
    this.process.stdio[4].on('data', (chunk) => {
      buffer = Buffer.concat([buffer, chunk]);
      for (let end; (end = buffer.indexOf(0)) >= 0; buffer = buffer.subarray(end + 1)) {
        this.receive(JSON.parse(buffer.subarray(0, end).toString('utf8')));
      }
    });
    this.exited = new Promise((resolve) => this.process.on('exit', resolve));
  }

  receive(message) {
    if (message.id === undefined) {
      for (const listener of this.listeners) listener(message);
      return;
    }
    const { resolve, reject } = this.pending.get(message.id);
    this.pending.delete(message.id);
    if (message.error) reject(new Error(`${message.error.message} (${message.error.code})`));
    else resolve(message.result);
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    this.process.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
  }

  // A new tab with what it reports recorded: console errors and warnings, uncaught exceptions,
  // the log's errors (refused loads, security policy) and every request it makes.
  async openTab() {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    const tab = new Tab(this, sessionId);
    this.listeners.push((message) => {
      if (message.sessionId === sessionId) tab.record(message);
    });
    for (const domain of ['Page', 'Runtime', 'Log', 'Network']) await tab.send(`${domain}.enable`);
    return tab;
  }

  async close() {
    this.process.stdio[3].end();
    const timer = setTimeout(() => this.process.kill('SIGKILL'), 5000);
    await this.exited;
    clearTimeout(timer);
    rmSync(this.profile, { recursive: true, force: true });
  }
}

class Tab {
  constructor(browser, sessionId) {
    this.browser = browser;
    this.sessionId = sessionId;
    this.problems = [];
    this.requests = [];
  }

  send(method, params = {}) { return this.browser.send(method, params, this.sessionId); }

  record({ method, params }) {
    if (method === 'Runtime.consoleAPICalled' && ['error', 'warning', 'assert'].includes(params.type)) {
      this.problems.push(`console ${params.type}: ${params.args.map((a) => a.value ?? a.description).join(' ')}`);
    } else if (method === 'Runtime.exceptionThrown') {
      const details = params.exceptionDetails;
      this.problems.push(`exception: ${details.exception?.description ?? details.text}`);
    } else if (method === 'Log.entryAdded' && ['error', 'warning'].includes(params.entry.level)) {
      this.problems.push(`log ${params.entry.level}: ${params.entry.text} ${params.entry.url ?? ''}`);
    } else if (method === 'Network.requestWillBeSent') {
      this.requests.push(params.request.url);
    }
  }

  async evaluate(expression) {
    const { result, exceptionDetails } = await this.send('Runtime.evaluate',
      { expression, returnByValue: true, awaitPromise: true });
    if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.text}`);
    return result.value;
  }

  // Opens the URL and waits until the page says it has drawn ("ready") or failed.
  async load(url, timeoutMs = 60000) {
    this.problems = [];
    this.requests = [];
    await this.send('Page.navigate', { url });
    const until = Date.now() + timeoutMs;
    for (;;) {
      const state = await this.evaluate('document.readyState === "complete" && document.body ? document.body.dataset.state ?? "" : ""');
      if (state === 'ready' || state === 'failed') return state;
      if (Date.now() > until) return 'timed out';
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  }

  // Lets the page draw a few more frames (its controls move on for a while after an event).
  frames(count = 30) {
    return this.evaluate(`new Promise((done) => { let n = ${count};
      const step = () => (--n > 0 ? requestAnimationFrame(step) : done(true)); step(); })`);
  }

  async screenshot() {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png' });
    return decodePng(Buffer.from(data, 'base64'));
  }

  async mouse(type, x, y, extra = {}) {
    await this.send('Input.dispatchMouseEvent', { type, x, y, button: 'left', ...extra });
  }
}

// An 8-bit RGB or RGBA PNG without interlacing, as Chromium writes its screenshots, as rows of
// RGBA pixels.
export function decodePng(file) {
  let offset = 8;
  let width = 0;
  let height = 0;
  let channels = 0;
  const data = [];
  while (offset < file.length) {
    const length = file.readUInt32BE(offset);
    const type = file.toString('latin1', offset + 4, offset + 8);
    const body = file.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const [depth, colour, , , interlace] = body.subarray(8, 13);
      channels = { 2: 3, 6: 4 }[colour];
      if (depth !== 8 || !channels || interlace !== 0) throw new Error('an unexpected PNG layout');
    } else if (type === 'IDAT') {
      data.push(body);
    }
    offset += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(width * height * 4);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let i = 0; i < stride; ++i) {
      const left = i >= channels ? line[i - channels] : 0;
      const up = previous[i];
      const upLeft = i >= channels ? previous[i - channels] : 0;
      const paeth = () => {
        const p = left + up - upLeft;
        const [a, b, c] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - upLeft)];
        return a <= b && a <= c ? left : b <= c ? up : upLeft;
      };
      const predictor = [0, left, up, (left + up) >> 1, filter === 4 ? paeth() : 0][filter];
      line[i] = (line[i] + predictor) & 255;
    }
    for (let x = 0; x < width; ++x) {
      for (let c = 0; c < 4; ++c) {
        pixels[(y * width + x) * 4 + c] = c < channels ? line[x * channels + c] : 255;
      }
    }
    previous = line;
  }
  return { width, height, pixels };
}

// How many pixels look like each lobe's colour (red and blue however lit) and how many are not
// the white background.
export function countColours({ pixels }) {
  const counts = { red: 0, blue: 0, drawn: 0 };
  for (let i = 0; i < pixels.length; i += 4) {
    const [r, g, b] = [pixels[i], pixels[i + 1], pixels[i + 2]];
    if (r < 245 || g < 245 || b < 245) counts.drawn += 1;
    if (r > 60 && g < 0.3 * r && b < 0.3 * r) counts.red += 1;
    if (b > 60 && r < 0.3 * b && g < 0.3 * b) counts.blue += 1;
  }
  return counts;
}
