#include "registers/egiroreg32.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "common/Ansi.h"
#include "common/ESmall_Bytes.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"

namespace ereg {

namespace {

// The record: status 0, message 4 (1186 bytes, zero-terminated), sender 1190 (317), then
// length-prefixed fields of 30 characters and the littera of 2.
constexpr size_t kMessageAt = 4, kMessageWidth = 1186;
constexpr size_t kSenderAt = 1190, kSenderWidth = 317;
constexpr size_t kAccount1At = 1507, kAccount2At = 1538, kAmountAt = 1569, kPayeeAt = 1600, kNumber3At = 1631;
constexpr size_t kLitteraAt = 1662, kLitteraLength = 2;
constexpr size_t kFieldLength = 30;
constexpr size_t kLinePad = 16;

// A box of a form in tenths of a millimetre from the cell's top left; digits: one character
// a box, from the last character in the box given leftwards by step.
struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  bool digits = false;
};

struct Layout {
  Box message, sender, account1, payee, account2, amount, number3;
  double step = 0;
  bool amountSpaces = false;  // the plusgiro's extra space after 5 and 8 characters
};

constexpr Box D(int x, int y, int w, int h) { return {x, y, w, h, true}; }

const Layout kLayouts[kGiroKinds] = {
    {{150, 140, 900, 470}, {1100, 360, 700, 220}, {1100, 100, 370, 50}, {1100, 185, 550, 140},
     {1100, 625, 820, 55}, D(1135, 780, 55, 50), {}, 36.3, true},
    {{190, 260, 900, 320}, {1170, 360, 880, 220}, D(1785, 140, 50, 80), {1170, 255, 880, 80},
     {150, 700, 650, 55}, D(1855, 670, 55, 80), D(1040, 140, 50, 80), 63.5, false},
    {{200, 110, 900, 640}, {1150, 360, 780, 220}, {1150, 110, 450, 50}, {1150, 190, 550, 130},
     {1150, 615, 780, 55}, {1150, 700, 350, 50}, {}, 0, false},
    {{110, 90, 1930, 280}, {110, 420, 1000, 180}, {1180, 670, 440, 55}, {1150, 420, 850, 180},
     {110, 670, 440, 55}, {620, 670, 480, 55}, {}, 0, false},
    {{200, 80, 1850, 410}, {200, 540, 900, 220}, {1140, 570, 270, 80}, {1420, 570, 600, 80},
     {200, 800, 340, 50}, {1670, 430, 360, 55}, {}, 0, false},
};

void DrawBox(LabelPrinter& printer, const LabelCell& cell, const Layout& layout, const Box& box, std::string text,
             bool amount) {
  if (box.width == 0) return;
  if (!box.digits) {
    printer.DrawInBox(cell, box.x, box.y, box.width, box.height, text);
    return;
  }
  if (amount && text.find('.') == std::string::npos) text += ".00";
  const int n = static_cast<int>(text.size());
  for (int k = 0; k < n; ++k) {  // k counts from the right
    double left = box.x - k * layout.step;
    if (amount && layout.amountSpaces) left -= (k >= 5 ? 4 : 0) + (k >= 8 ? 4 : 0);
    printer.DrawInBox(cell, static_cast<int>(std::lround(left)), box.y, box.width, box.height,
                      std::string(1, text[static_cast<size_t>(n - 1 - k)]));
  }
}

}  // namespace

std::string GiroFileName(const std::string& dataDir, int kind) {
  const std::string name = kind == kBankgiro ? "giroB" : "giroP";
  return dataDir.empty() ? name : dataDir + "/" + name;
}

GiroFile::GiroFile(const std::string& dataDir, int kind) {
  if (!OpenOrCreateKeyedFile(fb_, GiroFileName(dataDir, kind), kGiroRecordSize))
    eerror::EMsg(eerror::kStatusLine, "fel med girofilerna");
}

GiroFile::~GiroFile() {
  if (fb_ != nullptr) isam::CloseFileBlock(fb_);
}

std::string GiroCaption(int kind) {
  switch (kind) {
    case kPlusgiro: return "plusgiroblankett";
    case kPostgiro: return "postgiroblankett";
    case kBankgiro: return "bankgiroblankett";
    default: return "giroblankett " + std::to_string(kind);
  }
}

