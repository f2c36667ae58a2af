#include "app/explored_surface.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "app/conversion.h"
#include "app/enclosed_surface.h"
#include "app/mesh_output.h"
#include "app/orbital_list.h"
#include "app/page_caption.h"
#include "app/surface_conversion.h"
#include "app/vertex_colouring.h"
#include "mesh/sweep_control.h"
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

// Whether the settings' format holds a surface's colours: the meshes but STL, framed scenes,
// pictures and pages.
bool carriesColours(const ConversionSettings& settings) {
  switch (settings.outputKind) {
    case OutputKind::Gltf:
    case OutputKind::Obj:
    case OutputKind::Ply:
    case OutputKind::Png:
    case OutputKind::Html:
      return true;
    case OutputKind::PovRay:
      return settings.picture.frame;
    default:
      return false;
  }
}

// The preview's window is about as wide as it is high.
constexpr double kFirstViewAspect = 1.0;

}  // namespace

SurfaceExplorer::Source SurfaceExplorer::sourceOf(const ConversionRequest& request) {
  const FieldSettings& field = request.settings.field;
  Source source{request.inputFile,
                request.parameterFile,
                request.parameterFileRequired,
                request.settings.model,
                field.isMo(),
                field.minusFile,
                field.anionFile,
                field.cationFile,
                {},
                0};
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
  shown.request.beforeSweep = nullptr;
  shown.request.beforeDensityMatrix = nullptr;
  shown.request.potentialProgress = nullptr;
  if (auto problem = requestProblem(request)) {
    shown.failure = std::move(*problem);
    return shown;
  }
  const Source source = sourceOf(request);
  if (!m_input || m_source != source) {
    m_fieldChoice.reset();
    m_field = {};
    m_previousChoice.reset();
    m_previousField = {};
    m_colouringKind.reset();
    m_colouring = {};
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
    const std::string degeneracy =
        degeneracyNote(*m_input->exact, settings.moNumber, settings.spin);
    if (!degeneracy.empty()) shown.notes.push_back(degeneracy);
  }
  OrbitalMesh mesh;
  if (m_input->classic) {
    PictureSurface drawn = drawPictureSurface(*m_input, request, 0, progress);
    shown.failure = std::move(drawn.failure);
    if (!shown.failure.succeeded()) return shown;
    shown.isovalue = drawn.isovalue;
    shown.enclosing = std::move(drawn.enclosing);
    shown.caption = std::move(drawn.caption);
    shown.description = std::move(drawn.description);
    shown.atoms = std::move(drawn.atoms);
    mesh = std::move(drawn.mesh);
  } else {
    // Each density of the load takes S^-1/2 from the first, which on a big molecule takes seconds.
    ConversionRequest building = request;
    building.keepInverseSqrtOverlap = true;
    // A potential's atomic pieces, for the field or its colours, fill 40 % of the progress and
    // the colours at the vertices the last 10 %.
    const auto& colourSource = settings.colouring.source;
    const int meshStart = settings.field.kind == FieldKind::esp ? 40 : 0;
    const int meshEnd = !colourSource ? 100 : colourSource->kind == FieldKind::esp ? 50 : 90;
    building.potentialProgress = progressShare(progress, 0, meshStart);
    drawExact(building, shown);
    if (!shown.failure.succeeded()) return shown;
    SurfaceMeshing surface = meshSurface(*m_field.field, shown.atoms, shown.request,
                                         progressShare(progress, meshStart, meshEnd));
    shown.failure = std::move(surface.failure);
    if (!surface.mesh) return shown;
    mesh = std::move(*surface.mesh);
    if (colourSource) {
      building.potentialProgress = progressShare(progress, meshEnd, 90);
      colour(building, mesh, shown, progressShare(progress, 90, 100));
      if (!shown.failure.succeeded()) return shown;
    }
  }
  shown.request.settings.threshold = shown.isovalue;
  const BallAndStickModel structure = buildBallAndStick(shown.atoms);
  shown.firstView = pictureCamera({{&mesh}, &structure, settings.showStructure},
                                  settings.picture.view, kFirstViewAspect)
                        .basis;
  shown.triangles =
      static_cast<int64_t>(mesh.positive.triangles.size() + mesh.negative.triangles.size());
  shown.mesh = std::make_shared<const OrbitalMesh>(std::move(mesh));
  return shown;
}

