#include "isamtool_script.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "common/Ansi.h"
#include "isamtool_repair.h"
#include "storage/FileCheck.h"
#include "storage/Filer.h"

namespace isamtool {
namespace {

struct UsageError {
  std::string text;
};

// check found something: the result line is "error" and the first finding.
struct Unsound {
  std::string finding;
};

// The words of a line, each with the place where the rest of the line after it begins.
class Line {
 public:
  explicit Line(const std::string& text) : text_(text) {}

  std::string Word(const char* what) {
    Skip();
    if (pos_ >= text_.size()) throw UsageError{std::string("missing ") + what};
    const size_t end = text_.find_first_of(" \t", pos_);
    std::string word = text_.substr(pos_, end == std::string::npos ? std::string::npos : end - pos_);
    pos_ = end == std::string::npos ? text_.size() : end;
    return word;
  }

  bool More() {
    Skip();
    return pos_ < text_.size();
  }

  template <typename T>
  T Number(const char* what) {
    const std::string word = Word(what);
    T value{};
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size())
      throw UsageError{std::string(what) + " is not a number: " + word};
    return value;
  }

  // The key: everything after the one blank that follows the last argument, verbatim.
  std::string Rest() {
    if (pos_ < text_.size()) ++pos_;
    std::string rest = text_.substr(pos_);
    pos_ = text_.size();
    return rest;
  }

  void End() {
    if (More()) throw UsageError{"unexpected " + Word("")};
  }

