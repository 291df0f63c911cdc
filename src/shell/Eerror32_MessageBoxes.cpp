#include "shell/Eerror32_MessageBoxes.h"

#include "common/Ansi.h"

#include <unistd.h>

#include <cctype>
#include <iostream>
#include <string>

namespace eerror {
namespace {

MessageBoxes* current = nullptr;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

MessageBoxes& CurrentMessageBoxes() {
  return current != nullptr ? *current : ConsoleMessageBoxes::Standard();
}

MessageBoxes* InstallMessageBoxes(MessageBoxes* boxes) {
  MessageBoxes* previous = current;
  current = boxes;
  return previous;
}

ConsoleMessageBoxes& ConsoleMessageBoxes::Standard() {
  static ConsoleMessageBoxes console(std::cin, std::cerr, isatty(0) == 1 && isatty(2) == 1);
  return console;
}

std::string ConsoleMessageBoxes::ReadAnswer() {
  out_.flush();
  std::string line;
  if (!std::getline(in_, line)) return {};
  const size_t first = line.find_first_not_of(" \t");
  return first == std::string::npos ? std::string() : Lower(line.substr(first));
}

int ConsoleMessageBoxes::Show(BoxKind kind, const std::string& caption, const std::string& text) {
  out_ << ansi::ToUtf8(caption) << ": " << ansi::ToUtf8(text) << '\n';
  switch (kind) {
    case BoxKind::Question: {
      if (!interactive_) return kNo;
      out_ << "[j/n] ";
      const std::string answer = ReadAnswer();
      return !answer.empty() && (answer[0] == 'j' || answer[0] == 'y') ? kYes : kNo;
    }
    case BoxKind::AbortRetryIgnore: {
      if (!interactive_) return kAbort;
      out_ << ansi::ToUtf8(A("[a]vbryt, [f]örsök igen, [i]gnorera: "));
      const std::string answer = ReadAnswer();
      if (!answer.empty() && answer[0] == 'f') return kRetry;
      if (!answer.empty() && answer[0] == 'i') return kIgnore;
      return kAbort;
    }
    case BoxKind::Warning:
    case BoxKind::Error:
      break;
  }
  out_.flush();
  return kOk;
}

void ConsoleMessageBoxes::Beep() {
  if (interactive_) out_ << '\a' << std::flush;
}

long ConsoleMessageBoxes::AskNumber(const std::string& prompt, long number) {
  if (!interactive_) return number;
  out_ << ansi::ToUtf8(prompt) << " [" << number << "]: ";
  const std::string answer = ReadAnswer();
  try {
    size_t used = 0;
    const long entered = std::stol(answer, &used);
    return used == answer.size() ? entered : number;
  } catch (const std::exception&) {
    return number;  // empty or not a number: as Cancel
  }
}

int RecordingMessageBoxes::Show(BoxKind kind, const std::string& caption, const std::string& text) {
  boxes.push_back({kind, caption, text});
  if (answers.empty()) return defaultAnswer;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

long RecordingMessageBoxes::AskNumber(const std::string& prompt, long number) {
  numberPrompts.push_back(prompt);
  if (numberAnswers.empty()) return number;
  const long answer = numberAnswers.front();
  numberAnswers.pop_front();
  return answer;
}

}  // namespace eerror
