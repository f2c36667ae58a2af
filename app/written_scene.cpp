#include "app/written_scene.h"

#include <algorithm>

namespace lobewright {

SceneSampler::SceneSampler(std::size_t limit) : m_limit(std::max<std::size_t>(limit, 2)) {}

void SceneSampler::add(const SceneTriangle& triangle) {
  const auto index = static_cast<uint64_t>(m_seen++);
  if (index % m_stride != 0) return;
  if (m_kept.size() == m_limit) {
    // Keep every second of those kept: they are then every (2 * stride)-th of all seen.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_kept.size(); i += 2) m_kept[kept++] = m_kept[i];
    m_kept.resize(kept);
    m_stride *= 2;
    if (index % m_stride != 0) return;
  }
  m_kept.push_back(triangle);
}

WrittenScene SceneSampler::take(std::vector<CalculationAtom> atoms) {
  WrittenScene scene{std::move(m_kept), std::move(atoms), m_seen};
  m_kept = {};
  m_stride = 1;
  m_seen = 0;
  return scene;
}

WrittenScene sampleScene(const OrbitalMesh& mesh, std::vector<CalculationAtom> atoms,
                         std::size_t limit, const SurfaceColouring* colouring) {
  SceneSampler sampler(limit);
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    const LobeMesh& lobe = mesh.lobe(sign);
    const std::vector<Rgb>* colours = colouring != nullptr ? &colouring->of(sign) : nullptr;
    if (colours != nullptr && colours->size() != lobe.positions.size()) colours = nullptr;
    for (const auto& corners : lobe.triangles) {
      SceneTriangle triangle{
          {lobe.positions[corners[0]], lobe.positions[corners[1]], lobe.positions[corners[2]]},
          sign,
          std::nullopt};
      if (colours != nullptr) {
        Rgb mean;
        for (const uint32_t corner : corners) {
          const Rgb& c = (*colours)[corner];
          mean = {mean.r + c.r / 3.0f, mean.g + c.g / 3.0f, mean.b + c.b / 3.0f};
        }
        triangle.colour = mean;
      }
      sampler.add(triangle);
    }
  }
  return sampler.take(std::move(atoms));
}

}  // namespace lobewright
