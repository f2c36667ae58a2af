#include "app/explored_surface.h"

#include <system_error>
#include <utility>

#include "app/conversion.h"
#include "app/mesh_output.h"
#include "app/orbital_list.h"
#include "writers/ball_and_stick.h"
#include "writers/picture_view.h"

namespace lobewright {
namespace {

// Keeps the messages of reading an input to show them beside the surface, never in a box.
class NoteSink : public MessageSink {
 public:
  explicit NoteSink(std::vector<std::string>& notes) : m_notes(notes) {}
  void show(const std::string&, const std::string& text) override { m_notes.push_back(text); }

 private:
  std::vector<std::string>& m_notes;
};

// The preview's window is about as wide as it is high.
constexpr double kFirstViewAspect = 1.0;

}  // namespace

SurfaceExplorer::Source SurfaceExplorer::sourceOf(const ConversionRequest& request) {
  const FieldSettings& field = request.settings.field;
  Source source{request.inputFile, request.parameterFile, request.parameterFileRequired,
                request.settings.model, field.isMo(), field.minusFile, field.anionFile,
                field.cationFile, {}, 0};
  std::error_code error;
  source.modified = std::filesystem::last_write_time(request.inputFile, error);
  source.size = std::filesystem::file_size(request.inputFile, error);
  if (error) source.size = 0;
  return source;
}

ExploredSurface SurfaceExplorer::draw(const ConversionRequest& request,
                                      const ProgressCallback& progress) {
  ExploredSurface shown;
  shown.request = request;
  if (auto problem = requestProblem(request)) {
    shown.failure = std::move(*problem);
    return shown;
  }
  const Source source = sourceOf(request);
  if (!m_input || m_source != source) {
    m_input.reset();
    m_source.reset();
    m_loadNotes.clear();
    NoteSink notes(m_loadNotes);
    InputLoad load = loadInput(request, notes);
    if (!load.input) {
      shown.failure = std::move(load.failure);
      return shown;
    }
    m_input = std::move(load.input);
    m_source = source;
  }
  shown.notes = m_loadNotes;
  const ConversionSettings& settings = request.settings;
  if (m_input->exact && settings.field.isMo()) {
    const std::string degeneracy = degeneracyNote(*m_input->exact, settings.moNumber, settings.spin);
    if (!degeneracy.empty()) shown.notes.push_back(degeneracy);
  }
  PictureSurface drawn = drawPictureSurface(*m_input, request, 0, progress);
  shown.failure = std::move(drawn.failure);
  if (!shown.failure.succeeded()) return shown;
  shown.isovalue = drawn.isovalue;
  shown.request.settings.threshold = drawn.isovalue;
  shown.enclosing = std::move(drawn.enclosing);
  shown.caption = std::move(drawn.caption);
  shown.atoms = std::move(drawn.atoms);
  const BallAndStickModel structure = buildBallAndStick(shown.atoms);
  shown.firstView = pictureCamera({{&drawn.mesh}, &structure, settings.showStructure},
                                  settings.picture.view, kFirstViewAspect)
                        .basis;
  shown.triangles = static_cast<int64_t>(drawn.mesh.positive.triangles.size() +
                                                 drawn.mesh.negative.triangles.size());
  shown.mesh = std::make_shared<const OrbitalMesh>(std::move(drawn.mesh));
  return shown;
}

ConversionOutcome saveExploredSurface(const ExploredSurface& shown,
                                      const ConversionRequest& request, MessageSink& messages,
                                      const ProgressCallback& progress) {
  if (!shown.mesh) return shown.failure;
  if (auto problem = requestProblem(request)) return std::move(*problem);
  if (request.settings.outputKind == OutputKind::Cube) {
    ConversionRequest cube = request;
    cube.settings.threshold = shown.isovalue;
    cube.settings.enclosedFraction.reset();
    return runConversion(cube, messages, progress);
  }
  ConversionOutcome outcome = writeMeshOutput(request.settings, *shown.mesh, shown.atoms,
                                              request.stop, progress, shown.caption);
  if (outcome.succeeded()) outcome.triangles = shown.triangles;
  return outcome;
}

}  // namespace lobewright
