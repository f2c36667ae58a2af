#include "input/molecule.h"

namespace lobewright {

Molecule::Molecule(const std::string& parameterFile, MessageSink& messages)
    : parameters(loadParameters(parameterFile, messages)), m_messages(&messages) {}

}  // namespace lobewright
