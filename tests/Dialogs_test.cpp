// The user-defined lines, satellites and spacecraft dialogs as the main
// window opens them, and the checked number field, without a display.
// Modal dialogs are answered from a timer once they are up.
#include "app/widgets/ColorSwatch.h"
#include "app/mainwindow/AboutBoxes.h"
#include "app/mainwindow/SSystemsForm.h"
#include "app/dialogs/DirectionDlgs.h"
#include "app/dialogs/DirectionsDlgs.h"
#include "app/dialogs/FloatEdit.h"
#include "app/dialogs/SatellitesDlgs.h"
#include "app/dialogs/SelectSpacecraftsDlgs.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void EnsureApplication()
{
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "Dialogs_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

// Runs `answer` once `dialog` is the modal window on top. An answer cut
// short by a failed assertion leaves the dialog open: it is then closed, so
// that the test goes on instead of waiting for ever.
void WhenShown(QDialog* dialog, std::function<void()> answer)
{
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, dialog, answer] {
    if (QApplication::activeModalWidget() != dialog) return;
    poll->stop();
    poll->deleteLater();
    answer();
    if (dialog->isVisible() && QApplication::activeModalWidget() == dialog) {
      ADD_FAILURE() << "the answer left " << dialog->objectName().toStdString() << " open";
      dialog->reject();
    }
  });
  poll->start();
}

void Click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

class DialogsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("sollumen-dialogs-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(dir_);
    TFormOptions o;
    o.ProgramDir = dir_.string() + "/";
    o.Prompts = &prompts_;
    form_ = std::make_unique<TSolarSystemForm>(o);
    form_->SolarSystem().SpacecraftsList().Clear();
    form_->SolarSystem().DirectionList().Clear();
    prompts_.Errors.clear();  // no "last.orb" yet
  }
  void TearDown() override
  {
    form_.reset();
    fs::remove_all(dir_);
  }
  TSolarSystem& Scene() { return form_->SolarSystem(); }
  void Trajectory(const std::string& name)
  {
    fs::copy_file(SOLLUMEN_EXAMPLE_SPACECRAFT, dir_ / name, fs::copy_options::overwrite_existing);
  }
  static std::vector<std::string> Entries(const QListWidget* l)
  {
    std::vector<std::string> out;
    for (int i = 0; i < l->count(); ++i) out.push_back(l->item(i)->text().toStdString());
    return out;
  }

  fs::path dir_;
  TScriptedPrompts prompts_;
  std::unique_ptr<TSolarSystemForm> form_;
};

// ------------------------------------------------------------ lines

