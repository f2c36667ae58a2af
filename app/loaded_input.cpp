#include "app/loaded_input.h"

#include <fstream>
#include <memory>
#include <new>
#include <utility>

#include "app/homo_lumo_locator.h"
#include "input/aux_reader.h"
#include "input/mgf_reader.h"
#include "input/orbital_choice.h"
#include "input/out_reader.h"
#include "input/parameter_table.h"

namespace lobewright {
namespace {

InputLoad refuse(ConversionStatus status, std::string message) {
  return {std::nullopt, {status, std::move(message)}};
}

// The classic model's parameter table: the named file's, or, for the default file that cannot be
// read, the built-in one with a warning. A file the user named must be read.
// Like an input, the table must be a regular file: a pipe or a device could block or never end.
std::optional<Pm3ParameterSet> parameterTable(const ConversionRequest& request,
                                              MessageSink& messages, std::string& error) {
  std::optional<InputSource> source;
  std::unique_ptr<std::istream> file;
  if (!request.parameterFile.empty()) source = InputSource::load(request.parameterFile, error);
  if (source) file = source->open(error);
  if (file) {
    ParameterRead read = readParameterTable(*file, {});
    if (read.table) return read.table;
    error = "not a parameter table: " + read.error.message();
  }
  if (request.parameterFileRequired) {
    if (error.empty()) error = "cannot be read";
    return std::nullopt;
  }
  messages.show(kWarningCaption, kDefaultParametersMessage);
  return builtInParameters();
}

CalculationRead readExact(std::istream& text, InputKind kind, const std::string& fileName) {
  switch (kind) {
    case InputKind::aux:
      return readAuxFile(text, fileName);
    case InputKind::mgf:
      return readMgfFile(text, fileName);
    case InputKind::olderLayout:
    case InputKind::newerLayout:
    case InputKind::otherText:
    case InputKind::archive:
    case InputKind::inputDeck:
    case InputKind::notMopac:
      break;
  }
  return readOutFile(text, fileName);
}

}  // namespace

std::string inputErrorMessage(const std::string& fileName, const std::string& reason) {
  return withReason(kInputFileErrorMessage, fileName, reason);
}

std::string inputErrorMessage(const std::string& fileName, TextError error) {
  error.source = fileName;
  return withReason(kInputFileErrorMessage, {}, error.message());
}

namespace {

// The input opened and its kind told, with the model that draws it; or why it cannot be drawn.
InputLoad openInput(const ConversionRequest& request) {
  const std::string& fileName = request.inputFile;
  const auto inputError = [&](const std::string& reason) {
    return refuse(ConversionStatus::inputError, inputErrorMessage(fileName, reason));
  };
  std::string error;
  std::optional<InputSource> source = InputSource::load(fileName, error);
  if (!source) return inputError(error);
  const std::unique_ptr<std::istream> text = source->open(error);
  if (!text) return inputError(error);
  LoadedInput input;
  input.source = std::move(*source);
  input.kind = detectInputKind(*text);
  const FieldSettings& field = request.settings.field;
  const bool coloured = request.settings.colouring.source.has_value();
  input.model = field.isMo() && !coloured ? modelFor(input.kind, request.settings.model)
                                          : OrbitalModel::exact;
  if (!field.isMo() && request.settings.model == OrbitalModel::classic) {
    return refuse(ConversionStatus::unusableSettings, kClassicDrawsMosMessage);
  }
  if (input.kind == InputKind::archive) return inputError(kArchiveMessage);
  if (input.kind == InputKind::inputDeck) return inputError(kInputDeckMessage);
  if (coloured && request.settings.model == OrbitalModel::classic) {
    return refuse(ConversionStatus::unusableSettings, kClassicColoursNothingMessage);
  }
  if (input.model == OrbitalModel::exact && input.kind == InputKind::notMopac) {
    return inputError(kNotMopacMessage);
  }
  if (input.model == OrbitalModel::classic &&
      (input.kind == InputKind::aux || input.kind == InputKind::mgf)) {
    return inputError(kClassicNeedsOutputMessage);
  }
  return {std::move(input), {}};
}

// Reads the calculation of the exact model into the input; false, with the outcome, when it
// cannot.
bool readExactCalculation(LoadedInput& input, ConversionOutcome& failure) {
  const std::string& fileName = input.source.path();
  std::string error;
  const std::unique_ptr<std::istream> text = input.source.open(error);
  if (!text) {
    failure = {ConversionStatus::inputError, inputErrorMessage(fileName, error)};
    return false;
  }
  CalculationRead read = readExact(*text, input.kind, fileName);
  if (!read.calculation) {
    failure = {ConversionStatus::inputError,
               withReason(kInputFileErrorMessage, {}, read.error.message())};
    return false;
  }
  input.exact = std::move(read.calculation);
  return true;
}

// The same for the classic model, which reads the parameter table too.
bool readClassicCalculation(LoadedInput& input, const ConversionRequest& request,
                            MessageSink& messages, ConversionOutcome& failure) {
  const std::string& fileName = input.source.path();
  std::string error;
  const std::unique_ptr<std::istream> text = input.source.open(error);
  if (!text) {
    failure = {ConversionStatus::inputError, inputErrorMessage(fileName, error)};
    return false;
  }
  const std::optional<Pm3ParameterSet> table = parameterTable(request, messages, error);
  if (!table) {
    failure = {ConversionStatus::parameterError,
               withReason(kParameterFileErrorMessage, request.parameterFile, error)};
    return false;
  }
  ClassicRead read = readMopacOutput(*text, *table);
  if (!read.calculation) {
    failure = {ConversionStatus::inputError, inputErrorMessage(fileName, read.error)};
    return false;
  }
  if (!read.calculation->warning.empty()) messages.show(kWarningCaption, read.calculation->warning);
  input.classic = std::move(read.calculation);
  return true;
}

// The HOMO counted as the classic model counts it: the filled levels the output states.
FrontierNumbers countedFrontier(const InputSource& source) {
  std::string error;
  const std::unique_ptr<std::istream> text = source.open(error);
  const std::optional<int32_t> homo =
      text ? locateFrontierOrbital(*text, FrontierOrbital::homo) : std::nullopt;
  if (!homo || *homo >= kGreatestMoNumber) {
    // At the greatest number it is the LUMO after it that has no number.
    const bool lumoBeyond = homo && *homo == kGreatestMoNumber;
    return {0, 0, cannotFindFrontierMessage(source.path(), lumoBeyond ? *homo + 1 : homo)};
  }
  return {*homo, *homo + 1, {}};
}

FrontierNumbers frontierOf(const Calculation& calculation, Spin spin, const std::string& fileName) {
  const FrontierOrbitals frontier = frontierOrbitals(calculation, spin);
  if (!frontier.error.empty()) {
    return {0, 0, withReason(kCannotFindHomoLumoMessage, fileName, frontier.error)};
  }
  return {frontier.homo, frontier.lumo, {}};
}

}  // namespace

InputLoad loadInput(const ConversionRequest& request, MessageSink& messages) {
  InputLoad load = openInput(request);
  if (!load.input) return load;
  LoadedInput& input = *load.input;
  bool read = false;
  try {
    read = input.model == OrbitalModel::exact
               ? readExactCalculation(input, load.failure)
               : readClassicCalculation(input, request, messages, load.failure);
  } catch (const std::bad_alloc&) {
    // The scale has no part in this: the file's own text is what does not fit.
    load.failure = {
        ConversionStatus::inputError,
        inputErrorMessage(input.source.path(), "what it holds is too large to read into memory")};
  }
  if (!read) {
    load.input.reset();
    return load;
  }
  const FieldSettings& field = request.settings.field;
  for (const auto& [fileName, target] :
       {std::pair{&field.minusFile, &input.minus}, std::pair{&field.anionFile, &input.anion},
        std::pair{&field.cationFile, &input.cation}}) {
    if (fileName->empty()) continue;
    ConversionRequest other = request;
    other.inputFile = *fileName;
    other.settings.model = OrbitalModel::exact;
    InputLoad companion = openInput(other);
    if (!companion.input || !readExactCalculation(*companion.input, companion.failure)) {
      return {std::nullopt, companion.failure};
    }
    *target = std::move(companion.input->exact);
  }
  return load;
}

bool ensureExactCalculation(LoadedInput& input, ConversionOutcome& failure) {
  return input.exact || readExactCalculation(input, failure);
}

FrontierNumbers findFrontierNumbers(const LoadedInput& input, Spin spin) {
  if (input.classic) return countedFrontier(input.source);
  return frontierOf(*input.exact, spin, input.source.path());
}

FrontierNumbers findFrontierNumbers(const ConversionRequest& request) {
  InputLoad load = openInput(request);
  if (!load.input) return {0, 0, load.failure.message};
  if (load.input->model == OrbitalModel::classic) return countedFrontier(load.input->source);
  if (!readExactCalculation(*load.input, load.failure)) return {0, 0, load.failure.message};
  return frontierOf(*load.input->exact, request.settings.spin, request.inputFile);
}

}  // namespace lobewright
