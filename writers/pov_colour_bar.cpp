#include "writers/pov_colour_bar.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "writers/real_format.h"

namespace lobewright {
namespace {

// Sizes in units of the picture's height, for a picture of kWideAspect or wider; narrower
// pictures take them smaller.
constexpr double kWideAspect = 4.0 / 3.0;
constexpr double kStripWidth = 0.40;
constexpr double kMargin = 0.035;
constexpr double kTextHeight = 0.034;
constexpr double kLineStep = 1.3 * kTextHeight;
constexpr double kBarWidth = 0.045;
constexpr double kLabelGap = 0.02;
constexpr std::size_t kTitleLineLength = 15;  // characters
constexpr int kSlices = 96;
constexpr Rgb kTextColour{0.08f, 0.08f, 0.08f};
constexpr Rgb kFrameColour{0.35f, 0.35f, 0.35f};

double sizeFactor(double aspect) { return std::min(1.0, aspect / kWideAspect); }

// The title in lines of at most kTitleLineLength characters, broken between words.
std::vector<std::string> titleLines(const std::string& title) {
  std::vector<std::string> lines;
  std::istringstream words(title);
  for (std::string word; words >> word;) {
    if (!lines.empty() && lines.back().size() + 1 + word.size() <= kTitleLineLength) {
      lines.back() += " " + word;
    } else {
      lines.push_back(word);
    }
  }
  return lines;
}

// POV-Ray reads a backslash in a string as an escape: the text keeps plain characters only.
std::string plainText(const std::string& text) {
  std::string plain = text;
  for (char& c : plain) {
    if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20 ||
        static_cast<unsigned char>(c) >= 0x7f) {
      c = '?';
    }
  }
  return plain;
}

// Draws in the plane of the picture at depth `depth`, where a point (x, y) lies on the
// picture's axes in units of its height.
class BarCanvas {
 public:
  explicit BarCanvas(double depth) : m_depth(depth) {}

  void box(double left, double bottom, double right, double top, double behind, const Rgb& colour) {
    m_text += "  box { <";
    appendReal(m_text, left);
    m_text += ",";
    appendReal(m_text, bottom);
    m_text += ",";
    appendReal(m_text, m_depth + behind);
    m_text += ">, <";
    appendReal(m_text, right);
    m_text += ",";
    appendReal(m_text, top);
    m_text += ",";
    appendReal(m_text, m_depth + behind + 1e-4);
    m_text += "> " + shadeless(colour) + " }\n";
  }

  void text(const std::string& words, double left, double baseline, double height) {
    m_text += "  text { internal 2 \"" + plainText(words) + "\" 0.001, 0 " +
              shadeless(kTextColour) + " scale ";
    appendReal(m_text, height);
    m_text += " translate <";
    appendReal(m_text, left);
    m_text += ",";
    appendReal(m_text, baseline);
    m_text += ",";
    appendReal(m_text, m_depth);
    m_text += "> }\n";
  }

  [[nodiscard]] std::string take() { return std::move(m_text); }

 private:
  // Lit by nothing, so the picture shows the colour itself (in linear light, as the scene's).
  static std::string shadeless(const Rgb& colour) {
    std::string text = "pigment { color rgb <";
    appendReal(text, linearFromSrgb(colour.r));
    text += ",";
    appendReal(text, linearFromSrgb(colour.g));
    text += ",";
    appendReal(text, linearFromSrgb(colour.b));
    return text + "> } finish { ambient 1 diffuse 0 } no_shadow";
  }

  double m_depth;
  std::string m_text;
};

}  // namespace

double colourBarShare(double aspect) { return kStripWidth * sizeFactor(aspect) / aspect; }

std::string colourBarNumber(double value) {
  if (value == 0.0 || !std::isfinite(value)) return value == 0.0 ? "0" : "?";
  std::array<char, 32> digits{};
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                    std::chars_format::general, 3);
  std::string text(value > 0.0 ? "+" : "");
  text.append(digits.data(), result.ptr);
  return text;
}

std::string povColourBar(const ColourScale& scale, double aspect, double horizontalAngle) {
  const double g = sizeFactor(aspect);
  const double text = kTextHeight * g;
  const double step = kLineStep * g;
  const double margin = kMargin * g;
  // The camera's picture spans aspect by 1 at this depth.
  BarCanvas canvas(0.5 * aspect / std::tan(horizontalAngle * std::numbers::pi / 360.0));

  const double left = 0.5 * aspect - kStripWidth * g + margin;
  double baseline = 0.5 - margin - text;
  const std::vector<std::string> title = titleLines(scale.title);
  for (const std::string& line : title) {
    canvas.text(line, left, baseline, text);
    baseline -= step;
  }
  const double top = baseline + step - 0.6 * text;
  const double bottom = -0.5 + margin + 0.2 * text;
  const double barRight = left + kBarWidth * g;
  const double frame = 0.004 * g;
  canvas.box(left - frame, bottom - frame, barRight + frame, top + frame, 2e-4, kFrameColour);
  for (int i = 0; i < kSlices; ++i) {
    const double from = bottom + (top - bottom) * i / kSlices;
    const double to = bottom + (top - bottom) * (i + 1) / kSlices;
    canvas.box(left, from, barRight, to, 0.0, paletteColour(scale.palette, (i + 0.5) / kSlices));
  }

  const double labels = barRight + kLabelGap * g;
  const auto valueLines = [&](double value, double firstBaseline) {
    double at = firstBaseline;
    for (const ScaleUnit& unit : scale.units) {
      canvas.text(colourBarNumber(value * unit.perFieldUnit) + " " + unit.name, labels, at, text);
      at -= step;
    }
  };
  const double block = step * static_cast<double>(scale.units.size());
  valueLines(scale.high, top - text);
  valueLines(scale.low, bottom + block - step);
  // 0 between the ends, where it is clear of their values.
  if (scale.low < 0.0 && scale.high > 0.0) {
    const double zero = bottom + (top - bottom) * (-scale.low) / (scale.high - scale.low);
    if (zero - 0.35 * text > bottom + block && zero + 0.65 * text < top - block) {
      canvas.box(barRight, zero - 0.002 * g, barRight + 0.6 * kLabelGap * g, zero + 0.002 * g, 0.0,
                 kTextColour);
      canvas.text("0", labels, zero - 0.35 * text, text);
    }
  }
  return "// The colour bar, in the camera's frame\nunion {\n" + canvas.take() + "}\n";
}

}  // namespace lobewright