TEST_F(DialogsTest, LinesDialogEditsACopyAndOnlyOkReplacesTheScenesLines)
{
  TDirectionsDlg* list = form_->DirectionsDlg;
  TDirectionDlg* line = list->DirectionDlg;
  ASSERT_TRUE(form_->SBLines->isEnabled());
  bool ran = false;
  WhenShown(list, [&] {
    ran = true;
    // empty: one empty row, only Add
    EXPECT_EQ(list->DrawGrid->rowCount(), 1);
    EXPECT_TRUE(list->SBAdd->isEnabled());
    EXPECT_FALSE(list->SBRemove->isEnabled());
    EXPECT_FALSE(list->SBEdit->isEnabled());
    EXPECT_FALSE(list->SBClear->isEnabled());

    // Add, then Cancel: nothing added
    WhenShown(line, [&] { Click(line->CancelBtn); });
    Click(list->SBAdd);
    EXPECT_EQ(list->Lines().Count(), 0);

    // Add Mars - Jupiter in red
    prompts_.ColorAnswer = true;
    prompts_.ColorChoice = 0x0000FF;
    WhenShown(line, [&] {
      EXPECT_EQ(line->CBFrom->currentText(), "Sun");
      EXPECT_EQ(line->CBTo->currentText(), "Earth");
      EXPECT_EQ(line->Shape->Color(), 0x808080u);
      line->CBFrom->setCurrentIndex(4);
      emit line->CBFrom->activated(4);
      line->CBTo->setCurrentIndex(5);
      emit line->CBTo->activated(5);
      QTest::mouseClick(line->Shape, Qt::LeftButton);
      Click(line->OKBtn);
    });
    Click(list->SBAdd);
    ASSERT_EQ(list->Lines().Count(), 1);
    EXPECT_EQ(LineRowText(*list->Lines().Items(0)), "Mars - Jupiter");
    EXPECT_TRUE(list->SBEdit->isEnabled());
    EXPECT_TRUE(list->SBClear->isEnabled());

    // Edit both ends and the colour, then Cancel: the line is as it was
    prompts_.ColorChoice = 0x00FF00;
    WhenShown(line, [&] {
      EXPECT_EQ(line->CBFrom->currentText(), "Mars");
      line->CBFrom->setCurrentIndex(0);
      emit line->CBFrom->activated(0);
      line->CBTo->setCurrentIndex(9);
      emit line->CBTo->activated(9);
      line->ShapeMouseDown();
      Click(line->CancelBtn);
    });
    list->SBEditClick();
    const TDirection& kept = *list->Lines().Items(0);
    EXPECT_EQ(kept.FromObject, 3);
    EXPECT_EQ(kept.ToObject, 4);
    EXPECT_EQ(kept.Color, 0x0000FFu);

    // the row shows the text and a red box right of it
    list->DrawGrid->setCurrentCell(-1, -1);  // drawn unselected
    const QRect cell = list->DrawGrid->visualRect(list->DrawGrid->model()->index(0, 0));
    const QImage image = list->DrawGrid->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(cell.left() + 160, cell.top() + 12), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(cell.left() + 130, cell.top() + 12), QColor(0, 0, 0));  // outline
    Click(list->CancelBtn);
  });
  form_->SBLinesClick();
  ASSERT_TRUE(ran);
  EXPECT_EQ(Scene().DirectionList().Count(), 0);

  // OK takes the copy; another use that removes it and adds two, then
  // Cancel, leaves the scene's line
  WhenShown(list, [&] {
    WhenShown(line, [&] { Click(line->OKBtn); });
    list->SBAddClick();
    Click(list->OKBtn);
  });
  form_->SBLinesClick();
  ASSERT_EQ(Scene().DirectionList().Count(), 1);
  EXPECT_EQ(Scene().DirectionList().Items(0)->FromObject, 9);
  WhenShown(list, [&] {
    EXPECT_EQ(list->Lines().Count(), 1);
    EXPECT_NE(list->Lines().Items(0), Scene().DirectionList().Items(0));
    Click(list->SBRemove);
    EXPECT_EQ(list->Lines().Count(), 0);
    EXPECT_FALSE(list->SBRemove->isEnabled());
    for (int i = 0; i < 2; ++i) {
      WhenShown(line, [&] { Click(line->OKBtn); });
      list->SBAddClick();
    }
    EXPECT_EQ(list->Lines().Count(), 2);
    Click(list->CancelBtn);
  });
  form_->SBLinesClick();
  ASSERT_EQ(Scene().DirectionList().Count(), 1);
  EXPECT_EQ(Scene().DirectionList().Items(0)->ToObject, 0);
}

// ------------------------------------------------------------ satellites

