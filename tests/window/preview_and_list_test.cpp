#include <QComboBox>
#include <QImage>
#include <QMouseEvent>
#include <QTreeWidget>
#include <cmath>
#include <limits>

#include "support/golden.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "window/form_fixture.h"
#include "window/level_diagram_view.h"
#include "window/orbital_table.h"
#include "window/preview_raster.h"
#include "window/preview_widget.h"

namespace lobewright::testing {
namespace {

struct LobePixels {
  int red = 0;
  int blue = 0;
};

// Pixels in the lobes' colours, however shaded: one channel strong, the other two faint. The
// atoms' colours keep well away from both.
LobePixels lobePixels(const QImage& image) {
  LobePixels count;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      const auto dominant = [](int strong, int a, int b) {
        return strong >= 60 && a * 5 <= strong && b * 5 <= strong;
      };
      if (dominant(qRed(p), qGreen(p), qBlue(p))) ++count.red;
      if (dominant(qBlue(p), qRed(p), qGreen(p))) ++count.blue;
    }
  }
  return count;
}

class Window : public FormTest {
 protected:
  void chooseInput(const std::string& fileName) {
    dialogs.confirm(fileName);
    form->InButton->click();
  }
  void chooseOutput(const std::string& fileName, int filterIndex) {
    dialogs.confirm(fileName, filterIndex);
    form->OutButton->click();
  }
  void calculate() {
    dialogs.confirm(dataPath("pm3r.txt"));
    form->ParametersButton->click();
    form->CalcButton->click();
    waitUntilIdle();
  }
  QImage preview() { return form->Preview->grab().toImage(); }

