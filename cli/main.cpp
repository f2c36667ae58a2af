#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "app/conversion.h"
#include "app/orbital_list.h"
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
    "Draws molecular orbitals of a MOPAC calculation: reads its .out (keyword VECTORS), .aux\n"
    "(keyword AUX) or .mgf (keyword GRAPHF) file and writes, by OUTPUT's extension, a POV-Ray\n"
    "scene (.pov), a LightWave Modeler script (.ls), a Gaussian cube (.cube), a mesh (.glb,\n"
    ".obj with its .mtl, .ply, .stl; 1 unit = 1 Angstrom) or a picture (.png, by POV-Ray).\n"
    "\n"
    "orbitals:\n"
    "  --mo LIST           MOs to draw: numbers, HOMO, LUMO, HOMO-k, LUMO+k, ranges A..B,\n"
    "                      separated by commas (default 1); several need {mo} in OUTPUT\n"
    "  --homo, --lumo      the highest occupied or lowest unoccupied MO of INPUT\n"
    "  --spin alpha|beta   the spin set of a UHF calculation (default alpha)\n"
    "  --orbitals classic|exact\n"
    "                      classic: PM3 s and p functions as the original design computed them;\n"
    "                      exact: the calculation's own basis, de-orthogonalised (default:\n"
    "                      classic for MOPAC 6 output, exact for everything else)\n"
    "  --no-deorthogonalise  the exact model with the printed coefficients as they are\n"
    "  --list              print the MOs of INPUT with energies and occupancies, write nothing\n"
    "\n"
    "surface:\n"
    "  --scale N           grid points per Angstrom, 1 to 100 (default 4)\n"
    "  --threshold X       orbital value of the surface, above 0 (default 0.05)\n"
    "  --accuracy N        bisection steps per crossing edge (classic scenes), 1 to 100\n"
    "                      (default 3)\n"
    "  --cutoff X          Angstrom beyond which an atom is left out (classic model, default 3.5)\n"
    "  --params FILE       PM3 parameter file of the classic model (default pm3r.txt in the\n"
    "                      working folder, or the built-in table with a warning)\n"
    "  --threads N         threads for the sweep (default: all cores)\n"
    "\n"
    "output:\n"
    "  --format NAME       pov, ls, cube, glb, obj, ply, stl or png (default from OUTPUT)\n"
    "  --no-structure      leave out the ball-and-stick model\n"
    "  --bond-length X     longest atom distance drawn as a bond in classic scenes (default 1.6)\n"
    "  --frame             a .pov scene with a camera fitted to the molecule (as for .png)\n"
    "  --view x|y|z|best   where a framed scene or picture looks from (default best)\n"
    "  --colors POS,NEG    the lobes' colours: names (red, blue, ...) or #rrggbb\n"
    "  --transparent F     how much light passes through the lobes, 0 to 1 (default 0)\n"
    "  --size WxH          a picture's pixels (default 1280x960)\n"
    "\n"
    "  --info              print the atoms and coefficients the classic model reads\n"
    "  --quiet             no progress bar\n"
    "  --help, --version\n";

