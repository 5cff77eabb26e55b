// Builds the static site: node web/build.mjs SITE ENGINE_DIR EXAMPLES_DIR, with esbuild
// and three from the build tree's node_modules (NODE_PATH). The examples are put into the
// bundle, so the page never fetches them; the engine (kelmor-engine.js and .wasm) is copied
// beside it.
import { copyFileSync, mkdirSync, readdirSync, readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { createRequire } from 'node:module';
// From the build tree's node_modules, which NODE_PATH names (ES imports do not read it).
const { build } = createRequire(import.meta.url)('esbuild');

const [site, engine, examplesDir] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));
mkdirSync(site, { recursive: true });

const examples = {};
for (const f of readdirSync(examplesDir).sort())
  if (f.endsWith('.txt')) examples[f.slice(0, -4)] = readFileSync(join(examplesDir, f), 'utf8');

await build({
  entryPoints: [join(here, 'main.js')],
  bundle: true,
  minify: true,
  format: 'iife',
  target: 'es2020',
  outfile: join(site, 'main.js'),
  nodePaths: (process.env.NODE_PATH || '').split(':').filter(Boolean),
  plugins: [{
    name: 'examples',
    setup(b) {
      b.onResolve({ filter: /^kelmor-examples$/ }, () => ({ path: 'examples', namespace: 'examples' }));
      b.onLoad({ filter: /.*/, namespace: 'examples' }, () => ({ contents: JSON.stringify(examples), loader: 'json' }));
    },
  }],
});
for (const f of ['index.html', 'style.css', 'worker.js']) copyFileSync(join(here, f), join(site, f));
for (const f of ['kelmor-engine.js', 'kelmor-engine.wasm']) copyFileSync(join(engine, f), join(site, f));
