#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "app/written_scene.h"
#include "writers/ball_and_stick.h"
#include "writers/colours.h"
#include "writers/scene_frame.h"

namespace lobewright {

// How the preview looks at the scene: a rotation of the scene about its centre, then an
// orthographic view down the z axis, scaled by zoom from the size that fits the whole scene.
struct PreviewView {
  std::array<double, 9> rotation = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // row by row
  double zoom = 1.0;
};

inline constexpr double kLeastZoom = 0.2;
inline constexpr double kGreatestZoom = 20.0;

// The view turned by a drag: `across` radians about the screen's vertical axis, then `down`
// about its horizontal one, as a trackball turns under the pointer.
[[nodiscard]] PreviewView turned(const PreviewView& view, double across, double down);
// The view zoomed by the factor, kept between kLeastZoom and kGreatestZoom.
[[nodiscard]] PreviewView zoomed(const PreviewView& view, double factor);

// The view that looks along a picture's camera frame, and the frame a view looks along: the
// rotation's rows are the picture's right, up and back.
[[nodiscard]] PreviewView viewAlong(const ViewBasis& basis);
[[nodiscard]] ViewBasis basisOf(const PreviewView& view);

// What is drawn: the surface's triangles in the lobes' colours and, unless it is empty, the
// molecule's balls and sticks.
struct PreviewContent {
  const WrittenScene* scene = nullptr;
  const BallAndStickModel* structure = nullptr;
  LobeColours colours;
};

// Pixels as 0xAARRGGBB, row by row from the top.
struct PreviewImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// Draws the content with a depth buffer and simple shading over the background. Nothing is
// drawn for a size of 0 or one beyond kLargestPreviewSide; points that are not finite are left
// out.
inline constexpr int kLargestPreviewSide = 8192;
[[nodiscard]] PreviewImage renderPreview(const PreviewContent& content, const PreviewView& view,
                                         int width, int height, uint32_t background);

}  // namespace lobewright
