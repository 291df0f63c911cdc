// TEKonfigDlg ("inställningar"): the settings dialog of the shell's "konfig" button. It
// keeps the computer name, the two pages "rapporter" and "etiketter" with ten tabs each
// (one per setting) and a status bar. A page shows one setting at a time, the current
// buffer of its kind; leaving a tab writes that setting to the file before the next one is
// read. OK keeps everything and stores the shown page and the computer name; Cancel (also
// Escape and the window's close box) puts every setting and the main record back as they
// were. The rules live in ekonfig::KonfigEdit; the dialog copies between it and its controls.
#pragma once

#include "printing/PrinterEnv.h"
#include "printing/PrinterSystem.h"
#include "shell/ekonfig32_edit.h"

#include <QDialog>
#include <QFont>
#include <QString>

#include <array>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QToolButton;

namespace shellui {
class SettingTabs;
}

namespace shellui {

class TEKonfigDlg : public QDialog {
 public:
  static constexpr int kReportPage = 1;  // pages as stored, 1-based
  static constexpr int kLabelPage = 2;

  explicit TEKonfigDlg(QWidget* parent = nullptr);

  void accept() override;
  void reject() override;

  // The setting shown on a page, 1..10; switching runs the tab-leaving save.
  int ShownSetting(ekonfig::SettingKind kind) const;
  void ShowSetting(ekonfig::SettingKind kind, int n);
  void ShowPage(int page);

  // The buttons of a setting: font slot 0..2, "skrivare", and report pictures 1..4.
  void ChooseFont(ekonfig::SettingKind kind, printing::FontSlot slot);
  void ChoosePrinter(ekonfig::SettingKind kind);
  void ChoosePicture(int k);

 protected:
  // Qt's dialogs, apart so that tests can answer them. Nothing means cancelled.
  virtual std::optional<QFont> RunFontDialog(const QFont& start);
  virtual std::optional<printing::Printer> RunPrinterDialog(const printing::Printer& start);
  // The chosen picture file; empty when cancelled.
  virtual QString RunPictureDialog(const QString& start);

 private:
  // The controls every setting has.
  struct SettingControls {
    ekonfig::SettingKind kind;
    SettingTabs* tabs = nullptr;
    QLineEdit* name = nullptr;
    QLineEdit* printerName = nullptr;
    std::array<QLineEdit*, 3> fonts{};
    int shown = 1;
  };
  struct PictureControls {
    QLabel* shown = nullptr;         // bild0
    QToolButton* button = nullptr;   // bild1..bild4
    QCheckBox* active = nullptr;
    QSpinBox* divisor = nullptr;
  };

  QWidget* BuildReportPage();
  QWidget* BuildLabelPage();
  QWidget* BuildSettingBlock(SettingControls& controls, const char* prefix, const char* formatCaption);
  QSpinBox* AddSpin(const char* objectName, int min, int max);

  SettingControls& Controls(ekonfig::SettingKind kind);
  void CopyToSetting(ekonfig::SettingKind kind);   // controls into the current buffer
  void SaveTab(ekonfig::SettingKind kind);          // and the setting into the file
  void SwitchTab(ekonfig::SettingKind kind, int n);  // the tab-leaving save, then n
  void LoadTab(ekonfig::SettingKind kind, int n);  // from the file into the controls
  void FillPictures();
  void ShowStatus();

  ekonfig::KonfigEdit edit_;
  int scale_ = 100;
  std::string lastShown_;
  QLineEdit* datornamn_ = nullptr;
  QTabWidget* pages_ = nullptr;
  QStatusBar* status_ = nullptr;
  SettingControls report_{ekonfig::SettingKind::kReport};
  SettingControls label_{ekonfig::SettingKind::kLabel};
  QLineEdit* fottext_ = nullptr;
  QSpinBox* columns_ = nullptr;
  std::array<PictureControls, 5> pictures_{};
  // EtXmarg, EtYh, EtYdeln, EtXdeln, EtXw, EtYmarg, EtXn, EtYn, Etcopies.
  std::array<QSpinBox*, 9> labelSpins_{};
};

}  // namespace shellui
