// The shareable link: the input and the options in the URL fragment, which never leaves
// the browser. Inputs beyond maxInput characters are left out (the link then carries the
// options only), so that links stay short enough for mail and chat.
export const maxInput = 4000;

export function encodeRun(run) {
  const p = new URLSearchParams();
  if (run.text.length <= maxInput) {
    p.set('kind', run.kind);
    p.set('input', run.text);
    if (run.name) p.set('name', run.name);
  }
  for (const [k, v] of Object.entries(run.options)) if (v !== undefined && v !== '') p.set(k, String(v));
  return '#' + p.toString();
}

// The run a fragment describes: {kind, text, name, options} with options as texts; kind
// is empty when the fragment carries no input.
export function decodeRun(hash) {
  const p = new URLSearchParams(hash.replace(/^#/, ''));
  const run = { kind: p.get('kind') || '', text: p.get('input') || '', name: p.get('name') || '', options: {} };
  for (const [k, v] of p) if (!['kind', 'input', 'name'].includes(k)) run.options[k] = v;
  return run;
}
