#include "support/golden.h"
#include "support/temp_dir.h"
#include "window/form_fixture.h"

namespace lobewright::testing {
namespace {

using Message = ScriptedDialogs::Message;

class HomoLumo : public FormTest {
 protected:
  void chooseInput(const std::string& fileName) { form->InputDialog.fileName = fileName; }

  TempDir directory;
};

TEST_F(HomoLumo, EachButtonReadsTheFileAfresh) {
  chooseInput(dataPath("formaldehyde.mno"));
  clickAndWait(form->HOMOButton);
  EXPECT_EQ(form->settings.moNumber, 6);
  EXPECT_EQ(textOf(form->MoEdit), "6");
  EXPECT_EQ(form->MoUpDown->position(), 6);
  clickAndWait(form->LUMOButton);
  EXPECT_EQ(form->settings.moNumber, 7);
  EXPECT_EQ(textOf(form->MoEdit), "7");
  EXPECT_EQ(form->MoUpDown->position(), 7);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(HomoLumo, WithoutAnInputFileNothingIsRead) {
  clickAndWait(form->HOMOButton);
  EXPECT_EQ(dialogs.messages,
            (std::vector<Message>{{"Lobewright error", "No input file selected."}}));
  EXPECT_EQ(form->settings.moNumber, 1);
}

TEST_F(HomoLumo, MissingFileOrMissingCountKeepsTheMoNumber) {
  type(form->MoEdit, "3");
  chooseInput(directory.file("missing.mno"));
  clickAndWait(form->LUMOButton);
  const std::string withoutLevels = directory.file("levels.mno");
  writeFile(withoutLevels, "NO. OF FILLED levels = 6\nLEVELS: 4\n");
  chooseInput(withoutLevels);
  clickAndWait(form->HOMOButton);
  EXPECT_EQ(dialogs.messages,
            (std::vector<Message>{
                {"Lobewright error", "Cannot find HOMO/LUMO\n" + directory.file("missing.mno") +
                                         ": No such file or directory"},
                {"Lobewright error", "Cannot find HOMO/LUMO\n" + withoutLevels +
                                         ": no count of filled levels (\"LEVELS =\")"}}));
  EXPECT_EQ(form->settings.moNumber, 3);
  EXPECT_EQ(textOf(form->MoEdit), "3");
}

// A count beyond the arrows' reach is taken; an MO that cannot be is refused with a sign.
TEST_F(HomoLumo, CountsOutsideTheArrowsAreTakenAndImpossibleOnesRefused) {
  const std::string manyLevels = directory.file("many.mno");
  writeFile(manyLevels, "FILLED LEVELS = 250\n");
  chooseInput(manyLevels);
  clickAndWait(form->LUMOButton);
  EXPECT_EQ(form->settings.moNumber, 251);
  EXPECT_EQ(textOf(form->MoEdit), "251");
  EXPECT_EQ(form->MoUpDown->position(), 200);

  const std::string noLevels = directory.file("none.mno");
  writeFile(noLevels, "FILLED LEVELS = 0\n");
  chooseInput(noLevels);
  clickAndWait(form->HOMOButton);
  EXPECT_EQ(form->settings.moNumber, 251);
  EXPECT_EQ(textOf(form->MoEdit), "0");
  EXPECT_TRUE(form->MoEdit->property("refused").toBool());
}

}  // namespace
}  // namespace lobewright::testing
