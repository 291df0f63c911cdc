// What the "editor" button starts: the first plain text editor of $VISUAL, $EDITOR and a
// list of common graphical editors that exists here, started detached from this program.
// An editor that only runs in a terminal is passed over, since the window program has no
// terminal to give it. A variable may hold arguments ("gvim -f"); they are split at blanks.
// Reasons a start fails are told in the words the editor button has always used.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace emainform {

struct EditorCommand {
  std::string program;            // as named: "gedit", "/usr/bin/gvim"
  std::vector<std::string> args;  // after the program
};

struct EditorEnvironment {
  std::string visual;  // $VISUAL
  std::string editor;  // $EDITOR
  std::string path;    // $PATH
  static EditorEnvironment FromProcess();
};

// True when command runs only in a terminal (vi, nano, "emacs -nw", ...).
bool IsTerminalEditor(const EditorCommand& command);

// The editors to try, in order: $VISUAL, $EDITOR, then the common graphical ones.
std::vector<EditorCommand> EditorCandidates(const EditorEnvironment& env);

// The executable file program names: itself when it holds a slash, else the first match in
// the folders of path. Empty when there is none.
std::string FindProgram(const std::string& program, const std::string& path);

// Starts file with args, detached (no zombie is left, it outlives this program). 0 when it
// runs, else the errno of the failure.
int StartDetached(const std::string& file, const std::vector<std::string>& args);

// The message of a failed start: "winexecfel: " with the reason for errno, and the editor's
// name between double quotes.
std::string StartFailureMessage(int error, const std::string& name);

using Starter = std::function<int(const std::string& file, const std::vector<std::string>& args)>;

// Tries the candidates: one not found gives way to the next; any other failure ends the
// search. Empty when an editor runs, else the failure message (Windows-1252).
std::string StartTextEditor(const EditorEnvironment& env, const Starter& start = StartDetached);

}  // namespace emainform