  void drag(QWidget* target, QPoint from, QPoint to) {
    QMouseEvent press(QEvent::MouseButtonPress, from, target->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent move(QEvent::MouseMove, to, target->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, target->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
  }

  TempDir directory;
};

// Both lobes are drawn from what the run wrote, whether the classic sweep or the watertight
// surface wrote it; a drag turns the picture and the wheel zooms it.
TEST_F(Window, ThePreviewShowsBothLobesAfterARunAndTurns) {
  struct Case {
    const char* input;
    const char* output;
    int filter;
    const char* written;
  };
  for (const Case c : {Case{"formaldehyde.mno", "classic", kPovRayFilter, "classic.pov"},
                       Case{"aux/formaldehyde_PM7.aux", "exact", kGltfFilter, "exact.glb"}}) {
    form = std::make_unique<TForm1>(dialogs);
    form->show();
    const LobePixels before = lobePixels(preview());
    EXPECT_EQ(before.red + before.blue, 0) << c.input;
    chooseInput(dataPath(c.input));
    chooseOutput(directory.file(c.output), c.filter);
    type(form->MoEdit, "6");
    calculate();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().text;
    EXPECT_TRUE(std::filesystem::exists(directory.file(c.written))) << c.written;

    const QImage first = preview();
    const LobePixels lobes = lobePixels(first);
    EXPECT_GT(lobes.red, 200) << c.input;
    EXPECT_GT(lobes.blue, 200) << c.input;
    drag(form->Preview, {100, 100}, {160, 130});
    const QImage turned = preview();
    EXPECT_NE(turned, first) << c.input;
    EXPECT_GT(lobePixels(turned).red, 200) << c.input;

    QWheelEvent wheel({100, 100}, form->Preview->mapToGlobal(QPoint(100, 100)), {}, {0, 240},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->Preview, &wheel);
    EXPECT_GT(form->Preview->view().zoom, 1.2);
    EXPECT_GT(lobePixels(preview()).red, lobes.red) << "zooming in enlarges the lobes";
  }
}

TEST_F(Window, TheListFillsForAnAuxFileAndARowSetsTheMo) {
  chooseInput(dataPath("aux/formaldehyde_PM7.aux"));
  QTreeWidget* list = form->OrbitalList;
  ASSERT_EQ(list->topLevelItemCount(), 10);
  const QTreeWidgetItem* homo = list->topLevelItem(5);
  EXPECT_EQ(homo->text(0), "6");
  EXPECT_EQ(homo->text(1), "-10.331");
  EXPECT_EQ(homo->text(2), "2.00");
  EXPECT_EQ(homo->text(3), "2b2");
  EXPECT_EQ(homo->text(4), "HOMO");
  EXPECT_EQ(list->topLevelItem(6)->text(4), "LUMO");
  EXPECT_FALSE(form->SpinComboBox->isVisible());

  const QTreeWidgetItem* third = list->topLevelItem(2);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(third).center());
  EXPECT_EQ(textOf(form->MoEdit), "3");
  EXPECT_EQ(form->settings.moNumber, 3);
  EXPECT_EQ(form->MoUpDown->position(), 3);
  // The list follows the MO field, whatever sets it.
  clickAndWait(form->HOMOButton);
  EXPECT_EQ(list->currentItem(), homo);
  type(form->MoEdit, "9");
  EXPECT_EQ(list->currentItem(), list->topLevelItem(8));
  // Beyond the file's 10 MOs: refused with a sign, the MO of before kept.
  type(form->MoEdit, "99");
  EXPECT_EQ(list->currentItem(), list->topLevelItem(8));
  EXPECT_EQ(form->settings.moNumber, 9);
  EXPECT_TRUE(form->MoEdit->property("refused").toBool());
  EXPECT_NE(form->PreviewStatusLabel->text().indexOf("1 to 10"), -1);
  EXPECT_EQ(form->MoUpDown->maximum(), 10);

  chooseInput(directory.file("missing.aux"));
  EXPECT_EQ(list->topLevelItemCount(), 0);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(firstLine(dialogs.messages[0].text), "Input file error.");
}

// Open shells' singly occupied MOs, MOZYME's LMOs and energies that cannot be trusted show as
// such, the reason in the energies' tooltip.
TEST_F(Window, TheListMarksSomosAndLmosAndShowsUnknownEnergies) {
  QTreeWidget* list = form->OrbitalList;
  chooseInput(dataPath("jobs/o2_triplet_open22_PM7.aux"));
  ASSERT_EQ(list->topLevelItemCount(), 8);
  EXPECT_EQ(list->topLevelItem(5)->text(4), "SOMO");
  EXPECT_EQ(list->topLevelItem(6)->text(4), "SOMO,HOMO");
  EXPECT_TRUE(list->topLevelItem(5)->font(0).bold());

  chooseInput(dataPath("jobs/formaldehyde_mozyme_eigen_mos3_PM7.aux"));
  ASSERT_EQ(list->topLevelItemCount(), 6);
  EXPECT_EQ(list->topLevelItem(0)->text(0), "4");
  EXPECT_EQ(list->topLevelItem(0)->text(1), "?");
  EXPECT_TRUE(list->topLevelItem(0)->toolTip(1).contains("out of order"));

  chooseInput(dataPath("jobs/formaldehyde_mozyme_lmo_PM7.aux"));
  ASSERT_EQ(list->topLevelItemCount(), 10);
  EXPECT_EQ(list->topLevelItem(5)->text(4), "LMO");
  EXPECT_EQ(list->topLevelItem(0)->toolTip(1), "");

  // Drawing one MO of a degenerate pair names its partner.
  chooseInput(dataPath("jobs/o2_triplet_open22_PM7.aux"));
  chooseOutput(directory.file("pistar"), kGltfFilter);
  type(form->MoEdit, "6");
  calculate();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, kNoteCaption);
  EXPECT_NE(dialogs.messages[0].text.find("MO 6 is degenerate with MO 7"), std::string::npos);
}