TEST_F(DialogsTest, SatellitesDialogTiesCompanionsAndWritesOnlyOnOk)
{
  TSatellitesDlg* dlg = form_->SatellitesDlg;
  ASSERT_EQ(dlg->SatelliteBoxes.size(), 22u);
  auto* button = form_->TSObjects->findChild<QToolButton*>("SBShowSatellites");
  ASSERT_NE(button, nullptr);
  auto visible = [this](int body) {
    for (int p = 0; p < 9; ++p)
      if (TSatellite* s = Scene().Planet(p)->FindSatellite(body)) return s->Visible;
    ADD_FAILURE() << body;
    return false;
  };
  auto allVisible = [&](bool v) {
    for (QCheckBox* b : dlg->SatelliteBoxes)
      if (visible(TSatellitesDlg::BoxBodyNumber(b)) != v) return false;
    return true;
  };
  ASSERT_TRUE(allVisible(true));

  // Tethys off: Telesto and Calypso unchecked and disabled; on again: they
  // are enabled and stay unchecked. Cancel changes nothing.
  WhenShown(dlg, [&] {
    for (QCheckBox* b : dlg->SatelliteBoxes) EXPECT_TRUE(b->isChecked());
    Click(dlg->CBTethys);
    for (QCheckBox* c : {dlg->CBTelesto, dlg->CBCalypso}) {
      EXPECT_FALSE(c->isChecked());
      EXPECT_FALSE(c->isEnabled());
    }
    EXPECT_TRUE(dlg->CBHelene->isEnabled());
    Click(dlg->CBTethys);
    for (QCheckBox* c : {dlg->CBTelesto, dlg->CBCalypso}) {
      EXPECT_FALSE(c->isChecked());
      EXPECT_TRUE(c->isEnabled());
    }
    Click(dlg->SBNone);
    Click(dlg->CancelBtn);
  });
  Click(button);
  EXPECT_TRUE(allVisible(true));

  // None, OK: all hidden; All, OK: all 22 shown
  WhenShown(dlg, [&] {
    Click(dlg->SBNone);
    Click(dlg->OKBtn);
  });
  form_->SBShowSatellitesClick();
  EXPECT_TRUE(allVisible(false));
  WhenShown(dlg, [&] {
    for (QCheckBox* b : dlg->SatelliteBoxes) EXPECT_FALSE(b->isChecked());
    EXPECT_FALSE(dlg->CBHelene->isEnabled());
    Click(dlg->SBAll);
    Click(dlg->OKBtn);
  });
  form_->SBShowSatellitesClick();
  EXPECT_TRUE(allVisible(true));

  // Helene shown without Dione (as an older document may hold it) is
  // hidden by OK.
  Scene().Planet(5)->FindSatellite(161)->Visible = false;
  WhenShown(dlg, [&] {
    EXPECT_FALSE(dlg->CBHelene->isChecked());
    Click(dlg->OKBtn);
  });
  form_->SBShowSatellitesClick();
  EXPECT_FALSE(visible(162));
  EXPECT_TRUE(visible(159));
}

// ------------------------------------------------------------ spacecraft

TEST_F(DialogsTest, SpacecraftListsFollowTheDirectoryAndTheScene)
{
  Trajectory("Voyager1.spc");
  Trajectory("Galileo.SPC");
  fs::create_directory(dir_ / "Folder.spc");  // not a trajectory file
  TSelectSpacecraftsDlg* dlg = form_->SelectSpacecraftsDlg;
  auto* button = form_->TSObjects->findChild<QToolButton*>("SBShowSpacecrafts");
  ASSERT_NE(button, nullptr);

  WhenShown(dlg, [&] {
    EXPECT_EQ(Entries(dlg->SrcList), (std::vector<std::string>{"Galileo", "Voyager1"}));
    EXPECT_TRUE(Entries(dlg->DstList).empty());
    EXPECT_FALSE(dlg->ExcludeBtn->isEnabled());
    EXPECT_FALSE(dlg->ExAllBtn->isEnabled());
    // both selected together arrive in reverse order
    dlg->SrcList->selectAll();
    Click(dlg->IncludeBtn);
    EXPECT_EQ(Entries(dlg->DstList), (std::vector<std::string>{"Voyager1", "Galileo"}));
    EXPECT_FALSE(dlg->IncludeBtn->isEnabled());
    // back, then ">>"
    Click(dlg->ExAllBtn);
    EXPECT_EQ(Entries(dlg->SrcList), (std::vector<std::string>{"Galileo", "Voyager1"}));
    Click(dlg->IncAllBtn);
    EXPECT_TRUE(Entries(dlg->SrcList).empty());
    EXPECT_FALSE(dlg->IncludeBtn->isEnabled());
    EXPECT_FALSE(dlg->IncAllBtn->isEnabled());
    EXPECT_TRUE(dlg->ExcludeBtn->isEnabled());
    EXPECT_EQ(Entries(dlg->DstList), (std::vector<std::string>{"Galileo", "Voyager1"}));
    Click(dlg->OKBtn);
  });
  Click(button);
  ASSERT_TRUE(prompts_.Errors.empty()) << prompts_.Errors.front();
  // Galileo.SPC is found in spite of its capital extension
  ASSERT_EQ(Scene().SpacecraftsList().Count(), 2);
  EXPECT_EQ(fs::path(Scene().SpacecraftsList().Items(0)->TrajectoryFile).filename(), "Galileo.SPC");

  // Spacecraft of the scene are listed only under "selected"; Cancel keeps
  // the scene's spacecraft.
  TSpacecraft* before = Scene().SpacecraftsList().Items(0);
  WhenShown(dlg, [&] {
    EXPECT_TRUE(Entries(dlg->SrcList).empty());
    EXPECT_EQ(Entries(dlg->DstList), (std::vector<std::string>{"Galileo", "Voyager1"}));
    dlg->DstList->item(1)->setSelected(true);
    Click(dlg->ExcludeBtn);
    EXPECT_EQ(Entries(dlg->SrcList), (std::vector<std::string>{"Voyager1"}));
    Click(dlg->CancelBtn);
  });
  form_->SBShowSpacecraftsClick();
  ASSERT_EQ(Scene().SpacecraftsList().Count(), 2);
  EXPECT_EQ(Scene().SpacecraftsList().Items(0), before);
}

