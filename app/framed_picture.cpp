#include "app/framed_picture.h"

#include <sstream>
#include <vector>

namespace lobewright {

FramedSceneOptions framedOptions(const ConversionSettings& settings,
                                 const BallAndStickModel& structure, double aspect) {
  const PictureSettings& picture = settings.picture;
  FramedSceneOptions options;
  options.colours = picture.colours;
  if (!picture.coloursNamed) {
    std::vector<Rgb> atomColours;
    if (settings.showStructure) {
      for (const StructureSphere& atom : structure.spheres) atomColours.push_back(atom.colour);
    }
    options.colours = lobeColoursApartFrom(atomColours);
  }
  options.transparency = picture.transparency;
  options.includeStructure = settings.showStructure;
  options.view = picture.view;
  options.turnedView = picture.turnedView;
  options.zoom = picture.zoom;
  options.aspect = aspect;
  return options;
}

PictureResult renderFramedPicture(const OrbitalMesh& mesh, const BallAndStickModel& structure,
                                  const FramedSceneOptions& options, int width, int height,
                                  std::stop_token stop, const std::function<void(int)>& progress,
                                  std::string& png) {
  std::ostringstream scene;
  if (const MeshWriteResult written = writeFramedPovScene(scene, mesh, structure, options);
      !written.succeeded()) {
    return {written.error};
  }
  std::ostringstream picture;
  PictureResult result =
      renderPicture({scene.str(), width, height, std::move(stop), progress}, picture);
  if (result.succeeded()) png = std::move(picture).str();
  return result;
}

}  // namespace lobewright
