#include "cli/options.h"

#include <array>
#include <cmath>
#include <limits>
#include <sstream>

#include "app/colour_text.h"
#include "app/colouring_field.h"
#include "app/settings_check.h"
#include "input/number_text.h"

namespace lobewright {
namespace {

constexpr int32_t kMaxThreads = 256;
constexpr double kGreatestFloat = std::numeric_limits<float>::max();
constexpr int32_t kLeastPictureSide = 16;
constexpr int32_t kGreatestPictureSide = 8192;

// --help: descriptions start in this column and are wrapped to lines of at most kHelpWidth.
constexpr std::size_t kHelpColumn = 22;
constexpr std::size_t kHelpWidth = 95;

constexpr const char* kIntroduction =
    "Draws molecular orbitals of a MOPAC calculation: reads its .out (keyword VECTORS), .aux\n"
    "(keyword AUX) or .mgf (keyword GRAPHF) file and writes, by OUTPUT's extension, a POV-Ray\n"
    "scene (.pov), a LightWave Modeler script (.ls), a Gaussian cube (.cube), a mesh (.glb,\n"
    ".obj with its .mtl, .ply, .stl; 1 unit = 1 Angstrom), a picture (.png, by POV-Ray) or a\n"
    "web page that shows the surface in any browser, offline (.html); or an MO energy-level\n"
    "diagram (.svg, or .png by librsvg) or a gallery of MOs (.png).\n";

constexpr std::array<std::pair<HelpGroup, const char*>, 5> kHelpHeadings = {{
    {HelpGroup::orbitals, "orbitals:"},
    {HelpGroup::fields, "densities (exact model):"},
    {HelpGroup::surface, "surface:"},
    {HelpGroup::output, "output:"},
    {HelpGroup::tail, ""},
}};

std::optional<std::string> chooseMos(CommandLine& command, std::string_view name,
                                     const std::string& text) {
  std::string why;
  auto selection = parseMoSelection(text, why);
  if (!selection) return std::string(name) + ": " + why;
  command.moSelection = std::move(*selection);
  return std::nullopt;
}

std::function<void(CommandLine&)> chooseFrontierMo(MoName::Anchor anchor) {
  return [anchor](CommandLine& command) {
    const MoName mo{anchor, 0};
    command.moSelection = {{mo, mo}};
  };
}

std::optional<std::string> chooseFormat(CommandLine& command, std::string_view name,
                                        const std::string& text) {
  const auto kind = outputKindNamed(text);
  if (!kind) {
    return valueRefusal(name, formatWords(&OutputFormat::name, ", "), text);
  }
  command.settings.outputKind = *kind;
  command.formatNamed = true;
  return std::nullopt;
}

std::optional<std::string> chooseColours(CommandLine& command, std::string_view name,
                                         const std::string& text) {
  const std::size_t comma = text.find(',');
  const auto positive = parseColour(std::string_view(text).substr(0, comma));
  const auto negative = comma == std::string::npos
                            ? std::nullopt
                            : parseColour(std::string_view(text).substr(comma + 1));
  if (!positive || !negative) {
    return valueRefusal(name, "two colours as POSITIVE,NEGATIVE (names such as red or #rrggbb)",
                        text);
  }
  command.settings.picture.colours = {*positive, *negative};
  command.settings.picture.coloursNamed = true;
  return std::nullopt;
}

std::optional<std::string> chooseColouring(CommandLine& command, std::string_view name,
                                           const std::string& text) {
  std::string why;
  auto source = parseColourSource(text, why);
  if (!source) return valueRefusal(name, why, text);
  command.settings.colouring.source = *source;
  return std::nullopt;
}

std::optional<std::string> chooseColourRange(CommandLine& command, std::string_view name,
                                             const std::string& text) {
  const std::size_t comma = text.find(',');
  const auto low = parseDouble(std::string_view(text).substr(0, comma));
  const auto high = comma == std::string::npos
                        ? std::nullopt
                        : parseDouble(std::string_view(text).substr(comma + 1));
  if (!low || !high || !std::isfinite(*low) || !std::isfinite(*high) || !(*low < *high)) {
    return valueRefusal(name, "two numbers LO,HI with LO below HI", text);
  }
  command.settings.colouring.range = ColouringSettings::Range{*low, *high};
  return std::nullopt;
}

std::optional<std::string> choosePictureSize(CommandLine& command, std::string_view name,
                                             const std::string& text) {
  const std::size_t times = text.find('x');
  const auto width = parseInteger<int32_t>(std::string_view(text).substr(0, times));
  const auto height = times == std::string::npos
                          ? std::nullopt
                          : parseInteger<int32_t>(std::string_view(text).substr(times + 1));
  const auto usable = [](std::optional<int32_t> pixels) {
    return pixels && *pixels >= kLeastPictureSide && *pixels <= kGreatestPictureSide;
  };
  if (!usable(width) || !usable(height)) {
    return valueRefusal(name,
                        "WIDTHxHEIGHT in pixels, each from " + std::to_string(kLeastPictureSide) +
                            " to " + std::to_string(kGreatestPictureSide),
                        text);
  }
  command.settings.picture.width = *width;
  command.settings.picture.height = *height;
  return std::nullopt;
}

// An isovalue, or the share of psi^2 the surface encloses: "0.02", "85%".
std::optional<std::string> chooseThreshold(CommandLine& command, std::string_view name,
                                           const std::string& text) {
  const bool percentage = !text.empty() && text.back() == '%';
  const auto number = parseDouble(percentage ? text.substr(0, text.size() - 1) : text);
  const bool taken = number && (percentage ? *number > 0.0 && *number < 100.0
                                           : std::fabs(*number) <= kGreatestFloat);
  if (!taken) {
    return valueRefusal(name, "a number, or a percentage above 0 and below 100 such as 85%", text);
  }
  if (percentage) {
    command.settings.enclosedFraction = *number / 100.0;
  } else {
    command.settings.threshold = static_cast<float>(*number);
    command.settings.enclosedFraction.reset();
  }
  command.thresholdNamed = true;
  return std::nullopt;
}

std::vector<Option> makeOptions() {
  using Mode = CommandLine::Mode;
  std::vector<std::string> formatNames;
  for (const OutputFormat& format : outputFormats()) formatNames.emplace_back(format.name);
  return {
      // orbitals
      {.names = {"--mo"},
       .metavariable = "LIST",
       .help = "MOs to draw: numbers, HOMO, LUMO, HOMO-k, LUMO+k, ranges A..B, separated by "
               "commas (default 1); several need {mo} in OUTPUT",
       .group = HelpGroup::orbitals,
       .value = freeText(chooseMos),
       .example = "HOMO-1",
       .oneOf = "MO"},
      {.names = {"--homo", "--lumo"},
       .help = "the highest occupied or lowest unoccupied MO of INPUT",
       .group = HelpGroup::orbitals,
       .value =
           flagPair(chooseFrontierMo(MoName::Anchor::homo), chooseFrontierMo(MoName::Anchor::lumo)),
       .oneOf = "MO"},
      {.names = {"--spin"},
       .help = "the spin set of a UHF calculation (default alpha); both draws each MO of both "
               "sets and needs {spin} in OUTPUT",
       .group = HelpGroup::orbitals,
       .value = choiceOfWords({"alpha", "beta", "both"},
                              [](CommandLine& c, std::size_t word) {
                                c.settings.spin = word == 1 ? Spin::beta : Spin::alpha;
                                c.bothSpins = word == 2;
                              }),
       .example = "beta"},
      {.names = {"--orbitals"},
       .help = "classic: PM3 s and p functions as the original design computed them; exact: "
               "the calculation's own basis, de-orthogonalised (default: classic for MOPAC 6 "
               "output, exact for everything else)",
       .group = HelpGroup::orbitals,
       .value = choice<OrbitalModel>(
           {{"classic", OrbitalModel::classic}, {"exact", OrbitalModel::exact}},
           [](CommandLine& c, OrbitalModel model) { c.settings.model = model; }),
       .example = "exact"},
      {.names = {"--no-deorthogonalise"},
       .help = "the exact model with the printed coefficients as they are",
       .group = HelpGroup::orbitals,
       .value = flag([](CommandLine& c) { c.settings.deorthogonalise = false; })},
      {.names = {"--list"},
       .help = "print the MOs of INPUT with energies and occupancies, write nothing",
       .group = HelpGroup::orbitals,
       .value = flag([](CommandLine& c) { c.mode = Mode::list; })},

      // fields
      {.names = {"--field"},
       .help = "what to draw: an MO (the default), the total density of the electrons, that of "
               "one spin, the spin density alpha - beta (both signs), or the electrostatic "
               "potential of the cores and electrons; densities in e/bohr^3, drawn at 0.002 "
               "(0.005 for the spin density), the potential in hartree per unit charge (a.u.), "
               "drawn at 0.05, unless --threshold says otherwise",
       .group = HelpGroup::fields,
       .value =
           choice<FieldKind>({{"mo", FieldKind::mo},
                              {"density", FieldKind::density},
                              {"alpha", FieldKind::alpha},
                              {"beta", FieldKind::beta},
                              {"spin", FieldKind::spin},
                              {"esp", FieldKind::esp}},
                             [](CommandLine& c, FieldKind kind) { c.settings.field.kind = kind; }),
       .example = "density"},
      {.names = {"--minus"},
       .metavariable = "FILE",
       .help = "subtract the same field of another calculation of the same atoms at the same "
               "geometry, point by point",
       .group = HelpGroup::fields,
       .value = freeText([](CommandLine& c, std::string_view, const std::string& file) {
         c.settings.field.minusFile = file;
         return std::optional<std::string>();
       }),
       .example = "cation.aux",
       .oneOf = "difference"},
      {.names = {"--fukui"},
       .help = "a Fukui function of INPUT, the neutral calculation of N electrons: plus "
               "rho(N+1) - rho(N), minus rho(N) - rho(N-1), zero their mean, dual plus - minus; "
               "drawn at 0.005 unless --threshold says otherwise",
       .group = HelpGroup::fields,
       .value =
           choice<FukuiKind>({{"plus", FukuiKind::plus},
                              {"minus", FukuiKind::minus},
                              {"zero", FukuiKind::zero},
                              {"dual", FukuiKind::dual}},
                             [](CommandLine& c, FukuiKind kind) { c.settings.field.fukui = kind; }),
       .example = "minus",
       .oneOf = "difference",
       .needs = {"--cation", "c.aux"}},
      {.names = {"--anion"},
       .metavariable = "FILE",
       .help = "the calculation of N+1 electrons at INPUT's geometry, for --fukui",
       .group = HelpGroup::fields,
       .value = freeText([](CommandLine& c, std::string_view, const std::string& file) {
         c.settings.field.anionFile = file;
         return std::optional<std::string>();
       }),
       .example = "anion.aux",
       .needs = {"--fukui", "plus"}},
      {.names = {"--cation"},
       .metavariable = "FILE",
       .help = "the calculation of N-1 electrons at INPUT's geometry, for --fukui",
       .group = HelpGroup::fields,
       .value = freeText([](CommandLine& c, std::string_view, const std::string& file) {
         c.settings.field.cationFile = file;
         return std::optional<std::string>();
       }),
       .example = "cation.aux",
       .needs = {"--fukui", "minus"}},

      // surface
      {.names = {"--scale"},
       .metavariable = "N",
       .help = "grid points per Angstrom, 1 to 100 (default 4)",
       .group = HelpGroup::surface,
       .value = integer(kLeastScale, kGreatestScale,
                        [](CommandLine& c, int32_t n) { c.settings.scale = n; }),
       .example = "9"},
      {.names = {"--threshold"},
       .metavariable = "X|P%",
       .help = "value of the surface, above 0 (default 0.05 for an MO); or P%: the surface that "
               "encloses P percent of psi^2 (of the electrons, for densities), whose value --info "
               "and the picture's caption tell",
       .group = HelpGroup::surface,
       .value = freeText(chooseThreshold),
       .example = "85%"},
      {.names = {"--margin"},
       .metavariable = "X",
       .help = "Angstrom of space around the atoms in a cube (default: enough to hold every "
               "point where the field reaches a fifth of the threshold)",
       .group = HelpGroup::surface,
       .value =
           real([](CommandLine& c, double x) { c.settings.cubeMargin = x; }, RealRange{0.0, 100.0}),
       .example = "3",
       .serves = Serves::cubes},
      {.names = {"--accuracy"},
       .metavariable = "N",
       .help = "bisection steps per crossing edge (classic scenes), 1 to 100 (default 3)",
       .group = HelpGroup::surface,
       .value = integer(kLeastAccuracy, kGreatestAccuracy,
                        [](CommandLine& c, int32_t n) { c.settings.accuracy = n; }),
       .example = "5"},
      {.names = {"--cutoff"},
       .metavariable = "X",
       .help = "Angstrom beyond which an atom is left out (classic model, default 3.5)",
       .group = HelpGroup::surface,
       .value = real([](CommandLine& c, double x) { c.settings.cutoff = static_cast<float>(x); }),
       .example = "4.25"},
      {.names = {"--params"},
       .metavariable = "FILE",
       .help = "PM3 parameter file of the classic model (default pm3r.txt in the working "
               "folder, or the built-in table with a warning)",
       .group = HelpGroup::surface,
       .value = freeText([](CommandLine& c, std::string_view, const std::string& file) {
         c.parameterFile = file;
         c.parameterFileNamed = true;
         return std::optional<std::string>();
       }),
       .example = "p.txt"},
      {.names = {"--threads"},
       .metavariable = "N",
       .help = "threads for the sweep (default: all cores)",
       .group = HelpGroup::surface,
       .value = integer(1, kMaxThreads, [](CommandLine& c, int32_t n) { c.threads = n; }),
       .example = "2"},

      // output
      {.names = {"--format"},
       .metavariable = "NAME",
       .help = listedWords(formatNames, "or") + " (default from OUTPUT)",
       .group = HelpGroup::output,
       .value = freeText(chooseFormat),
       .example = "glb"},
      {.names = {"--no-structure"},
       .help = "leave out the ball-and-stick model",
       .group = HelpGroup::output,
       .value = flag([](CommandLine& c) { c.settings.showStructure = false; })},
      {.names = {"--bond-length"},
       .metavariable = "X",
       .help = "longest atom distance drawn as a bond in classic scenes (default 1.6)",
       .group = HelpGroup::output,
       .value =
           real([](CommandLine& c, double x) { c.settings.bondLength = static_cast<float>(x); }),
       .example = "1.5"},
      {.names = {"--frame"},
       .help = "a .pov scene with a camera fitted to the molecule (as for .png)",
       .group = HelpGroup::output,
       .value = flag([](CommandLine& c) { c.settings.picture.frame = true; }),
       .serves = Serves::framedPictures},
      {.names = {"--view"},
       .help = "where a framed scene or picture looks from (default best: across the molecule, "
               "tilted off a flat pi system's plane, a localized orbital framed with its "
               "neighbourhood); whole: the best view of the whole molecule",
       .group = HelpGroup::output,
       .value = choice<ViewDirection>(
           {{"x", ViewDirection::x},
            {"y", ViewDirection::y},
            {"z", ViewDirection::z},
            {"best", ViewDirection::best},
            {"whole", ViewDirection::whole}},
           [](CommandLine& c, ViewDirection view) { c.settings.picture.view = view; }),
       .example = "y",
       .serves = Serves::framedPictures},
      {.names = {"--colors"},
       .metavariable = "POS,NEG",
       .help = "the lobes' colours: names (red, blue, ...) or #rrggbb",
       .group = HelpGroup::output,
       .value = freeText(chooseColours),
       .example = "orange,#2040ff",
       .serves = Serves::surfaces},
      {.names = {"--color-by"},
       .metavariable = "FIELD",
       .help = "colour the surface by another field of the same calculations, taken at each "
               "vertex: " +
               colourSourceWords() +
               "; the Fukui functions take --anion and --cation as --fukui does",
       .group = HelpGroup::output,
       .value = freeText(chooseColouring),
       .example = "density",
       .serves = Serves::colouredSurfaces},
      {.names = {"--color-range"},
       .metavariable = "LO,HI",
       .help = "the values at the palette's ends (default: -max to +max of |value| on the "
               "surface)",
       .group = HelpGroup::output,
       .value = freeText(chooseColourRange),
       .example = "-0.05,0.05",
       .serves = Serves::colouredSurfaces,
       .needs = {"--color-by", "density"}},
      {.names = {"--palette"},
       .help = "the colours of --color-by, low to high (default red-white-blue: red for "
               "negative values, white at 0, blue for positive; viridis rises evenly in "
               "lightness)",
       .group = HelpGroup::output,
       .value = choice<Palette>(
           {{"red-white-blue", Palette::redWhiteBlue}, {"viridis", Palette::viridis}},
           [](CommandLine& c, Palette palette) { c.settings.colouring.palette = palette; }),
       .example = "viridis",
       .serves = Serves::colouredSurfaces,
       .needs = {"--color-by", "density"}},
      {.names = {"--transparent"},
       .metavariable = "F",
       .help = "how much light passes through the lobes, 0 to 1 (default 0)",
       .group = HelpGroup::output,
       .value = real([](CommandLine& c, double f) { c.settings.picture.transparency = f; },
                     RealRange{0.0, 1.0}),
       .example = "0.4",
       .serves = Serves::framedPictures},
      {.names = {"--diagram"},
       .help = "write the MO energy-level diagram (OUTPUT .svg or .png): HOMO-5 to LUMO+5 unless "
               "--mo chooses, both spin sets of a UHF run unless --spin chooses one",
       .group = HelpGroup::output,
       .value = flag([](CommandLine& c) { c.mode = Mode::diagram; })},
      {.names = {"--gallery"},
       .help = "one .png of every MO of --mo (default HOMO-2 to LUMO+2), each in a panel with "
               "its number, label and energy, all in the same view and scale",
       .group = HelpGroup::output,
       .value = flag([](CommandLine& c) { c.mode = Mode::gallery; })},
      {.names = {"--size"},
       .metavariable = "WxH",
       .help = "a picture's or diagram's pixels (default 1280x960)",
       .group = HelpGroup::output,
       .value = freeText(choosePictureSize),
       .example = "640x480",
       .serves = Serves::pngPictures},

      // the tail
      {.names = {"--info"},
       .help = "print what INPUT holds and what is known of the MO: its energy, occupancy, "
               "marks, degenerate partners and weight on each atom (for MOPAC 6 output, the "
               "atoms and coefficients the classic model reads)",
       .group = HelpGroup::tail,
       .value = flag([](CommandLine& c) { c.mode = Mode::info; })},
      {.names = {"--quiet"},
       .help = "no progress bar",
       .group = HelpGroup::tail,
       .value = flag([](CommandLine& c) { c.quiet = true; })},
      {.names = {"--help", "--version"},
       .group = HelpGroup::tail,
       .value = flagPair([](CommandLine& c) { c.mode = Mode::help; },
                         [](CommandLine& c) { c.mode = Mode::version; })},
  };
}

// The option's names and value as the help's left column shows them: "  --spin alpha|beta".
std::string optionLabel(const Option& option) {
  std::string label = " ";
  for (std::size_t i = 0; i < option.names.size(); ++i) {
    label += (i == 0 ? " " : ", ") + option.names[i];
  }
  std::string metavariable = option.metavariable;
  for (const std::string& word : option.value.words) {
    metavariable += (metavariable.empty() ? "" : "|") + word;
  }
  if (!metavariable.empty()) label += " " + metavariable;
  return label;
}

// The option's lines of the help: its label, then its description wrapped to the width, every
// line of it from the description's column; the description starts on a line of its own when
// the label reaches into the column.
std::string optionHelp(const Option& option) {
  std::string lines;
  std::string line = optionLabel(option);
  if (option.help.empty()) return line + '\n';
  if (line.size() + 2 > kHelpColumn) {
    lines = line + '\n';
    line.clear();
  }
  line.resize(kHelpColumn, ' ');
  std::istringstream words(option.help);
  for (std::string word; words >> word;) {
    const bool lineHasWords = line.size() > kHelpColumn;
    if (lineHasWords && line.size() + 1 + word.size() > kHelpWidth) {
      lines += line + '\n';
      line.assign(kHelpColumn, ' ');
    } else if (lineHasWords) {
      line += ' ';
    }
    line += word;
  }
  return lines + line + '\n';
}

}  // namespace

const std::vector<Option>& converterOptions() {
  static const std::vector<Option> options = makeOptions();
  return options;
}

std::string converterIntroduction() { return kIntroduction; }

std::string helpText() {
  std::string help = std::string(kUsage) + "\n\n" + kIntroduction;
  for (const auto& [group, heading] : kHelpHeadings) {
    help += '\n';
    if (*heading != '\0') help += std::string(heading) + '\n';
    for (const Option& option : converterOptions()) {
      if (option.group == group) help += optionHelp(option);
    }
  }
  return help;
}

std::string formatWords(std::string_view OutputFormat::*word, std::string_view separator) {
  std::string words;
  for (const OutputFormat& format : outputFormats()) {
    if (!words.empty()) words.append(separator);
    words.append(format.*word);
  }
  return words;
}

}  // namespace lobewright
