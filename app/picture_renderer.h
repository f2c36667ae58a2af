#pragma once

#include <functional>
#include <ostream>
#include <stop_token>
#include <string>

namespace lobewright {

struct PictureRequest {
  std::string scene;  // the POV-Ray scene text
  int width = 1280;
  int height = 960;
  std::stop_token stop;
  // Told POV-Ray's progress in percent as it renders.
  std::function<void(int percent)> progress = [](int) {};
};

struct PictureResult {
  std::string error;  // empty on success
  bool cancelled = false;
  [[nodiscard]] bool succeeded() const { return error.empty() && !cancelled; }
};

// Renders the scene with POV-Ray (found on the PATH), antialiased, and copies the PNG into
// `out`. Works in a temporary folder that is removed whatever happens; a stop request ends
// POV-Ray at once.
[[nodiscard]] PictureResult renderPicture(const PictureRequest& request, std::ostream& out);

}  // namespace lobewright
