// The pick window answered by the test, which acts as the user on the window's state.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "registers/epickForm32.h"

struct ScriptedPickWindows : ereg::PickWindows {
  std::function<bool(ereg::TPickWindowState&)> user;
  int shown = 0;
  bool ShowPick(ereg::TPickWindowState& state) override {
    ++shown;
    return user ? user(state) : false;
  }
  // The lines as shown, a selected one followed by "*".
  static std::vector<std::string> Shown(const ereg::TPickWindowState& state) {
    std::vector<std::string> lines;
    for (int i = 0; i < state.Count(); ++i) lines.push_back(state.Line(i) + (state.Selected(i) ? "*" : ""));
    return lines;
  }
};
