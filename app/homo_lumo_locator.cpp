#include "app/homo_lumo_locator.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <streambuf>
#include <vector>

#include "input/number_text.h"
#include "input/text_scan.h"
#include "input/word_reader.h"

namespace lobewright {
namespace {

constexpr const char* kLevels = "LEVELS";

bool fitsInt32(int64_t value) {
  return value >= std::numeric_limits<int32_t>::min() &&
         value <= std::numeric_limits<int32_t>::max();
}

std::optional<std::string> unreadable(const std::string& fileName) {
  std::error_code code;
  const std::filesystem::file_status status = std::filesystem::status(fileName, code);
  if (code) return code.message();
  if (std::filesystem::is_directory(status)) return std::strerror(EISDIR);
  errno = 0;
  if (!std::ifstream(fileName).is_open())
    return errno != 0 ? std::strerror(errno) : "cannot be read";
  return std::nullopt;
}

// Reads a file in pieces and ends it early, as if it had no more text, once the stop is
// requested.
class StoppableFileBuffer : public std::streambuf {
 public:
  StoppableFileBuffer(const std::string& fileName, std::stop_token stop)
      : m_stop(std::move(stop)), m_piece(kPieceBytes) {
    m_file.open(fileName, std::ios::in | std::ios::binary);
  }

 protected:
  int_type underflow() override {
    if (m_stop.stop_requested() || !m_file.is_open()) return traits_type::eof();
    const std::streamsize count = m_file.sgetn(m_piece.data(), kPieceBytes);
    if (count <= 0) return traits_type::eof();
    setg(m_piece.data(), m_piece.data(), m_piece.data() + count);
    return traits_type::to_int_type(m_piece[0]);
  }

 private:
  static constexpr std::streamsize kPieceBytes = 1 << 16;

  std::filebuf m_file;
  std::stop_token m_stop;
  std::vector<char> m_piece;
};

}  // namespace

std::optional<int32_t> locateFrontierOrbital(std::istream& in, FrontierOrbital which) {
  LineReader lines(in, {});
  WordReader words(lines);
  // The count is stated as "LEVELS = 13"; a keyword's echo such as "OPEN(M,N) - THERE ARE 2
  // ELECTRONS IN 2 LEVELS" may name the word before it.
  std::string previous;
  std::string equalsSign;
  while (previous != kLevels || equalsSign.front() != '=') {
    previous.swap(equalsSign);
    if (!words.next()) return std::nullopt;
    equalsSign = words.word();
  }
  std::optional<int64_t> count;
  // From 100 filled levels on, MOPAC glues the count to the sign: "LEVELS =106".
  if (equalsSign.size() > 1 && equalsSign.front() == '=') {
    count = parseInteger<int64_t>(std::string_view(equalsSign).substr(1));
  } else if (long read = 0; words.readInteger(read)) {
    count = read;
  }
  // The count must be a 32-bit number whichever button asks: the HOMO and the LUMO come from
  // the same count, so a count out of range must not give one of them.
  if (!count || !fitsInt32(*count)) return std::nullopt;
  const int64_t mo = *count + (which == FrontierOrbital::lumo ? 1 : 0);
  if (!fitsInt32(mo)) return std::nullopt;
  return static_cast<int32_t>(mo);
}

std::optional<int32_t> locateFrontierOrbital(const std::string& fileName, FrontierOrbital which) {
  return locateFrontierOrbital(fileName, which, {});
}

std::optional<int32_t> locateFrontierOrbital(const std::string& fileName, FrontierOrbital which,
                                             std::stop_token stop) {
  StoppableFileBuffer buffer(fileName, std::move(stop));
  std::istream file(&buffer);
  return locateFrontierOrbital(file, which);
}

std::string cannotFindFrontierMessage(const std::string& fileName, std::optional<int32_t> located) {
  std::string reason;
  if (located && *located > kGreatestMoNumber) {
    reason = "the orbital would be MO " + std::to_string(*located) +
             ", beyond the highest MO number, " + std::to_string(kGreatestMoNumber) + ".";
  } else if (const std::optional<std::string> problem = unreadable(fileName)) {
    reason = *problem;
  } else {
    reason = kNoFilledLevelsMessage;
  }
  return withReason(kCannotFindHomoLumoMessage, fileName, reason);
}

}  // namespace lobewright
