// Qt's own texts in Swedish, like the rest of the program: the standard buttons of message
// boxes and dialogs read "Ja", "Nej", "Avbryt". Installed once, where the QApplication is
// made (the window program and the window tests).
#pragma once

namespace shellui {

// Loads Qt's Swedish catalogue (Debian package qt6-translations-l10n) into the running
// application. False when the catalogue is not installed: Qt's texts then stay English.
bool InstallSwedishQtTexts();

}  // namespace shellui