 private:
  void Skip() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  std::string text_;
  size_t pos_ = 0;
};

std::string ToHex(const std::vector<unsigned char>& bytes) { return Hex(std::string(bytes.begin(), bytes.end())); }

std::vector<unsigned char> FromHex(const std::string& hex, int32_t length) {
  if (hex.size() % 2 != 0) throw UsageError{"odd number of hex digits"};
  if (static_cast<int64_t>(hex.size() / 2) > length)
    throw UsageError{"record longer than " + std::to_string(length) + " bytes"};
  std::vector<unsigned char> bytes(static_cast<size_t>(length), 0);
  for (size_t i = 0; i < hex.size(); i += 2) {
    int value = 0;
    const auto [end, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    if (ec != std::errc() || end != hex.data() + i + 2) throw UsageError{"not hex: " + hex};
    bytes[i / 2] = static_cast<unsigned char>(value);
  }
  return bytes;
}

class Session {
 public:
  // Runs one command; returns the result text after "ok", or nothing when the engine failed.
  std::string Run(Line& line) {
    const std::string cmd = line.Word("command");
    if (cmd == "init") {
      const uint16_t net = line.More() ? line.Number<uint16_t>("NETTYPE") : 0;
      const int32_t buffers = line.More() ? line.Number<int32_t>("BUFFERS") : isam::kDefaultBuffers;
      line.End();
      isam::InitIsam(net, buffers);
      return "";
    }
    if (cmd == "exit") {
      line.End();
      isam::ExitIsam();
      return "";
    }
    if (cmd == "check") {
      const std::string name = A(line.Word("NAME"));
      line.End();
      isam::ClearError();
      const isam::FileBlockCheck check(name);
      if (!check.sound()) throw Unsound{check.findings().front()};
      return "";
    }
    if (cmd == "reorg" || cmd == "reindex") {
      const std::string name = A(line.Word("NAME"));
      std::vector<std::string> words;
      while (line.More()) words.push_back(line.Word("KEY"));
      std::vector<KeyField> fields;
      std::string error;
      if (!ParseKeyFields(words, fields, error)) throw UsageError{error};
      Rebuild(name, fields, cmd == "reindex", nullptr);
      return "";
    }
    if (cmd == "create") {
      const std::string name = A(line.Word("NAME"));
      const int32_t length = line.Number<int32_t>("RECLEN");
      std::vector<isam::IndexDescription> keys;
      while (line.More()) {
        std::string word = line.Word("KEY");
        isam::IndexDescription desc;
        if (!word.empty() && word.back() == 'd') {
          desc.allowDuplicates = true;
          word.pop_back();
        }
        int value = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (ec != std::errc() || end != word.data() + word.size() || value < 0 || value > 255)
          throw UsageError{"KEY is a key length, optionally followed by d"};
        desc.keyLength = static_cast<uint8_t>(value);
        keys.push_back(desc);
      }
      if (keys.size() > 0xFFFF) throw UsageError{"too many keys"};
      isam::CreateFileBlock(name, length, static_cast<uint16_t>(keys.size()), keys);
      return "";
    }
    if (cmd == "open") {
      const std::string name = A(line.Word("NAME"));
      bool journal = true;
      if (line.More()) {
        if (line.Word("") != "nojournal") throw UsageError{"open NAME [nojournal]"};
        journal = false;
      }
      line.End();
      isam::FileBlock* fb = nullptr;
      isam::OpenFileBlock(fb, name, journal);
      if (!isam::IsamSuccess) return "";
      handles_[++lastHandle_] = fb;
      return std::to_string(lastHandle_);
    }
    if (cmd == "delete") {
      const std::string name = A(line.Word("NAME"));
      line.End();
      isam::DeleteFileBlock(name);
      return "";
    }
    static const char* const kOnHandles[] = {"close",   "addrec",   "getrec",   "putrec",
                                             "delrec",  "filelen",  "usedrecs", "addkey",
                                             "delkey",  "clearkey", "findkey",  "searchkey",
                                             "nextkey"};
    if (std::find(std::begin(kOnHandles), std::end(kOnHandles), cmd) == std::end(kOnHandles))
      throw UsageError{"unknown command " + cmd};
    isam::FileBlock*& fb = Handle(line);
    if (cmd == "close") {
      line.End();
      isam::CloseFileBlock(fb);
      return "";
    }
    if (cmd == "addrec") {
      const std::string hex = line.Word("HEX");
      line.End();
      const auto bytes = FromHex(hex, Length(fb));
      int32_t rec = 0;
      isam::AddRec(fb, rec, bytes.data());
      return std::to_string(rec);
    }
    if (cmd == "getrec") {
      const int32_t rec = line.Number<int32_t>("R");
      line.End();
      std::vector<unsigned char> bytes(static_cast<size_t>(Length(fb)));
      isam::GetRec(fb, rec, bytes.data());
      return ToHex(bytes);
    }
    if (cmd == "putrec") {
      const int32_t rec = line.Number<int32_t>("R");
      const std::string hex = line.Word("HEX");
      line.End();
      const auto bytes = FromHex(hex, Length(fb));
      isam::PutRec(fb, rec, bytes.data());
      return "";
    }
    if (cmd == "delrec") {
      const int32_t rec = line.Number<int32_t>("R");
      line.End();
      isam::DeleteRec(fb, rec);
      return "";
    }
    if (cmd == "filelen" || cmd == "usedrecs") {
      line.End();
      return std::to_string(cmd == "filelen" ? isam::FileLen(fb) : isam::UsedRecs(fb));
    }
    const int index = line.Number<int>("K");
    if (cmd == "addkey" || cmd == "delkey") {
      const int32_t rec = line.Number<int32_t>("R");
      const std::string key = A(line.Rest());
      if (cmd == "addkey") isam::AddKey(fb, index, rec, key);
      else isam::DeleteKey(fb, index, rec, key);
      return "";
    }
    if (cmd == "clearkey") {
      line.End();
      isam::ClearKey(fb, index);
      return "";
    }
    if (cmd == "findkey") {
      const std::string key = A(line.Rest());
      int32_t rec = 0;
      isam::FindKey(fb, index, rec, key);
      return std::to_string(rec);
    }
    Position& at = positions_[{fb, index}];  // searchkey or nextkey
    if (cmd == "searchkey") {
      at.key = A(line.Rest());
      isam::SearchKey(fb, index, at.rec, at.key);
    } else {
      line.End();
      isam::NextKey(fb, index, at.rec, at.key);
    }
    return std::to_string(at.rec) + " " + ansi::ToUtf8(at.key);
  }

 private:
  // The last key and record number each index returned: NextKey starts from them again
  // after a change to the index.
  struct Position {
    std::string key;
    int32_t rec = 0;
  };

  isam::FileBlock*& Handle(Line& line) {
    const int h = line.Number<int>("H");
    return handles_[h];  // an unknown number is a null handle, which the engine refuses
  }

  // Bytes of a record of fb, or the engine's error for a bad handle.
  static int32_t Length(isam::FileBlock* fb) {
    const int32_t length = isam::RecordLength(fb);
    if (!isam::IsamSuccess) throw isam::IsamError;
    return length;
  }

  std::map<int, isam::FileBlock*> handles_;
  std::map<std::pair<isam::FileBlock*, int>, Position> positions_;
  int lastHandle_ = 0;
};

}  // namespace

bool RunScript(std::istream& in, std::ostream& out) {
  Session session;
  bool allParsed = true;
  std::string text;
  while (std::getline(in, text)) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    Line line(text);
    if (!line.More() || text[text.find_first_not_of(" \t")] == '#') continue;
    try {
      const std::string results = session.Run(line);
      if (isam::IsamSuccess)
        out << "ok" << (results.empty() ? "" : " ") << results << '\n';
      else
        out << "error " << isam::IsamError << " class " << isam::IsamErrorClass() << '\n';
    } catch (const UsageError& e) {
      out << "error usage: " << e.text << '\n';
      allParsed = false;
    } catch (const Unsound& u) {
      out << "error " << u.finding << '\n';
    } catch (int32_t) {
      out << "error " << isam::IsamError << " class " << isam::IsamErrorClass() << '\n';
    }
    out.flush();
  }
  return allParsed;
}

}  // namespace isamtool
