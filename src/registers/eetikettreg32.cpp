#include "registers/eetikettreg32.h"

#include <filesystem>

#include "common/Ansi.h"
#include "common/ESmall_Bytes.h"
#include "shell/ESmall.h"

namespace ereg {

std::string EtikettFileName(const std::string& dataDir) {
  return dataDir.empty() ? "Etikett" : dataDir + "/Etikett";
}

std::string EtikettKey(const std::string& text) {
  return esmall::Cut(text.substr(0, text.find_first_of("\r\n")), isam::kMaxKeyLength);
}

std::string EtikettTextFault(const std::string& text) {
  if (text.size() > static_cast<size_t>(LabelPrinter::kMaxText))
    return A("etiketten får ha högst 240 tecken, den har ") + std::to_string(text.size());
  return "";
}

std::string EtikettPictureFault(const std::string& path) {
  std::error_code error;
  const bool picture = esmall::EndsWithNoCase(path, ".bmp") || esmall::EndsWithNoCase(path, ".png") ||
                       esmall::EndsWithNoCase(path, ".jpg") || esmall::EndsWithNoCase(path, ".jpeg");
  if (picture && std::filesystem::is_regular_file(path, error)) return "";
  return "kan ej ladda filen \"" + path + "\"";
}

TEEtikettReg::TEEtikettReg(isam::FileBlock* fb, EtikettDialogs& dialogs)
    : TKeyedFileReg(fb, kEtikettRecordSize, "Etikett "), dialogs_(dialogs) {}

std::string TEEtikettReg::Text() const {
  return esmall::GetPString(Record(), kEtikettTextAt, LabelPrinter::kMaxText);
}

void TEEtikettReg::SetText(const std::string& text) {
  esmall::PutPString(Record(), kEtikettTextAt, LabelPrinter::kMaxText, text);
}

std::string TEEtikettReg::RecordKey() const { return EtikettKey(Text()); }

bool TEEtikettReg::CheckBeforeAdding() {
  std::fill(Record().begin(), Record().end(), 0);
  return UsedRecords() >= kMaxLabels;
}

void TEEtikettReg::BeforeStore() {
  if (Text().empty()) SetText("XXX");
}

void TEEtikettReg::DoTheDialog(bool isNew, int index, int32_t recNo) {
  const std::vector<unsigned char> unchanged = Record();
  DialogFrame(isNew, index, recNo, [&] {
    std::string text = Text();
    if (!dialogs_.RunEtikettDialog(text)) {
      Record() = unchanged;
      return false;
    }
    SetText(esmall::Cut(text, LabelPrinter::kMaxText));
    return true;
  });
}

bool TEEtikettReg::PrintSelectedLabels(LabelPrinter& printer, esmall::WindowHandle owner) {
  if (SelectedCount() == 0) return false;
  if (!printer.Begin("etiketter", owner)) {
    printer.End();
    return false;
  }
  for (const TRegLine& line : Lines()) {
    if (!line.selected || printer.Aborted()) continue;
    int32_t recNo = line.rec.recNo;
    bool found = false, atEnd = false;
    FixtSelect(kFixtAtRecord, "", recNo, found, atEnd);
    if (found) printer.Place(Text());
  }
  printer.End();
  return true;
}

}  // namespace ereg
