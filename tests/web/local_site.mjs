// What the page test and the page benchmark share: the built site served on 127.0.0.1 by
// scripts/web-serve, and Debian's Chromium, headless, drawing WebGL through SwiftShader.
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import { join } from 'node:path';

// From the build tree's node_modules, which NODE_PATH names (ES imports do not read it).
const { chromium } = createRequire(import.meta.url)('playwright-core');

// Starts the server on a free port; resolves to {origin, server}.
export async function serveSite(source, site, env) {
  const server = spawn('python3', [join(source, 'scripts/web-serve'), site, '0'], { env, stdio: ['ignore', 'pipe', 'inherit'] });
  let said = '';
  const origin = await new Promise((resolve, reject) => {
    server.stdout.on('data', (d) => {
      said += d;
      const m = /http:\/\/[^/\s]+/.exec(said);
      if (m) resolve(m[0]);
    });
    server.on('exit', () => reject(new Error('the static server ended: ' + said)));
  });
  return { origin, server };
}

export function launchChromium(env) {
  return chromium.launch({ executablePath: '/usr/bin/chromium', env,
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-gl=swiftshader', '--ignore-gpu-blocklist'] });
}
