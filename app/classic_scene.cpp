#include "app/classic_scene.h"

#include "mesh/polygonizer.h"
#include "mesh/shaded_triangle.h"
#include "writers/lscript_writer.h"
#include "writers/pov_scene_writer.h"
#include "writers/vertex_set.h"

namespace lobewright {

SweepCounters writeClassicScene(std::ostream& out, OutputKind kind, const ClassicOrbital& orbital,
                                const SceneAtoms& atoms, const SceneOptions& options,
                                const GridBounds& bounds, const ProgressCallback& progress,
                                const SweepOptions& sweep) {
  if (kind == OutputKind::LScript) {
    LScriptWriter writer(out);
    writer.begin(atoms);
    IndexedMesh mesh;
    const SweepCounters counters = sweepSurface(
        orbital, options.threshold, options.accuracy, bounds, sweep, GradientsAt::apexOnly,
        [&](const ShadedTriangle& shaded) {
          const TriangleOrientation orientation =
              orientWithGradient(shaded.triangle, shaded.gradients[0]);
          mesh.addTriangle(orientation.sign, shaded.triangle, orientation.exchanged);
        },
        progress);
    progress(100);
    writer.finish(atoms, options, mesh);
    return counters;
  }
  PovSceneWriter writer(out);
  writer.writeHeader(atoms);
  const SweepCounters counters = sweepSurface(
      orbital, options.threshold, options.accuracy, bounds, sweep, GradientsAt::everyCorner,
      [&](const ShadedTriangle& triangle) { writer.writeTriangle(smoothTriangle(triangle)); },
      progress);
  writer.closeMesh();
  progress(100);
  if (options.showStructure) writer.writeStructure(atoms, options);
  writer.writeTrailer(options);
  return counters;
}

}  // namespace lobewright