SurfaceExplorer::FieldChoice SurfaceExplorer::fieldChoiceOf(const ConversionSettings& settings) {
  const FieldSettings& field = settings.field;
  const bool mo = field.isMo();
  return {field.kind,
          field.minusFile,
          field.fukui,
          field.anionFile,
          field.cationFile,
          mo ? settings.moNumber : 0,
          mo ? settings.spin : Spin::alpha,
          settings.deorthogonalise};
}

void SurfaceExplorer::colour(const ConversionRequest& request, const OrbitalMesh& mesh,
                             ExploredSurface& shown, const ProgressCallback& progress) {
  const FieldKind kind = request.settings.colouring.source->kind;
  if (!m_colouring.field || m_colouringKind != kind) {
    m_colouringKind.reset();
    m_colouring = buildColouringField(*m_input, request);
    if (!m_colouring.field) {
      shown.failure = std::move(m_colouring.failure);
      return;
    }
    m_colouringKind = kind;
  }
  try {
    shown.colouring = std::make_shared<const SurfaceColouring>(
        colourVertices(valuesAtVertices(*m_colouring.field, mesh,
                                        std::max(1, request.sweep.threads), request.stop, progress),
                       request.settings.colouring, m_colouring.title, m_colouring.units));
  } catch (const SweepCancelled&) {
    shown.failure = {ConversionStatus::cancelled, kCancelledMessage};
  }
}

// The field built, or kept from the request before, and the isovalue it is drawn at: the
// settings' threshold, or the one that encloses their share.
void SurfaceExplorer::drawExact(const ConversionRequest& request, ExploredSurface& shown) {
  const ConversionSettings& settings = request.settings;
  const FieldChoice choice = fieldChoiceOf(settings);
  if (m_previousField.field && m_previousChoice == choice) {
    std::swap(m_field, m_previousField);
    std::swap(m_fieldChoice, m_previousChoice);
  } else if (!m_field.field || m_fieldChoice != choice) {
    if (m_field.field) {
      m_previousField = std::move(m_field);
      m_previousChoice = m_fieldChoice;
    }
    m_fieldChoice.reset();
    m_field = buildField(*m_input, request);
    if (!m_field.field) {
      shown.failure = std::move(m_field.failure);
      return;
    }
    m_fieldChoice = choice;
  }
  shown.atoms = m_input->exact->atoms;
  shown.description = m_field.description;
  shown.isovalue = settings.threshold;
  if (settings.enclosedFraction) {
    const EnclosingSurface enclosing =
        findEnclosingSurface(*m_field.field, shown.atoms, *settings.enclosedFraction,
                             enclosedQuantity(settings.field), std::max(1, request.sweep.threads));
    if (!enclosing.error.empty()) {
      shown.failure = {ConversionStatus::inputError,
                       inputErrorMessage(request.inputFile, enclosing.error)};
      return;
    }
    shown.isovalue = enclosing.isovalue;
    shown.enclosing = enclosing.sentence;
    shown.caption = m_field.description + ": " + enclosing.sentence;
  }
  shown.request.settings.threshold = shown.isovalue;
}

ConversionOutcome saveExploredSurface(const ExploredSurface& shown,
                                      const ConversionRequest& request, MessageSink& messages,
                                      const ProgressCallback& progress) {
  if (!shown.mesh) return shown.failure;
  // A format without colours takes the surface's shape alone.
  ConversionRequest saved = request;
  const bool coloured = carriesColours(saved.settings);
  if (!coloured) saved.settings.colouring = {};
  if (auto problem = requestProblem(saved)) return std::move(*problem);
  if (saved.settings.outputKind == OutputKind::Cube) {
    saved.settings.threshold = shown.isovalue;
    saved.settings.enclosedFraction.reset();
    return runConversion(saved, messages, progress);
  }
  MeshDecoration decoration{shown.caption, coloured ? shown.colouring.get() : nullptr, {}};
  if (saved.settings.outputKind == OutputKind::Html) {
    InputLoad load = loadInput(saved, messages);
    if (!load.input) return load.failure;
    decoration.page = pageCaption(*load.input, saved, shown.description);
  }
  ConversionOutcome outcome =
      writeMeshOutput(saved.settings, *shown.mesh, shown.atoms, saved.stop, progress, decoration);
  if (outcome.succeeded()) outcome.triangles = shown.triangles;
  return outcome;
}

}  // namespace lobewright
