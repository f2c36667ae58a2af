#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/conversion_settings.h"
#include "app/mo_selection.h"

namespace lobewright {

inline constexpr const char* kUsage =
    "usage: lobewright-convert INPUT OUTPUT [options]\n"
    "       lobewright-convert INPUT --list [--orbitals classic|exact]\n"
    "       lobewright-convert INPUT --info [--mo N | --homo | --lumo] [--params FILE]\n"
    "       lobewright-convert INPUT OUTPUT.svg|OUTPUT.png --diagram [--mo LIST]\n"
    "       lobewright-convert INPUT OUTPUT.png --gallery [--mo LIST]";

struct CommandLine {
  // diagram: an MO energy-level diagram; gallery: one picture of many MOs.
  enum class Mode { convert, list, info, help, version, diagram, gallery };

  Mode mode = Mode::convert;
  std::string inputFile;
  std::string parameterFile = "pm3r.txt";
  bool parameterFileNamed = false;  // given with --params, so it must be readable
  bool formatNamed = false;         // given with --format, so OUTPUT's extension is not read
  bool thresholdNamed = false;      // given with --threshold, so no field's default replaces it
  bool moNamed = false;     // given with --mo, --homo or --lumo, so no default range replaces it
  bool spinNamed = false;   // given with --spin: a diagram shows that spin set only
  bool svgDiagram = false;  // a diagram written as SVG rather than PNG
  // The MOs to draw; HOMO and LUMO are looked up in the input. More than one needs "{mo}" in
  // the output name.
  std::vector<MoRange> moSelection{{{MoName::Anchor::number, 1}, {MoName::Anchor::number, 1}}};
  // --spin both: each MO of both spin sets, which needs "{spin}" in the output name.
  bool bothSpins = false;
  ConversionSettings settings;
  int threads = 0;  // 0: all the cores the machine has
  bool quiet = false;
};

struct ParsedCommandLine {
  std::optional<CommandLine> commandLine;
  std::string error;  // why the arguments were refused, when commandLine is empty
};

// Numbers are read in the "C" locale and refused when malformed or out of range.
[[nodiscard]] ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace lobewright
