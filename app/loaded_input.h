#pragma once

#include <optional>
#include <string>

#include "app/conversion_request.h"
#include "app/input_kind.h"
#include "app/input_source.h"
#include "app/messages.h"
#include "input/calculation.h"
#include "input/classic_calculation.h"

namespace lobewright {

// An input read once for a run: the kind of file, the model that draws it and the calculation in
// that model's form. Every MO a run draws comes from it: the file is opened once, and the work
// that serves every MO (the overlap matrix of a .out file) is done once.
struct LoadedInput {
  InputSource source;  // the text, still open: the classic HOMO is counted in it when asked for
  InputKind kind = InputKind::otherText;
  OrbitalModel model = OrbitalModel::exact;
  std::optional<ClassicCalculation> classic;  // in the classic model
  std::optional<Calculation> exact;           // in the exact model
  // The calculations the settings' field takes besides the input (--minus, --anion, --cation),
  // each read once, in the exact model.
  std::optional<Calculation> minus;
  std::optional<Calculation> anion;
  std::optional<Calculation> cation;
};

struct InputLoad {
  std::optional<LoadedInput> input;
  ConversionOutcome failure;  // why the input cannot be drawn, when it is empty
};

// Reads the request's input in the model its settings choose (the classic one reads the
// parameter table too, a named one or the default with the built-in table in its place), and the
// other calculations its field takes; warnings go to the sink. The input must be a regular file or
// "-" (standard input). A field other than an MO is drawn in the exact model, which the automatic
// choice then takes for every input; the classic model refuses it.
[[nodiscard]] InputLoad loadInput(const ConversionRequest& request, MessageSink& messages);

// The input's calculation as the exact model reads it, read again from the text already open: for
// what the classic model does not read (the MOs' energies and labels) of an input loaded in that
// model. Nothing when it cannot be read.
[[nodiscard]] std::optional<Calculation> exactReading(const LoadedInput& input);

// The HOMO's and LUMO's numbers as the input's model sees them: the classic model counts the
// filled levels the output states, the exact model reads the occupancies of the chosen spin. On
// failure `error` holds the message for the user.
struct FrontierNumbers {
  int homo = 0;
  int lumo = 0;
  std::string error;
};
[[nodiscard]] FrontierNumbers findFrontierNumbers(const LoadedInput& input, Spin spin);
// The same for the request's input, read as far as the look-up needs: the HOMO and LUMO buttons.
[[nodiscard]] FrontierNumbers findFrontierNumbers(const ConversionRequest& request);

// The input's message for the user: "Input file error." with the file and the reason.
[[nodiscard]] std::string inputErrorMessage(const std::string& fileName, const std::string& reason);
[[nodiscard]] std::string inputErrorMessage(const std::string& fileName, TextError error);

}  // namespace lobewright
