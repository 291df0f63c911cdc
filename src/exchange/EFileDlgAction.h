// What the exchange file's dialog is asked, made from the arguments of an open, and what is
// taken back from its answer. No window here: the dialog itself is behind FileDialogs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "exchange/EfileDlg.h"

namespace eixport {

inline constexpr char kDefaultFilter[] = "import/export|*.txt;*.exp;*.ixp;*.imp;*.vpx;*.txx;*.exx";
constexpr size_t kMaxFilter = 119;
constexpr size_t kMaxDefaultExt = 3;

// The filter for a caller's pattern: the default list with the pattern after it, so that a
// pattern beginning with ";" (";*.bfr") adds to the list; any other pattern that is not empty
// makes a filter of its own, "import/export (" + pattern + ") |" + pattern. At most
// kMaxFilter characters.
std::string DialogFilter(std::string_view pattern);

// The request of an open: a save dialog "Spara fil som..." or an open dialog "Välj filnamn",
// the filter of the pattern, the default extension (at most three characters). suggested is
// where the dialog starts: an existing folder opens as itself; any other name opens in its
// folder with its last part as the file name, and when that part has an extension, ";*" and
// the extension are added to the filter.
FileDialogRequest DialogRequest(esmall::WindowHandle owner, bool save, std::string_view pattern,
                                std::string_view defaultExt, const std::string& suggested);

// The folder of a file's name without a trailing separator; a file in the root gives "/".
std::string FolderOf(const std::string& name);

// The extension of a name's last part, with its dot (".bfr"); empty when it has none.
std::string ExtensionOf(std::string_view name);

// The filters a dialog lists, one for each description with its patterns, in the form
// "import/export (*.txt *.exp)", each pattern once: a description that already ends in a
// parenthesis group loses it for the patterns that follow it.
std::vector<std::string> NameFilters(std::string_view filter);

}  // namespace eixport
