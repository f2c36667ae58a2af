// Surfaces coloured by another field: the values are the field's at each vertex, on any number of
// threads; the colours follow the values' signs through the range and the palette, from a real
// conversion to the file; and what cannot be coloured is refused with the reason.
#include <gtest/gtest.h>

#include <cmath>

#include "app/colouring_field.h"
#include "app/conversion.h"
#include "app/field_build.h"
#include "app/vertex_colouring.h"
#include "mesh/sweep_control.h"
#include "support/closed_meshes.h"
#include "support/little_endian_reading.h"
#include "support/recording_sink.h"
#include "support/synthetic_fields.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

using testing::dataPath;

// A field of both signs that varies across the two lobes of testing::twoLobes.
class Waves : public Field {
 public:
  void valuesAt(std::span<const Vec3> points, std::span<double> values) const override {
    for (std::size_t i = 0; i < points.size(); ++i) values[i] = m_waves.valueAt(points[i]);
  }
  void samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const override {
    for (std::size_t i = 0; i < points.size(); ++i) samples[i] = m_waves.sampleAt(points[i]);
  }
  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const override {
    return m_waves.boundOfMagnitude(low, high);
  }

 private:
  testing::WaveField m_waves{2.0, 3.0};
};

TEST(VertexColouring, EachVertexHasTheFieldsValueAndItsSignsColour) {
  const OrbitalMesh mesh = testing::twoLobes(3);
  const Waves field;
  const SurfaceValues one = valuesAtVertices(field, mesh, 1, {});
  for (const int threads : {2, 5}) {
    const SurfaceValues several = valuesAtVertices(field, mesh, threads, {});
    EXPECT_EQ(several.positive, one.positive) << threads;
    EXPECT_EQ(several.negative, one.negative) << threads;
  }
  ASSERT_EQ(one.negative.size(), mesh.negative.positions.size());
  EXPECT_EQ(one.negative[17], field.valueAt(mesh.negative.positions[17]));

  const ColouringSettings settings;
  const ColouringSettings::Range range = colourRange(one, settings);
  EXPECT_EQ(range.low, -range.high);
  const SurfaceColouring colours = colourVertices(one, settings, "waves", {{"a.u.", 1.0}});
  int negative = 0;
  int positive = 0;
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    const std::vector<double>& values = sign == LobeSign::positive ? one.positive : one.negative;
    for (std::size_t i = 0; i < values.size(); ++i) {
      const Rgb& c = colours.of(sign)[i];
      const double clear = 1e-3 * range.high;
      negative += values[i] < -clear;
      positive += values[i] > clear;
      EXPECT_EQ((values[i] < -clear), (c.r > c.b + 1e-3f)) << i;
      EXPECT_EQ((values[i] > clear), (c.b > c.r + 1e-3f)) << i;
    }
  }
  EXPECT_GT(negative, 100);
  EXPECT_GT(positive, 100);
  // A given range holds; values beyond it take its ends' colours.
  ColouringSettings narrow;
  narrow.range = ColouringSettings::Range{-1e-6, 1e-6};
  const SurfaceColouring ends = colourVertices(one, narrow, "waves", {});
  EXPECT_EQ(ends.scale.high, 1e-6);
  for (const Rgb& c : ends.positive) {
    EXPECT_TRUE(c == paletteColour(Palette::redWhiteBlue, 0.0) ||
                c == paletteColour(Palette::redWhiteBlue, 1.0) || c == (Rgb{1.0f, 1.0f, 1.0f}));
  }

  std::stop_source stop;
  stop.request_stop();
  EXPECT_THROW((void)valuesAtVertices(field, mesh, 2, stop.get_token()), SweepCancelled);
}

struct PlyVertex {
  Vec3 position;
  Rgb colour;
};

// The vertices of a binary PLY as the converter writes it, with their 8-bit colours.
std::vector<PlyVertex> readPlyVertices(const std::string& bytes) {
  const std::string count = "element vertex ";
  const std::size_t at = bytes.find(count) + count.size();
  const std::size_t vertices = std::stoul(bytes.substr(at, bytes.find('\n', at) - at));
  std::size_t offset = bytes.find("end_header\n") + 11;
  std::vector<PlyVertex> read;
  for (std::size_t i = 0; i < vertices; ++i, offset += 27) {
    const auto component = [&](std::size_t k) {
      return static_cast<float>(static_cast<unsigned char>(bytes.at(offset + 24 + k))) / 255.0f;
    };
    read.push_back({{testing::f32At(bytes, offset), testing::f32At(bytes, offset + 4),
                     testing::f32At(bytes, offset + 8)},
                    {component(0), component(1), component(2)}});
  }
  return read;
}

ConversionRequest colouredRequest(const std::string& input, const std::string& source,
                                  const std::string& output) {
  ConversionRequest request;
  request.inputFile = dataPath("aux/" + input);
  ConversionSettings& settings = request.settings;
  settings.field.kind = FieldKind::density;
  settings.threshold = 0.002f;
  settings.scale = 3;
  settings.showStructure = false;
  settings.outputKind = OutputKind::Ply;
  settings.outputPath = output;
  settings.field.anionFile = dataPath("aux/formaldehyde_PM7_anion.aux");
  std::string error;
  settings.colouring.source = parseColourSource(source, error);
  EXPECT_TRUE(settings.colouring.source) << error;
  return request;
}

