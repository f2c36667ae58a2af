#include "app/colouring_field.h"

#include "app/field_build.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

// 1 hartree in kcal/mol.
constexpr double kKcalPerMolPerHartree = 627.5095;

struct ColourWord {
  std::string_view word;
  ColouringSettings::Source source;
  std::string_view title;
};

std::vector<ColourWord> colourWords() {
  std::vector<ColourWord> words{
      {"esp", {FieldKind::esp, FukuiKind::none, {}}, "electrostatic potential"}};
  const auto density = [](FieldKind kind) {
    return ColouringSettings::Source{kind, FukuiKind::none, {}};
  };
  const auto fukui = [](FukuiKind kind) {
    return ColouringSettings::Source{FieldKind::density, kind, {}};
  };
  for (const ColourWord& word : {
           ColourWord{"density", density(FieldKind::density), "total density"},
           ColourWord{"alpha", density(FieldKind::alpha), "alpha density"},
           ColourWord{"beta", density(FieldKind::beta), "beta density"},
           ColourWord{"spin", density(FieldKind::spin), "spin density"},
           ColourWord{"fukui-plus", fukui(FukuiKind::plus), "Fukui function f+"},
           ColourWord{"fukui-minus", fukui(FukuiKind::minus), "Fukui function f-"},
           ColourWord{"fukui-zero", fukui(FukuiKind::zero), "Fukui function f0"},
           ColourWord{"fukui-dual", fukui(FukuiKind::dual), "dual descriptor"},
       }) {
    words.push_back(word);
  }
  return words;
}

constexpr std::string_view kMoPrefix = "mo:";

bool sameSource(const ColouringSettings::Source& a, const ColouringSettings::Source& b) {
  return a.kind == b.kind && a.fukui == b.fukui;
}

std::string titleOf(const ColouringSettings::Source& source, const ConversionSettings& settings) {
  if (source.kind == FieldKind::mo && !isFukui(source)) {
    return "MO " + std::to_string(settings.moNumber) +
           (settings.spin == Spin::beta ? " (beta)" : "");
  }
  for (const ColourWord& word : colourWords()) {
    if (sameSource(word.source, source)) return std::string(word.title);
  }
  return {};
}

ColouringField refusedColouring(ConversionStatus status, std::string message) {
  ColouringField refusal;
  refusal.failure = {status, std::move(message)};
  return refusal;
}

}  // namespace

std::optional<ColouringSettings::Source> parseColourSource(std::string_view text,
                                                           std::string& error) {
  const std::string word = asciiLowerCase(text);
  if (word.starts_with(kMoPrefix)) {
    std::string why;
    const auto selection = parseMoSelection(std::string_view(word).substr(kMoPrefix.size()), why);
    const bool one = selection && selection->size() == 1 &&
                     selection->front().first.anchor == selection->front().last.anchor &&
                     selection->front().first.offset == selection->front().last.offset;
    if (!one) {
      error = "one MO after mo:, as in mo:37, mo:HOMO or mo:LUMO+1";
      return std::nullopt;
    }
    return ColouringSettings::Source{FieldKind::mo, FukuiKind::none, selection->front().first};
  }
  for (const ColourWord& known : colourWords()) {
    if (known.word == word) return known.source;
  }
  error = colourSourceWords();
  return std::nullopt;
}

std::string colourSourceWords() {
  std::string words;
  for (const ColourWord& known : colourWords()) words += std::string(known.word) + ", ";
  return words + "or mo:N (N as --mo names one MO)";
}

std::vector<ScaleUnit> fieldUnits(FieldKind kind, FukuiKind fukui) {
  if (kind == FieldKind::esp) return {{"a.u.", 1.0}, {"kcal/mol", kKcalPerMolPerHartree}};
  if (kind == FieldKind::mo && fukui == FukuiKind::none) return {{"bohr^-3/2", 1.0}};
  return {{"e/bohr^3", 1.0}};
}

ColouringField buildColouringField(LoadedInput& input, const ConversionRequest& request) {
  const ColouringSettings::Source& source = *request.settings.colouring.source;
  ConversionRequest colouring = request;
  ConversionSettings& settings = colouring.settings;
  settings.field.kind = source.kind;
  settings.field.fukui = source.fukui;
  settings.field.minusFile.clear();
  if (source.kind == FieldKind::mo && !isFukui(source)) {
    FrontierNumbers frontier;
    if (source.mo.anchor != MoName::Anchor::number) {
      frontier = findFrontierNumbers(input, settings.spin);
      if (!frontier.error.empty())
        return refusedColouring(ConversionStatus::inputError, frontier.error);
    }
    std::string error;
    const auto mos =
        resolveMoSelection({{source.mo, source.mo}}, frontier.homo, frontier.lumo, error);
    if (!mos) {
      return refusedColouring(ConversionStatus::inputError,
                              withReason(kInputFileErrorMessage, {}, error));
    }
    settings.moNumber = mos->front();
  }
  BuiltField built = buildField(input, colouring);
  if (!built.field) return refusedColouring(built.failure.status, built.failure.message);
  return {
      std::move(built.field), titleOf(source, settings), fieldUnits(source.kind, source.fukui), {}};
}

}  // namespace lobewright
