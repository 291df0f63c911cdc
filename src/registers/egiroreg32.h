// The giro payee registers (the logic of TEGiroRegForm and of the form dialogs TplusgiroDlg,
// TpostgiroDlg, TbankgiroDlg): the files "giroP" (kinds 0 to 2) and "giroB" (kind 3) of
// 1708-byte records, one per payee and littera, keyed by payee + "_" + littera. At most 199
// forms. A form is stored only with a unique key and account numbers that pass the
// modulus-10 check; a form stored without payee is named "XXX".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/TypedText.h"
#include "registers/eetikettprint32.h"
#include "registers/ekeyedreg32.h"

namespace ereg {

constexpr int32_t kGiroRecordSize = 1708;
constexpr int kMaxGiros = 199;
constexpr int kGiroKinds = 5;
constexpr int kMaxAmount = 9999;

// Kinds of form: those with a menu entry, and two layouts reached from bfnolk only.
enum GiroKind : int { kPlusgiro = 0, kPostgiro = 1, kGiroKind2 = 2, kBankgiro = 3, kGiroKind4 = 4 };

// One form as the dialog edits it; texts in Windows-1252, memo lines separated by CR LF.
struct GiroForm {
  std::string message;   // at most 1185 characters
  std::string sender;    // at most 316
  std::string account1;  // at most 30 each
  std::string account2;
  std::string amount;    // whole kronor as text
  std::string payee;
  std::string number3;   // printed on the postgiro form only
  std::string littera;   // at most 2
};

// The fields of a form, each with the name its refusals give and what its place in the
// record holds (the memos one character less than their place, for the terminating zero).
enum class GiroField { kMessage, kSender, kAccount1, kAccount2, kAmount, kPayee, kNumber3, kLittera };
inline constexpr GiroField kGiroFields[] = {GiroField::kMessage, GiroField::kSender,  GiroField::kAccount1,
                                            GiroField::kAccount2, GiroField::kAmount,  GiroField::kPayee,
                                            GiroField::kNumber3, GiroField::kLittera};
typedtext::TextField GiroTextField(GiroField field);
std::string& FieldOf(GiroForm& form, GiroField field);
const std::string& FieldOf(const GiroForm& form, GiroField field);
// Text typed into field (UTF-8; a memo's lines separated by LF or CR LF) put into form, the
// memo lines ending in CR LF. False, form unchanged, with the reason in message when the
// field cannot hold it.
bool TakeGiroText(GiroForm& form, GiroField field, std::string_view typed, std::string& message);

std::string GiroFileName(const std::string& dataDir, int kind);

// The kind's giro file in dataDir, open (created when it could not be opened) for as long
// as this lives. When it can be neither, ok() is false and the status line says "fel med
// girofilerna".
class GiroFile {
 public:
  GiroFile(const std::string& dataDir, int kind);
  ~GiroFile();
  GiroFile(const GiroFile&) = delete;
  GiroFile& operator=(const GiroFile&) = delete;
  bool ok() const { return fb_ != nullptr; }
  isam::FileBlock* fb() const { return fb_; }

 private:
  isam::FileBlock* fb_ = nullptr;
};

// The form's caption ("plusgiroblankett").
std::string GiroCaption(int kind);
GiroForm ReadGiroForm(const std::vector<unsigned char>& record);
// Stores form, each field cut to its width.
void WriteGiroForm(std::vector<unsigned char>& record, const GiroForm& form);
std::string GiroKey(const std::string& payee, const std::string& littera);
// The list line: the first account padded with "." to 16, a blank, payee and "_" littera.
std::string GiroLine(const GiroForm& form);
// The modulus-10 check of an account number (non-digits skipped); an empty one passes.
bool GiroNumberOk(const std::string& number);
// Why a field does not fit its place in the record ("" when all do).
std::string GiroFieldFault(const GiroForm& form);
// The amount box's number: the amount text as a number, 0 when it is none.
int GiroAmountValue(const std::string& amount);

// Prints copies of form through printer (Begin "giroblanketter" ... End), each in the next
// label cell with the kind's layout. False when the job did not open.
bool PrintGiroForms(LabelPrinter& printer, int kind, const GiroForm& form, int copies, esmall::WindowHandle owner);
// The boxes of one form inside cell.
void DrawGiroForm(LabelPrinter& printer, const LabelCell& cell, int kind, const GiroForm& form);

class TEGiroReg;

// One form dialog's state and its buttons' rules.
class TGiroEdit {
 public:
  TGiroEdit(TEGiroReg& reg, GiroForm form) : reg_(reg), form(std::move(form)) {}
  // "ok": "" when the form may be stored, else the message (beeped) for the status line.
  std::string Ok();
  // "utskrift": n copies through printer; false when nothing was printed (a field that
  // cannot be stored is refused with its message, as "ok" would).
  bool Print(LabelPrinter& printer, int copies, esmall::WindowHandle owner);

  int Kind() const;

 private:
  TEGiroReg& reg_;

 public:
  GiroForm form;
};

// The dialog of the register's kind, modal; true on OK (the form then in edit.form).
class GiroDialogs {
 public:
  virtual ~GiroDialogs() = default;
  virtual bool RunGiroDialog(TGiroEdit& edit) = 0;
};

class TEGiroReg : public TKeyedFileReg {
 public:
  TEGiroReg(isam::FileBlock* fb, int kind, GiroDialogs& dialogs);

  int Kind() const { return kind_; }
  GiroForm Form() const { return ReadGiroForm(Record()); }
  std::string RecordKey() const override;
  // Whether a stored form has key, the buffer left as it was.
  bool KeyTaken(const std::string& key);

 protected:
  void FormRegStr(std::string& line) override { line = GiroLine(Form()); }
  bool CheckBeforeAdding() override;
  void DoTheDialog(bool isNew, int index, int32_t recNo) override;
  void BeforeStore() override;

 private:
  int kind_;
  GiroDialogs& dialogs_;
};

}  // namespace ereg
