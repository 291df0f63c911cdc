// The pick window driven as a user drives it: clicks, "&Alla", a double-click, OK and Cancel,
// and the pick list that shows it modally.
#include "registers/ui/epickForm32.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace eregui;

namespace {

QPoint At(QListWidget* list, int row) { return list->visualItemRect(list->item(row)).center(); }

ereg::TPickWindowState State(bool multi) {
  return ereg::TPickWindowState("visar konton", multi, true, {"1930 \"Bank....\"", "1510 \"Kund....\"", "3010 \"L\xf6n.....\""},
                                {false, true, false});
}

TEST(PickWindow, ShowsTheStateSortedWithItsCaptionAndStatus) {
  ereg::TPickWindowState state = State(true);
  TEPickForm form(state);
  form.show();
  EXPECT_EQ(form.windowTitle(), "visar konton");
  ASSERT_EQ(form.List()->count(), 3);
  EXPECT_EQ(form.List()->item(0)->text(), QString::fromUtf8("1510 \"Kund....\""));
  EXPECT_EQ(form.List()->item(2)->text(), QString::fromUtf8("3010 \"Lön.....\""));
  EXPECT_TRUE(form.List()->item(0)->isSelected());
  EXPECT_EQ(form.Status(), "  1 [  3]");
  EXPECT_EQ(form.AllButton()->text(), "&Alla");
  EXPECT_EQ(form.AllButton()->toolTip(), QString::fromUtf8("väljer alla respektive ingen"));
  EXPECT_TRUE(form.AllButton()->isEnabled());
}

TEST(PickWindow, ClicksAndAllaChangeTheSelectionTheStateKeeps) {
  ereg::TPickWindowState state = State(true);
  TEPickForm form(state);
  form.show();
  QListWidget* list = form.List();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, At(list, 2));
  EXPECT_TRUE(state.Selected(2));
  EXPECT_TRUE(state.Selected(0));  // a multiple choice adds to the selection
  EXPECT_EQ(form.Status(), "  2 [  3]");
  QTest::mouseClick(form.AllButton(), Qt::LeftButton);
  EXPECT_EQ(state.SelectedCount(), 3);
  EXPECT_EQ(list->selectedItems().size(), 3);
  EXPECT_EQ(form.AllButton()->text(), "&Ingen");
  QTest::mouseClick(form.AllButton(), Qt::LeftButton);
  EXPECT_EQ(state.SelectedCount(), 0);
  EXPECT_EQ(list->selectedItems().size(), 0);
  EXPECT_EQ(form.AllButton()->text(), "&Alla");
  EXPECT_EQ(form.Status(), " [  3]");
  // A double-click in a multiple choice only selects.
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, At(list, 1));
  EXPECT_TRUE(form.isVisible());
}

TEST(PickWindow, ASingleChoiceEndsWithOkOnADoubleClick) {
  ereg::TPickWindowState state = State(false);
  TEPickForm form(state);
  form.show();
  EXPECT_FALSE(form.AllButton()->isEnabled());
  QListWidget* list = form.List();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, At(list, 2));
  EXPECT_EQ(state.SelectedCount(), 1);
  EXPECT_TRUE(state.Selected(2));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, At(list, 1));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, At(list, 1));
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(state.Selected(1));
  EXPECT_EQ(state.SelectedCount(), 1);
}

// The modal window, found and answered as the user would.
void Answer(const std::function<void(TEPickForm&)>& user) {
  QTimer::singleShot(0, [user] {
    auto* form = dynamic_cast<TEPickForm*>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    user(*form);
  });
}

TEST(PickWindow, OkAndAvbrytEndTheModalWindow) {
  QWidget owner;
  QtPickWindows windows(&owner);
  ereg::TPickWindowState state = State(true);
  Answer([](TEPickForm& form) { QTest::mouseClick(form.findChild<QPushButton*>("OKBtn"), Qt::LeftButton); });
  EXPECT_TRUE(windows.ShowPick(state));
  Answer([](TEPickForm& form) { QTest::mouseClick(form.findChild<QPushButton*>("CancelBtn"), Qt::LeftButton); });
  EXPECT_FALSE(windows.ShowPick(state));
  Answer([](TEPickForm& form) { QTest::keyClick(&form, Qt::Key_Escape); });
  EXPECT_FALSE(windows.ShowPick(state));
}

}  // namespace
