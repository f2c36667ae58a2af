#pragma once

#include <string>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "writers/html_writer.h"

namespace lobewright {

// A page's caption for the request's drawing of the loaded input: the input file's name, then
// what is drawn (the MO's number, its spin and whether it is the HOMO or LUMO, its symmetry label
// and energy as the file gives them; or the field's description), then the isovalue. Reads the
// input as the exact model does when it was loaded in the classic model.
[[nodiscard]] PageCaption pageCaption(LoadedInput& input, const ConversionRequest& request,
                                      const std::string& fieldDescription);

}  // namespace lobewright
