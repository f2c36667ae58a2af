#include "window/form_fixture.h"
#include "support/golden.h"
#include "support/temp_dir.h"

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
  form->HOMOButton->click();
  EXPECT_EQ(form->settings.moNumber, 6);
  EXPECT_EQ(textOf(form->MoEdit), "6");
  EXPECT_EQ(form->MoUpDown->position(), 6);
  form->LUMOButton->click();
  EXPECT_EQ(form->settings.moNumber, 7);
  EXPECT_EQ(textOf(form->MoEdit), "7");
  EXPECT_EQ(form->MoUpDown->position(), 7);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(HomoLumo, WithoutAnInputFileNothingIsRead) {
  form->HOMOButton->click();
  EXPECT_EQ(dialogs.messages,
            (std::vector<Message>{{"Lobewright error", "No input file selected."}}));
  EXPECT_EQ(form->settings.moNumber, 1);
}

TEST_F(HomoLumo, MissingFileOrMissingCountKeepsTheMoNumber) {
  type(form->MoEdit, "3");
  chooseInput(directory.file("missing.mno"));
  form->LUMOButton->click();
  const std::string withoutLevels = directory.file("levels.mno");
  writeFile(withoutLevels, "NO. OF FILLED levels = 6\nLEVELS: 4\n");
  chooseInput(withoutLevels);
  form->HOMOButton->click();
  EXPECT_EQ(dialogs.messages,
            (std::vector<Message>{{"Lobewright error", "Cannot find HOMO/LUMO"},
                                  {"Lobewright error", "Cannot find HOMO/LUMO"}}));
  EXPECT_EQ(form->settings.moNumber, 3);
  EXPECT_EQ(textOf(form->MoEdit), "3");
}

TEST_F(HomoLumo, CountsOutsideTheSpinnersRangeAreStoredAsRead) {
  const std::string manyLevels = directory.file("many.mno");
  writeFile(manyLevels, "FILLED LEVELS = 250\n");
  chooseInput(manyLevels);
  form->LUMOButton->click();
  EXPECT_EQ(form->settings.moNumber, 251);
  EXPECT_EQ(textOf(form->MoEdit), "251");
  EXPECT_EQ(form->MoUpDown->position(), 200);

  const std::string noLevels = directory.file("none.mno");
  writeFile(noLevels, "FILLED LEVELS = 0\n");
  chooseInput(noLevels);
  form->HOMOButton->click();
  EXPECT_EQ(form->settings.moNumber, 0);
  EXPECT_EQ(textOf(form->MoEdit), "0");
  EXPECT_EQ(form->MoUpDown->position(), 200);
}

}  // namespace
}  // namespace lobewright::testing
