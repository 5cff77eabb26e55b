// Runs the engine away from the page, so that a long relaxation never freezes it. One
// run at a time: {type: 'relax', kind, text, name, options, buttons?} in; 'ready',
// 'figures', 'shape', 'message' and finally 'done' out. buttons, when the page is
// cross-origin isolated, is a SharedArrayBuffer whose first word collects the buttons
// pressed (the draw window's bits); the engine takes them at its next poll.
importScripts('kelmor-engine.js');

const engine = KelmorEngine();
engine.then(() => postMessage({ type: 'ready' }), (e) => postMessage({ type: 'failed', reason: String(e) }));

onmessage = async ({ data }) => {
  if (data.type !== 'relax') return;
  const k = await engine;
  const pressed = data.buttons ? new Int32Array(data.buttons) : null;
  const callbacks = {
    figures: (f) => postMessage({ type: 'figures', figures: f }),
    shape: (mesh) => postMessage({ type: 'shape', mesh },
      [mesh.positions.buffer, mesh.colours.buffer, mesh.triangleFace.buffer, mesh.outlines.buffer]),
    message: (text) => postMessage({ type: 'message', text }),
    buttons: () => (pressed ? Atomics.exchange(pressed, 0, 0) : 0),
  };
  const start = performance.now();
  const result = k.relax(data.kind, data.text, data.name, data.options, callbacks);
  result.seconds = (performance.now() - start) / 1000;
  const transfer = [];
  for (const s of result.solutions || []) for (const f of s.files) transfer.push(f.bytes.buffer);
  postMessage({ type: 'done', result }, transfer);
};
