#include "input/eigenvector_heading.h"

#include "input/modern_mopac_reader.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

constexpr std::string_view kTitle = "EIGENVECTORS";
constexpr std::string_view kPageBreak = "1";

// Words one by one, each with whether a line end came before it. Words and lines may be of any
// length, as in the token reads of the older reader: a MOPAC output may hold long lines of
// anything before the eigenvectors. Characters come through the stream, not its buffer, so that a
// buffer that throws (a directory opened as a file) only fails the stream.
class WordScanner {
 public:
  explicit WordScanner(std::istream& in) : m_in(in) {}

  bool next() {
    if (m_atStart) ++m_line;
    m_lineStarts = m_atStart;
    m_atStart = false;
    m_word.clear();
    int c = m_in.get();
    for (; c != kEnd && isBlank(static_cast<char>(c)); c = m_in.get()) {
      if (c == '\n') {
        m_lineStarts = true;
        ++m_line;
      }
    }
    for (; c != kEnd && !isBlank(static_cast<char>(c)); c = m_in.get()) {
      m_word.push_back(static_cast<char>(c));
    }
    m_separator = c;
    if (c == '\n') m_atStart = true;
    return !m_word.empty();
  }

  // The text of the current word's line from the word on; false when the line is overlong.
  bool restOfLine(std::string& line) {
    line = m_word;
    if (m_atStart) return true;
    if (m_separator != kEnd) line.push_back(static_cast<char>(m_separator));
    for (int c = m_in.get(); c != kEnd && c != '\n'; c = m_in.get()) {
      if (line.size() == kMaxLineLength) return false;
      line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    m_atStart = true;
    return true;
  }

  [[nodiscard]] const std::string& word() const { return m_word; }
  [[nodiscard]] bool startsLine() const { return m_lineStarts; }
  // The number of the current word's line.
  [[nodiscard]] int64_t line() const { return m_line; }

 private:
  static constexpr int kEnd = std::char_traits<char>::eof();

  std::istream& m_in;
  std::string m_word;
  bool m_atStart = true;
  bool m_lineStarts = false;
  int m_separator = kEnd;  // the character that ended the word
  int64_t m_line = 0;
};

// The first two words of a line and how many it has, which is all a title or a filler shows.
struct LineStart {
  std::string first;
  std::string second;
  int words = 0;

  void add(const std::string& word) {
    if (words == 0) first = word;
    if (words == 1) second = word;
    ++words;
  }
  [[nodiscard]] std::vector<std::string_view> shown() const {
    if (words == 1) return {first};
    if (words == 2) return {first, second};
    return std::vector<std::string_view>(static_cast<std::size_t>(words), std::string_view());
  }
};

}  // namespace

bool isEigenvectorTitle(const std::vector<std::string_view>& words) {
  if (words.size() == 1) return words[0] == kTitle;
  return words.size() == 2 && (words[0] == "ALPHA" || words[0] == "BETA") && words[1] == kTitle;
}

bool isFiller(const std::vector<std::string_view>& words) {
  return words.empty() || (words.size() == 1 && words[0] == kPageBreak);
}

std::optional<EigenvectorHeading> findEigenvectorHeading(std::istream& in,
                                                         OutputPreamble& preamble) {
  WordScanner scanner(in);
  LineStart line;
  bool afterTitle = false;
  while (scanner.next()) {
    if (scanner.startsLine()) {
      const std::vector<std::string_view> words = line.shown();
      afterTitle = isEigenvectorTitle(words) || (afterTitle && isFiller(words));
      line = LineStart{};
      const std::string& first = scanner.word();
      if (afterTitle && (first == kOlderLayoutHeading || first == kNewerLayoutHeading)) {
        EigenvectorHeading heading;
        heading.layout = first == kOlderLayoutHeading ? EigenvectorHeading::Layout::older
                                                      : EigenvectorHeading::Layout::newer;
        heading.line = scanner.line();
        if (!scanner.restOfLine(heading.firstBlockHeading)) return std::nullopt;
        return heading;
      }
    }
    line.add(scanner.word());
    preamble.see(scanner.word(), scanner.line());
  }
  return std::nullopt;
}

}  // namespace lobewright
