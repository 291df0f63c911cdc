// A modal dialog answered by the test: once the event loop of exec() runs, the dialog on
// top is handed to the test, which acts as the user. A dialog the test leaves open is
// cancelled, so that a failed expectation never leaves a test waiting.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>

template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "no such dialog is shown";
      if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) other->reject();
      return;
    }
    act(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
}
