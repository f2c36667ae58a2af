#include "window/status_line.h"

#include <array>
#include <charconv>
#include <filesystem>

#include "app/settings_text.h"

namespace lobewright {
namespace {

// Fixed to one decimal whatever the user's locale: the window's other numbers use the point too.
std::string fixedDecimals(double value, int decimals) {
  std::array<char, 32> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value,
                                 std::chars_format::fixed, decimals);
  return {text.data(), end.ptr};
}

std::string oneDecimal(double value) { return fixedDecimals(value, 1); }

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

std::string withThousands(int64_t count) {
  const uint64_t magnitude =
      count < 0 ? 0 - static_cast<uint64_t>(count) : static_cast<uint64_t>(count);
  const std::string digits = std::to_string(magnitude);
  std::string text = count < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

std::string conversionSummary(const ConversionOutcome& outcome, const std::string& outputPath,
                              double seconds) {
  switch (outcome.status) {
    case ConversionStatus::succeeded:
      return "Wrote " + std::filesystem::path(outputPath).filename().string() + ": " +
             withThousands(outcome.triangles) +
             (outcome.triangles == 1 ? " triangle" : " triangles") + " in " + oneDecimal(seconds) +
             " s";
    case ConversionStatus::cancelled:
      return "Cancelled: nothing was written.";
    default:
      return "Failed: " + firstLine(outcome.message);
  }
}

std::string previewSummary(const ExploredSurface& shown, const std::string& what, double seconds) {
  if (!shown.mesh) return shown.failure.message;
  std::string text = what + ": " + withThousands(shown.triangles) +
                     (shown.triangles == 1 ? " triangle" : " triangles") + " in " +
                     fixedDecimals(seconds, 2) + " s";
  if (!shown.enclosing.empty()) text += "\n" + shown.enclosing;
  if (shown.colouring) {
    const ColourScale& scale = shown.colouring->scale;
    const std::string unit = scale.units.empty() ? "" : " " + scale.units.front().name;
    text += "\ncoloured by the " + scale.title + ": red " +
            formatGeneral(static_cast<float>(scale.low)) + " to blue " +
            formatGeneral(static_cast<float>(scale.high)) + unit;
  }
  for (const std::string& note : shown.notes) text += "\n" + note;
  return text;
}

}  // namespace lobewright