GiroForm ReadGiroForm(const std::vector<unsigned char>& r) {
  GiroForm f;
  f.message = esmall::GetZString(r, kMessageAt, kMessageWidth);
  f.sender = esmall::GetZString(r, kSenderAt, kSenderWidth);
  f.account1 = esmall::GetPString(r, kAccount1At, kFieldLength);
  f.account2 = esmall::GetPString(r, kAccount2At, kFieldLength);
  f.amount = esmall::GetPString(r, kAmountAt, kFieldLength);
  f.payee = esmall::GetPString(r, kPayeeAt, kFieldLength);
  f.number3 = esmall::GetPString(r, kNumber3At, kFieldLength);
  f.littera = esmall::GetPString(r, kLitteraAt, kLitteraLength);
  return f;
}

void WriteGiroForm(std::vector<unsigned char>& r, const GiroForm& f) {
  esmall::PutZString(r, kMessageAt, kMessageWidth, f.message);
  esmall::PutZString(r, kSenderAt, kSenderWidth, f.sender);
  esmall::PutPString(r, kAccount1At, kFieldLength, f.account1);
  esmall::PutPString(r, kAccount2At, kFieldLength, f.account2);
  esmall::PutPString(r, kAmountAt, kFieldLength, f.amount);
  esmall::PutPString(r, kPayeeAt, kFieldLength, f.payee);
  esmall::PutPString(r, kNumber3At, kFieldLength, f.number3);
  esmall::PutPString(r, kLitteraAt, kLitteraLength, f.littera);
}

std::string GiroKey(const std::string& payee, const std::string& littera) {
  return esmall::Cut(littera.empty() ? payee : payee + "_" + littera, isam::kMaxKeyLength);
}

std::string GiroLine(const GiroForm& f) {
  std::string account = f.account1;
  if (account.size() < kLinePad) account.append(kLinePad - account.size(), '.');
  return account + " " + f.payee + (f.littera.empty() ? "" : "_" + f.littera);
}

bool GiroNumberOk(const std::string& number) {
  int sum = 0, weight = 1;
  for (auto it = number.rbegin(); it != number.rend(); ++it) {
    if (!std::isdigit(static_cast<unsigned char>(*it))) continue;
    int product = (*it - '0') * weight;
    if (product > 9) product -= 9;
    sum += product;
    weight = 3 - weight;
  }
  return sum % 10 == 0;
}

typedtext::TextField GiroTextField(GiroField field) {
  switch (field) {
    case GiroField::kMessage: return {"meddelande", kMessageWidth - 1};
    case GiroField::kSender: return {"avsändare", kSenderWidth - 1};
    case GiroField::kAccount1: return {"gironummer", kFieldLength};
    case GiroField::kAccount2: return {"till konto", kFieldLength};
    case GiroField::kAmount: return {"belopp", kFieldLength};
    case GiroField::kPayee: return {"mottagare", kFieldLength};
    case GiroField::kNumber3: return {"nummer", kFieldLength};
    case GiroField::kLittera: return {"littera", kLitteraLength};
  }
  return {"", 0};
}

std::string& FieldOf(GiroForm& f, GiroField field) {
  switch (field) {
    case GiroField::kMessage: return f.message;
    case GiroField::kSender: return f.sender;
    case GiroField::kAccount1: return f.account1;
    case GiroField::kAccount2: return f.account2;
    case GiroField::kAmount: return f.amount;
    case GiroField::kPayee: return f.payee;
    case GiroField::kNumber3: return f.number3;
    case GiroField::kLittera: break;
  }
  return f.littera;
}

const std::string& FieldOf(const GiroForm& f, GiroField field) { return FieldOf(const_cast<GiroForm&>(f), field); }

