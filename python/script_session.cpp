#include "python/script_session.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "app/conversion.h"
#include "app/drawn_field.h"
#include "app/mo_selection.h"
#include "app/page_caption.h"
#include "app/surface_conversion.h"
#include "cli/command_run.h"
#include "input/orbital_choice.h"

namespace lobewright {
namespace {

// Keeps warnings for the script and the last error for the exception.
class ScriptSink : public MessageSink {
 public:
  explicit ScriptSink(std::vector<std::string>& warnings) : m_warnings(warnings) {}

  void show(const std::string& caption, const std::string& text) override {
    if (caption == kWarningCaption) {
      m_warnings.push_back(text);
    } else {
      m_error = text;
    }
  }
  [[nodiscard]] const std::string& error() const { return m_error; }

 private:
  std::vector<std::string>& m_warnings;
  std::string m_error;
};

[[noreturn]] void fail(const ConversionOutcome& outcome) {
  throw ScriptError(outcome.message, outcome.status == ConversionStatus::unusableSettings);
}

// What loadInput reads differently from one request to another.
std::vector<std::string> loadKey(const ConversionRequest& request) {
  const ConversionSettings& settings = request.settings;
  return {std::to_string(static_cast<int>(settings.model)),
          settings.field.isMo() ? "mo" : "field",
          settings.field.minusFile,
          settings.field.anionFile,
          settings.field.cationFile,
          request.parameterFile,
          request.parameterFileRequired ? "named" : "default"};
}

// The converter's request for the command, whose densities keep S^-1/2 for the session's next.
ConversionRequest sessionRequest(const CommandLine& command) {
  ConversionRequest request = requestFor(command);
  request.keepInverseSqrtOverlap = true;
  return request;
}

// The float as the double of its shortest decimal: 0.05f as 0.05, not 0.0500000007.
double shortestDouble(float value) {
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  double shortest = 0.0;
  std::from_chars(digits, end, shortest);
  return shortest;
}

// The one MO of a grid or a surface, set in the request.
void chooseOneMo(const CommandLine& command, ConversionRequest& request, const LoadedInput& input,
                 ScriptSink& sink) {
  const FieldSettings& field = request.settings.field;
  if (field.kind != FieldKind::mo || field.fukui != FukuiKind::none) return;
  const std::optional<std::vector<int>> mos =
      resolveMos(command, input, command.settings.spin, sink);
  if (!mos) throw ScriptError(sink.error(), false);
  if (mos->size() != 1) throw ScriptError("a grid or a surface is of one MO; give one", true);
  request.settings.moNumber = mos->front();
}

}  // namespace

ScriptSession::ScriptSession(const std::string& path) : m_path(path) {
  ConversionRequest request;
  request.inputFile = path;
  request.settings.model = OrbitalModel::exact;
  std::vector<std::string> ignored;
  ScriptSink sink(ignored);
  InputLoad load = loadInput(request, sink);
  if (!load.input) fail(load.failure);
  m_calculation = std::move(*load.input->exact);
  m_orbitals = orbitalRows(m_calculation);
}

const OrbitalRow& ScriptSession::frontier(bool homo, Spin spin) const {
  const Spin serving = servingSpin(m_calculation, spin);
  const FrontierOrbitals found = frontierOrbitals(m_calculation, serving);
  if (!found.error.empty()) {
    throw ScriptError(withReason(kCannotFindHomoLumoMessage, m_path, found.error), false);
  }
  const int number = homo ? found.homo : found.lumo;
  const auto row = std::find_if(m_orbitals.begin(), m_orbitals.end(), [&](const OrbitalRow& r) {
    return r.number == number && r.spin == serving;
  });
  if (row == m_orbitals.end()) {
    throw ScriptError(withReason(kCannotFindHomoLumoMessage, m_path,
                                 homo ? "no occupied MO in the file" : "no empty MO in the file"),
                      false);
  }
  return *row;
}

CommandLine ScriptSession::parse(const std::string& output,
                                 const std::vector<std::string>& options) const {
  std::vector<std::string> arguments{m_path, output};
  arguments.insert(arguments.end(), options.begin(), options.end());
  ParsedCommandLine parsed = parseCommandLine(arguments);
  if (!parsed.commandLine) throw ScriptError(parsed.error, true);
  if (parsed.commandLine->mode != CommandLine::Mode::convert) {
    throw ScriptError(
        "--list, --info, --help and --version are the converter's; the module has "
        "orbitals, atoms and grid() instead",
        true);
  }
  return std::move(*parsed.commandLine);
}

LoadedInput& ScriptSession::loaded(const ConversionRequest& request, MessageSink& messages) {
  std::vector<std::string> key = loadKey(request);
  if (m_loaded && key == m_loadedKey) return *m_loaded;
  m_loaded.reset();
  InputLoad load = loadInput(request, messages);
  if (!load.input) fail(load.failure);
  m_loaded = std::move(load.input);
  m_loadedKey = std::move(key);
  return *m_loaded;
}

DrawnField ScriptSession::drawn(const CommandLine& command, ConversionRequest& request,
                                std::vector<std::string>& warnings) {
  ScriptSink sink(warnings);
  LoadedInput& input = loaded(request, sink);
  chooseOneMo(command, request, input, sink);
  DrawnField field = drawnField(input, request);
  if (!field.field) fail(field.failure);
  return field;
}

ScriptGrid ScriptSession::grid(const std::vector<std::string>& options,
                               std::optional<double> margin, std::vector<std::string>& warnings) {
  if (margin && !(std::isfinite(*margin) && *margin >= 0.0)) {
    throw ScriptError("The margin must be a finite number of Angstrom, 0 or more.", true);
  }
  const std::lock_guard lock(m_mutex);
  const CommandLine command = parse("grid.cube", options);
  ConversionRequest request = sessionRequest(command);
  const DrawnField drawn = this->drawn(command, request, warnings);
  const int scale = request.settings.scale;
  const std::optional<GridBox> box =
      margin ? boxAroundAtoms(drawn.atoms, *margin, scale)
             : surfaceBoxAround(*drawn.field, drawn.atoms, request.settings);
  if (!box) {
    throw ScriptError(margin ? std::string(kGridTooLargeMessage) : kSurfaceTooFarMessage, false);
  }
  ScriptGrid result{sampleFieldGrid(*drawn.field, *box, scale, request.sweep.threads, {}),
                    drawn.description, drawn.quantity};
  if (result.grid.values.empty()) fail(result.grid.failure);
  return result;
}

ScriptSurface ScriptSession::surface(const std::vector<std::string>& options,
                                     std::vector<std::string>& warnings) {
  const std::lock_guard lock(m_mutex);
  const CommandLine command = parse("surface.html", options);
  ConversionRequest request = sessionRequest(command);
  const DrawnField drawn = this->drawn(command, request, warnings);
  SurfaceMeshing meshing = meshSurface(*drawn.field, drawn.atoms, request, [](int) {});
  if (!meshing.mesh) fail(meshing.failure);
  const ConversionSettings& settings = request.settings;
  if (meshing.mesh->positive.triangles.empty() && meshing.mesh->negative.triangles.empty()) {
    warnings.emplace_back(kNoSurfaceMessage);
  }
  return {std::move(*meshing.mesh),
          drawn.atoms,
          shortestDouble(settings.threshold),
          drawn.description,
          {settings.picture.colours, settings.showStructure,
           pageCaption(*m_loaded, request, drawn.description)}};
}

void ScriptSession::write(const std::string& output, const std::vector<std::string>& options,
                          std::vector<std::string>& warnings) {
  const std::lock_guard lock(m_mutex);
  const CommandLine command = parse(output, options);
  ConversionRequest request = sessionRequest(command);
  if (const auto problem = requestProblem(request)) fail(*problem);
  ScriptSink sink(warnings);
  LoadedInput& input = loaded(request, sink);
  const std::optional<std::vector<int>> mos =
      resolveMos(command, input, command.settings.spin, sink);
  if (!mos) throw ScriptError(sink.error(), false);
  // As the converter: a failed MO does not stop the others.
  std::string failures;
  for (const int mo : *mos) {
    request.settings.moNumber = mo;
    request.settings.outputPath = withMoNumber(command.settings.outputPath, mo);
    const ConversionOutcome outcome = drawOrbital(input, request, sink, [](int) {});
    if (!outcome.succeeded()) failures += (failures.empty() ? "" : "\n") + outcome.message;
  }
  if (!failures.empty()) throw ScriptError(failures, false);
}

}  // namespace lobewright
