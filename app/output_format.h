#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/conversion_settings.h"

namespace lobewright {

struct OutputFormat {
  OutputKind kind;
  std::string_view name;       // as --format takes it
  std::string_view extension;  // with its point
  std::string_view description;
};

// Every format, the classic two first.
[[nodiscard]] const std::vector<OutputFormat>& outputFormats();
[[nodiscard]] const OutputFormat& outputFormat(OutputKind kind);

// The format named as --format names it ("pov", "glb", ...), or the one a file name's extension
// stands for (any case), or nothing.
[[nodiscard]] std::optional<OutputKind> outputKindNamed(std::string_view name);
[[nodiscard]] std::optional<OutputKind> outputKindOfPath(std::string_view path);

// Whether the format is drawn from the watertight surface rather than the classic sweep.
[[nodiscard]] bool usesWatertightSurface(const ConversionSettings& settings);

}  // namespace lobewright
