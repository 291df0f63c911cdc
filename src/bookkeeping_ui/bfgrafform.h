// TGrafForm: the window of "visa grafiskt", the sum groups as a chart (see
// reports/bflista_grafiskt.h), drawn with QPainter at the window's size. It lives until the
// user closes it.
#pragma once

#include <QWidget>

#include "reports/bflista_grafiskt.h"

namespace bfui {

class TGrafForm : public QWidget {
 public:
  explicit TGrafForm(reports::GroupChart chart, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  reports::GroupChart chart_;
};

}  // namespace bfui
