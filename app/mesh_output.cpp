#include "app/mesh_output.h"

#include <filesystem>
#include <memory>
#include <sstream>

#include "app/messages.h"
#include "app/output_file.h"
#include "app/picture_renderer.h"
#include "writers/ball_and_stick.h"
#include "writers/framed_pov_writer.h"
#include "writers/glb_writer.h"
#include "writers/html_writer.h"
#include "writers/lscript_writer.h"
#include "writers/obj_writer.h"
#include "writers/ply_writer.h"
#include "writers/pov_scene_writer.h"
#include "writers/stl_writer.h"

namespace lobewright {
namespace {

ConversionOutcome cannotOpen(const std::string& path, const std::string& reason) {
  return {ConversionStatus::cannotOpenOutput, withReason(kCannotOpenOutputMessage, path, reason)};
}

ConversionOutcome cannotWrite(const std::string& path, const std::string& reason) {
  return {ConversionStatus::cannotWriteOutput, withReason(kCannotWriteOutputMessage, path, reason)};
}

const ConversionOutcome kCancelled{ConversionStatus::cancelled, kCancelledMessage};

FramedSceneOptions framedOptions(const ConversionSettings& settings) {
  const PictureSettings& picture = settings.picture;
  FramedSceneOptions options;
  options.colours = picture.colours;
  options.transparency = picture.transparency;
  options.includeStructure = settings.showStructure;
  options.view = picture.view;
  options.aspect = static_cast<double>(picture.width) / picture.height;
  return options;
}

// Writes one format's bytes to the stream; the .obj's material file is the caller's.
MeshWriteResult writeFormat(std::ostream& out, const ConversionSettings& settings,
                            const OrbitalMesh& mesh, const std::vector<CalculationAtom>& atoms,
                            const BallAndStickModel& structure, const PageCaption& caption) {
  const LobeColours& colours = settings.picture.colours;
  const bool structureOn = settings.showStructure;
  switch (settings.outputKind) {
    case OutputKind::Gltf:
      return writeGlb(out, mesh, structure, {colours, structureOn});
    case OutputKind::Obj: {
      ObjOptions options{colours, structureOn, {}};
      options.materialLibrary =
          std::filesystem::path(materialPathFor(settings.outputPath)).filename().string();
      return writeObj(out, mesh, structure, options);
    }
    case OutputKind::Ply:
      return writePly(out, mesh, structure, {colours, structureOn});
    case OutputKind::Stl:
      return writeStl(out, mesh, structure, {});
    case OutputKind::Html:
      return writeHtml(out, mesh, structure, {colours, structureOn, caption});
    case OutputKind::PovRay:
      if (settings.picture.frame) {
        return writeFramedPovScene(out, mesh, structure, framedOptions(settings));
      }
      PovSceneWriter(out).writeScene(sceneAtoms(atoms, settings.scale), mesh,
                                     sceneOptions(settings));
      return streamResult(out);
    case OutputKind::LScript:
      LScriptWriter(out).writeScript(sceneAtoms(atoms, settings.scale), mesh,
                                     sceneOptions(settings));
      return streamResult(out);
    case OutputKind::Cube:
    case OutputKind::Png:
      break;
  }
  return {"This format is not drawn from the surface."};
}

}  // namespace

std::string materialPathFor(const std::string& objPath) {
  std::filesystem::path path(objPath);
  std::string name = path.stem().string() + ".mtl";
  // OBJ separates the names on its lines by blanks.
  for (char& c : name) {
    if (c == ' ' || c == '\t') c = '_';
  }
  return (path.parent_path() / name).string();
}

ConversionOutcome writeMeshOutput(const ConversionSettings& settings, const OrbitalMesh& mesh,
                                  const std::vector<CalculationAtom>& atoms, std::stop_token stop,
                                  const std::function<void(int)>& progress,
                                  const PageCaption& caption) {
  const BallAndStickModel structure = buildBallAndStick(atoms);
  const std::string& path = settings.outputPath;
  std::string error;
  const std::unique_ptr<OutputFile> output = OutputFile::open(path, error);
  if (!output) return cannotOpen(path, error);

  if (settings.outputKind == OutputKind::Png) {
    std::ostringstream scene;
    if (const MeshWriteResult written =
            writeFramedPovScene(scene, mesh, structure, framedOptions(settings));
        !written.succeeded()) {
      return cannotWrite(path, written.error);
    }
    const PictureResult picture = renderPicture(
        {scene.str(), settings.picture.width, settings.picture.height, stop, progress},
        output->stream());
    if (picture.cancelled) return kCancelled;
    if (!picture.succeeded()) return {ConversionStatus::cannotWriteOutput, picture.error};
  } else if (const MeshWriteResult written =
                 writeFormat(output->stream(), settings, mesh, atoms, structure, caption);
             !written.succeeded()) {
    return cannotWrite(path, written.error);
  }

  std::unique_ptr<OutputFile> materials;
  if (settings.outputKind == OutputKind::Obj) {
    const std::string materialPath = materialPathFor(path);
    materials = OutputFile::open(materialPath, error);
    if (!materials) return cannotOpen(materialPath, error);
    const ObjOptions options{settings.picture.colours, settings.showStructure, {}};
    if (const MeshWriteResult written = writeMtl(materials->stream(), mesh, structure, options);
        !written.succeeded()) {
      return cannotWrite(materialPath, written.error);
    }
  }
  if (stop.stop_requested()) return kCancelled;
  const ConversionOutcome notCommitted{ConversionStatus::cannotWriteOutput,
                                       kCannotWriteOutputMessage};
  if (materials && !materials->commit()) return notCommitted;
  if (!output->commit()) return notCommitted;
  return {};
}

}  // namespace lobewright
