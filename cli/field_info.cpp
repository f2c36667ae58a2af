#include "cli/field_info.h"

#include <cmath>

#include "app/enclosed_surface.h"
#include "app/field_build.h"
#include "input/number_text.h"

namespace lobewright {
namespace {

bool printEnclosedIsovalue(const LoadedInput& input, const ConversionRequest& request,
                           MessageSink& messages, std::ostream& out, const Field& field) {
  const EnclosingSurface surface =
      findEnclosingSurface(field, input.exact->atoms, *request.settings.enclosedFraction,
                           enclosedQuantity(request.settings.field), request.sweep.threads);
  if (!surface.error.empty()) {
    messages.show(kErrorCaption, inputErrorMessage(request.inputFile, surface.error));
    return false;
  }
  out << "isovalue " << surface.sentence << '\n';
  return true;
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
    out << "electrons " << fixedNumber(*built.integral, 4) << " (the integral over all space)";
    if (built.expectedElectrons) {
      out << "; " << built.expectation << ' ' << fixedNumber(*built.expectedElectrons, 0);
    }
    out << '\n';
  }
  return !request.settings.enclosedFraction ||
         printEnclosedIsovalue(input, request, messages, out, *built.field);
}

bool printEnclosedIsovalue(LoadedInput& input, const ConversionRequest& request,
                           MessageSink& messages, std::ostream& out) {
  const BuiltField built = buildField(input, request);
  if (!built.field) {
    messages.show(kErrorCaption, built.failure.message);
    return false;
  }
  return printEnclosedIsovalue(input, request, messages, out, *built.field);
}

}  // namespace lobewright
