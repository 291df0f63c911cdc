// toolbuttonlist: the pictures of the main window's toolbar, our own drawings by their
// place in the image list the toolbar names them by.
#pragma once

#include <QIcon>

namespace bfui {

enum class ToolImage {
  kVerification = 0,  // a sheet being written on: a new verification
  kAccountPlan = 4,   // a list of accounts with their columns
  kBackup = 6,        // a sheet copied onto a disk
};

QIcon ToolButtonImage(ToolImage image);

}  // namespace bfui
