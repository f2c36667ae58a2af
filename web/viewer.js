// The viewer of a Lobewright page: reads the page's data (a caption, a camera and the surface
// with its molecule as a binary glTF in base64), shows the caption and draws the scene. Drag to
// turn, wheel to zoom, double-click for the first view. Everything it needs is inside the page.
import {
  AmbientLight,
  Color,
  DirectionalLight,
  PerspectiveCamera,
  Scene,
  Vector3,
  WebGLRenderer,
} from 'three';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
import { TrackballControls } from 'three/addons/controls/TrackballControls.js';

const page = JSON.parse(document.getElementById('lobewright-data').textContent);

function showCaption(caption) {
  document.title = caption.title;
  document.getElementById('title').textContent = caption.title;
  document.getElementById('details').textContent = caption.details.join(' \u00b7 ');
}

function showFailure(text) {
  const element = document.getElementById('failure');
  element.textContent = text;
  element.hidden = false;
  document.body.dataset.state = 'failed';
}

function bytesOf(base64) {
  const text = atob(base64);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  return bytes.buffer;
}

function vector(values) {
  return new Vector3(values[0], values[1], values[2]);
}

// Places the camera on the page's view: it looks at the centre from `back`, far enough for the
// box around everything (its half extents across, up and towards the viewer) to fit the canvas
// with a small margin. Near and far leave room to zoom and turn.
function placeCamera(camera, view, aspect) {
  const [across, upright, deep] = view.halfExtent;
  const tangent = Math.tan((camera.fov * Math.PI) / 360);
  const distance = deep + 1.08 * Math.max(upright / tangent, across / (tangent * aspect));
  const reach = Math.hypot(across, upright, deep);
  const centre = vector(view.centre);
  camera.up.copy(vector(view.up));
  camera.position.copy(centre).addScaledVector(vector(view.back), distance);
  camera.near = reach / 100;
  camera.far = 10 * (distance + reach);
  camera.lookAt(centre);
  camera.updateProjectionMatrix();
  return centre;
}

function start(gltf) {
  const canvas = document.getElementById('view');
  const renderer = new WebGLRenderer({ canvas, antialias: true });
  renderer.setPixelRatio(window.devicePixelRatio);
  const scene = new Scene();
  scene.background = new Color(0xffffff);
  if (gltf.scene) scene.add(gltf.scene);
  scene.add(new AmbientLight(0xffffff, 1.2));
  const camera = new PerspectiveCamera(35, 1, 0.01, 1000);
  // The light comes from over the viewer's shoulder, wherever the camera turns.
  const light = new DirectionalLight(0xffffff, 2.2);
  light.position.set(-1, 1, 2);
  camera.add(light);
  scene.add(camera);

  const controls = new TrackballControls(camera, canvas);
  controls.rotateSpeed = 3;
  // No drift after the mouse is let go: the view stays where it was put.
  controls.staticMoving = true;
  controls.minDistance = 0.5;
  let size = [0, 0];
  // A frame is drawn only when the view has changed, so a page left open costs nothing.
  let changed = true;
  controls.addEventListener('change', () => {
    changed = true;
  });
  const firstView = () => {
    controls.target.copy(placeCamera(camera, page.view, size[0] / size[1]));
    // As far out as the camera's far plane lets everything stay in view.
    controls.maxDistance = camera.far / 2;
    controls.update();
  };
  const fit = () => {
    const width = Math.max(1, canvas.clientWidth);
    const height = Math.max(1, canvas.clientHeight);
    if (width === size[0] && height === size[1]) return;
    const first = size[0] === 0;
    size = [width, height];
    renderer.setSize(width, height, false);
    camera.aspect = width / height;
    if (first) firstView();
    camera.updateProjectionMatrix();
    controls.handleResize();
    changed = true;
  };
  canvas.addEventListener('dblclick', () => {
    firstView();
    changed = true;
  });
  // The controls read the mouse in update(), so it runs every frame.
  renderer.setAnimationLoop(() => {
    fit();
    controls.update();
    if (!changed) return;
    changed = false;
    renderer.render(scene, camera);
    document.body.dataset.state = 'ready';
  });
}

showCaption(page.caption);
try {
  new GLTFLoader().parse(bytesOf(page.glb), '', start, (error) => {
    console.error(error);
    showFailure('The surface could not be read: ' + error.message);
  });
} catch (error) {
  console.error(error);
  showFailure('The surface could not be shown: ' + error.message);
}
