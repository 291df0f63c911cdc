#include "common/Ansi.h"
#include "shell/ECountForm.h"
#include "shell/ui/QtCountForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

using namespace shellui;

namespace {

std::vector<TCountForm*> OpenForms() {
  std::vector<TCountForm*> forms;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* form = dynamic_cast<TCountForm*>(w); form != nullptr && form->isVisible()) forms.push_back(form);
  }
  return forms;
}

class QtCountFormTest : public testing::Test {
 protected:
  void SetUp() override {
    owner.resize(545, 312);
    owner.show();
  }
  void TearDown() override {
    while (ecountform::Depth() > 0) ecountform::Close();
  }
  esmall::WindowHandle Owner() { return static_cast<esmall::WindowHandle>(owner.winId()); }

  QMainWindow owner;
  QtProgressWindows windows;
  ScopedProgressWindows installed{windows};
};

}  // namespace

TEST_F(QtCountFormTest, OwnerDisabledWhileOpenAndEnabledAfter) {
  ASSERT_TRUE(ecountform::Open(Owner(), true, 5, A("räknar")));
  const std::vector<TCountForm*> forms = OpenForms();
  ASSERT_EQ(forms.size(), 1u);
  TCountForm* form = forms[0];
  EXPECT_FALSE(owner.isEnabled());
  EXPECT_TRUE(form->isEnabled());
  EXPECT_TRUE(form->CancelButton()->isEnabled());
  EXPECT_EQ(form->windowTitle(), QString::fromUtf8("räknar"));
  EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_LE((form->geometry().center() - owner.frameGeometry().center()).manhattanLength(), 4);
  // Three of the eight lines, the rest hidden; each line keeps its name.
  EXPECT_TRUE(form->findChild<QLabel*>("countW3")->isVisibleTo(form));
  EXPECT_FALSE(form->findChild<QLabel*>("countW4")->isVisibleTo(form));
  ecountform::Line(10, "tio");
  ecountform::Line(3, A("två åäö"));
  EXPECT_EQ(form->findChild<QLabel*>("countW1")->text(), "tio");
  EXPECT_EQ(form->StatusLine(2)->text(), QString::fromUtf8("två åäö"));
  ecountform::Close();
  EXPECT_TRUE(owner.isEnabled());
  EXPECT_TRUE(OpenForms().empty());
}

TEST_F(QtCountFormTest, NestsFourDeepAndOnlyTheOutermostTouchesTheOwner) {
  for (int i = 1; i <= 5; ++i) ecountform::Open(Owner(), false, 10, "steg " + std::to_string(i));
  EXPECT_EQ(ecountform::Depth(), 5);
  std::vector<TCountForm*> forms = OpenForms();
  ASSERT_EQ(forms.size(), 4u);
  for (TCountForm* form : forms) {
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(form->CancelButton()->isVisibleTo(form));
  }
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ecountform::Line(2, "ignored at depth five");
  ecountform::Close();  // the fifth: nothing to close
  EXPECT_EQ(OpenForms().size(), 4u);
  ecountform::Close();
  ecountform::Close();
  ecountform::Close();
  EXPECT_EQ(OpenForms().size(), 1u);
  EXPECT_FALSE(owner.isEnabled());
  ecountform::Close();
  EXPECT_TRUE(owner.isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(ecountform::Depth(), 0);
}

TEST_F(QtCountFormTest, CancelSetsTheFlagsAndStopsLines) {
  ASSERT_TRUE(ecountform::Open(Owner(), true, 10, "lista"));
  ASSERT_TRUE(ecountform::Open(Owner(), true, 10, "inre"));
  std::vector<TCountForm*> forms = OpenForms();
  ASSERT_EQ(forms.size(), 2u);
  TCountForm* inner = forms[0]->windowTitle() == "inre" ? forms[0] : forms[1];
  EXPECT_FALSE(ecountform::Aborted());
  inner->CancelButton()->click();
  EXPECT_TRUE(ecountform::Aborted());
  ecountform::Line(2, "after cancel");
  EXPECT_EQ(inner->StatusLine(1)->text(), "");
  ecountform::Close();
  EXPECT_TRUE(ecountform::Aborted());  // the global flag reaches the outer window
  ecountform::Close();
  // A new window starts uncancelled.
  ASSERT_TRUE(ecountform::Open(Owner(), true, 10, "igen"));
  EXPECT_FALSE(ecountform::Aborted());
  ecountform::Close();
}

TEST_F(QtCountFormTest, EscapePressesCancelOnlyWhenThereIsOne) {
  ASSERT_TRUE(ecountform::Open(Owner(), false, 4, "utan"));
  OpenForms()[0]->reject();
  EXPECT_FALSE(ecountform::Aborted());
  EXPECT_EQ(OpenForms().size(), 1u);  // the caller closes it, not the user
  ecountform::Close();
  ASSERT_TRUE(ecountform::Open(Owner(), true, 4, "med"));
  OpenForms()[0]->reject();
  EXPECT_TRUE(ecountform::Aborted());
  ecountform::Close();
}
