// The .html output in a real browser: headless Chromium, offline, opens the converter's pages.
//   node page_test.mjs CONVERTER CHROMIUM DATA_DIR [every-sample]
// Without the last word: caffeine's HOMO in detail (size, what the page holds, caption, both lobe
// colours, no console error, no request, the mouse and the wheel) and a hostile file name. With
// it: a page of every sample renders both lobes without a console error.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { Chromium, countColours } from './chromium.mjs';

const [converter, chromiumProgram, data, mode] = process.argv.slice(2);
const work = mkdtempSync(join(tmpdir(), 'lobewright-pages-'));
let browser;
let tab;

function convert(input, output, ...options) {
  const run = spawnSync(converter,
    [input, output, '--quiet', '--params', join(data, 'pm3r.txt'), ...options], { encoding: 'utf8' });
  return { status: run.status, stderr: run.stderr };
}

function page(input, name, ...options) {
  const output = join(work, name);
  const run = convert(input, output, ...options);
  assert.equal(run.status, 0, run.stderr);
  return output;
}

// Loads the page and returns its screenshot's colours; the page must draw without a problem and
// ask for nothing but itself.
async function show(path) {
  const url = pathToFileURL(path).href;
  assert.equal(await tab.load(url), 'ready', `${path}: ${tab.problems.join('\n')}`);
  await tab.frames(3);
  const colours = countColours(await tab.screenshot());
  assert.deepEqual(tab.problems.filter((p) => !p.includes('GPU stall due to ReadPixels')), [],
    basename(path));
  assert.deepEqual(tab.requests, [url]);
  return colours;
}

function assertBothLobes(colours, what) {
  // Each lobe colour on at least 0.2 % of the screenshot.
  const least = 0.002 * tab.pixelCount;
  assert.ok(colours.red > least && colours.blue > least,
    `${what}: red ${colours.red} and blue ${colours.blue} pixels`);
}

before(async () => {
  const size = mode === 'every-sample' ? { width: 480, height: 360 } : { width: 800, height: 600 };
  browser = new Chromium(chromiumProgram, size);
  tab = await browser.openTab();
  const shot = await tab.screenshot();
  tab.pixelCount = shot.width * shot.height;
});

after(async () => {
  await browser?.close();
  rmSync(work, { recursive: true, force: true });
});

if (mode === 'every-sample') {
  const samples = [
    ...readdirSync(data).filter((f) => /\.(mno|out)$/.test(f)),
    ...readdirSync(join(data, 'aux')).filter((f) => /\.(aux|mgf|out)$/.test(f)).map((f) => `aux/${f}`),
  ];
  test(`a page of each of the ${samples.length} samples shows both lobes`, async () => {
    for (const sample of samples) {
      const output = join(work, `${basename(sample)}.html`);
      const run = convert(join(data, sample), output, '--homo');
      if (sample.includes('mozyme_PM7')) {
        // Localised orbitals carry no coefficients: refused with what to run instead.
        assert.match(run.stderr, /MOZYME EIGEN VECTORS/);
        continue;
      }
      assert.equal(run.status, 0, `${sample}: ${run.stderr}`);
      assertBothLobes(await show(output), sample);
    }
  });
} else {
  test('caffeine\'s HOMO: a page under 3 MB that holds everything and draws both lobes', async () => {
    const path = page(join(data, 'aux/caffeine_PM7.aux'), 'caffeine.html', '--homo');
    assert.ok(statSync(path).size < 3e6, `${statSync(path).size} bytes`);
    const text = readFileSync(path, 'utf8');
    // Nothing the page would load: its markup and style (the page without its scripts and
    // comments) have no attribute that names a resource and no style URL, and the whole page no
    // address but the XHTML namespace that three.js names its elements with.
    const markup = text.replace(/<script[^>]*>[^]*?<\/script>|<!--[^]*?-->/g, '');
    assert.equal(markup.match(/\s(src|href|srcset|action|formaction|poster|data|background)\s*=|url\s*\(|@import/gi), null);
    assert.deepEqual([...new Set(text.match(/[a-z][a-z0-9+.-]*:\/\/[^\s"'`)<>]*/gi))],
      ['http://www.w3.org/1999/xhtml']);
    assert.ok(text.includes('Copyright © 2010-2026 three.js authors'), 'three.js\'s licence');

    const first = await show(path);
    assertBothLobes(first, 'caffeine');
    assert.equal(await tab.evaluate('document.title'), 'caffeine_PM7.aux');
    assert.equal(await tab.evaluate('document.getElementById("details").textContent'),
      'MO 37 (HOMO) · symmetry 10a\'\' · -9.067 eV · isovalue ±0.05');

    // The wheel brings the molecule nearer, a drag turns it, a double-click goes back.
    const { x, y } = await tab.evaluate(`(() => { const r = document.getElementById('view')
      .getBoundingClientRect(); return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; })()`);
    await tab.mouse('mouseWheel', x, y, { deltaX: 0, deltaY: -500, button: 'none' });
    await tab.frames();
    const zoomed = countColours(await tab.screenshot());
    assert.ok(zoomed.drawn > 1.2 * first.drawn, `${first.drawn} then ${zoomed.drawn} pixels drawn`);

    await tab.evaluate('document.getElementById("view").dispatchEvent(new MouseEvent("dblclick"))');
    await tab.frames();
    assert.deepEqual(countColours(await tab.screenshot()), first);
    await tab.mouse('mousePressed', x, y, { clickCount: 1 });
    for (let step = 1; step <= 10; ++step) await tab.mouse('mouseMoved', x + 12 * step, y + 4 * step);
    await tab.mouse('mouseReleased', x + 120, y + 40, { clickCount: 1 });
    await tab.frames();
    const turned = countColours(await tab.screenshot());
    assert.notDeepEqual(turned, first);
    assertBothLobes(turned, 'caffeine turned');
  });

  test('a file name that looks like markup is shown as text', async () => {
    const name = 'x<!--<script>alert(1)<\\script>.aux';
    const input = join(work, name);
    copyFileSync(join(data, 'aux/formaldehyde_PM7.aux'), input);
    const path = page(input, 'hostile.html', '--homo');
    assertBothLobes(await show(path), name);
    assert.equal(await tab.evaluate('document.title'), name);
  });

  test('a density has one colour and says its unit', async () => {
    const path = page(join(data, 'aux/formaldehyde_PM7.aux'), 'density.html', '--field', 'density');
    const colours = await show(path);
    assert.ok(colours.red > 0.002 * tab.pixelCount && colours.blue === 0, JSON.stringify(colours));
    assert.equal(await tab.evaluate('document.getElementById("details").textContent'),
      'total density of formaldehyde_PM7.aux · isovalue 0.002 e/bohr³');
  });
}
