#include "window/preview_raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lobewright {
namespace {

using Matrix = std::array<double, 9>;

Matrix multiply(const Matrix& a, const Matrix& b) {
  Matrix product{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      for (int k = 0; k < 3; ++k) product[3 * i + j] += a[3 * i + k] * b[3 * k + j];
    }
  }
  return product;
}

// Many small turns in a row let rounding creep in; the rows are made orthonormal again.
Matrix orthonormal(Matrix m) {
  Vec3 x{m[0], m[1], m[2]};
  Vec3 y{m[3], m[4], m[5]};
  x = (1.0 / norm(x)) * x;
  y = y - dot(x, y) * x;
  y = (1.0 / norm(y)) * y;
  const Vec3 z = cross(x, y);
  return {x.x, x.y, x.z, y.x, y.y, y.z, z.x, z.y, z.z};
}

bool isFinite(const Vec3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// A point on the screen with its depth; a greater depth is nearer the viewer.
struct Projected {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// The light comes from over the viewer's left shoulder.
const Vec3 kLight = [] {
  const Vec3 light{-0.35, 0.45, 1.0};
  return (1.0 / norm(light)) * light;
}();
constexpr double kAmbient = 0.3;

uint32_t packed(const Rgb& colour, double intensity) {
  const auto channel = [intensity](float component) {
    return static_cast<uint32_t>(std::clamp(component * intensity, 0.0, 1.0) * 255.0 + 0.5);
  };
  return 0xFF000000u | channel(colour.r) << 16 | channel(colour.g) << 8 | channel(colour.b);
}

class Canvas {
 public:
  Canvas(const PreviewContent& content, const PreviewView& view, int width, int height,
         uint32_t background)
      : m_view(view),
        m_width(width),
        m_height(height),
        m_depth(static_cast<std::size_t>(width) * height, -std::numeric_limits<float>::infinity()) {
    m_image = {width, height, std::vector<uint32_t>(m_depth.size(), background)};
    fit(content);
  }

  void drawTriangle(const SceneTriangle& triangle, const Rgb& colour) {
    std::array<Vec3, 3> turned;
    for (int k = 0; k < 3; ++k) {
      if (!isFinite(triangle.corners[k])) return;
      turned[k] = turn(triangle.corners[k]);
    }
    const Vec3 normal = cross(turned[1] - turned[0], turned[2] - turned[0]);
    const double length = norm(normal);
    if (!(length > 0.0)) return;
    // Both sides of a lobe's skin are lit alike: the preview does not rely on the winding.
    const double lit = kAmbient + (1.0 - kAmbient) * std::abs(dot(normal, kLight)) / length;
    fill(project(turned[0]), project(turned[1]), project(turned[2]), packed(colour, lit));
  }

  void drawSphere(const StructureSphere& sphere) {
    if (!isFinite(sphere.centre) || !(sphere.radius > 0.0)) return;
    const Projected centre = project(turn(sphere.centre));
    const double radius = sphere.radius * m_scale;
    const int left = std::max(0, static_cast<int>(std::floor(centre.x - radius)));
    const int right = std::min(m_width - 1, static_cast<int>(std::ceil(centre.x + radius)));
    const int top = std::max(0, static_cast<int>(std::floor(centre.y - radius)));
    const int bottom = std::min(m_height - 1, static_cast<int>(std::ceil(centre.y + radius)));
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x) {
        const double dx = x + 0.5 - centre.x;
        const double dy = y + 0.5 - centre.y;
        const double rest = radius * radius - dx * dx - dy * dy;
        if (rest < 0.0) continue;
        const double height = std::sqrt(rest);
        const Vec3 normal{dx / radius, -dy / radius, height / radius};
        const double lit = kAmbient + (1.0 - kAmbient) * std::max(0.0, dot(normal, kLight));
        // The depth is in Angstrom, the radius on the screen in pixels.
        plot(x, y, centre.z + height / m_scale, packed(sphere.colour, lit));
      }
    }
  }

  // A stick is drawn as the band its cylinder covers on the screen, lit as a cylinder seen
  // side-on; the balls cover its ends.
  void drawStick(const StructureStick& stick) {
    if (!isFinite(stick.start) || !isFinite(stick.end)) return;
    const Projected a = project(turn(stick.start));
    const Projected b = project(turn(stick.end));
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    if (!(length > 1e-9)) return;
    const double half = stick.radius * m_scale;
    const double px = -dy / length * half;
    const double py = dx / length * half;
    const uint32_t colour = packed(stick.colour, 0.85);
    const Projected a1{a.x + px, a.y + py, a.z};
    const Projected a2{a.x - px, a.y - py, a.z};
    const Projected b1{b.x + px, b.y + py, b.z};
    const Projected b2{b.x - px, b.y - py, b.z};
    fill(a1, a2, b1, colour);
    fill(a2, b2, b1, colour);
  }

  PreviewImage take() { return std::move(m_image); }

 private:
  void fit(const PreviewContent& content) {
    Vec3 low{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
             std::numeric_limits<double>::max()};
    Vec3 high = -low;
    const auto include = [&](const Vec3& p, double margin) {
      if (!isFinite(p)) return;
      low = {std::min(low.x, p.x - margin), std::min(low.y, p.y - margin),
             std::min(low.z, p.z - margin)};
      high = {std::max(high.x, p.x + margin), std::max(high.y, p.y + margin),
              std::max(high.z, p.z + margin)};
    };
    if (content.scene != nullptr) {
      for (const SceneTriangle& t : content.scene->triangles) {
        for (const Vec3& corner : t.corners) include(corner, 0.0);
      }
      for (const CalculationAtom& atom : content.scene->atoms) include(atom.position, 0.0);
    }
    if (content.structure != nullptr) {
      for (const StructureSphere& sphere : content.structure->spheres) {
        include(sphere.centre, std::isfinite(sphere.radius) ? sphere.radius : 0.0);
      }
    }
    double radius = 1.0;
    if (low.x <= high.x) {
      m_centre = 0.5 * (low + high);
      radius = std::max(radius, 0.5 * norm(high - low));
    }
    m_scale = m_view.zoom * 0.5 * std::min(m_width, m_height) / radius;
  }

  [[nodiscard]] Vec3 turn(const Vec3& p) const {
    const Vec3 d = p - m_centre;
    const Matrix& r = m_view.rotation;
    return {r[0] * d.x + r[1] * d.y + r[2] * d.z, r[3] * d.x + r[4] * d.y + r[5] * d.z,
            r[6] * d.x + r[7] * d.y + r[8] * d.z};
  }

  [[nodiscard]] Projected project(const Vec3& v) const {
    return {0.5 * m_width + m_scale * v.x, 0.5 * m_height - m_scale * v.y, v.z};
  }

  void plot(int x, int y, double depth, uint32_t colour) {
    const std::size_t at = static_cast<std::size_t>(y) * m_width + x;
    if (depth <= m_depth[at]) return;
    m_depth[at] = static_cast<float>(depth);
    m_image.pixels[at] = colour;
  }

  // Fills the pixels whose centres lie inside the triangle, its depth interpolated across it.
  void fill(const Projected& a, const Projected& b, const Projected& c, uint32_t colour) {
    const auto edge = [](const Projected& p, const Projected& q, double x, double y) {
      return (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x);
    };
    const double area = edge(a, b, c.x, c.y);
    if (!(std::abs(area) > 1e-12)) return;
    const double lowX = std::max(0.0, std::floor(std::min({a.x, b.x, c.x})));
    const double highX = std::min(m_width - 1.0, std::ceil(std::max({a.x, b.x, c.x})));
    const double lowY = std::max(0.0, std::floor(std::min({a.y, b.y, c.y})));
    const double highY = std::min(m_height - 1.0, std::ceil(std::max({a.y, b.y, c.y})));
    if (lowX > highX || lowY > highY) return;
    for (int y = static_cast<int>(lowY); y <= static_cast<int>(highY); ++y) {
      for (int x = static_cast<int>(lowX); x <= static_cast<int>(highX); ++x) {
        const double px = x + 0.5;
        const double py = y + 0.5;
        const double wa = edge(b, c, px, py) / area;
        const double wb = edge(c, a, px, py) / area;
        const double wc = edge(a, b, px, py) / area;
        if (wa < 0.0 || wb < 0.0 || wc < 0.0) continue;
        plot(x, y, wa * a.z + wb * b.z + wc * c.z, colour);
      }
    }
  }

  PreviewView m_view;
  int m_width;
  int m_height;
  std::vector<float> m_depth;
  PreviewImage m_image;
  Vec3 m_centre;
  double m_scale = 1.0;
};

}  // namespace

