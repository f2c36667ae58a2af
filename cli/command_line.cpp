#include "cli/command_line.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "app/colour_text.h"
#include "app/output_format.h"
#include "app/settings_check.h"
#include "input/number_text.h"

namespace lobewright {
namespace {

constexpr int32_t kMaxThreads = 256;
constexpr int32_t kLeastPictureSide = 16;
constexpr int32_t kGreatestPictureSide = 8192;

// Every format's name or extension, joined by the separator.
std::string formatWords(std::string_view OutputFormat::*word, std::string_view separator) {
  std::string words;
  for (const OutputFormat& format : outputFormats()) {
    if (!words.empty()) words.append(separator);
    words.append(format.*word);
  }
  return words;
}

// Read as the window stores typed numbers, to double and then to float, so that both write the
// same bytes for the same text; refused when a float cannot hold it.
std::optional<float> parseSettingReal(std::string_view text) {
  const std::optional<double> value = parseDouble(text);
  if (!value || !(std::fabs(*value) <= std::numeric_limits<float>::max())) return std::nullopt;
  return static_cast<float>(*value);
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& arguments) : m_arguments(arguments) {}

  ParsedCommandLine parse() {
    std::vector<std::string> positional;
    bool formatGiven = false;
    bool moGiven = false;
    bool sizeGiven = false;
    std::string pictureOption;  // one that only a framed scene or a picture uses
    std::string surfaceOption;  // one that only the formats drawn from the surface use
    for (m_next = 0; m_next < m_arguments.size() && m_error.empty();) {
      const std::string argument = m_arguments[m_next++];
      if (argument.size() < 2 || argument.rfind("--", 0) != 0) {
        positional.push_back(argument);
      } else if (argument == "--help") {
        m_result.mode = CommandLine::Mode::help;
      } else if (argument == "--version") {
        m_result.mode = CommandLine::Mode::version;
      } else if (argument == "--info") {
        m_result.mode = CommandLine::Mode::info;
      } else if (argument == "--quiet") {
        m_result.quiet = true;
      } else if (argument == "--no-structure") {
        m_result.settings.showStructure = false;
      } else if (argument == "--list") {
        m_result.mode = CommandLine::Mode::list;
      } else if (argument == "--homo" || argument == "--lumo") {
        if (moGiven) refuse("give only one of --mo, --homo and --lumo");
        const MoName name{argument == "--homo" ? MoName::Anchor::homo : MoName::Anchor::lumo, 0};
        m_result.moSelection = {{name, name}};
        moGiven = true;
      } else if (argument == "--params") {
        m_result.parameterFile = value(argument);
        m_result.parameterFileNamed = true;
      } else if (argument == "--mo") {
        if (moGiven) refuse("give only one of --mo, --homo and --lumo");
        moSelection(argument);
        moGiven = true;
      } else if (argument == "--scale") {
        m_result.settings.scale = integer(argument, kLeastScale, kGreatestScale);
      } else if (argument == "--accuracy") {
        m_result.settings.accuracy = integer(argument, kLeastAccuracy, kGreatestAccuracy);
      } else if (argument == "--threads") {
        m_result.threads = integer(argument, 1, kMaxThreads);
      } else if (argument == "--threshold") {
        m_result.settings.threshold = real(argument);
      } else if (argument == "--cutoff") {
        m_result.settings.cutoff = real(argument);
      } else if (argument == "--bond-length") {
        m_result.settings.bondLength = real(argument);
      } else if (argument == "--format") {
        const std::string format = value(argument);
        formatGiven = true;
        if (const auto kind = outputKindNamed(format)) {
          m_result.settings.outputKind = *kind;
        } else if (m_error.empty()) {
          refuse("--format takes " + formatWords(&OutputFormat::name, ", ") + ", not \"" + format +
                 "\"");
        }
      } else if (argument == "--orbitals") {
        const std::string model = value(argument);
        if (model == "classic") {
          m_result.settings.model = OrbitalModel::classic;
        } else if (model == "exact") {
          m_result.settings.model = OrbitalModel::exact;
        } else if (m_error.empty()) {
          refuse("--orbitals takes classic or exact, not \"" + model + "\"");
        }
      } else if (argument == "--spin") {
        const std::string spin = value(argument);
        if (spin == "alpha") {
          m_result.settings.spin = Spin::alpha;
        } else if (spin == "beta") {
          m_result.settings.spin = Spin::beta;
        } else if (m_error.empty()) {
          refuse("--spin takes alpha or beta, not \"" + spin + "\"");
        }
      } else if (argument == "--no-deorthogonalise") {
        m_result.settings.deorthogonalise = false;
      } else if (argument == "--frame") {
        m_result.settings.picture.frame = true;
        pictureOption = argument;
      } else if (argument == "--view") {
        m_result.settings.picture.view = view(argument);
        pictureOption = argument;
      } else if (argument == "--colors") {
        colours(argument);
        surfaceOption = argument;
      } else if (argument == "--transparent") {
        m_result.settings.picture.transparency = fraction(argument);
        pictureOption = argument;
      } else if (argument == "--size") {
        size(argument);
        sizeGiven = true;
      } else {
        refuse("unknown option " + argument);
      }
    }
    if (const auto problem = unusableSettingsMessage(m_result.settings)) refuse(*problem);
    if (m_error.empty()) checkFiles(positional, formatGiven);
    if (m_error.empty()) checkPictureOptions(pictureOption, surfaceOption, sizeGiven);
    if (!m_error.empty()) return {std::nullopt, m_error};
    return {m_result, {}};
  }

