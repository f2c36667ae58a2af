#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "app/conversion.h"
#include "app/diagram_output.h"
#include "app/gallery_output.h"
#include "app/orbital_list.h"
#include "app/signal_cleanup.h"
#include "app/terminal_text.h"
#include "cli/command_line.h"
#include "cli/command_run.h"
#include "cli/field_info.h"
#include "cli/molecule_info.h"
#include "cli/options.h"
#include "cli/orbital_info.h"
#include "cli/terminal_progress.h"
#include "writers/program_version.h"

namespace lobewright {
namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Messages go to stderr as "caption: text", one line per line of the text. Text can come from
// the files read, so control characters are shown as "?" rather than acted on by the terminal.
// While a progress bar is drawn there, a message first ends the bar's line.
class StderrSink : public MessageSink {
 public:
  void setProgressBar(TerminalProgress* bar) { m_bar = bar; }

  void show(const std::string& caption, const std::string& text) override {
    if (m_bar != nullptr) m_bar->endLine();
    std::istringstream lines(terminalSafe(text));
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
      std::cerr << (first ? caption + ": " : std::string()) << line << '\n';
      first = false;
    }
  }

 private:
  TerminalProgress* m_bar = nullptr;
};

// One run's progress bar on stderr, drawn when it is shown; while it lives, the messages end its
// line before they are printed, and it ends its line when it goes, however the run ends.
class RunProgress {
 public:
  RunProgress(StderrSink& messages, bool shown) : m_messages(messages), m_shown(shown) {
    m_messages.setProgressBar(&m_bar);
  }
  ~RunProgress() { m_messages.setProgressBar(nullptr); }
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;

  [[nodiscard]] ProgressCallback callback() {
    return [this](int percent) {
      if (m_shown) m_bar.report(percent);
    };
  }

