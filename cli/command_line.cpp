#include "cli/command_line.h"

#include <cctype>
#include <map>
#include <set>

#include "app/output_format.h"
#include "app/settings_check.h"
#include "cli/options.h"

namespace lobewright {
namespace {

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& arguments) : m_arguments(arguments) {}

  ParsedCommandLine parse() {
    std::vector<std::string> positional;
    for (m_next = 0; m_next < m_arguments.size() && m_error.empty();) {
      const std::string argument = m_arguments[m_next++];
      if (argument.size() < 2 || argument.rfind("--", 0) != 0) {
        positional.push_back(argument);
      } else if (!takeNamed(argument)) {
        refuse("unknown option " + argument);
      }
    }
    m_result.moNamed = m_given.count("--mo") + m_given.count("--homo") > 0;
    m_result.spinNamed = m_given.count("--spin") > 0;
    if (const auto problem = unusableSettingsMessage(m_result.settings)) refuse(*problem);
    if (m_error.empty()) checkFiles(positional);
    if (m_error.empty()) checkDiagramAndGallery();
    if (m_error.empty()) checkPictureOptions();
    if (m_error.empty()) checkFieldOptions();
    if (m_error.empty()) chooseFineGrid();
    if (!m_error.empty()) return {std::nullopt, m_error};
    return {m_result, {}};
  }

 private:
  void refuse(const std::string& why) {
    if (m_error.empty()) m_error = why;
  }

  // Applies the option of the table that has this name, with the value that follows it when it
  // takes one; false when no option has the name.
  bool takeNamed(const std::string& name) {
    for (const Option& option : converterOptions()) {
      for (std::size_t which = 0; which < option.names.size(); ++which) {
        if (option.names[which] == name) {
          take(option, name, which);
          return true;
        }
      }
    }
    return false;
  }

  void take(const Option& option, const std::string& name, std::size_t which) {
    if (!option.oneOf.empty() && !m_oneOfGiven.insert(option.oneOf).second) {
      refuse("give only one of " + namesOneOf(option.oneOf));
      return;
    }
    m_lastServing[option.serves] = name;
    m_given.insert(option.names.front());
    std::string text;
    if (option.value.takesText) {
      if (m_next >= m_arguments.size()) {
        refuse(name + " needs a value");
        return;
      }
      text = m_arguments[m_next++];
    }
    if (const auto why = option.value.take(m_result, name, which, text)) refuse(*why);
  }

  // The names of the options that exclude each other by this word, as a sentence lists them.
  static std::string namesOneOf(const std::string& oneOf) {
    std::vector<std::string> names;
    for (const Option& option : converterOptions()) {
      if (option.oneOf == oneOf) {
        names.insert(names.end(), option.names.begin(), option.names.end());
      }
    }
    return listedWords(names, "and");
  }

  // The last option given that serves only these outputs, or an empty name.
  [[nodiscard]] std::string lastServing(Serves serves) const {
    const auto given = m_lastServing.find(serves);
    return given == m_lastServing.end() ? std::string() : given->second;
  }

  void checkFiles(const std::vector<std::string>& positional) {
    const CommandLine::Mode mode = m_result.mode;
    if (mode == CommandLine::Mode::help || mode == CommandLine::Mode::version) return;
    const bool writes = mode == CommandLine::Mode::convert || drawing();
    const std::size_t wanted = writes ? 2 : 1;
    if (positional.size() != wanted) {
      refuse(writes ? "give an INPUT and an OUTPUT file"
                    : std::string(mode == CommandLine::Mode::info ? "--info" : "--list") +
                          " takes one INPUT file");
      return;
    }
    m_result.inputFile = positional[0];
    if (mode == CommandLine::Mode::info && (severalMos() || m_result.bothSpins)) {
      refuse("--info shows one MO");
      return;
    }
    if (!writes) return;
    std::string& output = m_result.settings.outputPath;
    output = positional[1];
    if (drawing()) {
      checkDrawingOutput();
      return;
    }
    if (severalMos() && output.find(kMoPlaceholder) == std::string::npos) {
      refuse(
          "several MOs make several files: put {mo} in the OUTPUT name, as in "
          "caffeine-{mo}.pov");
      return;
    }
    if (m_result.bothSpins && output.find(kSpinPlaceholder) == std::string::npos) {
      refuse(
          "both spins make two files: put {spin} in the OUTPUT name, as in "
          "radical-{mo}-{spin}.glb");
      return;
    }
    if (m_result.formatNamed) return;
    if (const auto kind = outputKindOfPath(output)) {
      m_result.settings.outputKind = *kind;
    } else {
      refuse("cannot tell the format from \"" + output + "\": end it in one of " +
             formatWords(&OutputFormat::extension, " ") + ", or give --format");
    }
  }

