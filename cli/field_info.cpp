#include "cli/field_info.h"

#include <cmath>
#include <cstdio>

#include "app/enclosed_surface.h"
#include "app/field_build.h"

namespace lobewright {
namespace {

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

bool printFieldInfo(LoadedInput& input, const ConversionRequest& request, MessageSink& messages,
                    std::ostream& out) {
  const BuiltField built = buildField(input, request, true);
  if (!built.field) {
    messages.show(kErrorCaption, built.failure.message);
    return false;
  }
  out << "field " << built.description << ", exact model\n";
  if (built.integral) {
    out << "electrons " << fixed(*built.integral, 4) << " (the integral over all space)";
    if (built.expectedElectrons) {
      out << "; " << built.expectation << ' ' << fixed(*built.expectedElectrons, 0);
    }
    out << '\n';
  }
  if (const auto fraction = request.settings.enclosedFraction) {
    const EnclosingSurface surface =
        findEnclosingSurface(*built.field, input.exact->atoms, *fraction,
                             enclosedQuantity(request.settings.field), request.sweep.threads);
    if (!surface.error.empty()) {
      messages.show(kErrorCaption, inputErrorMessage(request.inputFile, surface.error));
      return false;
    }
    out << "isovalue " << surface.sentence << '\n';
  }
  return true;
}

}  // namespace lobewright