// The density's surface coloured by each kind of field, written to a .ply: at every vertex the
// colour is the palette's at the field's value there (evaluated anew), so red where it is
// negative and blue where it is positive. The run's progress only rises, to 100; for the
// potential it rises while the potential's pieces are made, before the surface.
TEST(ColouredConversion, SignAndColourAgreeAtEveryVertexOfTheFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"formaldehyde_PM7.aux", "mo:HOMO"}, {"formaldehyde_PM7.aux", "fukui-plus"},
      {"methylradical_PM7.aux", "spin"},   {"formaldehyde_PM7.aux", "density"},
      {"formaldehyde_PM7.aux", "esp"},
  };
  const testing::TempDir dir;
  for (const auto& [input, source] : cases) {
    SCOPED_TRACE(std::string(input) + " by " + source);
    ConversionRequest request = colouredRequest(input, source, dir.file("coloured.ply"));
    // On one thread every piece of the potential tells its progress; with more, the calling
    // thread may make only the last.
    if (std::string(source) == "esp") request.sweep.threads = 1;
    testing::RecordingSink sink;
    std::vector<int> reports;
    const ConversionOutcome outcome =
        runConversion(request, sink, [&](int percent) { reports.push_back(percent); });
    ASSERT_TRUE(outcome.succeeded()) << outcome.message;
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), 100);
    if (std::string(source) == "esp") {
      EXPECT_TRUE(std::any_of(reports.begin(), reports.end(),
                              [](int percent) { return percent > 0 && percent < 40; }));
    }
    const std::vector<PlyVertex> vertices =
        readPlyVertices(testing::readFile(dir.file("coloured.ply")));
    ASSERT_GT(vertices.size(), 500u);

    InputLoad load = loadInput(request, sink);
    ASSERT_TRUE(load.input);
    const ColouringField colouring = buildColouringField(*load.input, request);
    ASSERT_TRUE(colouring.field) << colouring.failure.message;
    double largest = 0.0;
    std::vector<double> values;
    for (const PlyVertex& v : vertices) {
      values.push_back(colouring.field->valueAt(v.position));
      largest = std::max(largest, std::fabs(values.back()));
    }
    int negative = 0;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      const Rgb expected = paletteColour(Palette::redWhiteBlue, 0.5 + 0.5 * values[i] / largest);
      const Rgb& c = vertices[i].colour;
      ASSERT_NEAR(c.r, expected.r, 2.0 / 255) << i;
      ASSERT_NEAR(c.g, expected.g, 2.0 / 255) << i;
      ASSERT_NEAR(c.b, expected.b, 2.0 / 255) << i;
      if (values[i] < -0.01 * largest) {
        ++negative;
        ASSERT_GT(c.r, c.b) << i;
      } else if (values[i] > 0.01 * largest) {
        ASSERT_GT(c.b, c.r) << i;
      }
    }
    if (std::string(source) == "mo:HOMO") {
      EXPECT_GT(negative, 100);
    } else if (std::string(source) == "density") {
      EXPECT_EQ(negative, 0);
    }
  }
}

// The potential's pieces tell how far their making has got, and a stop while they are made ends
// it there: no field, and the outcome says the run was cancelled.
TEST(ColouredConversion, AStopWhileThePotentialIsMadeEndsItThere) {
  ConversionRequest request = colouredRequest("caffeine_PM7.aux", "esp", "unused.ply");
  std::stop_source stop;
  request.stop = stop.get_token();
  std::vector<int> reports;
  request.potentialProgress = [&](int percent) {
    reports.push_back(percent);
    if (percent >= 25) stop.request_stop();
  };
  testing::RecordingSink sink;
  InputLoad load = loadInput(request, sink);
  ASSERT_TRUE(load.input);
  const ColouringField colouring = buildColouringField(*load.input, request);
  EXPECT_FALSE(colouring.field);
  EXPECT_EQ(colouring.failure.status, ConversionStatus::cancelled);
  EXPECT_EQ(colouring.failure.message, kCancelledMessage);
  ASSERT_FALSE(reports.empty());
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
  // 24 atoms: the stop came after 6 pieces, and each thread ends only the piece it is making.
  EXPECT_LT(reports.back(), 50);
}

TEST(ColouredConversion, RefusesWhatCannotBeColouredAndSaysWhy) {
  const testing::TempDir dir;
  struct Case {
    const char* source;
    OutputKind kind;
    const char* because;
    std::function<void(ConversionSettings&)> change = [](ConversionSettings&) {};
  };
  const Case cases[] = {
      {"density", OutputKind::Stl, kNoVertexColoursMessage},
      {"density", OutputKind::Cube, kNoVertexColoursMessage},
      {"density", OutputKind::LScript, kNoVertexColoursMessage},
      {"density", OutputKind::PovRay, kNoVertexColoursMessage},
      {"density", OutputKind::Gltf, kClassicColoursNothingMessage,
       [](ConversionSettings& s) {
         s.field.kind = FieldKind::mo;
         s.model = OrbitalModel::classic;
       }},
      {"mo:LUMO+99", OutputKind::Gltf, "MO 106 does not exist: the molecule has only 10 MOs."},
      {"fukui-minus", OutputKind::Gltf, "needs the calculation of the cation"},
  };
  for (const Case& c : cases) {
    ConversionRequest request = colouredRequest("formaldehyde_PM7.aux", c.source, "");
    request.settings.outputKind = c.kind;
    request.settings.outputPath = dir.file("refused");
    c.change(request.settings);
    testing::RecordingSink sink;
    const ConversionOutcome outcome = runConversion(request, sink, [](int) {});
    EXPECT_FALSE(outcome.succeeded()) << c.source;
    EXPECT_NE(outcome.message.find(c.because), std::string::npos) << outcome.message;
    EXPECT_FALSE(std::filesystem::exists(dir.file("refused")));
  }
}

}  // namespace
}  // namespace lobewright