  // Whether the command draws a diagram or a gallery: one file of several MOs.
  [[nodiscard]] bool drawing() const {
    return m_result.mode == CommandLine::Mode::diagram ||
           m_result.mode == CommandLine::Mode::gallery;
  }

  // A diagram is written as .svg or .png, a gallery as .png, whatever --format says.
  void checkDrawingOutput() {
    const std::string& output = m_result.settings.outputPath;
    const std::optional<OutputKind> kind = outputKindOfPath(output);
    const bool png = kind == OutputKind::Png;
    if (m_result.mode == CommandLine::Mode::gallery) {
      if (!png) refuse("--gallery writes a .png OUTPUT, not \"" + output + "\"");
    } else {
      const std::size_t dot = output.rfind('.');
      std::string extension = dot == std::string::npos ? std::string() : output.substr(dot);
      for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      m_result.svgDiagram = extension == ".svg";
      if (!png && !m_result.svgDiagram) {
        refuse("--diagram writes an .svg or .png OUTPUT, not \"" + output + "\"");
      }
    }
    m_result.settings.outputKind = OutputKind::Png;
  }

  // A diagram takes only the options that choose its MOs and its size, and a gallery no field
  // but MOs; anything else would change nothing, so it is refused.
  void checkDiagramAndGallery() {
    static const std::set<std::string> kDiagramOptions = {"--diagram", "--mo",   "--homo",
                                                          "--spin",    "--size", "--quiet"};
    static const std::set<std::string> kNotForGallery = {
        "--field", "--minus", "--fukui", "--anion", "--cation", "--format", "--diagram"};
    if (m_result.mode == CommandLine::Mode::diagram) {
      for (const std::string& given : m_given) {
        if (kDiagramOptions.count(given) == 0) refuse(given + " is not for --diagram");
      }
    } else if (m_result.mode == CommandLine::Mode::gallery) {
      for (const std::string& given : m_given) {
        if (kNotForGallery.count(given) != 0)
          refuse(given + " is not for --gallery, which draws MOs");
      }
    }
  }

  // Pictures and framed scenes are drawn on a grid as fine as their size needs, unless --scale
  // gives one.
  void chooseFineGrid() {
    ConversionSettings& settings = m_result.settings;
    const bool picture = m_result.mode == CommandLine::Mode::gallery ||
                         (m_result.mode == CommandLine::Mode::convert &&
                          (settings.outputKind == OutputKind::Png ||
                           (settings.outputKind == OutputKind::PovRay && settings.picture.frame)));
    settings.picture.fineGrid = picture && m_given.count("--scale") == 0;
  }

  // Whether the selection can name more than one MO, whatever the HOMO turns out to be.
  [[nodiscard]] bool severalMos() const {
    const std::vector<MoRange>& selection = m_result.moSelection;
    if (selection.size() > 1) return true;
    const MoRange& range = selection.front();
    return range.first.anchor != range.last.anchor || range.first.offset != range.last.offset;
  }

  // Options that the chosen format would silently ignore are refused instead.
  void checkPictureOptions() {
    if (m_result.mode != CommandLine::Mode::convert &&
        m_result.mode != CommandLine::Mode::gallery) {
      return;
    }
    const ConversionSettings& settings = m_result.settings;
    const bool picture = settings.outputKind == OutputKind::Png;
    const bool framed = picture || settings.outputKind == OutputKind::PovRay;
    const std::string pngOption = lastServing(Serves::pngPictures);
    const std::string pictureOption = lastServing(Serves::framedPictures);
    const std::string surfaceOption = lastServing(Serves::surfaces);
    const std::string cubeOption = lastServing(Serves::cubes);
    if (!cubeOption.empty() && settings.outputKind != OutputKind::Cube) {
      refuse(cubeOption + " is for .cube output");
    }
    if (!pngOption.empty() && !picture) refuse(pngOption + " is for .png pictures");
    if (!pictureOption.empty() && !framed) {
      refuse(pictureOption + " is for framed .pov scenes and .png pictures");
    }
    // --frame is one of them, and sets the frame the others need.
    if (settings.outputKind == OutputKind::PovRay && !settings.picture.frame &&
        !pictureOption.empty()) {
      refuse(pictureOption + " needs --frame for a .pov scene");
    }
    // STL is drawn from the surface too, but holds no colours.
    if (!surfaceOption.empty() && ((!usesWatertightSurface(settings) && !picture) ||
                                   settings.outputKind == OutputKind::Stl)) {
      refuse(surfaceOption + " is for .glb, .obj, .ply, .html, framed .pov and .png output");
    }
    checkColouringOptions();
  }