 private:
  StderrSink& m_messages;
  bool m_shown;
  TerminalProgress m_bar{stderr};
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

void announceLongDensityMatrix(std::size_t aoCount) {
  if (const auto notice = longDensityMatrixNotice(aoCount)) {
    std::cerr << "lobewright-convert: " << *notice << "\n";
  }
}

// What --list and --info read is their output: losing it to a full disk is a failure, told with
// the reason.
bool flushedStandardOutput(MessageSink& messages) {
  errno = 0;
  if (std::cout.flush()) return true;
  const std::string reason = errno != 0 ? std::strerror(errno) : "the text could not be written";
  messages.show(kErrorCaption, withReason(kCannotWriteOutputMessage, "standard output", reason));
  return false;
}

int listOrbitals(const ConversionRequest& request, MessageSink& messages) {
  const OrbitalListing listing = listOrbitals(request);
  if (!listing.error.empty()) {
    messages.show(kErrorCaption, listing.error);
    return kExitFailure;
  }
  std::cout << orbitalListText(listing);
  return flushedStandardOutput(messages) ? kExitSuccess : kExitFailure;
}

int drawDiagram(const CommandLine& command, const LoadedInput& input,
                const ConversionRequest& request, MessageSink& messages) {
  DiagramChoice choice;
  if (command.moNamed) choice.selection = command.moSelection;
  if (command.spinNamed) choice.spin = command.settings.spin;
  choice.svg = command.svgDiagram;
  const ConversionOutcome outcome = drawLevelDiagram(input, request, choice);
  if (outcome.succeeded()) return kExitSuccess;
  messages.show(kErrorCaption, outcome.message);
  return kExitFailure;
}

// The MOs of a gallery: those the command names, or HOMO-2 to LUMO+2.
std::optional<std::vector<int>> galleryMos(const CommandLine& command, const LoadedInput& input,
                                           MessageSink& messages) {
  if (command.moNamed) return resolveMos(command, input, command.settings.spin, messages);
  const FrontierNumbers frontier = findFrontierNumbers(input, command.settings.spin);
  if (!frontier.error.empty()) {
    messages.show(kErrorCaption, frontier.error);
    return std::nullopt;
  }
  return aroundFrontier(frontier.homo, frontier.lumo, kGalleryReach);
}

int run(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed = parseCommandLine(arguments);
  if (!parsed.commandLine) {
    std::cerr << "lobewright-convert: " << parsed.error << '\n' << kUsage << '\n';
    return kExitUsage;
  }
  CommandLine command = *parsed.commandLine;
  if (command.mode == CommandLine::Mode::help) {
    std::cout << helpText();
    return kExitSuccess;
  }
  if (command.mode == CommandLine::Mode::version) {
    std::cout << "lobewright-convert " << kProgramVersion << '\n';
    return kExitSuccess;
  }

  StderrSink messages;
  ConversionRequest request = requestFor(command);
  if (command.mode == CommandLine::Mode::list) return listOrbitals(request, messages);
  // --info shows what the input holds of an MO (what the classic model reads, in that model), or
  // what a density holds.
  const bool fieldInfo = command.mode == CommandLine::Mode::info && !command.settings.field.isMo();
  // A diagram lists the MOs of every kind of input as the exact model reads them.
  if (command.mode == CommandLine::Mode::diagram) request.settings.model = OrbitalModel::exact;
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
  if (!command.quiet) request.beforeDensityMatrix = announceLongDensityMatrix;
  if (command.mode == CommandLine::Mode::diagram) {
    return drawDiagram(command, input, request, messages);
  }
  if (command.mode == CommandLine::Mode::info) {
    const std::optional<std::vector<int>> mos =
        fieldInfo ? std::vector<int>{}
                  : resolveMos(command, input, request.settings.spin, messages);
    if (!mos) return kExitFailure;
    bool printed = false;
    // Symmetry labels and notes come from the file: they reach the terminal as plain text.
    std::ostringstream info;
    if (fieldInfo) {
      printed = printFieldInfo(input, request, messages, info);
    } else if (input.classic) {
      printed = printMoleculeInfo(input, request, mos->front(), messages, info);
    } else {
      request.settings.moNumber = mos->front();
      printed = printOrbitalInfo(input, request, messages, info) &&
                (!request.settings.enclosedFraction ||
                 printEnclosedIsovalue(input, request, messages, info));
    }
    std::cout << terminalSafe(info.str());
    if (!printed) return kExitFailure;
    return flushedStandardOutput(messages) ? kExitSuccess : kExitFailure;
  }

  if (!command.quiet) request.beforeSweep = announceLongSweep;
  const bool showProgress = !command.quiet && isatty(STDERR_FILENO) == 1;
  if (command.mode == CommandLine::Mode::gallery) {
    const std::optional<std::vector<int>> mos = galleryMos(command, input, messages);
    if (!mos) return kExitFailure;
    RunProgress progress(messages, showProgress);
    const ConversionOutcome outcome =
        drawGallery(input, request, *mos, messages, progress.callback());
    if (outcome.succeeded()) return kExitSuccess;
    messages.show(kErrorCaption, outcome.message);
    return kExitFailure;
  }
  int worst = kExitSuccess;
  const std::vector<Spin> spins = command.bothSpins ? std::vector<Spin>{Spin::alpha, Spin::beta}
                                                    : std::vector<Spin>{command.settings.spin};
  // A failed MO does not stop the others; the exit status is the worst of them.
  for (const Spin spin : spins) {
    // HOMO and LUMO are each spin set's own.
    const std::optional<std::vector<int>> mos = resolveMos(command, input, spin, messages);
    if (!mos) {
      worst = kExitFailure;
      continue;
    }
    request.settings.spin = spin;
    const std::string spinOutput =
        withSpinName(command.settings.outputPath, spin == Spin::beta ? "beta" : "alpha");
    for (const int mo : *mos) {
      request.settings.moNumber = mo;
      request.settings.outputPath = withMoNumber(spinOutput, mo);
      RunProgress progress(messages, showProgress);
      const ConversionOutcome outcome = drawOrbital(input, request, messages, progress.callback());
      if (!outcome.succeeded()) {
        messages.show(kErrorCaption, outcome.message);
        worst = kExitFailure;
      }
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
  cleanUpBeforeSignalsEnd();
  int status = 1;
  try {
    status = run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::bad_alloc&) {
    std::cerr << kErrorCaption << ": out of memory; try a lower scale\n";
  } catch (const std::exception& error) {
    std::cerr << kErrorCaption << ": " << error.what() << '\n';
  } catch (...) {
    std::cerr << kErrorCaption << ": an unexpected failure\n";
  }
  awaitEndBySignal();
  return status;
}
