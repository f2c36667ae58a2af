#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/conversion.h"
#include "cli/command_line.h"
#include "cli/molecule_info.h"
#include "cli/terminal_progress.h"
#include "writers/program_version.h"

namespace lobewright {
namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kHelp =
    "Converts one molecular orbital of a MOPAC PM3 output into a POV-Ray scene (.pov) or a\n"
    "LightWave Modeler script (.ls).\n"
    "\n"
    "options:\n"
    "  --params FILE       PM3 parameter file (default pm3r.txt; built-in table if missing)\n"
    "  --mo N              the MO to draw (default 1)\n"
    "  --homo, --lumo      the highest occupied or lowest unoccupied MO of INPUT\n"
    "  --scale N           grid points per Angstrom, 1 to 100 (default 4)\n"
    "  --threshold X       orbital value of the surface (default 0.05)\n"
    "  --accuracy N        bisection steps per crossing edge, 0 to 100 (default 3)\n"
    "  --cutoff X          Angstrom beyond which an atom is left out (default 3.5)\n"
    "  --bond-length X     longest atom distance drawn as a bond, Angstrom (default 1.6)\n"
    "  --no-structure      leave out the ball-and-stick model\n"
    "  --format pov|ls     output format (default from OUTPUT's extension)\n"
    "  --threads N         threads for the sweep (default: all cores)\n"
    "  --info              print the atoms and coefficients read, write no scene\n"
    "  --quiet             no progress bar\n"
    "  --help, --version\n";

// Messages go to stderr as "caption: text", one line per line of the text.
class StderrSink : public MessageSink {
 public:
  void show(const std::string& caption, const std::string& text) override {
    std::istringstream lines(text);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
      std::cerr << (first ? caption + ": " : std::string()) << line << '\n';
      first = false;
    }
  }
};

// Sweeps from this many cubes on take long enough that the user should know what is coming.
constexpr int64_t kLongSweepCubes = 20'000'000;

void announceLongSweep(const GridBounds& bounds) {
  const int64_t cubes = cubeCount(bounds);
  if (cubes < kLongSweepCubes) return;
  std::cerr << "lobewright-convert: the sweep visits " << cubes << " cubes ("
            << bounds.xHigh - static_cast<int64_t>(bounds.xLow) << " x "
            << bounds.yHigh - static_cast<int64_t>(bounds.yLow) << " x "
            << bounds.zHigh - static_cast<int64_t>(bounds.zLow) << ")\n";
}

int run(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed = parseCommandLine(arguments);
  if (!parsed.commandLine) {
    std::cerr << "lobewright-convert: " << parsed.error << '\n' << kUsage << '\n';
    return kExitUsage;
  }
  CommandLine command = *parsed.commandLine;
  if (command.mode == CommandLine::Mode::help) {
    std::cout << kUsage << "\n\n" << kHelp;
    return kExitSuccess;
  }
  if (command.mode == CommandLine::Mode::version) {
    std::cout << "lobewright-convert " << kProgramVersion << '\n';
    return kExitSuccess;
  }

  StderrSink messages;
  if (command.frontierOrbital) {
    const auto mo = locateFrontierOrbital(command.inputFile, *command.frontierOrbital);
    if (!mo) {
      messages.show(kErrorCaption, kCannotFindHomoLumoMessage);
      return kExitFailure;
    }
    // The window keeps MO numbers as 16-bit values; the converter picks the same MO.
    command.settings.moNumber = static_cast<int16_t>(*mo);
  }

  if (command.mode == CommandLine::Mode::info) {
    if (!printMoleculeInfo(command, messages, std::cout)) return kExitFailure;
    // What was read is this mode's output: losing it to a full disk is a failure.
    if (!std::cout.flush()) {
      messages.show(kErrorCaption, kCannotWriteOutputMessage);
      return kExitFailure;
    }
    return kExitSuccess;
  }

  ConversionRequest request;
  request.parameterFile = command.parameterFile;
  request.inputFile = command.inputFile;
  request.settings = command.settings;
  if (command.threads > 0) request.sweep.threads = command.threads;
  if (!command.quiet) request.beforeSweep = announceLongSweep;
  TerminalProgress bar(stderr);
  const bool showProgress = !command.quiet && isatty(STDERR_FILENO) == 1;
  const ConversionOutcome outcome = runConversion(request, messages, [&](int percent) {
    if (showProgress) bar.report(percent);
  });
  if (!outcome.succeeded()) {
    messages.show(kErrorCaption, outcome.message);
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace
}  // namespace lobewright

int main(int argc, char** argv) {
  return lobewright::run(std::vector<std::string>(argv + 1, argv + argc));
}