 private:
  void refuse(const std::string& why) {
    if (m_error.empty()) m_error = why;
  }

  std::string value(const std::string& option) {
    if (m_next >= m_arguments.size()) {
      refuse(option + " needs a value");
      return {};
    }
    return m_arguments[m_next++];
  }

  void moSelection(const std::string& option) {
    const std::string text = value(option);
    std::string why;
    if (auto selection = parseMoSelection(text, why)) {
      m_result.moSelection = std::move(*selection);
    } else if (m_error.empty()) {
      refuse(option + ": " + why);
    }
  }

  int32_t integer(const std::string& option, int32_t least, int32_t greatest) {
    const std::string text = value(option);
    const auto number = parseInteger<int32_t>(text);
    if (m_error.empty() && (!number || *number < least || *number > greatest)) {
      refuse(option + " takes a whole number from " + std::to_string(least) + " to " +
             std::to_string(greatest) + ", not \"" + text + "\"");
    }
    return number.value_or(0);
  }

  float real(const std::string& option) {
    const std::string text = value(option);
    const auto number = parseSettingReal(text);
    if (m_error.empty() && !number) refuse(option + " takes a number, not \"" + text + "\"");
    return number.value_or(0.0f);
  }

  void checkFiles(const std::vector<std::string>& positional, bool formatGiven) {
    const CommandLine::Mode mode = m_result.mode;
    if (mode == CommandLine::Mode::help || mode == CommandLine::Mode::version) return;
    const std::size_t wanted = mode == CommandLine::Mode::convert ? 2 : 1;
    if (positional.size() != wanted) {
      refuse(mode == CommandLine::Mode::convert
                 ? "give an INPUT and an OUTPUT file"
                 : std::string(mode == CommandLine::Mode::info ? "--info" : "--list") +
                       " takes one INPUT file");
      return;
    }
    m_result.inputFile = positional[0];
    if (mode == CommandLine::Mode::info && severalMos()) {
      refuse("--info shows one MO");
      return;
    }
    if (mode != CommandLine::Mode::convert) return;
    std::string& output = m_result.settings.outputPath;
    output = positional[1];
    if (severalMos() && output.find(kMoPlaceholder) == std::string::npos) {
      refuse(
          "several MOs make several files: put {mo} in the OUTPUT name, as in "
          "caffeine-{mo}.pov");
      return;
    }
    if (formatGiven) return;
    if (const auto kind = outputKindOfPath(output)) {
      m_result.settings.outputKind = *kind;
    } else {
      refuse("cannot tell the format from \"" + output + "\": end it in one of " +
             formatWords(&OutputFormat::extension, " ") + ", or give --format");
    }
  }

