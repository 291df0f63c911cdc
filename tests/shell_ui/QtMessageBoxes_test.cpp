// The program's message boxes as the user meets them: Swedish buttons from Qt's own
// catalogue, and the button pressed coming back as the result EMsg's callers compare with.
#include "shell/ui/QtMessageBoxes.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <string>

using namespace shellui;

namespace {

// Runs answer on the next modal Dialog that opens (the timer fires inside the dialog's own
// event loop), then presses the button answer returns, or rejects the dialog without one.
template <typename Dialog>
void WhenOpen(const std::function<QAbstractButton*(Dialog&)>& answer) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    if (QAbstractButton* button = answer(*dialog)) button->click();
    else dialog->reject();
  });
  poll->start(10);
}

// The texts of the buttons as shown, without the mnemonic's "&", in alphabetical order.
std::string Texts(const QList<QAbstractButton*>& buttons) {
  QStringList texts;
  for (QAbstractButton* b : buttons) texts << b->text().remove('&');
  texts.sort();
  return texts.join(" / ").toStdString();
}

QAbstractButton* ButtonReading(const QList<QAbstractButton*>& buttons, const QString& text) {
  for (QAbstractButton* b : buttons)
    if (b->text().remove('&') == text) return b;
  return nullptr;
}

TEST(QtMessageBoxes, ButtonsReadSwedishAndTheirAnswerComesBack) {
  QtMessageBoxes boxes;
  struct Case {
    eerror::BoxKind kind;
    std::string texts;
    QString pressed;
    int result;
  };
  const Case cases[] = {
      {eerror::BoxKind::Question, "Ja / Nej", "Nej", eerror::kNo},
      {eerror::BoxKind::Question, "Ja / Nej", "Ja", eerror::kYes},
      {eerror::BoxKind::AbortRetryIgnore, "Avbryt / Försök igen / Ignorera", "Försök igen", eerror::kRetry},
      {eerror::BoxKind::Warning, "OK", "OK", eerror::kOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pressed.toStdString());
    std::string shown;
    WhenOpen<QMessageBox>([&](QMessageBox& box) {
      shown = Texts(box.buttons());
      return ButtonReading(box.buttons(), c.pressed);
    });
    EXPECT_EQ(boxes.Show(c.kind, "??", "radera?"), c.result);
    EXPECT_EQ(shown, c.texts);
  }
}

TEST(QtMessageBoxes, TheNumberDialogCancelsWithAvbryt) {
  QtMessageBoxes boxes;
  std::string shown;
  WhenOpen<QInputDialog>([&](QInputDialog& dialog) {
    const QList<QAbstractButton*> buttons = dialog.findChild<QDialogButtonBox*>()->buttons();
    shown = Texts(buttons);
    return ButtonReading(buttons, "Avbryt");
  });
  EXPECT_EQ(boxes.AskNumber("antal", 7), 7);
  EXPECT_EQ(shown, "Avbryt / OK");
}

}  // namespace