// A UHF file's beta rows bring the spin choice; a beta row sets it, and HOMO and LUMO follow it.
TEST_F(Window, BetaRowsBringTheSpinChoiceThatHomoAndLumoFollow) {
  chooseInput(dataPath("aux/methylradical_PM3.aux"));
  QTreeWidget* list = form->OrbitalList;
  EXPECT_TRUE(form->SpinComboBox->isVisible());
  int betaThree = -1;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    if (list->topLevelItem(i)->text(0) == QStringLiteral("3 β")) betaThree = i;
  }
  ASSERT_GE(betaThree, 0);
  EXPECT_EQ(list->topLevelItem(betaThree)->text(4), "HOMO");

  clickAndWait(form->HOMOButton);
  EXPECT_EQ(form->settings.moNumber, 4);
  list->setCurrentItem(list->topLevelItem(betaThree));
  EXPECT_EQ(form->settings.spin, Spin::beta);
  EXPECT_EQ(form->SpinComboBox->currentText(), "beta");
  clickAndWait(form->LUMOButton);
  EXPECT_EQ(form->settings.moNumber, 4);
  clickAndWait(form->HOMOButton);
  EXPECT_EQ(form->settings.moNumber, 3);
  EXPECT_TRUE(dialogs.messages.empty());

  chooseInput(dataPath("aux/formaldehyde_PM7.aux"));
  EXPECT_FALSE(form->SpinComboBox->isVisible());
  EXPECT_EQ(form->settings.spin, Spin::alpha);
}

// The level diagram beside the list: a click on a level picks its MO and spin, as its row does,
// and the level of the MO chosen is marked.
TEST_F(Window, ALevelOfTheDiagramPicksItsMo) {
  LevelDiagramView* diagram = form->DiagramView;
  chooseInput(dataPath("aux/methylradical_PM3.aux"));
  ASSERT_TRUE(diagram->hasDiagram());
  const struct {
    int mo;
    Spin spin;
    const char* row;
  } clicks[] = {{3, Spin::beta, "3 β"}, {5, Spin::alpha, "5 α"}, {1, Spin::beta, "1 β"}};
  for (const auto& click : clicks) {
    const std::optional<QPoint> level = diagram->pointOf(click.mo, click.spin);
    ASSERT_TRUE(level) << click.row;
    const QImage before = diagram->grab().toImage();
    QTest::mouseClick(diagram, Qt::LeftButton, {}, *level);
    EXPECT_EQ(form->settings.moNumber, click.mo) << click.row;
    EXPECT_EQ(form->settings.spin, click.spin) << click.row;
    EXPECT_EQ(textOf(form->MoEdit), std::to_string(click.mo));
    ASSERT_NE(form->OrbitalList->currentItem(), nullptr);
    EXPECT_EQ(form->OrbitalList->currentItem()->text(0), QString::fromUtf8(click.row));
    // The mark moves to the level picked.
    EXPECT_NE(diagram->grab().toImage(), before) << click.row;
  }

  chooseInput(dataPath("aux/formaldehyde_PM7.aux"));
  const std::optional<QPoint> second = diagram->pointOf(2, Spin::alpha);
  ASSERT_TRUE(second);
  QTest::mouseClick(diagram, Qt::LeftButton, {}, *second);
  EXPECT_EQ(form->settings.moNumber, 2);
  EXPECT_EQ(form->OrbitalList->currentItem(), form->OrbitalList->topLevelItem(1));
  EXPECT_FALSE(diagram->pointOf(20, Spin::alpha));

  chooseInput(directory.file("missing.aux"));
  EXPECT_FALSE(diagram->hasDiagram());
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(Window, TheOrbitalsChoiceFollowsTheInputUntilTheUserPicks) {
  const std::pair<const char*, const char*> cases[] = {
      {"formaldehyde.mno", "classic"},       {"formaldehyde.out", "exact"},
      {"aux/formaldehyde_PM7.aux", "exact"}, {"aux/formaldehyde_PM7.mgf", "exact"},
      {"aux/formaldehyde_PM7.out", "exact"},
  };
  for (const auto& [input, model] : cases) {
    chooseInput(dataPath(input));
    EXPECT_EQ(form->OrbitalsComboBox->currentText(), model) << input;
    EXPECT_EQ(form->settings.model, OrbitalModel::automatic) << input;
  }
  chooseInput(dataPath("formaldehyde.mno"));
  form->OrbitalsComboBox->setCurrentIndex(1);
  emit form->OrbitalsComboBox->activated(1);
  EXPECT_EQ(form->settings.model, OrbitalModel::exact);
}

// The window's run with the exact model picked writes what the converter writes with
// --orbitals exact, and not the classic scene.
TEST_F(Window, TheOrbitalsChoiceReachesTheRun) {
  chooseInput(dataPath("formaldehyde.mno"));
  chooseOutput(directory.file("window"), kPovRayFilter);
  type(form->MoEdit, "6");
  form->OrbitalsComboBox->setCurrentIndex(1);
  emit form->OrbitalsComboBox->activated(1);
  calculate();
  ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().text;
  const auto convert = [&](const std::string& model) {
    const std::string converted = directory.file(model + ".pov");
    const ProgramResult result =
        runProgram(std::string("'") + LOBEWRIGHT_CONVERTER + "' '" + dataPath("formaldehyde.mno") +
                       "' '" + converted + "' --params '" + dataPath("pm3r.txt") +
                       "' --mo 6 --orbitals " + model + " --quiet",
                   directory);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return readFile(converted);
  };
  const std::string exact = convert("exact");
  EXPECT_EQ(readFile(directory.file("window.pov")), exact);
  EXPECT_NE(convert("classic"), exact);
}

// Whatever the scene holds, drawing it ends and fills the picture; an unusable size draws
// nothing.
TEST(PreviewRaster, DrawsAnyContentWithoutFault) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double huge = 1e300;
  WrittenScene scene;
  scene.triangles = {
      {{Vec3{nan, 0, 0}, Vec3{1, 0, 0}, Vec3{0, 1, 0}}, LobeSign::positive, {}},
      {{Vec3{-huge, 0, 0}, Vec3{huge, 0, 0}, Vec3{0, huge, 0}}, LobeSign::negative, {}},
      {{Vec3{0, 0, 0}, Vec3{0, 0, 0}, Vec3{0, 0, 0}}, LobeSign::positive, {}},
      {{Vec3{0, 0, 0}, Vec3{1, 0, 0}, Vec3{0, 1, 0}}, LobeSign::positive, {}}};
  scene.atoms = {{"C", {0, 0, 0}}, {"Xx", {nan, 1, 1}}, {"H", {1, 0, 0}}};
  const BallAndStickModel structure = buildBallAndStick(scene.atoms);
  for (const double zoom : {kLeastZoom, 1.0, kGreatestZoom}) {
    PreviewView view;
    view.zoom = zoom;
    const PreviewImage image = renderPreview({&scene, &structure, {}}, view, 64, 48, 0xFF000000);
    EXPECT_EQ(image.pixels.size(), 64u * 48u);
  }
  EXPECT_TRUE(renderPreview({&scene, &structure, {}}, {}, 0, 10, 0).pixels.empty());
  EXPECT_TRUE(
      renderPreview({&scene, &structure, {}}, {}, 10, kLargestPreviewSide + 1, 0).pixels.empty());
}

