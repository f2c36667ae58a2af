#pragma once

#include <ostream>
#include <string>

namespace lobewright {

// What a mesh writer reports: nothing on success, otherwise a message for the user. A writer
// that refuses its input writes nothing.
struct MeshWriteResult {
  std::string error;

  [[nodiscard]] bool succeeded() const { return error.empty(); }
};

inline constexpr const char* kMeshWriteFailedMessage = "Cannot write the mesh file.";

// The result of a writer that has put everything into `out`.
[[nodiscard]] inline MeshWriteResult streamResult(const std::ostream& out) {
  if (out.fail()) return {kMeshWriteFailedMessage};
  return {};
}

}  // namespace lobewright
