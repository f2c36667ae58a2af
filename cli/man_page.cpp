#include "cli/man_page.h"

#include <array>
#include <sstream>

#include "app/output_format.h"
#include "cli/options.h"
#include "writers/program_version.h"

namespace lobewright {
namespace {

constexpr std::array<std::pair<HelpGroup, const char*>, 5> kSections = {{
    {HelpGroup::orbitals, "Orbitals"},
    {HelpGroup::fields, "Densities (exact model)"},
    {HelpGroup::surface, "Surface"},
    {HelpGroup::output, "Output"},
    {HelpGroup::tail, "Other"},
}};

constexpr const char* kExamples[][2] = {
    {"lobewright-convert caffeine.out caffeine-homo.glb --homo",
     "the HOMO as a glTF mesh with the ball-and-stick model"},
    {"lobewright-convert caffeine.aux caffeine.html --mo HOMO-1",
     "a web page of the MO below the HOMO, to open in any browser"},
    {"lobewright-convert caffeine.aux caffeine-{mo}.png --mo HOMO..LUMO+1 --size 800x600",
     "a picture of each of four MOs"},
    {"lobewright-convert neutral.aux fplus.cube --fukui plus --anion anion.aux",
     "the Fukui function f+ on a grid"},
    {"lobewright-convert caffeine.aux --list", "the MOs with their energies and occupancies"},
};

// Text as roff reads it: backslashes escaped, hyphens as minus signs (options are typed with
// them), and a line that would start with a control character guarded.
std::string roff(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '\\') {
      escaped += "\\e";
    } else if (c == '-') {
      escaped += "\\-";
    } else {
      if ((c == '.' || c == '\'') && (escaped.empty() || escaped.back() == '\n')) escaped += "\\&";
      escaped += c;
    }
  }
  return escaped;
}

// The option's names in bold and its value in italics: \fB\-\-spin\fR \fIalpha|beta\fR.
std::string optionTag(const Option& option) {
  std::string tag;
  for (const std::string& name : option.names) {
    tag += (tag.empty() ? "" : ", ") + ("\\fB" + roff(name) + "\\fR");
  }
  std::string value = option.metavariable;
  for (const std::string& word : option.value.words) value += (value.empty() ? "" : "|") + word;
  if (!value.empty()) tag += " \\fI" + roff(value) + "\\fR";
  return tag;
}

}  // namespace

std::string converterManPage() {
  std::ostringstream page;
  page << ".TH LOBEWRIGHT\\-CONVERT 1 \"\" \"Lobewright " << kProgramVersion
       << "\" \"User Commands\"\n"
       << ".SH NAME\nlobewright\\-convert \\- draw the molecular orbitals and electron densities "
          "of a MOPAC calculation\n"
       << ".SH SYNOPSIS\n";
  std::istringstream usage(kUsage);
  for (std::string line; std::getline(usage, line);) {
    const std::size_t command = line.find("lobewright-convert");
    page << ".br\n" << roff(line.substr(command)) << '\n';
  }
  page << ".SH DESCRIPTION\n" << roff(converterIntroduction());
  page << ".PP\nThe output format follows the extension of \\fIOUTPUT\\fR, or "
          "\\fB\\-\\-format\\fR:\n";
  for (const OutputFormat& format : outputFormats()) {
    page << ".TP\n.B " << roff(std::string(format.extension)) << '\n'
         << roff(std::string(format.description)) << '\n';
  }
  page << ".SH OPTIONS\n";
  for (const auto& [group, heading] : kSections) {
    page << ".SS " << heading << '\n';
    for (const Option& option : converterOptions()) {
      if (option.group != group) continue;
      page << ".TP\n" << optionTag(option) << '\n';
      page << roff(option.help.empty() ? "print this help or the version" : option.help) << '\n';
    }
  }
  page << ".SH EXIT STATUS\n0 on success, 1 when a conversion fails (for several MOs: when any "
          "fails; the others are still written), 2 for a bad command line.\n"
       << ".SH EXAMPLES\n";
  for (const auto& [command, what] : kExamples) {
    page << ".TP\n.B " << roff(command) << '\n' << roff(what) << '\n';
  }
  page << ".SH SEE ALSO\n\\fBlobewright\\fR, the window that does the same; the README in "
          "/usr/share/doc/lobewright; the Python module \\fBlobewright\\fR "
          "(\\fBpython3 \\-c 'import lobewright; help(lobewright)'\\fR).\n";
  return page.str();
}

}  // namespace lobewright
