#pragma once

#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/drawn_field.h"
#include "app/field_grid.h"
#include "app/loaded_input.h"
#include "app/orbital_list.h"
#include "cli/command_line.h"
#include "input/calculation.h"
#include "mesh/orbital_mesh.h"
#include "writers/html_writer.h"

namespace lobewright {

// Why a script's call failed, in the converter's words: options it refuses (badOptions), or a
// drawing that failed (an input it cannot read, an MO it lacks, an output it cannot write, ...).
class ScriptError : public std::runtime_error {
 public:
  ScriptError(const std::string& message, bool badOptions)
      : std::runtime_error(message), m_badOptions(badOptions) {}
  [[nodiscard]] bool badOptions() const { return m_badOptions; }

 private:
  bool m_badOptions;
};

// A field's values on a grid, with what the field is and its unit ("psi in bohr^-3/2").
struct ScriptGrid {
  FieldGrid grid;
  std::string description;
  std::string quantity;
};

// A surface with what a page of it shows: the atoms, the colours and the caption.
struct ScriptSurface {
  OrbitalMesh mesh;
  std::vector<CalculationAtom> atoms;
  double threshold = 0.0;
  std::string description;
  HtmlOptions page;
};

// One calculation opened for scripts: its atoms and MOs as the exact model reads them, and every
// drawing made by the converter's own code from the converter's options ("--field", "density",
// ...): the command line is parsed by the converter's table, the input loaded once for each set of
// options that read it differently, and the fields, meshes and files made as a conversion makes
// them. Warnings are added to the list each call is given. Calls may come from several threads;
// they are served one at a time.
class ScriptSession {
 public:
  // Throws ScriptError when the file cannot be read.
  explicit ScriptSession(const std::string& path);

  [[nodiscard]] const std::string& path() const { return m_path; }
  [[nodiscard]] const Calculation& calculation() const { return m_calculation; }
  [[nodiscard]] const std::vector<OrbitalRow>& orbitals() const { return m_orbitals; }

  // The HOMO or LUMO of a spin set (alpha serves a restricted file), as a row of orbitals().
  [[nodiscard]] const OrbitalRow& frontier(bool homo, Spin spin) const;

  // The field's values on the cube's grid (the box that holds the whole surface at the
  // threshold), or on the box `margin` Angstrom around the atoms.
  [[nodiscard]] ScriptGrid grid(const std::vector<std::string>& options,
                                std::optional<double> margin, std::vector<std::string>& warnings);
  // The watertight surface at the threshold, as the mesh formats take it.
  [[nodiscard]] ScriptSurface surface(const std::vector<std::string>& options,
                                      std::vector<std::string>& warnings);
  // Writes OUTPUT as the converter does with these options: one file per MO.
  void write(const std::string& output, const std::vector<std::string>& options,
             std::vector<std::string>& warnings);

 private:
  // The command line INPUT OUTPUT options..., refused as the converter refuses it.
  [[nodiscard]] CommandLine parse(const std::string& output,
                                  const std::vector<std::string>& options) const;
  // The input loaded for the request, kept while later requests read it the same way.
  [[nodiscard]] LoadedInput& loaded(const ConversionRequest& request, MessageSink& messages);
  // The field the command names, of one MO where it names MOs, drawn from the loaded input.
  [[nodiscard]] DrawnField drawn(const CommandLine& command, ConversionRequest& request,
                                 std::vector<std::string>& warnings);

  std::string m_path;
  Calculation m_calculation;
  std::vector<OrbitalRow> m_orbitals;
  std::mutex m_mutex;
  std::optional<LoadedInput> m_loaded;
  std::vector<std::string> m_loadedKey;
};

}  // namespace lobewright
