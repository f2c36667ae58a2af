#pragma once

#include <string>
#include <vector>

namespace lobewright {

enum class FileDialogKind { open, save };

// One of the window's file dialogs, as the window keeps it between showings: the file chosen
// last and the filter selected last. The filter list is written "description|pattern|...",
// and filterIndex counts its entries from 1.
struct FileDialog {
  std::string name;
  FileDialogKind kind = FileDialogKind::open;
  std::string fileName;
  std::string filter;
  int filterIndex = 1;
};

struct FileFilter {
  std::string description;
  std::string pattern;
};

// The entries of a "description|pattern|..." list; a description without a pattern after it
// gets the pattern "*".
[[nodiscard]] std::vector<FileFilter> splitFilterList(const std::string& filter);
// The "description|pattern|..." list of the entries.
[[nodiscard]] std::string joinFilterList(const std::vector<FileFilter>& filters);

}  // namespace lobewright
