#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/conversion.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

// Both output kinds run the same sweep: the script's polygons, mapped back through the point
// numbers, must be the scene's triangles in the same order.
namespace lobewright {
namespace {

using testing::dataPath;
using testing::RecordingSink;

struct Vec {
  double x = 0;
  double y = 0;
  double z = 0;
};

Vec operator-(const Vec& a, const Vec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec cross(const Vec& a, const Vec& b) {
  return {a.y * b.z - b.y * a.z, b.x * a.z - a.x * b.z, a.x * b.y - b.x * a.y};
}
double dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(const Vec& a) { return std::sqrt(dot(a, a)); }

bool withinTolerance(const Vec& a, const Vec& b) {
  return std::fabs(a.x - b.x) <= 0.001 && std::fabs(a.y - b.y) <= 0.001 &&
         std::fabs(a.z - b.z) <= 0.001;
}

struct SceneTriangle {
  std::array<Vec, 3> corners;
  Vec apexNormal;
};

// The scene's and the script's triangles of each lobe, positive first.
using Lobes = std::array<std::vector<SceneTriangle>, 2>;
using Polygon = std::array<int, 3>;
using PolygonLobes = std::array<std::vector<Polygon>, 2>;

std::vector<std::string> readLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// Numbers of a line, with every other character taken as a separator.
std::vector<double> numbersIn(std::string text) {
  for (char& c : text) {
    if (std::string_view("0123456789.-+e").find(c) == std::string_view::npos) c = ' ';
  }
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  std::vector<double> numbers;
  for (double value; in >> value;) numbers.push_back(value);
  return numbers;
}

Lobes parseScene(const std::string& path) {
  Lobes lobes;
  const std::vector<std::string> lines = readLines(path);
  for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
    constexpr std::string_view kOpening = "smooth_triangle{ ";
    const std::size_t at = lines[k].find(kOpening);
    if (at == std::string::npos) continue;
    const std::vector<double> n = numbersIn(lines[k].substr(at + kOpening.size()));
    EXPECT_EQ(n.size(), 18u) << lines[k];
    if (n.size() != 18u) continue;
    SceneTriangle triangle;
    for (int c = 0; c < 3; ++c) triangle.corners[c] = {n[6 * c], n[6 * c + 1], n[6 * c + 2]};
    triangle.apexNormal = {n[3], n[4], n[5]};
    lobes[lines[k + 1] == "texture { positive } }" ? 0 : 1].push_back(triangle);
  }
  return lobes;
}

struct Script {
  std::map<int, Vec> points;
  int pointLines = 0;
  PolygonLobes polygons;
};

Script parseScript(const std::string& path) {
  Script script;
  int lobe = -1;
  Polygon polygon{};
  for (const std::string& line : readLines(path)) {
    if (line.starts_with("pts[")) {
      const std::vector<double> n = numbersIn(line);
      script.points[static_cast<int>(n.at(0))] = {n.at(1), n.at(2), n.at(3)};
      ++script.pointLines;
    } else if (line == "setsurface(\"positive\");") {
      lobe = 0;
    } else if (line == "setsurface(\"negative\");") {
      lobe = 1;
    } else if (line.starts_with("poly[") && lobe >= 0) {
      const std::vector<double> n = numbersIn(line);
      polygon.at(static_cast<int>(n.at(0)) - 1) = static_cast<int>(n.at(1));
    } else if (line == "addpolygon(poly);" && lobe >= 0) {
      script.polygons[lobe].push_back(polygon);
    }
  }
  return script;
}

std::string convert(const std::string& input, int mo, int scale, OutputKind kind,
                    const std::string& outputName) {
  ConversionRequest request;
  request.parameterFile = dataPath("pm3r.txt");
  request.inputFile = dataPath(input);
  request.settings.moNumber = mo;
  request.settings.scale = scale;
  request.settings.outputKind = kind;
  // The files go to a folder of this test program's own, removed when it ends.
  static const testing::TempDir kScratch;
  request.settings.outputPath = kScratch.file(outputName);
  RecordingSink sink;
  const ConversionOutcome outcome = runConversion(request, sink, [](int) {});
  EXPECT_TRUE(outcome.succeeded()) << outcome.message;
  return request.settings.outputPath;
}

struct Sample {
  const char* input;
  int homo;
  int scale;
};

void PrintTo(const Sample& sample, std::ostream* out) {
  *out << sample.input << ", MO " << sample.homo << ", scale " << sample.scale;
}

std::string sampleName(const ::testing::TestParamInfo<Sample>& sample) {
  const std::string input = sample.param.input;
  return input.substr(0, input.find('.'));
}

class BothOutputKinds : public ::testing::TestWithParam<Sample> {};

TEST_P(BothOutputKinds, DescribeTheSameSurface) {
  const Sample sample = GetParam();
  const std::string name = std::string("agreement-") + sample.input;
  const Lobes scene = parseScene(
      convert(sample.input, sample.homo, sample.scale, OutputKind::PovRay, name + ".pov"));
  const Script script = parseScript(
      convert(sample.input, sample.homo, sample.scale, OutputKind::LScript, name + ".ls"));

  // Every point defined once, numbered 1 to N.
  ASSERT_FALSE(script.points.empty());
  EXPECT_EQ(script.pointLines, static_cast<int>(script.points.size()));
  EXPECT_EQ(script.points.begin()->first, 1);
  EXPECT_EQ(script.points.rbegin()->first, static_cast<int>(script.points.size()));

  int exchanged = 0;
  for (int lobe = 0; lobe < 2; ++lobe) {
    const std::vector<SceneTriangle>& triangles = scene[lobe];
    const std::vector<Polygon>& polygons = script.polygons[lobe];
    ASSERT_EQ(polygons.size(), triangles.size()) << "lobe " << lobe;
    for (std::size_t t = 0; t < triangles.size(); ++t) {
      const auto& [apex, second, third] = triangles[t].corners;
      const Polygon& polygon = polygons[t];
      const auto point = [&](int k) { return script.points.at(polygon[k]); };
      ASSERT_TRUE(withinTolerance(point(0), apex)) << "lobe " << lobe << ", triangle " << t;
      const bool inPlace = withinTolerance(point(1), second) && withinTolerance(point(2), third);
      const bool swapped = withinTolerance(point(1), third) && withinTolerance(point(2), second);
      ASSERT_TRUE(inPlace || swapped) << "lobe " << lobe << ", triangle " << t;
      if (!inPlace) ++exchanged;

      // The written winding's right-hand normal points where |orbital| falls: against the
      // scene's apex normal (the raw gradient) on the positive lobe, along it on the negative.
      const Vec& b = inPlace ? second : third;
      const Vec& c = inPlace ? third : second;
      const Vec normal = cross(b - apex, c - apex);
      const double along = dot(normal, triangles[t].apexNormal);
      if (std::fabs(along) <= 1e-5 * norm(normal) * norm(triangles[t].apexNormal)) continue;
      EXPECT_EQ(along < 0, lobe == 0) << "lobe " << lobe << ", triangle " << t;
    }
  }
  EXPECT_GT(exchanged, 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, BothOutputKinds,
                         ::testing::Values(Sample{"formaldehyde.mno", 6, 4},
                                           Sample{"water.mno", 4, 3},
                                           Sample{"ethylene.mno", 6, 5}),
                         sampleName);

}  // namespace
}  // namespace lobewright