  // A surface coloured by a field is written only where the format carries a colour per vertex;
  // the lobes' own colours are then not drawn.
  void checkColouringOptions() {
    const ConversionSettings& settings = m_result.settings;
    const std::string colouringOption = lastServing(Serves::colouredSurfaces);
    if (colouringOption.empty()) return;
    if (!settings.colouring.source) {
      refuse(colouringOption + " is for --color-by");
    } else if (settings.outputKind == OutputKind::PovRay && !settings.picture.frame) {
      refuse(
          "--color-by needs --frame for a .pov scene: the classic scene keeps its lobes' "
          "colours");
    } else if (settings.outputKind == OutputKind::LScript ||
               settings.outputKind == OutputKind::Stl || settings.outputKind == OutputKind::Cube) {
      refuse(
          "--color-by is for .glb, .obj, .ply, framed .pov and .png output, which carry a "
          "colour per vertex");
    } else if (m_given.count("--colors") != 0) {
      refuse("--colors gives the lobes' colours, which --color-by replaces");
    }
  }

  // The options of the fields made of densities fit together, and MOs are chosen only for an MO
  // or a difference of MOs; a density's default isovalue is set.
  void checkFieldOptions() {
    FieldSettings& field = m_result.settings.field;
    const bool fukui = field.fukui != FukuiKind::none;
    const auto& colouring = m_result.settings.colouring.source;
    const FukuiKind colourFukui = colouring ? colouring->fukui : FukuiKind::none;
    for (const char* ion : {"--anion", "--cation"}) {
      if (m_given.count(ion) != 0 && !fukui && colourFukui == FukuiKind::none) {
        refuse(std::string(ion) + " is for --fukui and a Fukui function's --color-by");
      }
    }
    if (fukui && field.kind != FieldKind::mo && field.kind != FieldKind::density) {
      refuse("--fukui draws a function of the total density: give --field density or none");
    }
    for (const auto& [kind, option] :
         {std::pair{field.fukui, "--fukui"}, std::pair{colourFukui, "--color-by"}}) {
      if (needsAnion(kind) && field.anionFile.empty()) {
        refuse(std::string("this ") + option + " needs the calculation of the anion: --anion FILE");
      }
      if (needsCation(kind) && field.cationFile.empty()) {
        refuse(std::string("this ") + option +
               " needs the calculation of the cation: --cation FILE");
      }
    }
    const bool drawsMos = field.kind == FieldKind::mo && !fukui;
    const bool coloursByMo =
        colouring && colouring->kind == FieldKind::mo && colouring->fukui == FukuiKind::none;
    for (const char* moOption : {"--mo", "--homo", "--spin"}) {
      if (coloursByMo && std::string_view(moOption) == "--spin") continue;
      if (!drawsMos && m_given.count(moOption) != 0) {
        refuse(std::string(moOption) + " chooses MOs, but " +
               (fukui ? std::string("--fukui") : "--field " + fieldName(field.kind)) +
               " draws none");
      }
    }
    if (drawsMos || m_result.thresholdNamed) return;
    m_result.settings.threshold = field.kind == FieldKind::esp ? kPotentialThreshold
                                  : field.isSigned()           ? kSignedDensityThreshold
                                                               : kDensityThreshold;
  }

  [[nodiscard]] static bool needsAnion(FukuiKind kind) {
    return kind == FukuiKind::plus || kind == FukuiKind::zero || kind == FukuiKind::dual;
  }
  [[nodiscard]] static bool needsCation(FukuiKind kind) {
    return kind == FukuiKind::minus || kind == FukuiKind::zero || kind == FukuiKind::dual;
  }

  [[nodiscard]] static std::string fieldName(FieldKind kind) {
    for (const Option& option : converterOptions()) {
      if (option.names.front() == "--field") return option.value.words.at(static_cast<int>(kind));
    }
    return {};
  }

  const std::vector<std::string>& m_arguments;
  std::size_t m_next = 0;
  std::set<std::string> m_given;  // the first name of each option given
  CommandLine m_result;
  std::string m_error;
  std::set<std::string> m_oneOfGiven;
  std::map<Serves, std::string> m_lastServing;
};

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  return Parser(arguments).parse();
}

}  // namespace lobewright
