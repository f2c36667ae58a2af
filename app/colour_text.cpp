#include "app/colour_text.h"

#include <array>
#include <cctype>
#include <string>

namespace lobewright {
namespace {

struct NamedColour {
  std::string_view name;
  Rgb colour;
};

constexpr std::array<NamedColour, 12> kNamedColours{{
    {"red", {1.0f, 0.0f, 0.0f}},
    {"blue", {0.0f, 0.0f, 1.0f}},
    {"green", {0.0f, 0.6f, 0.0f}},
    {"yellow", {1.0f, 0.85f, 0.0f}},
    {"orange", {1.0f, 0.5f, 0.0f}},
    {"purple", {0.5f, 0.0f, 0.6f}},
    {"magenta", {1.0f, 0.0f, 1.0f}},
    {"cyan", {0.0f, 0.8f, 0.9f}},
    {"white", {1.0f, 1.0f, 1.0f}},
    {"grey", {0.5f, 0.5f, 0.5f}},
    {"gray", {0.5f, 0.5f, 0.5f}},
    {"black", {0.0f, 0.0f, 0.0f}},
}};

std::optional<float> hexComponent(std::string_view digits) {
  int value = 0;
  for (const char c : digits) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    value = value * 16 + (lower <= '9' ? lower - '0' : lower - 'a' + 10);
  }
  return static_cast<float>(value) / 255.0f;
}

}  // namespace

std::optional<Rgb> parseColour(std::string_view text) {
  if (text.size() == 7 && text.front() == '#') {
    const auto r = hexComponent(text.substr(1, 2));
    const auto g = hexComponent(text.substr(3, 2));
    const auto b = hexComponent(text.substr(5, 2));
    if (r && g && b) return Rgb{*r, *g, *b};
    return std::nullopt;
  }
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const NamedColour& named : kNamedColours) {
    if (named.name == lower) return named.colour;
  }
  return std::nullopt;
}

}  // namespace lobewright
