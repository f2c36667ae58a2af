#include "window/file_dialog.h"

namespace lobewright {

std::vector<FileFilter> splitFilterList(const std::string& filter) {
  if (filter.empty()) return {};
  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    const std::size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string::npos ? bar : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::vector<FileFilter> filters;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    filters.push_back({parts[i], i + 1 < parts.size() ? parts[i + 1] : "*"});
  }
  return filters;
}

std::string joinFilterList(const std::vector<FileFilter>& filters) {
  std::string list;
  for (const FileFilter& filter : filters) {
    if (!list.empty()) list += '|';
    list += filter.description + '|' + filter.pattern;
  }
  return list;
}

}  // namespace lobewright