bool TakeGiroText(GiroForm& form, GiroField field, std::string_view typed, std::string& message) {
  std::string lines;
  const bool memo = field == GiroField::kMessage || field == GiroField::kSender;
  for (size_t i = 0; i < typed.size(); ++i) {
    if (memo && typed[i] == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n') continue;
    lines += memo && typed[i] == '\n' ? std::string("\r\n") : std::string(1, typed[i]);
  }
  return typedtext::TakeText(GiroTextField(field), lines, FieldOf(form, field), message);
}

std::string GiroFieldFault(const GiroForm& f) {
  for (const GiroField field : kGiroFields) {
    const typedtext::TextField limit = GiroTextField(field);
    if (FieldOf(f, field).size() > limit.capacity) return typedtext::FullFieldText(limit);
  }
  return "";
}

int GiroAmountValue(const std::string& amount) {
  if (amount.empty() || amount.size() > 9 ||
      !std::all_of(amount.begin(), amount.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
    return 0;
  return std::stoi(amount);
}

void DrawGiroForm(LabelPrinter& printer, const LabelCell& cell, int kind, const GiroForm& f) {
  const Layout& layout = kLayouts[std::clamp(kind, 0, kGiroKinds - 1)];
  DrawBox(printer, cell, layout, layout.message, f.message, false);
  DrawBox(printer, cell, layout, layout.sender, f.sender, false);
  DrawBox(printer, cell, layout, layout.account1, f.account1, false);
  DrawBox(printer, cell, layout, layout.payee, f.payee, false);
  DrawBox(printer, cell, layout, layout.account2, f.account2, false);
  DrawBox(printer, cell, layout, layout.amount, f.amount, true);
  DrawBox(printer, cell, layout, layout.number3, f.number3, false);
}

bool PrintGiroForms(LabelPrinter& printer, int kind, const GiroForm& form, int copies, esmall::WindowHandle owner) {
  if (copies < 1) return false;
  if (!printer.Begin("giroblanketter", owner)) {
    printer.End();
    return false;
  }
  printer.Job().StatusLine(2, "utskrift av giroblanketter");
  for (int i = 1; i <= copies && !printer.Aborted(); ++i) {
    printer.Job().Progress(i, copies);
    printer.PlaceDrawn([&](const LabelCell& cell) { DrawGiroForm(printer, cell, kind, form); });
  }
  printer.End();
  return true;
}

int TGiroEdit::Kind() const { return reg_.Kind(); }

std::string TGiroEdit::Ok() {
  const std::string key = GiroKey(form.payee.empty() ? "XXX" : form.payee, form.littera);
  std::string message;
  if (reg_.KeyTaken(key)) {
    message = A("Mottagare och littera finns redan registrerad. \"") + key + A("\" Måste vara unik.");
  } else if (!GiroNumberOk(form.account1) || !GiroNumberOk(form.account2)) {
    message = A("fel på gironummer");
  } else {
    message = GiroFieldFault(form);
  }
  if (!message.empty()) eerror::Beep();
  return message;
}

bool TGiroEdit::Print(LabelPrinter& printer, int copies, esmall::WindowHandle owner) {
  if (const std::string fault = GiroFieldFault(form); !fault.empty()) {
    eerror::Beep();
    eerror::EMsg(eerror::kStatusLine, fault);
    return false;
  }
  return PrintGiroForms(printer, reg_.Kind(), form, copies, owner);
}

TEGiroReg::TEGiroReg(isam::FileBlock* fb, int kind, GiroDialogs& dialogs)
    : TKeyedFileReg(fb, kGiroRecordSize, "Girot "), kind_(kind), dialogs_(dialogs) {}

std::string TEGiroReg::RecordKey() const {
  const GiroForm f = Form();
  return GiroKey(f.payee, f.littera);
}

bool TEGiroReg::KeyTaken(const std::string& key) {
  const std::vector<unsigned char> kept = Record();
  int32_t recNo = 0;
  const bool taken = FindByKey(key, recNo);
  Record() = kept;
  return taken;
}

bool TEGiroReg::CheckBeforeAdding() {
  std::fill(Record().begin(), Record().end(), 0);
  return UsedRecords() >= kMaxGiros;
}

void TEGiroReg::BeforeStore() {
  GiroForm f = Form();
  if (!f.payee.empty()) return;
  f.payee = "XXX";
  WriteGiroForm(Record(), f);
}

void TEGiroReg::DoTheDialog(bool isNew, int index, int32_t recNo) {
  const std::vector<unsigned char> unchanged = Record();
  UnitDialogFrame(isNew, index, recNo, [&] {
    TGiroEdit edit(*this, Form());
    if (!dialogs_.RunGiroDialog(edit)) {
      Record() = unchanged;
      return false;
    }
    WriteGiroForm(Record(), edit.form);
    return true;
  });
}

}  // namespace ereg