TEST_F(DialogsTest, SpacecraftSettingsAreCopiedInEveryModeAndAFailedFileIsReported)
{
  Trajectory("Alpha.spc");
  Trajectory("Beta.spc");
  Trajectory("Gamma.spc");
  for (const char* n : {"Alpha.spc", "Beta.spc", "Gamma.spc"})
    Scene().SpacecraftsList().AddFromFile(dir_ / n, 0);
  fs::remove(dir_ / "Beta.spc");
  Scene().SpacecraftTrajectoryMode = stmUser;
  Scene().SpacecraftTrajectoryPast = 2.5L;
  Scene().SpacecraftTrajectoryFuture = 4;
  Scene().ShowPlanetocentricTrajectories = false;
  TSelectSpacecraftsDlg* dlg = form_->SelectSpacecraftsDlg;

  WhenShown(dlg, [&] {
    // a file gone from the directory is still selected
    EXPECT_EQ(Entries(dlg->DstList), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_TRUE(dlg->ModeButtons[stmUser]->isChecked());
    EXPECT_EQ(dlg->FEBack->text(), "2.500");
    EXPECT_EQ(dlg->FEAhead->text(), "4.000");
    EXPECT_FALSE(dlg->CBPlanetocentricTrajectories->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{dlg->GBUserDefined, dlg->FEBack,
                                                      dlg->FEAhead, dlg->Label1, dlg->Label2})
      EXPECT_TRUE(w->isEnabled());
    Click(dlg->ModeButtons[stmFuture]);
    EXPECT_FALSE(dlg->FEBack->isEnabled());
    EXPECT_FALSE(dlg->Label2->isEnabled());
    dlg->FEBack->setText("7");  // typed earlier, read on OK
    Click(dlg->CBPlanetocentricTrajectories);
    Click(dlg->OKBtn);
  });
  form_->SBShowSpacecraftsClick();
  EXPECT_EQ(Scene().SpacecraftTrajectoryMode, stmFuture);
  EXPECT_EQ(Scene().SpacecraftTrajectoryPast, 7);
  EXPECT_EQ(Scene().SpacecraftTrajectoryFuture, 4);
  EXPECT_TRUE(Scene().ShowPlanetocentricTrajectories);
  ASSERT_EQ(prompts_.Errors.size(), 1u);
  EXPECT_NE(prompts_.Errors[0].find("Beta.spc"), std::string::npos) << prompts_.Errors[0];
  ASSERT_EQ(Scene().SpacecraftsList().Count(), 2);
  EXPECT_EQ(fs::path(Scene().SpacecraftsList().Items(1)->TrajectoryFile).filename(), "Gamma.spc");
}

// ------------------------------------------------------------ number field

class FloatEditTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    window_ = std::make_unique<QWidget>();
    edit_ = new TFloatEdit(window_.get());
    edit_->SetPrompts(&prompts_);
    other_ = new QLineEdit(window_.get());
    other_->move(0, 40);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }
  // Types `text` into the field and leaves it.
  void TypeAndLeave(const QString& text)
  {
    edit_->setFocus();
    edit_->selectAll();
    QTest::keyClicks(edit_, text);
    other_->setFocus();
  }

  TScriptedPrompts prompts_;
  std::unique_ptr<QWidget> window_;
  TFloatEdit* edit_ = nullptr;
  QLineEdit* other_ = nullptr;
};

