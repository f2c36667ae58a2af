#include "app/page_caption.h"

#include <filesystem>
#include <optional>

#include "app/colouring_field.h"
#include "app/orbital_list.h"
#include "input/number_text.h"

namespace lobewright {
namespace {

// The row of the drawn MO among the calculation's; a file without spins matches either.
std::optional<OrbitalRow> captionedRow(const Calculation& calculation, int number, Spin spin) {
  for (OrbitalRow& row : orbitalRows(calculation)) {
    if (row.number == number && (row.spin == Spin::none || row.spin == spin)) return row;
  }
  return std::nullopt;
}

void describeMo(LoadedInput& input, const ConversionSettings& settings, PageCaption& caption) {
  // The classic model reads no energies or labels; the exact model's reading of the same text
  // has them.
  ConversionOutcome unread;
  const std::optional<OrbitalRow> row =
      ensureExactCalculation(input, unread)
          ? captionedRow(*input.exact, settings.moNumber, settings.spin)
          : std::nullopt;
  std::string subject = "MO " + std::to_string(settings.moNumber);
  if (row && row->spin != Spin::none) subject += row->spin == Spin::beta ? " beta" : " alpha";
  if (row && !row->frontier.empty()) subject += " (" + row->frontier + ")";
  caption.details.push_back(subject);
  if (!row) return;
  if (!row->symmetry.empty()) caption.details.push_back("symmetry " + row->symmetry);
  if (row->energy) caption.details.push_back(printedNumber("%.3f eV", *row->energy));
}

}  // namespace

PageCaption pageCaption(LoadedInput& input, const ConversionRequest& request,
                        const std::string& fieldDescription) {
  const ConversionSettings& settings = request.settings;
  PageCaption caption;
  caption.title = std::filesystem::path(request.inputFile).filename().string();
  if (settings.field.isMo()) {
    describeMo(input, settings, caption);
  } else {
    caption.details.push_back(fieldDescription);
  }
  std::string isovalue = std::string("isovalue ") + (settings.field.isSigned() ? "\u00b1" : "") +
                         printedNumber("%g", settings.threshold);
  // An MO's isovalue (or a difference of MOs') is given without its unit, as everywhere else.
  if (settings.field.kind != FieldKind::mo || settings.field.fukui != FukuiKind::none) {
    std::string unit = fieldUnits(settings.field.kind, settings.field.fukui).front().name;
    if (const std::size_t cube = unit.find("^3"); cube != std::string::npos) {
      unit.replace(cube, 2, "\u00b3");
    }
    isovalue += " " + unit;
  }
  caption.details.push_back(isovalue);
  if (input.classic) caption.details.emplace_back("classic model");
  return caption;
}

}  // namespace lobewright
