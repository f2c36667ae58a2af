#include "input/output_statements.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "input/number_text.h"
#include "input/slater_exponents.h"

namespace lobewright {
namespace {

using Words = std::vector<std::string_view>;

// Where a phrase of words ends in a line, when the line holds it.
std::optional<std::size_t> phraseEnd(const Words& words,
                                     std::initializer_list<std::string_view> phrase) {
  for (std::size_t i = 0; i + phrase.size() <= words.size(); ++i) {
    if (std::equal(phrase.begin(), phrase.end(), words.begin() + static_cast<std::ptrdiff_t>(i))) {
      return i + phrase.size();
    }
  }
  return std::nullopt;
}

// The count after "=" (or glued to it: "=106") from position `from` on.
std::optional<int> countAfterEquals(const Words& words, std::size_t from) {
  for (std::size_t i = from; i < words.size(); ++i) {
    std::optional<int> count;
    if (words[i] == "=" && i + 1 < words.size()) {
      count = parseInteger<int>(words[i + 1]);
    } else if (words[i].size() > 1 && words[i].front() == '=') {
      count = parseInteger<int>(words[i].substr(1));
    } else if (words[i] != "=") {
      continue;
    }
    if (count && *count < 0) return std::nullopt;
    return count;
  }
  return std::nullopt;
}

}  // namespace

void OutputStatements::see(const Words& words) {
  seeClosingBox(words);
  if (m_headingMethod.empty() && words.size() == 3 && words[1] == "CALCULATION" &&
      words[2] == "RESULTS") {
    m_headingMethod = words[0];
  }
  if (words.size() >= 3 && words[0] == "*" && words[2] == "-") seeKeywordEcho(words);
  if (phraseEnd(words, {"LOCALIZED", "MOLECULAR", "ORBITALS"})) m_mozyme = true;
  seeCounts(words);
}

void OutputStatements::seeClosingBox(const Words& words) {
  if (phraseEnd(words, {"Error", "and", "normal", "termination", "messages"})) {
    m_inClosingBox = true;
    return;
  }
  if (!m_inClosingBox) return;
  const bool frame = words.size() == 1 && words[0].find_first_not_of('*') == std::string::npos;
  if (frame || words.empty() || words.front() != "*") {
    m_inClosingBox = false;
    return;
  }
  std::string message;
  for (std::size_t i = 1; i + 1 < words.size(); ++i) {
    if (!message.empty()) message += ' ';
    message += words[i];
  }
  if (!message.empty() && message != "JOB ENDED NORMALLY") m_errors.push_back(std::move(message));
}

void OutputStatements::seeKeywordEcho(const Words& words) {
  if (words[1] == "MOZYME") m_mozyme = true;
  if (m_echoMethod.empty() && exponentTableMethod(words[1])) m_echoMethod = words[1];
  const std::optional<std::size_t> electrons = phraseEnd(words, {"THERE", "ARE"});
  const std::optional<std::size_t> levels = phraseEnd(words, {"IN"});
  if (words[1] == "OPEN(M,N)" && electrons && levels && *electrons < words.size() &&
      *levels < words.size()) {
    const std::optional<int> m = parseInteger<int>(words[*electrons]);
    const std::optional<int> n = parseInteger<int>(words[*levels]);
    if (m && n && *m >= 0 && *n > 0) m_openKeyword = std::pair{*m, *n};
  }
}

void OutputStatements::seeCounts(const Words& words) {
  const auto take = [&](std::initializer_list<std::string_view> phrase, std::optional<int>& field) {
    const std::optional<std::size_t> end = phraseEnd(words, phrase);
    if (end && !field) field = countAfterEquals(words, *end);
    return end.has_value();
  };
  if (take({"DOUBLY", "OCCUPIED", "LEVELS"}, m_doubly) || take({"FILLED", "LEVELS"}, m_filled) ||
      take({"ALPHA", "ELECTRONS"}, m_alpha) || take({"BETA", "ELECTRONS"}, m_beta) || m_open) {
    return;
  }
  if (const std::optional<std::size_t> end = phraseEnd(words, {"SINGLY", "OCCUPIED", "LEVELS"})) {
    m_open = countAfterEquals(words, *end);
    m_openShare = 1.0;
  } else if (const std::optional<std::size_t> with =
                 phraseEnd(words, {"LEVELS", "WITH", "OCCUPANCY"});
             with && *with < words.size()) {
    m_open = countAfterEquals(words, *with);
    m_openShare = parseDouble(words[*with]);
  }
}

std::string OutputStatements::method() const {
  return m_headingMethod.empty() ? m_echoMethod : m_headingMethod;
}

std::optional<double> OutputStatements::occupancy(int number, Spin spin) const {
  if (spin != Spin::none) {
    const std::optional<int> electrons = spin == Spin::alpha ? m_alpha : m_beta;
    if (!electrons) return std::nullopt;
    return number <= *electrons ? 1.0 : 0.0;
  }
  const std::optional<int> doubly = doublyOccupied();
  if (!doubly) return std::nullopt;
  const int64_t lastOpen = int64_t{*doubly} + m_open.value_or(0);
  return number <= *doubly ? 2.0 : number <= lastOpen ? openShare() : 0.0;
}

double OutputStatements::openShare() const {
  if (m_openKeyword) return static_cast<double>(m_openKeyword->first) / m_openKeyword->second;
  return m_openShare.value_or(1.0);
}

std::optional<int> OutputStatements::electrons(Spin spin) const {
  const auto whole = [](double count) -> std::optional<int> {
    const double rounded = std::round(count);
    if (!std::isfinite(count) || std::fabs(count - rounded) > 1e-6 || rounded < 0.0 ||
        rounded > std::numeric_limits<int>::max()) {
      return std::nullopt;
    }
    return static_cast<int>(rounded);
  };
  if (spin == Spin::alpha) return m_alpha;
  if (spin == Spin::beta) return m_beta;
  if (const std::optional<int> doubly = doublyOccupied()) {
    return whole(2.0 * *doubly + m_open.value_or(0) * openShare());
  }
  if (m_alpha && m_beta) return whole(static_cast<double>(*m_alpha) + *m_beta);
  return std::nullopt;
}

std::string OutputStatements::missingCount(Spin spin) {
  if (spin != Spin::none) return "A UHF output that states no numbers of alpha and beta electrons.";
  return "The output states no count of filled levels (\"DOUBLY OCCUPIED LEVELS =\").";
}

std::optional<std::string> OutputStatements::countsBeyond(int moCount) const {
  const int64_t doubly = m_doubly ? *m_doubly : m_filled.value_or(0);
  const int64_t levels = doubly + m_open.value_or(0);
  const auto beyond = [moCount](const std::string& what) {
    return "The output states " + what + ", more than the molecule's " + std::to_string(moCount) +
           " MOs.";
  };
  if (levels > moCount) return beyond(std::to_string(levels) + " occupied levels");
  if (const double share = openShare(); m_open.value_or(0) > 0 && !(share >= 0.0 && share <= 2.0)) {
    return "The output states open levels of " + fixedNumber(share, 3) +
           " electrons each, but an MO holds 0 to 2.";
  }
  for (const auto& [count, name] : {std::pair{m_alpha, "alpha"}, std::pair{m_beta, "beta"}}) {
    if (count && *count > moCount)
      return beyond(std::to_string(*count) + " " + name + " electrons");
  }
  return std::nullopt;
}

}  // namespace lobewright
