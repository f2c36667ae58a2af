#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/colouring_field.h"
#include "app/conversion_request.h"
#include "app/field_build.h"
#include "app/loaded_input.h"
#include "app/messages.h"
#include "input/calculation.h"
#include "mesh/orbital_mesh.h"
#include "writers/scene_frame.h"

namespace lobewright {

// What the window's preview shows: the surface of the settings' field, drawn with no file
// written, and what saving it needs.
struct ExploredSurface {
  std::shared_ptr<const OrbitalMesh> mesh;  // empty when nothing could be drawn
  std::vector<CalculationAtom> atoms;
  // The settings it was drawn with, the isovalue found for an enclosed share in their threshold;
  // without the caller's hooks, which need not outlive the drawing (Save runs with this request).
  ConversionRequest request;
  float isovalue = 0.0f;
  int64_t triangles = 0;
  std::string enclosing;    // "|psi| = 0.03605 encloses 85 % of psi^2", or empty
  std::string caption;      // the line a .png of it carries, or empty
  std::string description;  // "MO 37 of caffeine.aux", "total density of caffeine.aux"
  // The surface's colours when the settings colour it by another field.
  std::shared_ptr<const SurfaceColouring> colouring;
  // What the user should know besides: warnings of reading the input, a degenerate MO.
  std::vector<std::string> notes;
  // How a picture would look at it unless turned: as --view chooses.
  ViewBasis firstView;
  ConversionOutcome failure;  // succeeded when there is a mesh
};

// Draws the surfaces a user explores from an input read once: the input is read again only when a
// request reads other files, in another model, or the file has changed since; and the field of
// the exact model is built again only when another MO or field is asked for, so that another
// isovalue, share or scale costs the surface alone (the potential's field takes seconds to
// build); going back to the field shown before costs the surface alone too. One request at a time:
// it is not to be shared between threads.
class SurfaceExplorer {
 public:
  // The surface of the request's field at the settings' scale; an enclosed share is found from
  // the field. Progress is reported per grid layer; a stop ends the work with `cancelled`.
  [[nodiscard]] ExploredSurface draw(const ConversionRequest& request,
                                     const ProgressCallback& progress);

 private:
  // What the field of the exact model depends on besides the input.
  struct FieldChoice {
    FieldKind kind = FieldKind::mo;
    std::string minusFile;
    FukuiKind fukui = FukuiKind::none;
    std::string anionFile;
    std::string cationFile;
    int moNumber = 0;
    Spin spin = Spin::alpha;
    bool deorthogonalise = true;
    bool operator==(const FieldChoice&) const = default;
  };
  [[nodiscard]] static FieldChoice fieldChoiceOf(const ConversionSettings& settings);
  void drawExact(const ConversionRequest& request, ExploredSurface& shown);
  // Colours the surface shown by the settings' colouring field, built once for the input;
  // `progress` follows the colours at the vertices.
  void colour(const ConversionRequest& request, const OrbitalMesh& mesh, ExploredSurface& shown,
              const ProgressCallback& progress);

  struct Source {
    std::string inputFile;
    std::string parameterFile;
    bool parameterFileRequired = false;
    OrbitalModel model = OrbitalModel::automatic;
    bool drawsMo = true;
    std::string minusFile;
    std::string anionFile;
    std::string cationFile;
    std::filesystem::file_time_type modified;
    std::uintmax_t size = 0;
    bool operator==(const Source&) const = default;
  };
  [[nodiscard]] static Source sourceOf(const ConversionRequest& request);

  std::optional<Source> m_source;
  std::optional<LoadedInput> m_input;
  std::vector<std::string> m_loadNotes;
  std::optional<FieldChoice> m_fieldChoice;
  BuiltField m_field;
  // The field shown before, kept for a user who goes back to it (the density and the spin
  // density in turn).
  std::optional<FieldChoice> m_previousChoice;
  BuiltField m_previousField;
  std::optional<FieldKind> m_colouringKind;
  ColouringField m_colouring;
};

// Writes the surface as shown to the request's output in its settings' format, with the
// request's picture settings (size, transparency, colours, framing, a turned view) and structure
// switch: the meshes, scenes and pictures from the surface itself, in the colours of the field
// that colours it where the format holds them (the shape alone in the others), a cube from the
// field at the surface's isovalue. The converter's rules hold: never over the input or the
// parameter file, and a file is replaced only once it is written whole.
[[nodiscard]] ConversionOutcome saveExploredSurface(const ExploredSurface& shown,
                                                    const ConversionRequest& request,
                                                    MessageSink& messages,
                                                    const ProgressCallback& progress);

}  // namespace lobewright