// Messages go to stderr as "caption: text", one line per line of the text. Text can come from
// the files read, so control characters are shown as "?" rather than acted on by the terminal.
class StderrSink : public MessageSink {
 public:
  void show(const std::string& caption, const std::string& text) override {
    std::string shown = text;
    for (char& c : shown) {
      if (c != '\n' && (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)) c = '?';
    }
    std::istringstream lines(shown);
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

int listOrbitals(const ConversionRequest& request, MessageSink& messages) {
  const OrbitalListing listing = listOrbitals(request);
  if (!listing.error.empty()) {
    messages.show(kErrorCaption, listing.error);
    return kExitFailure;
  }
  std::cout << orbitalListText(listing.rows);
  if (!std::cout.flush()) {
    messages.show(kErrorCaption, kCannotWriteOutputMessage);
    return kExitFailure;
  }
  return kExitSuccess;
}

// The MO numbers the command names, HOMO and LUMO looked up in the input as the conversion's
// model sees them; nothing when they cannot be found (the message has gone to the sink).
std::optional<std::vector<int>> resolveMos(const CommandLine& command, const LoadedInput& input,
                                           MessageSink& messages) {
  FrontierNumbers frontier;
  if (needsFrontier(command.moSelection)) {
    frontier = findFrontierNumbers(input, command.settings.spin);
    if (!frontier.error.empty()) {
      messages.show(kErrorCaption, frontier.error);
      return std::nullopt;
    }
  }
  std::string error;
  auto mos = resolveMoSelection(command.moSelection, frontier.homo, frontier.lumo, error);
  if (!mos) messages.show(kErrorCaption, kInputFileErrorMessage + ("\n" + error));
  return mos;
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
  ConversionRequest request;
  request.parameterFile = command.parameterFile;
  request.parameterFileRequired = command.parameterFileNamed;
  request.inputFile = command.inputFile;
  request.settings = command.settings;
  if (command.threads > 0) request.sweep.threads = command.threads;
  if (command.mode == CommandLine::Mode::list) return listOrbitals(request, messages);
  // --info shows what the classic model reads.
  if (command.mode == CommandLine::Mode::info) request.settings.model = OrbitalModel::classic;
  // An output that must not be written is refused before the input is read, as one that the
  // input's own problems would hide.
  if (const auto problem = requestProblem(request)) {
    messages.show(kErrorCaption, problem->message);
    return kExitFailure;
  }

  InputLoad load = loadInput(request, messages);
  if (!load.input) {
    messages.show(kErrorCaption, load.failure.message);
    return kExitFailure;
  }
  LoadedInput& input = *load.input;
  const std::optional<std::vector<int>> mos = resolveMos(command, input, messages);
  if (!mos) return kExitFailure;
  if (command.mode == CommandLine::Mode::info) {
    if (!printMoleculeInfo(input, request.inputFile, mos->front(), messages, std::cout)) {
      return kExitFailure;
    }
    // What was read is this mode's output: losing it to a full disk is a failure.
    if (!std::cout.flush()) {
      messages.show(kErrorCaption, kCannotWriteOutputMessage);
      return kExitFailure;
    }
    return kExitSuccess;
  }

  if (!command.quiet) request.beforeSweep = announceLongSweep;
  const bool showProgress = !command.quiet && isatty(STDERR_FILENO) == 1;
  int worst = kExitSuccess;
  // A failed MO does not stop the others; the exit status is the worst of them.
  for (const int mo : *mos) {
    request.settings.moNumber = mo;
    request.settings.outputPath = withMoNumber(command.settings.outputPath, mo);
    TerminalProgress bar(stderr);
    const ConversionOutcome outcome = drawOrbital(input, request, messages, [&](int percent) {
      if (showProgress) bar.report(percent);
    });
    if (!outcome.succeeded()) {
      messages.show(kErrorCaption, outcome.message);
      worst = kExitFailure;
    }
  }
  return worst;
}

// A descriptor among 0, 1 and 2 that is closed would be taken by the next file opened, and the
// messages meant for the terminal would be written into the scene.
void openStandardDescriptors() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (::fcntl(descriptor, F_GETFD) != -1) continue;
    const int opened = ::open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
    if (opened != descriptor && opened >= 0) ::close(opened);
  }
}

}  // namespace
}  // namespace lobewright

int main(int argc, char** argv) {
  using namespace lobewright;
  openStandardDescriptors();
  try {
    return run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::bad_alloc&) {
    std::cerr << kErrorCaption << ": out of memory; try a lower scale\n";
  } catch (const std::exception& error) {
    std::cerr << kErrorCaption << ": " << error.what() << '\n';
  } catch (...) {
    std::cerr << kErrorCaption << ": an unexpected failure\n";
  }
  return 1;
}