  // Whether the selection can name more than one MO, whatever the HOMO turns out to be.
  [[nodiscard]] bool severalMos() const {
    const std::vector<MoRange>& selection = m_result.moSelection;
    if (selection.size() > 1) return true;
    const MoRange& range = selection.front();
    return range.first.anchor != range.last.anchor || range.first.offset != range.last.offset;
  }

  // Options that the chosen format would silently ignore are refused instead.
  void checkPictureOptions(const std::string& pictureOption, const std::string& surfaceOption,
                           bool sizeGiven) {
    if (m_result.mode != CommandLine::Mode::convert) return;
    const ConversionSettings& settings = m_result.settings;
    const bool picture = settings.outputKind == OutputKind::Png;
    const bool framed = picture || settings.outputKind == OutputKind::PovRay;
    if (sizeGiven && !picture) refuse("--size is for .png pictures");
    if (!pictureOption.empty() && !framed) {
      refuse(pictureOption + " is for framed .pov scenes and .png pictures");
    }
    if (settings.outputKind == OutputKind::PovRay && !settings.picture.frame &&
        !pictureOption.empty() && pictureOption != "--frame") {
      refuse(pictureOption + " needs --frame for a .pov scene");
    }
    if (!surfaceOption.empty() && !usesWatertightSurface(settings) && !picture) {
      refuse(surfaceOption + " is for .glb, .obj, .ply, framed .pov and .png output");
    }
  }

  ViewDirection view(const std::string& option) {
    const std::string text = value(option);
    if (text == "x") return ViewDirection::x;
    if (text == "y") return ViewDirection::y;
    if (text == "z") return ViewDirection::z;
    if (text != "best") refuse(option + " takes x, y, z or best, not \"" + text + "\"");
    return ViewDirection::best;
  }

  void colours(const std::string& option) {
    const std::string text = value(option);
    const std::size_t comma = text.find(',');
    const auto positive = parseColour(std::string_view(text).substr(0, comma));
    const auto negative = comma == std::string::npos
                              ? std::nullopt
                              : parseColour(std::string_view(text).substr(comma + 1));
    if (!positive || !negative) {
      refuse(option + " takes two colours as POSITIVE,NEGATIVE (names such as red or " +
             "#rrggbb), not \"" + text + "\"");
      return;
    }
    m_result.settings.picture.colours = {*positive, *negative};
  }

  double fraction(const std::string& option) {
    const std::string text = value(option);
    const auto number = parseDouble(text);
    if (!number || *number < 0.0 || *number > 1.0) {
      refuse(option + " takes a number from 0 to 1, not \"" + text + "\"");
    }
    return number.value_or(0.0);
  }

  void size(const std::string& option) {
    const std::string text = value(option);
    const std::size_t times = text.find('x');
    const auto width = parseInteger<int32_t>(std::string_view(text).substr(0, times));
    const auto height = times == std::string::npos
                            ? std::nullopt
                            : parseInteger<int32_t>(std::string_view(text).substr(times + 1));
    const auto usable = [](std::optional<int32_t> pixels) {
      return pixels && *pixels >= kLeastPictureSide && *pixels <= kGreatestPictureSide;
    };
    if (!usable(width) || !usable(height)) {
      refuse(option + " takes WIDTHxHEIGHT in pixels, each from " +
             std::to_string(kLeastPictureSide) + " to " + std::to_string(kGreatestPictureSide) +
             ", not \"" + text + "\"");
      return;
    }
    m_result.settings.picture.width = *width;
    m_result.settings.picture.height = *height;
  }

  const std::vector<std::string>& m_arguments;
  std::size_t m_next = 0;
  CommandLine m_result;
  std::string m_error;
};

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  return Parser(arguments).parse();
}

}  // namespace lobewright
