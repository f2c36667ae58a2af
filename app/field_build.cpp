#include "app/field_build.h"

#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "app/exact_input.h"
#include "input/elements.h"
#include "input/number_text.h"
#include "orbital/combined_field.h"
#include "orbital/density_field.h"
#include "orbital/density_matrix.h"
#include "orbital/potential_field.h"
#include "orbital/slater_overlap.h"

namespace lobewright {
namespace {

constexpr double kSameGeometry = 1e-4;  // Angstrom
constexpr double kWholeElectron = 1e-3;

std::string fileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

DensityKind densityKindOf(FieldKind kind) {
  switch (kind) {
    case FieldKind::alpha:
      return DensityKind::alpha;
    case FieldKind::beta:
      return DensityKind::beta;
    case FieldKind::spin:
      return DensityKind::spin;
    case FieldKind::mo:
    case FieldKind::density:
    case FieldKind::esp:
      break;
  }
  return DensityKind::total;
}

// The cores the file states, or those of MOPAC's methods for the elements.
std::optional<std::vector<double>> coreChargesOf(const Calculation& calculation,
                                                 std::string& error) {
  if (!calculation.coreCharges.empty()) return calculation.coreCharges;
  std::vector<double> cores;
  for (std::size_t i = 0; i < calculation.atoms.size(); ++i) {
    const std::optional<int> number = atomicNumber(calculation.atoms[i].symbol);
    const std::optional<int> core = number ? valenceElectrons(*number) : std::nullopt;
    if (!core) {
      error = "the charge of the core of atom " + std::to_string(i + 1) + " (" +
              calculation.atoms[i].symbol + ") is not known; the .aux file states it.";
      return std::nullopt;
    }
    cores.push_back(*core);
  }
  return cores;
}

std::string densityName(DensityKind kind) {
  switch (kind) {
    case DensityKind::alpha:
      return "alpha density";
    case DensityKind::beta:
      return "beta density";
    case DensityKind::spin:
      return "spin density (alpha - beta)";
    case DensityKind::total:
      break;
  }
  return "total density";
}

std::string fieldName(FieldKind kind) {
  if (kind == FieldKind::esp) return "electrostatic potential";
  return densityName(densityKindOf(kind));
}

// One calculation's density as a field, with the electrons it holds and, when asked for, its
// integral over all space.
struct Density {
  std::unique_ptr<Field> field;
  double electrons = 0.0;
  std::string error;
  double integral = 0.0;
};

// sum_mu,nu D_mu,nu S_mu,nu, with S from the basis's overlap integrals.
double integralOf(const Calculation& calculation, const SymmetricMatrix& density) {
  const SymmetricMatrix overlap = overlapMatrix(calculation);
  double sum = 0.0;
  for (std::size_t i = 0; i < density.size(); ++i) {
    for (std::size_t j = 0; j <= i; ++j)
      sum += (i == j ? 1.0 : 2.0) * density(i, j) * overlap(i, j);
  }
  return sum;
}

Density densityField(Calculation& calculation, DensityKind kind, bool withIntegral,
                     const ConversionRequest& request) {
  if (request.beforeDensityMatrix) request.beforeDensityMatrix(calculation.basis.size());
  if (std::string error; !ensureOverlap(calculation, error)) return {nullptr, 0.0, error};
  AoDensity density =
      densityOf(calculation, kind, request.sweep.threads,
                request.keepInverseSqrtOverlap ? &calculation.keptInverseSqrtOverlap : nullptr);
  if (density.matrix.empty()) return {nullptr, 0.0, density.error};
  try {
    return {std::make_unique<DensityField>(calculation, density.matrix),
            density.electrons,
            {},
            withIntegral ? integralOf(calculation, density.matrix) : 0.0};
  } catch (const std::invalid_argument& unusable) {
    return {nullptr, 0.0, unusable.what()};
  }
}

// The electrons the file says the calculation holds, for the kind of density.
std::optional<double> statedElectrons(const Calculation& calculation, DensityKind kind) {
  const auto count = [](const std::optional<int>& value) -> std::optional<double> {
    if (!value) return std::nullopt;
    return static_cast<double>(*value);
  };
  switch (kind) {
    case DensityKind::total:
      return count(calculation.electronCount);
    case DensityKind::alpha:
      return count(calculation.alphaElectronCount);
    case DensityKind::beta:
      return count(calculation.betaElectronCount);
    case DensityKind::spin:
      if (calculation.alphaElectronCount && calculation.betaElectronCount) {
        return *calculation.alphaElectronCount - *calculation.betaElectronCount;
      }
      // A restricted run has as many electrons of either spin.
      return calculation.electronCount ? std::optional<double>(0.0) : std::nullopt;
  }
  return std::nullopt;
}

// A field of one calculation: its MO or density, as the settings ask.
struct Term {
  std::unique_ptr<Field> field;
  bool cancelled = false;
  std::optional<double> electrons;
  std::optional<double> stated;
  std::string error;
  std::optional<double> integral;
  std::unique_ptr<Field> extent;  // the density a potential is made of
};

Term failedTerm(std::string error) {
  Term term;
  term.error = std::move(error);
  return term;
}

// piecesProgress is told how far the making of a potential's pieces has got.
Term termOf(Calculation& calculation, const ConversionRequest& request, const std::string& path,
            bool withIntegral, const ProgressCallback& piecesProgress) {
  const ConversionSettings& settings = request.settings;
  Term term;
  if (settings.field.kind == FieldKind::mo && settings.field.fukui == FukuiKind::none) {
    ExactOrbitalInput orbital = exactOrbitalOf(calculation, settings, path);
    if (!orbital.orbital) return failedTerm(orbital.failure.message);
    term.field = std::make_unique<ExactOrbital>(std::move(*orbital.orbital));
    return term;
  }
  const DensityKind kind = densityKindOf(settings.field.kind);
  Density density = densityField(calculation, kind, withIntegral, request);
  if (!density.field) return failedTerm(withReason(kInputFileErrorMessage, path, density.error));
  if (settings.field.kind == FieldKind::esp) {
    std::string error;
    const std::optional<std::vector<double>> cores = coreChargesOf(calculation, error);
    if (!cores) return failedTerm(withReason(kInputFileErrorMessage, path, error));
    PieceMaking making{nullptr, request.stop};
    if (piecesProgress) {
      making.madePieces = [&piecesProgress](std::size_t made, std::size_t total) {
        piecesProgress(static_cast<int>(100 * made / total));
      };
    }
    try {
      term.field = std::make_unique<PotentialField>(calculation.atoms, *cores, *density.field,
                                                    request.sweep.threads, making);
    } catch (const PotentialCancelled&) {
      term.cancelled = true;
      return term;
    }
    term.extent = std::move(density.field);
    return term;
  }
  term.field = std::move(density.field);
  term.electrons = density.electrons;
  term.stated = statedElectrons(calculation, kind);
  if (withIntegral) term.integral = density.integral;
  return term;
}

BuiltField refusedField(ConversionStatus status, std::string message) {
  BuiltField built;
  built.failure = {status, std::move(message)};
  return built;
}

std::string moDescription(const Calculation& calculation, const ConversionSettings& settings,
                          const std::string& path) {
  std::string text = (calculation.localized ? "LMO " : "MO ") + std::to_string(settings.moNumber);
  if (settings.spin == Spin::beta) text += " (beta)";
  return text + " of " + fileName(path);
}

BuiltField fukuiField(LoadedInput& input, const ConversionRequest& request, bool withIntegral) {
  const FieldSettings& field = request.settings.field;
  const bool needsAnion = field.fukui != FukuiKind::minus;
  const bool needsCation = field.fukui != FukuiKind::plus;
  if (needsAnion && !input.anion) {
    return refusedField(ConversionStatus::unusableSettings,
                        "This Fukui function needs the calculation of the anion (--anion FILE).");
  }
  if (needsCation && !input.cation) {
    return refusedField(ConversionStatus::unusableSettings,
                        "This Fukui function needs the calculation of the cation (--cation FILE).");
  }
  struct Part {
    Calculation* calculation;
    const std::string* path;
    double expected;  // electrons, relative to the neutral's
    double weight;
    const char* role;
  };
  // f+ = rho(N+1) - rho(N), f- = rho(N) - rho(N-1), f0 = (rho(N+1) - rho(N-1)) / 2,
  // dual = f+ - f-.
  const double neutralWeight = field.fukui == FukuiKind::plus    ? -1.0
                               : field.fukui == FukuiKind::minus ? 1.0
                               : field.fukui == FukuiKind::zero  ? 0.0
                                                                 : -2.0;
  const double ionWeight = field.fukui == FukuiKind::zero ? 0.5 : 1.0;
  std::vector<Part> parts{{&*input.exact, &request.inputFile, 0.0, neutralWeight, "neutral"}};
  if (needsAnion) parts.push_back({&*input.anion, &field.anionFile, 1.0, ionWeight, "anion"});
  const double cationWeight = field.fukui == FukuiKind::dual ? 1.0 : -ionWeight;
  if (needsCation)
    parts.push_back({&*input.cation, &field.cationFile, -1.0, cationWeight, "cation"});

  BuiltField built;
  auto combined = std::make_unique<CombinedField>();
  double electrons = 0.0;
  double integral = 0.0;
  double neutralElectrons = 0.0;
  for (Part& part : parts) {
    if (part.calculation != &*input.exact) {
      if (auto problem =
              differentAtoms(*input.exact, request.inputFile, *part.calculation, *part.path)) {
        return refusedField(ConversionStatus::inputError, *problem);
      }
    }
    Density density = densityField(*part.calculation, DensityKind::total, withIntegral, request);
    if (!density.field) {
      return refusedField(ConversionStatus::inputError,
                          withReason(kInputFileErrorMessage, *part.path, density.error));
    }
    if (part.expected == 0.0) {
      neutralElectrons = density.electrons;
    } else if (std::fabs(density.electrons - (neutralElectrons + part.expected)) > kWholeElectron) {
      return refusedField(ConversionStatus::inputError,
                          fileName(*part.path) + " holds " + fixedNumber(density.electrons, 3) +
                              " electrons, but the " + part.role + " of " +
                              fileName(request.inputFile) + " (" +
                              fixedNumber(neutralElectrons, 3) + ") has " +
                              fixedNumber(neutralElectrons + part.expected, 0) + ".");
    }
    electrons += part.weight * density.electrons;
    integral += part.weight * density.integral;
    if (part.weight != 0.0) combined->add(part.weight, std::move(density.field));
  }
  static constexpr const char* kNames[] = {"", "f+", "f-", "f0", "dual descriptor"};
  built.field = std::move(combined);
  built.description = std::string("Fukui function ") + kNames[static_cast<int>(field.fukui)] +
                      " of " + fileName(request.inputFile);
  built.quantity = "density in e/bohr^3";
  built.electrons = electrons;
  built.expectedElectrons = field.fukui == FukuiKind::dual ? 0.0 : 1.0;
  built.expectation = field.fukui == FukuiKind::dual ? "the dual descriptor integrates to"
                                                     : "a Fukui function integrates to";
  if (withIntegral) built.integral = integral;
  return built;
}

}  // namespace

std::optional<std::string> differentAtoms(const Calculation& first, const std::string& firstName,
                                          const Calculation& second,
                                          const std::string& secondName) {
  const std::string a = fileName(firstName);
  const std::string b = fileName(secondName);
  if (first.atoms.size() != second.atoms.size()) {
    return b + " is not a calculation of the atoms of " + a + ": it holds " +
           std::to_string(second.atoms.size()) + " atoms, " + a + " " +
           std::to_string(first.atoms.size()) + ".";
  }
  for (std::size_t i = 0; i < first.atoms.size(); ++i) {
    const CalculationAtom& x = first.atoms[i];
    const CalculationAtom& y = second.atoms[i];
    const std::string atom = "atom " + std::to_string(i + 1);
    if (x.symbol != y.symbol) {
      return b + " is not a calculation of the atoms of " + a + ": " + atom + " is " + y.symbol +
             " there and " + x.symbol + " here.";
    }
    const double distance = norm(y.position - x.position);
    if (!(distance <= kSameGeometry)) {
      return b + " is not at the geometry of " + a + ": " + atom + " (" + x.symbol + ") lies " +
             fixedNumber(distance, 4) +
             " Angstrom from its place; the fields of two calculations are compared at one "
             "geometry.";
    }
  }
  return std::nullopt;
}

BuiltField buildField(LoadedInput& input, const ConversionRequest& request, bool withIntegral) {
  const ConversionSettings& settings = request.settings;
  const FieldSettings& field = settings.field;
  if (!field.isMo() && !settings.deorthogonalise) {
    return refusedField(
        ConversionStatus::unusableSettings,
        "A density is always de-orthogonalised: over the printed coefficients it would "
        "count 30 to 45 % too many electrons.");
  }
  if (field.fukui != FukuiKind::none) {
    if (field.kind != FieldKind::mo && field.kind != FieldKind::density) {
      return refusedField(ConversionStatus::unusableSettings,
                          "A Fukui function is made of total densities: give no other --field.");
    }
    return fukuiField(input, request, withIntegral);
  }
  // A difference makes two potentials: each fills half of their progress.
  const ProgressCallback& pieces = request.potentialProgress;
  const bool twoTerms = !field.minusFile.empty() && pieces;
  Term term = termOf(*input.exact, request, request.inputFile, withIntegral,
                     twoTerms ? progressShare(pieces, 0, 50) : pieces);
  if (term.cancelled) return refusedField(ConversionStatus::cancelled, kCancelledMessage);
  if (!term.field) return refusedField(ConversionStatus::inputError, term.error);
  BuiltField built;
  const bool mo = field.kind == FieldKind::mo;
  built.description = mo ? moDescription(*input.exact, settings, request.inputFile)
                         : fieldName(field.kind) + " of " + fileName(request.inputFile);
  built.quantity = mo                             ? "psi in bohr^-3/2"
                   : field.kind == FieldKind::esp ? "potential in hartree per unit charge"
                                                  : "density in e/bohr^3";
  built.electrons = term.electrons;
  built.expectedElectrons = term.stated;
  built.expectation = "the file states";
  built.integral = term.integral;
  if (term.extent) {
    built.extent = std::move(term.extent);
    built.extentThreshold = kDensityThreshold;
  }
  if (field.minusFile.empty()) {
    built.field = std::move(term.field);
    return built;
  }
  if (auto problem =
          differentAtoms(*input.exact, request.inputFile, *input.minus, field.minusFile)) {
    return refusedField(ConversionStatus::inputError, *problem);
  }
  Term subtracted = termOf(*input.minus, request, field.minusFile, withIntegral,
                           twoTerms ? progressShare(pieces, 50, 100) : pieces);
  if (subtracted.cancelled) return refusedField(ConversionStatus::cancelled, kCancelledMessage);
  if (!subtracted.field) return refusedField(ConversionStatus::inputError, subtracted.error);
  auto difference = std::make_unique<CombinedField>();
  difference->add(1.0, std::move(term.field));
  difference->add(-1.0, std::move(subtracted.field));
  built.field = std::move(difference);
  built.description += " minus that of " + fileName(field.minusFile);
  if (built.electrons && subtracted.electrons) *built.electrons -= *subtracted.electrons;
  if (built.integral && subtracted.integral) *built.integral -= *subtracted.integral;
  if (built.expectedElectrons && subtracted.stated) {
    *built.expectedElectrons -= *subtracted.stated;
    built.expectation = "the files state";
  } else {
    built.expectedElectrons.reset();
  }
  return built;
}

}  // namespace lobewright