TEST_F(FloatEditTest, RefusalsShowTheirMessageAndRestoreThePreviousValue)
{
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(edit_->text(), "0.000");
  TypeAndLeave("abc");
  ASSERT_EQ(prompts_.Messages.size(), 1u);
  EXPECT_EQ(prompts_.Messages[0], "'abc' is not a numerical value.\r\nThe value was not changed.");
  EXPECT_EQ(prompts_.FocusAtMessage, edit_);  // the field has the focus again
  EXPECT_EQ(QApplication::focusWidget(), edit_);
  EXPECT_EQ(edit_->text(), "0.000");

  TypeAndLeave("2.5");
  EXPECT_EQ(edit_->text(), "2.500");
  TypeAndLeave("-1");
  ASSERT_EQ(prompts_.Messages.size(), 2u);
  EXPECT_EQ(prompts_.Messages[1], "The value is out of range (0 .. 1E99).");
  EXPECT_EQ(edit_->text(), "2.500");
  EXPECT_EQ(edit_->Value(), 2.5L);

  // limits are inclusive; the setter takes any value without a word
  edit_->MaxValue = 10;
  TypeAndLeave("10");
  EXPECT_EQ(edit_->Value(), 10);
  edit_->SetValue(-3);
  EXPECT_EQ(edit_->text(), "-3.000");
  EXPECT_EQ(prompts_.Messages.size(), 2u);

  // reading Value checks what was typed: refused, the previous value
  edit_->setText("1,5");
  EXPECT_EQ(edit_->Value(), -3);
  ASSERT_EQ(prompts_.Messages.size(), 3u);
  EXPECT_EQ(prompts_.Messages[2], "'1,5' is not a numerical value.\r\nThe value was not changed.");
  edit_->setText("4");
  EXPECT_EQ(edit_->Value(), 4);
}

TEST_F(FloatEditTest, DecimalSeparatorFollowsTheLocale)
{
  QLocale::setDefault(QLocale::c());
  TypeAndLeave("2,5");
  EXPECT_EQ(prompts_.Messages.size(), 1u);
  EXPECT_EQ(edit_->text(), "0.000");

  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  TypeAndLeave("2,5");
  EXPECT_EQ(edit_->text(), "2,500");
  TypeAndLeave("2.5");  // neither a decimal point nor a thousands separator here
  EXPECT_EQ(prompts_.Messages.size(), 2u);
  EXPECT_EQ(edit_->text(), "2,500");
  TypeAndLeave("1234567,125");
  EXPECT_EQ(edit_->text(), "1234567,125");  // no thousands separators

  EXPECT_EQ(FloatEditText(1e20L, 3), "1E20");
  EXPECT_EQ(OutOfRangeMessage(-0.5L, 1e99L), "The value is out of range (-0,5 .. 1E99).");
}

// The about box names the note on the minor-body data; once the note lies
// in the program's directory, its name is a link that opens the file.
TEST(AboutBox, LinksTheDataNoteOnlyWhereItLies)
{
  EnsureApplication();
  const fs::path dir = fs::temp_directory_path() / ("sollumen about " + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path note = dir / "MPCORB.rtf";
  const QString path = QString::fromStdString(note.string());
  TAboutBox box;
  auto* info = box.findChild<QLabel*>("InfoLabel");
  ASSERT_NE(info, nullptr);
  const QString plain = info->text();
  ASSERT_TRUE(plain.contains("MPCORB.rtf"));

  box.SetDataNotePath(path);  // not there: the notice stays as it was
  EXPECT_EQ(info->text(), plain);
  EXPECT_FALSE(info->openExternalLinks());

  std::ofstream(note) << "{\\rtf1 note}";
  box.SetDataNotePath(path);
  const QString url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
  EXPECT_TRUE(url.contains("%20"));
  EXPECT_TRUE(info->text().contains("<a href=\"" + url + "\">MPCORB.rtf</a>")) << info->text().toStdString();
  EXPECT_TRUE(info->text().startsWith(plain.section('\n', 0, 0).toHtmlEscaped()));
  EXPECT_TRUE(info->openExternalLinks());
  fs::remove_all(dir);
}

}  // namespace
