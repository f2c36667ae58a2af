#pragma once

#include <functional>
#include <stop_token>
#include <string>

#include "app/conversion_settings.h"
#include "app/picture_renderer.h"
#include "mesh/orbital_mesh.h"
#include "writers/ball_and_stick.h"
#include "writers/framed_pov_writer.h"

namespace lobewright {

// The framed scene's options for the settings' picture of the given aspect: the user's lobe
// colours, or a pair that none of the atoms' colours is like.
[[nodiscard]] FramedSceneOptions framedOptions(const ConversionSettings& settings,
                                               const BallAndStickModel& structure, double aspect);

// The framed scene of the surface rendered by POV-Ray, width by height pixels, as PNG bytes.
[[nodiscard]] PictureResult renderFramedPicture(const OrbitalMesh& mesh,
                                                const BallAndStickModel& structure,
                                                const FramedSceneOptions& options, int width,
                                                int height, std::stop_token stop,
                                                const std::function<void(int)>& progress,
                                                std::string& png);

}  // namespace lobewright
