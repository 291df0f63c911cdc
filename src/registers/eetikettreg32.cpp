#include "registers/eetikettreg32.h"

#include <filesystem>
#include <fstream>
#include <string_view>

#include "common/Ansi.h"
#include "common/ESmall_Bytes.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"
#include "storage/BTFileIO.h"

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

namespace {

// The first bytes of the picture files the printer reads, by their names' endings.
struct PictureKind {
  const char* ending;
  std::string_view signature;
};
constexpr PictureKind kPictureKinds[] = {{".bmp", "BM"},
                                         {".png", "\x89PNG\r\n\x1a\n"},
                                         {".jpg", "\xff\xd8\xff"},
                                         {".jpeg", "\xff\xd8\xff"}};

bool StartsWith(const std::string& file, std::string_view signature) {
  std::ifstream in(file, std::ios::binary);
  std::string head(signature.size(), '\0');
  return in.read(head.data(), static_cast<std::streamsize>(head.size())) && head == signature;
}

}  // namespace

std::string EtikettPictureFault(const std::string& path) {
  // Read where the printer reads it: '\' as '/', letter case as the folder has it.
  const std::string file = isam::ResolvePath(path);
  std::error_code error;
  for (const PictureKind& kind : kPictureKinds)
    if (esmall::EndsWithNoCase(path, kind.ending) && std::filesystem::is_regular_file(file, error) &&
        StartsWith(file, kind.signature))
      return "";
  return "kan ej ladda filen \"" + path + "\"";
}

bool TakeEtikettText(const std::vector<std::string>& lines, std::string& text, std::string& message) {
  std::string taken;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string line;
    char32_t missing = 0;
    if (!ansi::FromUtf8Exact(lines[i], line, missing)) {
      message = "etiketten" + ansi::RefusedText(missing);
      return false;
    }
    taken += (i == 0 ? "" : "\r\n") + line;
  }
  message = EtikettTextFault(taken);
  std::string path;
  if (message.empty() && IsPictureLabel(taken, path)) message = EtikettPictureFault(path);
  if (!message.empty()) return false;
  text = std::move(taken);
  return true;
}

bool PrintLabelTimes(LabelPrinter& printer, const std::string& text, int n, esmall::WindowHandle owner) {
  if (n < 1) return false;
  if (!printer.Begin("etiketter", owner)) {
    printer.End();
    return false;
  }
  for (int i = 1; i <= n && !printer.Aborted(); ++i) {
    printer.Job().Progress(i, n);
    printer.Place(text);
  }
  printer.End();
  return true;
}

EtikettFile::EtikettFile(const std::string& dataDir) {
  if (!OpenOrCreateKeyedFile(fb_, EtikettFileName(dataDir), kEtikettRecordSize)) {
    fb_ = nullptr;
    eerror::EMsg(eerror::kStatusLine, "fel med Etikettfilerna");
  }
}

EtikettFile::~EtikettFile() {
  if (fb_ != nullptr) isam::CloseFileBlock(fb_);
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
  UnitDialogFrame(isNew, index, recNo, [&] {
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
