// Serves the page, three.js and the model on a local port, opens the page in headless
// Chromium and prints what the page found. Usage: node serve_and_load.js PAGE_DIR
// THREE_DIR MODEL.glb CHROMIUM PROFILE_DIR
const http = require('http');
const fs = require('fs');
const path = require('path');
const { execFile } = require('child_process');

const [pageDir, threeDir, model, chromium, profile] = process.argv.slice(2);
const types = { '.html': 'text/html', '.js': 'text/javascript', '.glb': 'model/gltf-binary' };

const server = http.createServer((req, res) => {
  const url = decodeURIComponent(req.url.split('?')[0]);
  let file = null;
  if (url === '/' || url === '/index.html') file = path.join(pageDir, 'index.html');
  else if (url === '/model.glb') file = model;
  else if (url.startsWith('/three/')) file = path.join(threeDir, path.normalize(url.slice(7)));
  if (!file || !fs.existsSync(file)) {
    res.writeHead(404);
    res.end();
    return;
  }
  res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
  fs.createReadStream(file).pipe(res);
});

server.listen(0, '127.0.0.1', () => {
  const port = server.address().port;
  const args = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--enable-unsafe-swiftshader', '--user-data-dir=' + profile, '--virtual-time-budget=20000',
    '--dump-dom', `http://127.0.0.1:${port}/index.html`];
  execFile(chromium, args, { timeout: 60000, maxBuffer: 1 << 24 }, (error, stdout, stderr) => {
    server.close();
    const m = /RESULT (\{.*?\}) END/s.exec(stdout);
    if (!m) {
      console.log('no result from the page', error ? String(error) : '', stderr.slice(-2000));
      process.exit(2);
    }
    console.log(m[1]);
    process.exit(0);
  });
});
