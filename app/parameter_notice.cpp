#include "app/parameter_notice.h"

#include <fstream>

#include "app/input_kind.h"
#include "app/messages.h"
#include "input/parameter_table.h"

namespace lobewright {

std::optional<std::string> builtInParametersNotice(const ConversionRequest& request) {
  if (request.parameterFileRequired || !request.settings.field.isMo()) return std::nullopt;
  const std::optional<InputKind> kind = detectFileKind(request.inputFile);
  if (!kind || modelFor(*kind, request.settings.model) != OrbitalModel::classic) {
    return std::nullopt;
  }
  std::ifstream file;
  if (!request.parameterFile.empty()) file.open(request.parameterFile);
  if (file.is_open()) {
    if (readParameterTable(file, {}).table) return std::nullopt;
    return builtInParametersMessage(request.parameterFile, "is not a parameter table");
  }
  return builtInParametersMessage(request.parameterFile, "was not found");
}

}  // namespace lobewright
