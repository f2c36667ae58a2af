#include "app/homo_lumo_locator.h"

#include <fstream>
#include <limits>

#include "input/number_text.h"
#include "input/token_reader.h"

namespace lobewright {
namespace {

constexpr const char* kLevels = "LEVELS";

bool fitsInt32(int64_t value) {
  return value >= std::numeric_limits<int32_t>::min() &&
         value <= std::numeric_limits<int32_t>::max();
}

}  // namespace

std::optional<int32_t> locateFrontierOrbital(std::istream& in, FrontierOrbital which) {
  TokenReader reader(in);
  // The count is stated as "LEVELS = 13"; a keyword's echo such as "OPEN(M,N) - THERE ARE 2
  // ELECTRONS IN 2 LEVELS" may name the word before it.
  std::string previous;
  std::string equalsSign;
  while (previous != kLevels || equalsSign.front() != '=') {
    previous.swap(equalsSign);
    if (!reader.readToken(equalsSign)) return std::nullopt;
  }
  std::optional<int64_t> count;
  // From 100 filled levels on, MOPAC glues the count to the sign: "LEVELS =106".
  if (equalsSign.size() > 1 && equalsSign.front() == '=') {
    count = parseInteger<int64_t>(std::string_view(equalsSign).substr(1));
  } else if (long read = 0; reader.readInteger(read)) {
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
  std::ifstream file(fileName);
  return locateFrontierOrbital(file, which);
}

std::string cannotFindFrontierMessage(const std::string& fileName, std::optional<int32_t> located) {
  std::string message = kCannotFindHomoLumoMessage;
  if (located && *located > kGreatestMoNumber) {
    message += "\n" + fileName + ": the orbital would be MO " + std::to_string(*located) +
               ", beyond the highest MO number, " + std::to_string(kGreatestMoNumber) + ".";
  }
  return message;
}

}  // namespace lobewright
