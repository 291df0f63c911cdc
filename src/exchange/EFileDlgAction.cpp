#include "exchange/EFileDlgAction.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "common/Ansi.h"
#include "storage/BTFileIO.h"

namespace eixport {

namespace {

size_t LastSeparator(std::string_view name) { return name.find_last_of("/\\"); }

bool IsFolder(const std::string& name) {
  std::error_code error;
  return !name.empty() && std::filesystem::is_directory(isam::ResolvePath(name), error);
}

std::string_view Trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string DialogFilter(std::string_view pattern) {
  std::string filter = !pattern.empty() && pattern.front() != ';'
                           ? "import/export (" + std::string(pattern) + ") |" + std::string(pattern)
                           : kDefaultFilter + std::string(pattern);
  return filter.substr(0, kMaxFilter);
}

FileDialogRequest DialogRequest(esmall::WindowHandle owner, bool save, std::string_view pattern,
                                std::string_view defaultExt, const std::string& suggested) {
  FileDialogRequest r;
  r.owner = owner;
  r.save = save;
  r.title = save ? "Spara fil som..." : A("Välj filnamn");
  r.filter = DialogFilter(pattern);
  r.defaultExt = std::string(defaultExt.substr(0, kMaxDefaultExt));
  if (IsFolder(suggested)) {
    r.startDir = suggested;
    return r;
  }
  const size_t slash = LastSeparator(suggested);
  r.startDir = slash == std::string::npos ? "" : FolderOf(suggested);
  r.startName = slash == std::string::npos ? suggested : suggested.substr(slash + 1);
  const std::string ext = ExtensionOf(r.startName);
  if (!ext.empty()) r.filter += ";*" + ext;
  return r;
}

std::string FolderOf(const std::string& name) {
  const size_t slash = LastSeparator(name);
  if (slash == std::string::npos) return "";
  return slash == 0 ? name.substr(0, 1) : name.substr(0, slash);
}

std::string ExtensionOf(std::string_view name) {
  const size_t slash = LastSeparator(name);
  const std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
  const size_t dot = last.find_last_of('.');
  if (dot == std::string_view::npos || dot + 1 == last.size()) return "";
  return std::string(last.substr(dot));
}

std::vector<std::string> NameFilters(std::string_view filter) {
  std::vector<std::string> out;
  while (!filter.empty()) {
    const size_t bar = filter.find('|');
    std::string_view description = filter.substr(0, bar);
    std::string_view patterns;
    if (bar == std::string_view::npos) {
      filter = {};
    } else {
      filter.remove_prefix(bar + 1);
      const size_t next = filter.find('|');
      patterns = filter.substr(0, next);
      filter = next == std::string_view::npos ? std::string_view{} : filter.substr(next + 1);
    }
    description = Trimmed(description);
    if (!description.empty() && description.back() == ')') {
      const size_t open = description.rfind('(');
      if (open != std::string_view::npos) description = Trimmed(description.substr(0, open));
    }
    std::string list;
    std::set<std::string> listed;
    while (!patterns.empty()) {
      const size_t semi = patterns.find(';');
      const std::string one(Trimmed(patterns.substr(0, semi)));
      if (!one.empty() && !listed.contains(one)) {
        list += (list.empty() ? "" : " ") + one;
        listed.insert(one);
      }
      patterns = semi == std::string_view::npos ? std::string_view{} : patterns.substr(semi + 1);
    }
    if (list.empty()) list = "*";
    out.push_back(std::string(description) + " (" + list + ")");
  }
  return out;
}

}  // namespace eixport
