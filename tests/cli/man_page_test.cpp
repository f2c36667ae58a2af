#include "cli/man_page.h"

#include <gtest/gtest.h>

#include "app/output_format.h"
#include "cli/options.h"

namespace lobewright {
namespace {

// Hyphens as roff's minus signs, as the page writes the options.
std::string roffName(const std::string& name) {
  std::string text;
  for (const char c : name) text += c == '-' ? std::string("\\-") : std::string(1, c);
  return text;
}

TEST(ManPage, DescribesEveryOptionAndFormatOfTheTable) {
  const std::string page = converterManPage();
  EXPECT_EQ(page.rfind(".TH LOBEWRIGHT\\-CONVERT 1 ", 0), 0u);
  for (const Option& option : converterOptions()) {
    for (const std::string& name : option.names) {
      EXPECT_NE(page.find("\\fB" + roffName(name) + "\\fR"), std::string::npos) << name;
    }
    for (const std::string& word : option.value.words) {
      EXPECT_NE(page.find(roffName(word)), std::string::npos)
          << option.names.front() << " " << word;
    }
  }
  for (const OutputFormat& format : outputFormats()) {
    // Guarded by \&, as the point would start a request at the start of a line.
    EXPECT_NE(page.find(".B \\&" + std::string(format.extension) + "\n"), std::string::npos)
        << format.extension;
  }
  // No line of text starts with a quote, which roff would take as a request.
  std::size_t line = 0;
  while ((line = page.find('\n', line)) != std::string::npos) {
    ++line;
    if (line < page.size() && page[line] == '\'') ADD_FAILURE() << page.substr(line, 40);
  }
}

}  // namespace
}  // namespace lobewright