// A ball behind a lobe is hidden by it, and seen once the view turns half round.
TEST(PreviewRaster, TheNearerThingHidesTheFarther) {
  WrittenScene scene;
  scene.triangles = {{{Vec3{-3, -3, 1}, Vec3{3, -3, 1}, Vec3{0, 3, 1}}, LobeSign::positive, {}}};
  scene.atoms = {{"N", {0, 0, 0}}};
  const BallAndStickModel structure = buildBallAndStick(scene.atoms);
  const auto centre = [&](const PreviewView& view) {
    const PreviewImage image = renderPreview({&scene, &structure, {}}, view, 101, 101, 0);
    return image.pixels[50 * 101 + 50] & 0xFFFFFFu;
  };
  const uint32_t front = centre({});
  EXPECT_EQ(front & 0x00FFFFu, 0u) << std::hex << front << " is not the red lobe";
  const uint32_t back = centre(turned({}, std::acos(-1.0), 0.0));
  EXPECT_NE(back & 0x00FFFFu, 0u) << std::hex << back << " is not the ball";
}

TEST(PreviewRaster, ZoomStaysWithinItsBounds) {
  EXPECT_EQ(zoomed({}, std::numeric_limits<double>::infinity()).zoom, 1.0);
  EXPECT_EQ(zoomed({}, 1e9).zoom, kGreatestZoom);
}

}  // namespace
}  // namespace lobewright::testing
