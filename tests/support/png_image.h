#pragma once

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace lobewright::testing {

// A PNG file decoded to 8-bit RGB, as the tests of rendered pictures look at it.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // row by row, three bytes a pixel

  [[nodiscard]] bool isWhite(int x, int y) const {
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    return pixels[at] == 255 && pixels[at + 1] == 255 && pixels[at + 2] == 255;
  }
};

inline RgbImage readPng(const std::string& path) {
  RgbImage image;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
  png.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) return image;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.pixels = std::move(pixels);
  return image;
}

}  // namespace lobewright::testing
