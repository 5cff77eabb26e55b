// The page: picks the input, starts and stops the worker, shows the figures, the solid,
// the report and the files. Nothing here reaches beyond the page's own origin.
import examples from 'kelmor-examples';
import { SolidView } from './view.js';
import { encodeRun, decodeRun } from './share.js';

const $ = (id) => document.getElementById(id);
const QuitButton = 1, RedoButton = 8;
const view = new SolidView($('view'));
const state = { worker: null, ready: null, running: false, input: { kind: 'text', name: 'snub_cube' }, result: null };
// Re-do needs the worker to see a button while it runs: only a cross-origin isolated page
// may share memory with it. Elsewhere Stop ends the worker and a fresh one takes over.
const buttons = self.crossOriginIsolated ? new SharedArrayBuffer(4) : null;

function status(text, s) {
  $('status').textContent = text;
  $('status').dataset.state = s;
}

function startWorker() {
  state.worker = new Worker('worker.js');
  state.ready = new Promise((resolve, reject) => {
    state.worker.onmessage = ({ data }) => {
      if (data.type === 'ready') resolve();
      else if (data.type === 'failed') reject(new Error(data.reason));
      else onWorker(data);
    };
  });
  // The engine ran out of memory or stopped on a fault: say so, and start afresh.
  state.worker.onerror = (e) => {
    e.preventDefault();
    state.worker.terminate();
    if (state.running) finished({ error: 'Kelmor stopped: ' + (e.message || 'the engine failed') });
    startWorker();
  };
  return state.ready;
}

function onWorker(data) {
  if (data.type === 'figures') {
    const f = data.figures;
    $('E').textContent = f.E;
    $('P').textContent = f.P;
    $('iteration').textContent = f.iteration;
    $('attempt').textContent = f.attempt;
  } else if (data.type === 'shape') {
    view.show(data.mesh);
  } else if (data.type === 'message') {
    $('messages').textContent += data.text + '\n';
  } else if (data.type === 'done') {
    finished(data.result);
  }
}

function options() {
  const number = (id) => ($(id).value === '' ? undefined : Number($(id).value));
  let seed = number('seed');
  if (seed === undefined) {
    seed = Math.floor(Math.random() * 2 ** 31);
    $('seed').value = seed;
  }
  return {
    mode: document.querySelector('input[name=mode]:checked').value,
    weakenLimit: number('weakenLimit'), inflation: number('inflation'), globalLimit: number('globalLimit'),
    seed, dateText: $('dateText').value, solutions: number('solutions'),
    maxIterations: number('maxIterations'), maxAttempts: number('maxAttempts'),
  };
}

function currentInput() {
  const conway = $('conway').value.trim();
  if (conway) return { kind: 'conway', text: conway, name: 'conway' };
  return { kind: state.input.kind, text: $('text').value, name: state.input.name };
}

async function relax() {
  if (state.running) return;
  const input = currentInput();
  const opts = options();
  $('messages').textContent = '';
  $('report').replaceChildren();
  $('downloads').replaceChildren();
  $('share').href = encodeRun({ ...input, options: opts });
  state.running = true;
  $('relax').disabled = true;
  $('stop').disabled = false;
  $('redo').disabled = !buttons;
  status('Relaxing…', 'running');
  await state.ready;
  state.worker.postMessage({ type: 'relax', ...input, options: { ...opts, frameMillis: 33 }, buttons });
}

function press(bit) {
  if (buttons) Atomics.or(new Int32Array(buttons), 0, bit);
}

function stop() {
  if (!state.running) return;
  if (buttons) return press(QuitButton);
  state.worker.terminate();
  startWorker();
  finished({ outcome: 'ended', messages: [], solutions: [] });
}

function finished(result) {
  state.running = false;
  state.result = result;
  $('relax').disabled = false;
  $('stop').disabled = true;
  $('redo').disabled = true;
  if (result.error) {
    $('messages').textContent += result.error + '\n';
    status('The input was refused', 'refused');
    return;
  }
  const s = result.solutions.find((x) => x.files.some((f) => f.name.endsWith('.off')));
  if (s) showSolution(s);
  status(s ? `Solution ${s.name} written` : 'Ended without a solution', s ? 'written' : 'ended');
}

function showSolution(s) {
  if (s.mesh) view.show(s.mesh);
  $('E').textContent = s.E;
  $('P').textContent = s.P;
  $('iteration').textContent = s.iterations;
  $('attempt').textContent = s.attempts;
  const rows = [['Solution', s.name], ['Edge deformation E', s.E], ['Polygonal deformation P', s.P],
    ['Largest single edge distortion', s.SE ?? '–'], ['Angle deformation (degrees)', s.A ?? '–'],
    ['Iterations', s.iterations], ['Attempts', s.attempts], ['Isomorph', s.isomorph]];
  for (const [k, v] of rows) {
    const tr = $('report').insertRow();
    tr.insertCell().textContent = k;
    tr.insertCell().textContent = v;
  }
  for (const f of s.files) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([f.bytes]));
    a.download = f.name;
    a.textContent = `${f.name} (${f.bytes.length} bytes)`;
    const li = document.createElement('li');
    li.append(a);
    $('downloads').append(li);
  }
}

function useFile(file) {
  file.text().then((text) => {
    $('text').value = text;
    $('conway').value = '';
    state.input = { kind: 'file', name: file.name };
    relax();
  });
}

function setUp() {
  for (const name of Object.keys(examples)) $('example').add(new Option(name.replace(/_/g, ' '), name));
  $('example').value = 'snub_cube';
  $('example').onchange = () => {
    $('text').value = examples[$('example').value];
    state.input = { kind: 'text', name: $('example').value };
  };
  $('dateText').value = new Date().toLocaleDateString();
  $('relax').onclick = relax;
  $('stop').onclick = stop;
  $('redo').onclick = () => press(RedoButton);
  $('file').onchange = () => $('file').files[0] && useFile($('file').files[0]);
  const drop = $('drop');
  drop.ondragover = (e) => { e.preventDefault(); drop.classList.add('over'); };
  drop.ondragleave = () => drop.classList.remove('over');
  drop.ondrop = (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    if (e.dataTransfer.files[0]) useFile(e.dataTransfer.files[0]);
  };
  const shared = decodeRun(location.hash);
  $('text').value = shared.kind && shared.kind !== 'conway' ? shared.text : examples.snub_cube;
  if (shared.kind === 'conway') $('conway').value = shared.text;
  if (shared.kind) state.input = { kind: shared.kind, name: shared.name };
  for (const [k, v] of Object.entries(shared.options)) {
    if (k === 'mode') document.querySelector(`input[name=mode][value=${CSS.escape(v)}]`)?.click();
    else if ($(k) && $(k).tagName !== 'BUTTON') $(k).value = v;
  }
  startWorker().then(() => status('Ready', 'ready'), (e) => status('The engine did not load: ' + e.message, 'failed'));
}

window.kelmorPage = { state, view };
setUp();
