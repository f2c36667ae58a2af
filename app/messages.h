#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace lobewright {

// Every text the application tells its user, in one place. The first lines of the failures are
// the classic ones; what went wrong follows on a second line, as withReason writes it.

inline constexpr const char* kErrorCaption = "Lobewright error";
inline constexpr const char* kWarningCaption = "Lobewright warning";
inline constexpr const char* kNoteCaption = "Lobewright note";

inline constexpr const char* kInputFileErrorMessage = "Input file error.";
inline constexpr const char* kParameterFileErrorMessage = "Parameter file error.";
inline constexpr const char* kCannotOpenOutputMessage = "Cannot open output file.";
inline constexpr const char* kCannotWriteOutputMessage = "Cannot write output file.";
inline constexpr const char* kCannotFindHomoLumoMessage = "Cannot find HOMO/LUMO";
inline constexpr const char* kDefaultParametersMessage = "Using default PM3 parameters.";

inline constexpr const char* kNoSurfaceMessage = "No surface found at this threshold.";
inline constexpr const char* kCancelledMessage = "The run was cancelled; no file was written.";
inline constexpr const char* kSurfaceTooFarMessage =
    "The surface reaches too far beyond the atoms to be enclosed; raise the threshold.";
inline constexpr const char* kGridTooLargeMessage =
    "The grid would reach beyond 32-bit grid units; check the coordinates or lower the scale.";

// From this many AOs on, a density matrix (S^-1/2 by a full eigendecomposition, then P between
// two of them) takes a second or more, and nothing else shows that the run is under way: 7.5 s
// for 1,998 AOs on two cores.
inline constexpr std::size_t kLongDensityMatrixAos = 1'000;

// What the user is told before such a density matrix is worked out; nothing for a shorter one.
inline std::optional<std::string> longDensityMatrixNotice(std::size_t aoCount) {
  if (aoCount < kLongDensityMatrixAos) return std::nullopt;
  return "working out the density matrix over " + std::to_string(aoCount) +
         " AOs, which takes a while";
}

// Reasons, on the line after the file's name.
inline constexpr const char* kClassicNeedsOutputMessage =
    "the classic model reads MOPAC output files (.out, .mno) only; use the exact model for .aux "
    "and .mgf files";
inline constexpr const char* kNotMopacMessage =
    "not a MOPAC file: give the .out (made with the keyword VECTORS), .aux or .mgf file of a "
    "MOPAC run";
inline constexpr const char* kArchiveMessage =
    "this is a MOPAC archive (.arc): the summary of a run and its final geometry, without "
    "orbitals. Give the same run's .aux file (keyword AUX), its .out file (keywords VECTORS "
    "ALLVEC) or its .mgf file (keyword GRAPHF)";
inline constexpr const char* kInputDeckMessage =
    "this is an input for MOPAC (.mop), not the result of a run. Add the keyword AUX (or "
    "VECTORS ALLVEC, or GRAPHF) to its first line, run MOPAC on it and give the .aux (.out, "
    ".mgf) file the run writes";
inline constexpr const char* kNoFilledLevelsMessage = "no count of filled levels (\"LEVELS =\")";
inline constexpr const char* kClassicDrawsMosMessage =
    "The classic model draws MOs only: densities and the fields made of them need the exact model "
    "(--orbitals exact).";
inline constexpr const char* kClassicColoursNothingMessage =
    "The classic model draws an MO in its lobes' colours only: a surface coloured by a field needs "
    "the exact model (--orbitals exact).";
inline constexpr const char* kNoVertexColoursMessage =
    "A surface coloured by a field is written as .glb, .obj, .ply, a framed .pov scene or a .png "
    "picture: the classic .pov and .ls scenes, .stl and .cube files hold no such colours.";

inline constexpr const char* kNoPovRayMessage =
    "POV-Ray is needed for .png pictures but was not found. Install it (Debian package povray) "
    "or write a .pov scene instead.";
inline constexpr const char* kCannotStartPovRayMessage = "Cannot start POV-Ray.";
inline constexpr const char* kNoSvgRendererMessage =
    "librsvg's rsvg-convert is needed for .png diagrams, galleries and captions but was not "
    "found. Install it (Debian package librsvg2-bin) or write an .svg diagram instead.";
inline constexpr const char* kCannotStartSvgRendererMessage = "Cannot start rsvg-convert.";

inline constexpr const char* kScaleOutOfRangeMessage =
    "The scale must be a whole number from 1 to 100.";
inline constexpr const char* kAccuracyOutOfRangeMessage =
    "The accuracy must be a whole number from 1 to 100.";
inline constexpr const char* kThresholdNotPositiveMessage =
    "The threshold must be a finite number above 0.";
inline constexpr const char* kCutoffNotPositiveMessage =
    "The cutoff must be a finite number of Angstrom above 0.";
inline constexpr const char* kBondLengthNotFiniteMessage =
    "The bond length must be a finite number.";

// The window's notice before a classic run without a parameter table: why, and what to do.
[[nodiscard]] inline std::string builtInParametersMessage(const std::string& parameterFile,
                                                          const std::string& why) {
  return std::string(kDefaultParametersMessage) + "\nThe parameter file " +
         (parameterFile.empty() ? std::string("pm3r.txt") : parameterFile) + " " + why +
         ", so the classic model uses its built-in PM3 table, which knows H, C, N and O only. To "
         "use a table of your own, put pm3r.txt there or choose it with Parameters...";
}

// "Input file error.\ncaffeine.aux: line 12: ...": the message, then on a second line the file
// (when one is named) and what went wrong with it.
[[nodiscard]] inline std::string withReason(const char* message, const std::string& fileName,
                                            const std::string& reason) {
  return std::string(message) + "\n" + (fileName.empty() ? reason : fileName + ": " + reason);
}

// What the user must hear goes through a sink: the window turns it into a message box, the
// converter into a line on stderr. The core never prints or shows anything itself.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void show(const std::string& caption, const std::string& text) = 0;
};

}  // namespace lobewright
