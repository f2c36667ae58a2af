#include "cli/command_line.h"

#include <gtest/gtest.h>

#include "app/colouring_field.h"

namespace lobewright {
namespace {

ParsedCommandLine parse(std::vector<std::string> arguments) { return parseCommandLine(arguments); }

TEST(CommandLine, DefaultsAreTheWindowsDefaults) {
  const auto parsed = parse({"in.mno", "out.pov"});
  ASSERT_TRUE(parsed.commandLine) << parsed.error;
  const CommandLine& command = *parsed.commandLine;
  EXPECT_EQ(command.mode, CommandLine::Mode::convert);
  EXPECT_EQ(command.parameterFile, "pm3r.txt");
  ASSERT_EQ(command.moSelection.size(), 1u);
  EXPECT_EQ(command.moSelection[0].first.anchor, MoName::Anchor::number);
  EXPECT_EQ(command.moSelection[0].first.offset, 1);
  EXPECT_FALSE(command.quiet);
  const ConversionSettings& s = command.settings;
  EXPECT_EQ(s.moNumber, 1);
  EXPECT_EQ(s.scale, 4);
  EXPECT_EQ(s.threshold, 0.05f);
  EXPECT_EQ(s.accuracy, 3);
  EXPECT_EQ(s.cutoff, 3.5f);
  EXPECT_EQ(s.bondLength, 1.6f);
  EXPECT_TRUE(s.showStructure);
  EXPECT_EQ(s.outputPath, "out.pov");
  EXPECT_EQ(s.outputKind, OutputKind::PovRay);
}

TEST(CommandLine, EveryOptionReachesItsSetting) {
  const auto parsed = parse({"--params",
                             "p.txt",
                             "--mo",
                             "7",
                             "--scale",
                             "9",
                             "--threshold",
                             "0.02",
                             "--accuracy",
                             "1",
                             "--cutoff",
                             "4.25",
                             "--bond-length",
                             "1e0",
                             "--no-structure",
                             "--quiet",
                             "--orbitals",
                             "exact",
                             "--spin",
                             "beta",
                             "--no-deorthogonalise",
                             "in.mno",
                             "out.ls"});
  ASSERT_TRUE(parsed.commandLine) << parsed.error;
  const ConversionSettings& s = parsed.commandLine->settings;
  EXPECT_EQ(parsed.commandLine->parameterFile, "p.txt");
  EXPECT_TRUE(parsed.commandLine->parameterFileNamed);
  EXPECT_EQ(parsed.commandLine->moSelection[0].first.offset, 7);
  EXPECT_EQ(s.model, OrbitalModel::exact);
  EXPECT_EQ(s.spin, Spin::beta);
  EXPECT_FALSE(s.deorthogonalise);
  EXPECT_EQ(s.scale, 9);
  EXPECT_EQ(s.threshold, 0.02f);
  EXPECT_EQ(s.accuracy, 1);
  EXPECT_EQ(s.cutoff, 4.25f);
  EXPECT_EQ(s.bondLength, 1.0f);
  EXPECT_FALSE(s.showStructure);
  EXPECT_TRUE(parsed.commandLine->quiet);
  EXPECT_EQ(s.outputKind, OutputKind::LScript);
}

TEST(CommandLine, FormatComesFromTheOptionOrTheExtension) {
  EXPECT_EQ(parse({"in", "scene.txt", "--format", "pov"}).commandLine->settings.outputKind,
            OutputKind::PovRay);
  EXPECT_EQ(parse({"in", "scene.pov", "--format", "ls"}).commandLine->settings.outputKind,
            OutputKind::LScript);
  EXPECT_FALSE(parse({"in", "scene.txt"}).commandLine);
  EXPECT_FALSE(parse({"in", "scene.pov", "--format", "vrml"}).commandLine);
  const std::pair<const char*, OutputKind> extensions[] = {
      {"a.POV", OutputKind::PovRay}, {"a.cube", OutputKind::Cube}, {"a.glb", OutputKind::Gltf},
      {"a.obj", OutputKind::Obj},    {"a.Ply", OutputKind::Ply},   {"a.stl", OutputKind::Stl},
      {"a.png", OutputKind::Png}};
  for (const auto& [name, kind] : extensions) {
    EXPECT_EQ(parse({"in", name}).commandLine->settings.outputKind, kind) << name;
  }
  EXPECT_EQ(parse({"in", "scene.pov", "--format", "stl"}).commandLine->settings.outputKind,
            OutputKind::Stl);
}

TEST(CommandLine, PictureOptionsAndTheFormatsTheyServe) {
  const auto parsed = parse({"in", "p.png", "--view", "y", "--colors", "orange,#00FF80",
                             "--transparent", "0.25", "--size", "640x480"});
  ASSERT_TRUE(parsed.commandLine) << parsed.error;
  const PictureSettings& picture = parsed.commandLine->settings.picture;
  EXPECT_EQ(picture.view, ViewDirection::y);
  EXPECT_EQ(picture.colours.positive, (Rgb{1.0f, 0.5f, 0.0f}));
  EXPECT_EQ(picture.colours.negative, (Rgb{0.0f, 1.0f, 128.0f / 255.0f}));
  EXPECT_EQ(picture.transparency, 0.25);
  EXPECT_EQ(picture.width, 640);
  EXPECT_EQ(picture.height, 480);
  EXPECT_TRUE(parse({"in", "s.pov", "--frame", "--view", "best"}).commandLine);
  EXPECT_TRUE(parse({"in", "s.glb", "--colors", "red,blue"}).commandLine);

  const std::vector<std::vector<std::string>> refused = {
      {"in", "s.pov", "--view", "x"},           // a classic scene has its own camera
      {"in", "s.glb", "--size", "640x480"},     // only pictures have pixels
      {"in", "s.ls", "--colors", "red,blue"},   // the classic script keeps its colours
      {"in", "s.stl", "--colors", "red,blue"},  // STL holds no colours
      {"in", "s.png", "--size", "640x8"},       // too small
      {"in", "s.png", "--size", "640"},         // no height
      {"in", "s.png", "--transparent", "1.5"},  // beyond opaque to clear
      {"in", "s.png", "--colors", "red"},       // two colours
      {"in", "s.png", "--colors", "red,#12345"},
      {"in", "s.png", "--view", "diagonal"},
  };
  for (const auto& arguments : refused) {
    const auto result = parse(arguments);
    EXPECT_FALSE(result.commandLine) << arguments[2] << ' ' << arguments[3];
    EXPECT_FALSE(result.error.empty());
  }
}

TEST(CommandLine, HomoLumoInfoAndList) {
  const auto homo = parse({"in.mno", "--info", "--homo"});
  ASSERT_TRUE(homo.commandLine) << homo.error;
  EXPECT_EQ(homo.commandLine->mode, CommandLine::Mode::info);
  EXPECT_EQ(homo.commandLine->moSelection[0].first.anchor, MoName::Anchor::homo);
  EXPECT_EQ(parse({"in", "o.pov", "--lumo"}).commandLine->moSelection[0].last.anchor,
            MoName::Anchor::lumo);
  EXPECT_EQ(parse({"in.aux", "--list"}).commandLine->mode, CommandLine::Mode::list);
  EXPECT_FALSE(parse({"in", "o.pov", "--homo", "--lumo"}).commandLine);
  EXPECT_FALSE(parse({"in", "o.pov", "--mo", "3", "--homo"}).commandLine);
  EXPECT_FALSE(parse({"in", "o.pov", "--info"}).commandLine);
  EXPECT_FALSE(parse({"in", "--info", "--mo", "3..5"}).commandLine);
  EXPECT_FALSE(parse({"in", "--info", "--spin", "both"}).commandLine);
  // --margin sizes a cube's box and serves no other output.
  EXPECT_EQ(parse({"in", "o.cube", "--margin", "2.5"}).commandLine->settings.cubeMargin, 2.5);
  EXPECT_NE(parse({"in", "o.glb", "--margin", "2"}).error.find("for .cube"), std::string::npos);
  // --quantize stores a .glb in fewer bits and serves no other output.
  EXPECT_TRUE(parse({"in", "o.glb", "--quantize"}).commandLine->settings.quantized);
  EXPECT_EQ(parse({"in", "o.ply", "--quantize"}).error, "--quantize is for .glb output");
}

TEST(CommandLine, SeveralMosNeedThePlaceholderInTheOutputName) {
  EXPECT_TRUE(parse({"in", "c-{mo}.pov", "--mo", "30,32,HOMO..LUMO+1"}).commandLine);
  EXPECT_TRUE(parse({"in", "c.pov", "--mo", "homo-1"}).commandLine);
  EXPECT_TRUE(parse({"in", "c.pov", "--mo", "homo..homo"}).commandLine);
  const auto refused = parse({"in", "c.pov", "--mo", "HOMO..LUMO"});
  EXPECT_FALSE(refused.commandLine);
  EXPECT_NE(refused.error.find("{mo}"), std::string::npos);
  EXPECT_FALSE(parse({"in", "c-{mo}.pov", "--mo", "HOMO-x"}).commandLine);
}

TEST(CommandLine, RefusesMalformedOrOutOfRangeNumbers) {
  const std::vector<std::vector<std::string>> bad = {
      {"--threshold", "0.o5"},
      {"--threshold", "0,05"},
      {"--threshold", ""},
      {"--threshold", "nan"},
      {"--cutoff", "inf"},
      {"--bond-length", "1e"},
      {"--cutoff", "1e39"},
      {"--threads", "0"},
      {"--scale", "0"},
      {"--scale", "101"},
      {"--scale", "4.5"},
      {"--accuracy", "0"},
      {"--accuracy", "101"},
      {"--mo", "0"},
      {"--mo", "HOMO-"},
      {"--mo", " 3"},
      {"--scale"},
      {"--frobnicate"},
  };
  for (const auto& options : bad) {
    std::vector<std::string> arguments{"in.mno", "out.pov"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const auto parsed = parse(arguments);
    EXPECT_FALSE(parsed.commandLine) << options[0];
    EXPECT_FALSE(parsed.error.empty());
  }
  EXPECT_FALSE(parse({"only-input.mno"}).commandLine);
  EXPECT_FALSE(parse({"a", "b.pov", "c"}).commandLine);
}

// Diagrams and galleries are one file of many MOs; they take the options that serve them and
// refuse those that would change nothing.
TEST(CommandLine, DiagramsAndGalleriesTakeOnlyTheirOptions) {
  const auto diagram =
      parse({"in.aux", "levels.SVG", "--diagram", "--spin", "beta", "--mo", "1..9"});
  ASSERT_TRUE(diagram.commandLine) << diagram.error;
  EXPECT_EQ(diagram.commandLine->mode, CommandLine::Mode::diagram);
  EXPECT_TRUE(diagram.commandLine->svgDiagram);
  EXPECT_TRUE(diagram.commandLine->moNamed);
  EXPECT_TRUE(diagram.commandLine->spinNamed);
  const auto gallery = parse({"in.aux", "mos.png", "--gallery", "--view", "whole", "--size",
                              "640x480", "--colors", "red,blue"});
  ASSERT_TRUE(gallery.commandLine) << gallery.error;
  EXPECT_FALSE(gallery.commandLine->moNamed);
  EXPECT_EQ(gallery.commandLine->settings.picture.view, ViewDirection::whole);
  EXPECT_TRUE(gallery.commandLine->settings.picture.fineGrid);
  EXPECT_TRUE(gallery.commandLine->settings.picture.coloursNamed);

  const std::vector<std::vector<std::string>> refused = {
      {"in", "levels.pov", "--diagram"},
      {"in", "levels.png", "--diagram", "--view", "x"},
      {"in", "levels.png", "--diagram", "--threshold", "85%"},
      {"in", "levels.svg", "--diagram", "--field", "density"},
      {"in", "mos.svg", "--gallery"},
      {"in", "mos.png", "--gallery", "--field", "density"},
      {"in", "--gallery"},
  };
  for (const auto& arguments : refused) {
    const auto parsed = parse(arguments);
    EXPECT_FALSE(parsed.commandLine) << arguments[1] << " " << arguments.back();
    EXPECT_FALSE(parsed.error.empty());
  }
}

TEST(CommandLine, AThresholdIsAValueOrTheShareTheSurfaceEncloses) {
  const auto share = parse({"in.aux", "o.png", "--threshold", "85%"});
  ASSERT_TRUE(share.commandLine) << share.error;
  EXPECT_DOUBLE_EQ(*share.commandLine->settings.enclosedFraction, 0.85);
  // The last one given counts.
  const auto value = parse({"in.aux", "o.png", "--threshold", "85%", "--threshold", "0.02"});
  EXPECT_FALSE(value.commandLine->settings.enclosedFraction);
  EXPECT_EQ(value.commandLine->settings.threshold, 0.02f);
  const auto density = parse({"in.aux", "o.glb", "--field", "density", "--threshold", "99.5%"});
  EXPECT_DOUBLE_EQ(*density.commandLine->settings.enclosedFraction, 0.995);
  for (const char* bad : {"0%", "100%", "-5%", "%", "85 %", "85%%", "nan%"}) {
    EXPECT_FALSE(parse({"in.aux", "o.png", "--threshold", bad}).commandLine) << bad;
  }
  // Pictures choose a fine grid, unless a scale is given; other outputs keep theirs.
  EXPECT_TRUE(share.commandLine->settings.picture.fineGrid);
  EXPECT_FALSE(parse({"in.aux", "o.png", "--scale", "4"}).commandLine->settings.picture.fineGrid);
  EXPECT_FALSE(parse({"in.aux", "o.glb"}).commandLine->settings.picture.fineGrid);
  EXPECT_FALSE(parse({"in.aux", "o.pov"}).commandLine->settings.picture.fineGrid);
  EXPECT_TRUE(parse({"in.aux", "o.pov", "--frame"}).commandLine->settings.picture.fineGrid);
}

TEST(CommandLine, HelpAndVersionNeedNoFiles) {
  EXPECT_EQ(parse({"--help"}).commandLine->mode, CommandLine::Mode::help);
  EXPECT_EQ(parse({"--version"}).commandLine->mode, CommandLine::Mode::version);
}

}  // namespace
}  // namespace lobewright

namespace lobewright {
namespace {

// A density's isovalue is its own unless --threshold gives one; the options of the fields fit
// together or are refused with the reason.
TEST(CommandLine, FieldOptionsAndTheirIsovalues) {
  struct Accepted {
    std::vector<std::string> options;
    float threshold;
  };
  const Accepted accepted[] = {
      {{"--field", "density"}, 0.002f},
      {{"--field", "alpha"}, 0.002f},
      {{"--field", "spin"}, 0.005f},
      {{"--field", "esp"}, 0.05f},
      {{"--field", "density", "--minus", "b.aux"}, 0.005f},
      {{"--fukui", "plus", "--anion", "a.aux"}, 0.005f},
      {{"--field", "density", "--threshold", "0.01"}, 0.01f},
      {{"--minus", "b.aux", "--mo", "3"}, 0.05f},
  };
  for (const Accepted& a : accepted) {
    std::vector<std::string> arguments{"in.aux", "out.glb"};
    arguments.insert(arguments.end(), a.options.begin(), a.options.end());
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    ASSERT_TRUE(parsed.commandLine) << a.options[1] << ": " << parsed.error;
    EXPECT_EQ(parsed.commandLine->settings.threshold, a.threshold) << a.options[1];
  }
  struct Refused {
    std::vector<std::string> options;
    const char* why;
  };
  const Refused refused[] = {
      {{"--anion", "a.aux"}, "--anion is for --fukui and a Fukui function's --color-by"},
      {{"--fukui", "plus"}, "this --fukui needs the calculation of the anion: --anion FILE"},
      {{"--fukui", "zero", "--anion", "a.aux"},
       "this --fukui needs the calculation of the cation: --cation FILE"},
      {{"--field", "spin", "--mo", "3"}, "--mo chooses MOs, but --field spin draws none"},
      {{"--fukui", "minus", "--cation", "c.aux", "--homo"},
       "--homo chooses MOs, but --fukui draws none"},
      {{"--fukui", "plus", "--anion", "a.aux", "--minus", "b.aux"},
       "give only one of --minus and --fukui"},
      {{"--field", "alpha", "--fukui", "plus", "--anion", "a.aux"},
       "--fukui draws a function of the total density: give --field density or none"},
      {{"--field", "charge"},
       "--field takes mo, density, alpha, beta, spin or esp, not \"charge\""},
  };
  for (const Refused& r : refused) {
    std::vector<std::string> arguments{"in.aux", "out.glb"};
    arguments.insert(arguments.end(), r.options.begin(), r.options.end());
    EXPECT_EQ(parseCommandLine(arguments).error, r.why);
  }
}

}  // namespace
}  // namespace lobewright

namespace lobewright {
namespace {

// --color-by reaches the settings with its range and palette; the options that do not fit the
// output or each other are refused with the reason.
TEST(CommandLine, ColouringOptions) {
  const auto parsed =
      parse({"in.aux", "esp.png", "--field", "density", "--color-by", "mo:homo-1", "--spin", "beta",
             "--color-range", "-0.05,0.1", "--palette", "viridis"});
  ASSERT_TRUE(parsed.commandLine) << parsed.error;
  const ColouringSettings& colouring = parsed.commandLine->settings.colouring;
  ASSERT_TRUE(colouring.source);
  EXPECT_EQ(colouring.source->kind, FieldKind::mo);
  EXPECT_EQ(colouring.source->mo.anchor, MoName::Anchor::homo);
  EXPECT_EQ(colouring.source->mo.offset, -1);
  ASSERT_TRUE(colouring.range);
  EXPECT_EQ(colouring.range->low, -0.05);
  EXPECT_EQ(colouring.range->high, 0.1);
  EXPECT_EQ(colouring.palette, Palette::viridis);
  EXPECT_EQ(parsed.commandLine->settings.spin, Spin::beta);
  const auto fukui = parse({"in.aux", "f.glb", "--field", "density", "--color-by", "Fukui-Dual",
                            "--anion", "a.aux", "--cation", "c.aux"});
  ASSERT_TRUE(fukui.commandLine) << fukui.error;
  EXPECT_EQ(fukui.commandLine->settings.colouring.source->fukui, FukuiKind::dual);
  EXPECT_FALSE(fukui.commandLine->settings.colouring.range);
  for (const char* output : {"a.obj", "a.ply"}) {
    EXPECT_TRUE(parse({"in.aux", output, "--color-by", "spin"}).commandLine) << output;
  }
  EXPECT_TRUE(parse({"in.aux", "a.pov", "--frame", "--color-by", "spin"}).commandLine);

  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{"a.ls", "--color-by", "density"},
       "--color-by is for .glb, .obj, .ply, framed .pov and .png output, which carry a colour "
       "per vertex"},
      {{"a.stl", "--color-by", "density"},
       "--color-by is for .glb, .obj, .ply, framed .pov and .png output, which carry a colour "
       "per vertex"},
      {{"a.pov", "--color-by", "density"},
       "--color-by needs --frame for a .pov scene: the classic scene keeps its lobes' colours"},
      {{"a.glb", "--palette", "viridis"}, "--palette is for --color-by"},
      {{"a.glb", "--color-by", "density", "--colors", "red,blue"},
       "--colors gives the lobes' colours, which --color-by replaces"},
      {{"a.glb", "--color-by", "charge"},
       "--color-by takes " + colourSourceWords() + ", not \"charge\""},
      {{"a.glb", "--color-by", "mo:1..3"},
       "--color-by takes one MO after mo:, as in mo:37, mo:HOMO or mo:LUMO+1, not \"mo:1..3\""},
      {{"a.glb", "--color-by", "density", "--color-range", "0.1,-0.1"},
       "--color-range takes two numbers LO,HI with LO below HI, not \"0.1,-0.1\""},
      {{"a.glb", "--color-by", "density", "--color-range", "0,inf"},
       "--color-range takes two numbers LO,HI with LO below HI, not \"0,inf\""},
      {{"a.glb", "--color-by", "fukui-minus"},
       "this --color-by needs the calculation of the cation: --cation FILE"},
      {{"a.glb", "--color-by", "density", "--cation", "c.aux"},
       "--cation is for --fukui and a Fukui function's --color-by"},
      {{"a.glb", "--field", "density", "--color-by", "spin", "--spin", "beta"},
       "--spin chooses MOs, but --field density draws none"},
  };
  for (const auto& [options, why] : refused) {
    std::vector<std::string> arguments{"in.aux"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    EXPECT_EQ(parse(arguments).error, why);
  }
}

}  // namespace
}  // namespace lobewright
