// The WebGL view: the solid's faces in their colour entries, unlit so that a colour on
// the screen is the colour in the files, with black outlines; turned and zoomed with the
// mouse. faceIds() and pixels() let a test read back what was drawn.
import * as THREE from 'three';
import { OrbitControls } from 'three/examples/jsm/controls/OrbitControls.js';

export class SolidView {
  constructor(canvas) {
    this.renderer = new THREE.WebGLRenderer({ canvas, antialias: false, preserveDrawingBuffer: true });
    // Colours reach the screen as the files give them: no conversion to sRGB on the way.
    this.renderer.outputColorSpace = THREE.LinearSRGBColorSpace;
    this.renderer.setClearColor(0xffffff);
    this.scene = new THREE.Scene();
    this.camera = new THREE.PerspectiveCamera(30, 1, 0.01, 100);
    this.camera.position.set(0, 0, 6);
    this.controls = new OrbitControls(this.camera, canvas);
    this.controls.addEventListener('change', () => this.render());
    this.group = new THREE.Group();
    this.scene.add(this.group);
    this.mesh = null;
    this.frames = 0;
  }

  // mesh: {positions, colours, triangleFace, outlines, faces} from the engine.
  show(mesh) {
    for (const child of [...this.group.children]) {
      child.geometry.dispose();
      this.group.remove(child);
    }
    const faces = new THREE.BufferGeometry();
    faces.setAttribute('position', new THREE.BufferAttribute(mesh.positions, 3));
    faces.setAttribute('color', new THREE.BufferAttribute(mesh.colours, 3));
    // The faces lie a constant step behind their outlines. An offset that grows with the
    // face's slope would push a face seen edge-on so far back that outlines behind it
    // showed through.
    const material = new THREE.MeshBasicMaterial({ vertexColors: true, side: THREE.DoubleSide,
      polygonOffset: true, polygonOffsetFactor: 0, polygonOffsetUnits: 4 });
    this.group.add(new THREE.Mesh(faces, material));
    const lines = new THREE.BufferGeometry();
    lines.setAttribute('position', new THREE.BufferAttribute(mesh.outlines, 3));
    this.group.add(new THREE.LineSegments(lines, new THREE.LineBasicMaterial({ color: 0x000000 })));
    faces.computeBoundingSphere();
    const r = faces.boundingSphere.radius || 1;
    this.group.position.copy(faces.boundingSphere.center).negate();
    this.camera.near = r / 100;
    this.camera.far = r * 100;
    this.camera.position.setLength(r / Math.sin(THREE.MathUtils.degToRad(15)) * 1.05);
    this.camera.updateProjectionMatrix();
    this.mesh = mesh;
    if (this.frames === 0) this.firstFrameAt = performance.now();
    this.frames += 1;
    this.render();
  }

  render() {
    this.renderer.render(this.scene, this.camera);
  }

  look(x, y, z) {
    const d = this.camera.position.length();
    this.camera.position.set(x, y, z).setLength(d);
    this.camera.lookAt(0, 0, 0);
    this.render();
  }

  // The canvas as RGBA bytes, bottom row first.
  pixels() {
    const gl = this.renderer.getContext();
    const { width, height } = gl.canvas;
    const out = new Uint8Array(width * height * 4);
    gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, out);
    return { width, height, data: out };
  }

  // Draws every face in a colour that is its number plus one, without outlines, reads
  // the canvas back and draws the solid again: face number by pixel (-1: none).
  faceIds() {
    const [faces, lines] = this.group.children;
    const colour = faces.geometry.getAttribute('color');
    const ids = new Float32Array(colour.count * 3);
    for (let t = 0; t < this.mesh.triangleFace.length; ++t) {
      const id = this.mesh.triangleFace[t] + 1;
      for (let c = 0; c < 3; ++c) ids.set([(id & 255) / 255, ((id >> 8) & 255) / 255, 0], (t * 3 + c) * 3);
    }
    faces.geometry.setAttribute('color', new THREE.BufferAttribute(ids, 3));
    lines.visible = false;
    this.render();
    const { width, height, data } = this.pixels();
    faces.geometry.setAttribute('color', colour);
    lines.visible = true;
    this.render();
    const out = new Int32Array(width * height);
    for (let i = 0; i < out.length; ++i)
      out[i] = data[i * 4 + 2] === 0 ? data[i * 4] + 256 * data[i * 4 + 1] - 1 : -1;
    return out;
  }
}
