#include "shell/emainform_editor.h"

#include "common/Ansi.h"
#include "shell/ESmall.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace emainform {

namespace {

const char* const kTerminalEditors[] = {"vi",  "vim",   "view", "nvim", "nano", "pico", "ed",  "ex",
                                        "joe", "jed",   "micro", "mcedit", "ne", "mg", "jove", "kak",
                                        "hx",  "helix", "elvis", "vis",  "zile"};
const char* const kGraphicalEditors[] = {"gedit", "gnome-text-editor", "kate",  "kwrite",
                                         "mousepad", "xed", "pluma", "featherpad", "geany", "leafpad"};
// Named when no editor at all could be found.
constexpr const char* kNoEditorName = "texteditor";

std::string BaseName(const std::string& program) {
  const size_t slash = program.rfind('/');
  return slash == std::string::npos ? program : program.substr(slash + 1);
}

EditorCommand Split(const std::string& text) {
  EditorCommand command;
  std::istringstream words(text);
  std::string word;
  if (words >> word) command.program = word;
  while (words >> word) command.args.push_back(word);
  return command;
}

bool IsExecutableFile(const std::string& file) {
  struct stat info {};
  return ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(file.c_str(), X_OK) == 0;
}

// The reasons of a failed start, by what the error means.
std::string ReasonOf(int error) {
  switch (error) {
    case ENOMEM:
    case EAGAIN:
      return "The system is out of memory or resources.";
    case ENOENT:
      return "The specified file was not found.";
    case ENOTDIR:
      return "The specified path was not found.";
    case ENOEXEC:
    case ELIBBAD:
      return "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).";
    default:
      return A("okänt fel nummer ") + esmall::ZeroPadded(error, 3);
  }
}

}  // namespace

EditorEnvironment EditorEnvironment::FromProcess() {
  auto variable = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
  };
  return {variable("VISUAL"), variable("EDITOR"), variable("PATH")};
}

bool IsTerminalEditor(const EditorCommand& command) {
  const std::string name = BaseName(command.program);
  if (name.starts_with("emacs")) {
    for (const std::string& arg : command.args) {
      if (arg == "-nw" || arg == "--no-window-system" || arg == "-t" || arg == "--tty") return true;
    }
  }
  for (const char* terminal : kTerminalEditors) {
    if (name == terminal) return true;
  }
  return false;
}

std::vector<EditorCommand> EditorCandidates(const EditorEnvironment& env) {
  std::vector<EditorCommand> candidates;
  for (const std::string* variable : {&env.visual, &env.editor}) {
    EditorCommand command = Split(*variable);
    if (!command.program.empty() && !IsTerminalEditor(command)) candidates.push_back(std::move(command));
  }
  for (const char* editor : kGraphicalEditors) candidates.push_back({editor, {}});
  return candidates;
}

std::string FindProgram(const std::string& program, const std::string& path) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : std::string();
  size_t begin = 0;
  while (begin <= path.size()) {
    size_t end = path.find(':', begin);
    if (end == std::string::npos) end = path.size();
    // An empty entry is the current folder, which a window program has no business searching.
    if (end > begin) {
      const std::string file = path.substr(begin, end - begin) + "/" + program;
      if (IsExecutableFile(file)) return file;
    }
    begin = end + 1;
  }
  return {};
}

int StartDetached(const std::string& file, const std::vector<std::string>& args) {
  // Everything the children use is made before the fork: after it only calls that are safe
  // in the child of a threaded program run.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(file.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return errno;
  const pid_t child = ::fork();
  if (child < 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    return error;
  }
  if (child == 0) {
    // The grandchild runs the editor; the child ends at once, so init reaps the editor.
    ::setsid();
    const pid_t editor = ::fork();
    if (editor != 0) {
      if (editor < 0) {
        const int error = errno;
        (void)!::write(report[1], &error, sizeof error);
      }
      ::_exit(0);
    }
    const int devnull = ::open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      ::dup2(devnull, 0);
      if (devnull > 2) ::close(devnull);
    }
    ::execv(file.c_str(), argv.data());
    const int error = errno;
    (void)!::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

std::string StartFailureMessage(int error, const std::string& name) {
  return "winexecfel: " + ReasonOf(error) + " \"" + name + "\"";
}

std::string StartTextEditor(const EditorEnvironment& env, const Starter& start) {
  for (const EditorCommand& command : EditorCandidates(env)) {
    const std::string file = FindProgram(command.program, env.path);
    if (file.empty()) continue;
    const int error = start(file, command.args);
    if (error == 0) return {};
    if (error != ENOENT && error != ENOTDIR) return StartFailureMessage(error, BaseName(command.program));
  }
  return StartFailureMessage(ENOENT, kNoEditorName);
}

}  // namespace emainform
