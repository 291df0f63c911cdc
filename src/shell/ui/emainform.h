// TNolkMainForm: the shell window the bookkeeping window derives from. It keeps the message
// status bar with its three-panel history, the data-directory, report-setting, label-setting
// and data panels, the shell buttons, the scale box (100..300, step 10) and one of eleven
// background drawings. Every rule it follows lives in the logic (ekonfig, eerror); the
// window only shows their results.
#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QString>

#include <string>

class QMenu;
class QPushButton;
class QSpinBox;
class QStatusBar;

namespace shellui {

class ElidedPanel;
class MessageHistory;

constexpr int kClientWidth = 545;
constexpr int kClientHeight = 312;
constexpr int kMinScale = 100;
constexpr int kMaxScale = 300;
constexpr int kBackgrounds = 11;

// The window scale: the stored one when it lies in 100..300, else one third of how many
// times the client area fits on the screen (at least 100).
int WindowScale(int screenWidth, int screenHeight, int clientWidth, int clientHeight, int stored);

// A dialog's font grown by the window scale in use (the stored one, else the primary
// screen's), as the main window's is.
void ScaleDialog(QWidget* dialog);

// Background drawing r (1..11) at size.
QPixmap BackgroundPicture(int r, QSize size);

class TNolkMainForm : public QMainWindow {
 public:
  explicit TNolkMainForm(QWidget* parent = nullptr);
  ~TNolkMainForm() override;

  // The start: first message, configuration, data directory, panels. False when the memory
  // check failed; the program then ends (exit code 8).
  bool ProgramInit(int progNr);
  // Scale, background and owner window; called last by the window's set-up.
  void NolkFormCreate();
  // The end: data directory, base and scale back into the configuration, then written.
  void ProgramExit();

  void doStatusBar(const std::string& text);
  void xMyMsgUpdate();
  void doEnvStatus();
  // Moves the shell's menu entries into menu.
  void AttachMenu(QMenu* menu);
  // Opens target with the desktop's handler; a beep when none takes it.
  static void doTheClick(const QString& target);

  // What the tests and the bookkeeping window read.
  QStatusBar* MessageBar() const { return messageBar_; }
  const MessageHistory* Messages() const { return messages_; }
  QString MessagePanel(int i) const;
  QString EnvPanel(int bar) const;  // 0 data directory, 1 report, 2 label, 3 data
  ElidedPanel* DataPanel() const { return envValues_[3]; }
  int Scale() const;
  int Background() const { return background_; }

  // The entries of the "xregister" menu.
  enum class RegisterEntry { kPlusgiro, kPostgiro, kBankgiro, kEtikett };
  // Opens the register of an entry, modally; false when this window knows no register for
  // it, and the shell then says the register comes in a later version. Either way the status
  // line follows (xMyMsgUpdate) once it returns.
  virtual bool OpenRegister(RegisterEntry entry);

  // The bookkeeping window closes and reopens its books around the first and adds a line
  // after the second.
  virtual void ChooseDataDir();
  void StartEditor();
  virtual void ShowInfo();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void BuildControls();
  void BuildMenu();

  QStatusBar* messageBar_ = nullptr;
  MessageHistory* messages_ = nullptr;
  ElidedPanel* envValues_[4] = {};
  QSpinBox* scaleBox_ = nullptr;
  QMenu* registerMenu_ = nullptr;
  int progNr_ = 0;
  int background_ = 1;
  bool ownerPushed_ = false;
};

}  // namespace shellui