PreviewView turned(const PreviewView& view, double across, double down) {
  const double ca = std::cos(across);
  const double sa = std::sin(across);
  const double cd = std::cos(down);
  const double sd = std::sin(down);
  const Matrix aboutVertical = {ca, 0, sa, 0, 1, 0, -sa, 0, ca};
  const Matrix aboutHorizontal = {1, 0, 0, 0, cd, -sd, 0, sd, cd};
  PreviewView result = view;
  result.rotation = orthonormal(multiply(aboutHorizontal, multiply(aboutVertical, view.rotation)));
  return result;
}

PreviewView zoomed(const PreviewView& view, double factor) {
  PreviewView result = view;
  if (std::isfinite(factor) && factor > 0.0) {
    result.zoom = std::clamp(view.zoom * factor, kLeastZoom, kGreatestZoom);
  }
  return result;
}

PreviewView viewAlong(const ViewBasis& basis) {
  const Vec3& r = basis.right;
  const Vec3& u = basis.up;
  PreviewView view;
  view.rotation = orthonormal({r.x, r.y, r.z, u.x, u.y, u.z, 0, 0, 0});
  return view;
}

ViewBasis basisOf(const PreviewView& view) {
  const Matrix& m = view.rotation;
  return {{m[0], m[1], m[2]}, {m[3], m[4], m[5]}, {m[6], m[7], m[8]}};
}

PreviewImage renderPreview(const PreviewContent& content, const PreviewView& view, int width,
                           int height, uint32_t background) {
  if (width <= 0 || height <= 0 || width > kLargestPreviewSide || height > kLargestPreviewSide) {
    return {};
  }
  Canvas canvas(content, view, width, height, background);
  if (content.structure != nullptr) {
    for (const StructureStick& stick : content.structure->sticks) canvas.drawStick(stick);
    for (const StructureSphere& sphere : content.structure->spheres) canvas.drawSphere(sphere);
  }
  if (content.scene != nullptr) {
    for (const SceneTriangle& t : content.scene->triangles) {
      const Rgb& lobe =
          t.sign == LobeSign::positive ? content.colours.positive : content.colours.negative;
      canvas.drawTriangle(t, t.colour.value_or(lobe));
    }
  }
  return canvas.take();
}

}  // namespace lobewright
