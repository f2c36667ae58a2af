// Makes the page template of the .html output: bundles viewer.js with three.js (from the
// project's node_modules, no network) into page.html, with three.js's licence, and writes the
// template as a C++ source that returns it (`std::string_view lobewright::htmlPageTemplate()`).
//   node build_page.mjs PAGE VIEWER LICENCE OUTPUT_HTML OUTPUT_CPP
import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname } from 'node:path';

const [pagePath, viewerPath, licencePath, htmlPath, cppPath] = process.argv.slice(2);
if (!cppPath) {
  console.error('usage: node build_page.mjs PAGE VIEWER LICENCE OUTPUT_HTML OUTPUT_CPP');
  process.exit(2);
}
const esbuild = createRequire(viewerPath)('esbuild');

function fail(why) {
  console.error(`build_page.mjs: ${why}`);
  process.exit(1);
}

const bundle = esbuild.buildSync({
  entryPoints: [viewerPath],
  absWorkingDir: dirname(viewerPath),
  bundle: true,
  minify: true,
  format: 'iife',
  target: 'es2020',
  legalComments: 'none',
  charset: 'utf8',
  write: false,
  logLevel: 'error',
}).outputFiles[0].text;

// The script and the licence sit in the page as they are: neither may end its element early.
if (/<\/script|<!--/i.test(bundle)) fail('the bundled viewer holds text that would end its script');
const licence = readFileSync(licencePath, 'utf8');
if (licence.includes('--')) fail('the licence holds "--", which would end its comment');

const page = readFileSync(pagePath, 'utf8');
for (const marker of ['//viewer//', '//licence//', '<!--lobewright:data-->']) {
  if (page.split(marker).length !== 2) fail(`${pagePath} must hold ${marker} once`);
}
const html = page
  .replace('//viewer//', () => bundle.trimEnd())
  .replace('//licence//', () => `three.js, bundled in the script above:\n\n${licence.trimEnd()}`);
writeFileSync(htmlPath, html);

const bytes = Buffer.from(html, 'utf8');
// As signed chars, which every byte of UTF-8 text fits without a narrowing conversion.
const signed = (byte) => (byte << 24) >> 24;
const rows = [];
for (let i = 0; i < bytes.length; i += 24) {
  rows.push(Array.from(bytes.subarray(i, i + 24), signed).join(','));
}
writeFileSync(
  cppPath,
  `// Made from ${pagePath} and ${viewerPath} by web/build_page.mjs; edit those instead.
#include <string_view>

namespace lobewright {
namespace {

constexpr char kPage[] = {
${rows.join(',\n')},0};

}  // namespace

std::string_view htmlPageTemplate() { return {kPage, sizeof kPage - 1}; }

}  // namespace lobewright
`,
);
