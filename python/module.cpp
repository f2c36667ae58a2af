// The Python module `lobewright`: a calculation opened once, its atoms and MOs, grids and surfaces
// as numpy arrays, files written as the converter writes them, and pages for Jupyter. The work is
// done by ScriptSession with the GIL released; the converter's messages become exceptions
// (lobewright.Error, and lobewright.OptionError, also a ValueError, for refused options) and its
// warnings Python warnings.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "python/script_session.h"
#include "writers/ball_and_stick.h"
#include "writers/program_version.h"

namespace py = pybind11;

namespace lobewright {
namespace {

using Options = std::vector<std::string>;

std::optional<std::string> spinName(Spin spin) {
  if (spin == Spin::none) return std::nullopt;
  return spin == Spin::alpha ? "alpha" : "beta";
}

Spin spinNamed(const std::optional<std::string>& name) {
  if (!name) return Spin::alpha;
  if (*name == "alpha") return Spin::alpha;
  if (*name == "beta") return Spin::beta;
  throw ScriptError("spin takes alpha or beta, not \"" + *name + "\"", true);
}

struct Orbital {
  OrbitalRow row;
};

std::string text(const py::handle& value) { return py::str(value).cast<std::string>(); }

// Keyword arguments as the converter's options: color_by=... is --color-by ...; True gives the
// flag alone, False and None nothing; a list or tuple is joined by commas; an orbital gives its
// number.
void addOption(Options& options, const std::string& keyword, const py::handle& value) {
  if (value.is_none() || (py::isinstance<py::bool_>(value) && !value.cast<bool>())) return;
  std::string name = "--" + keyword;
  std::replace(name.begin(), name.end(), '_', '-');
  options.push_back(name);
  if (py::isinstance<py::bool_>(value)) return;
  if (py::isinstance<Orbital>(value)) {
    options.push_back(std::to_string(value.cast<const Orbital&>().row.number));
  } else if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value)) {
    std::string joined;
    for (const py::handle item : value) {
      joined +=
          (joined.empty() ? "" : ",") +
          (py::isinstance<Orbital>(item) ? std::to_string(item.cast<const Orbital&>().row.number)
                                         : text(item));
    }
    options.push_back(joined);
  } else if (py::isinstance<py::float_>(value)) {
    options.push_back(text(py::repr(value)));
  } else {
    options.push_back(text(value));
  }
}

Options optionsOf(const py::kwargs& keywords) {
  Options options;
  for (const auto& [keyword, value] : keywords) addOption(options, text(keyword), value);
  return options;
}

// The options of a grid or a surface: the field, the MO (an orbital brings its spin), the scale.
Options drawingOptions(const std::string& field, const py::object& mo, const py::object& spin,
                       int scale, const py::kwargs& keywords) {
  Options options{"--field", field, "--scale", std::to_string(scale)};
  addOption(options, "mo", mo);
  py::object spinGiven = spin;
  if (spin.is_none() && py::isinstance<Orbital>(mo)) {
    if (const auto name = spinName(mo.cast<const Orbital&>().row.spin)) spinGiven = py::str(*name);
  }
  addOption(options, "spin", spinGiven);
  const Options rest = optionsOf(keywords);
  options.insert(options.end(), rest.begin(), rest.end());
  return options;
}

void warn(const std::vector<std::string>& warnings) {
  for (const std::string& warning : warnings) {
    if (PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 1) != 0) throw py::error_already_set();
  }
}

// A vector's values as a numpy array that owns them, in the given shape.
template <class T>
py::array_t<T> arrayOf(std::vector<T>&& values, std::vector<py::ssize_t> shape) {
  auto* owned = new std::vector<T>(std::move(values));
  py::capsule owner(owned, [](void* data) { delete static_cast<std::vector<T>*>(data); });
  return py::array_t<T>(shape, owned->data(), owner);
}

py::array_t<double> pointsOf(const std::vector<Vec3>& points) {
  std::vector<double> values;
  values.reserve(3 * points.size());
  for (const Vec3& p : points) values.insert(values.end(), {p.x, p.y, p.z});
  return arrayOf(std::move(values), {static_cast<py::ssize_t>(points.size()), 3});
}

struct Lobe {
  py::array_t<double> vertices;
  py::array_t<uint32_t> faces;
  py::array_t<double> normals;
};

Lobe lobeOf(const LobeMesh& mesh) {
  std::vector<uint32_t> faces;
  faces.reserve(3 * mesh.triangles.size());
  for (const auto& t : mesh.triangles) faces.insert(faces.end(), t.begin(), t.end());
  return {pointsOf(mesh.positions),
          arrayOf(std::move(faces), {static_cast<py::ssize_t>(mesh.triangles.size()), 3}),
          pointsOf(mesh.normals)};
}

struct Surface {
  std::shared_ptr<const ScriptSurface> drawn;
  Lobe positive;
  Lobe negative;

  [[nodiscard]] std::string page() const {
    std::ostringstream out;
    const MeshWriteResult written =
        writeHtml(out, drawn->mesh, buildBallAndStick(drawn->atoms), drawn->page);
    if (!written.succeeded()) throw ScriptError(written.error, false);
    return out.str();
  }
};

// The page inside a frame of its own, as a notebook shows it: its script, styles and names stay
// apart from the notebook's and from other pages'.
std::string inlineFrame(const std::string& page) {
  std::string escaped;
  escaped.reserve(page.size() + page.size() / 8);
  for (const char c : page) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped += c;
    }
  }
  return R"(<iframe sandbox="allow-scripts" style="width: 100%; height: 480px; border: 0" srcdoc=")" +
         escaped + "\"></iframe>";
}

struct Grid {
  py::array_t<double> values;
  py::array_t<double> origin;
  py::array_t<double> axes;
  std::string description;
  std::string quantity;
};

class OpenedCalculation {
 public:
  explicit OpenedCalculation(const std::string& path) {
    py::gil_scoped_release release;
    m_session = std::make_shared<ScriptSession>(path);
  }

  [[nodiscard]] ScriptSession& session() const { return *m_session; }

  Grid grid(const std::string& field, const py::object& mo, const py::object& spin, int scale,
            std::optional<double> margin, const py::kwargs& keywords) {
    const Options options = drawingOptions(field, mo, spin, scale, keywords);
    std::vector<std::string> warnings;
    ScriptGrid drawn;
    {
      py::gil_scoped_release release;
      drawn = m_session->grid(options, margin, warnings);
    }
    warn(warnings);
    FieldGrid& grid = drawn.grid;
    const double h = grid.spacing;
    return {arrayOf(std::move(grid.values), {grid.counts[0], grid.counts[1], grid.counts[2]}),
            arrayOf(std::vector<double>{grid.origin.x, grid.origin.y, grid.origin.z}, {3}),
            arrayOf(std::vector<double>{h, 0, 0, 0, h, 0, 0, 0, h}, {3, 3}),
            std::move(drawn.description), std::move(drawn.quantity)};
  }

  Surface surface(const std::string& field, const py::object& mo, const py::object& threshold,
                  const py::object& spin, int scale, py::kwargs keywords) {
    keywords["threshold"] = threshold;
    const Options options = drawingOptions(field, mo, spin, scale, keywords);
    std::vector<std::string> warnings;
    std::shared_ptr<ScriptSurface> drawn;
    {
      py::gil_scoped_release release;
      drawn = std::make_shared<ScriptSurface>(m_session->surface(options, warnings));
    }
    warn(warnings);
    return {drawn, lobeOf(drawn->mesh.positive), lobeOf(drawn->mesh.negative)};
  }

  void write(const std::string& path, const py::kwargs& keywords) {
    const Options options = optionsOf(keywords);
    std::vector<std::string> warnings;
    {
      py::gil_scoped_release release;
      m_session->write(path, options, warnings);
    }
    warn(warnings);
  }

 private:
  std::shared_ptr<ScriptSession> m_session;
};

}  // namespace
}  // namespace lobewright

PYBIND11_MODULE(lobewright, module) {
  using namespace lobewright;
  module.doc() =
      "Molecular orbitals and electron densities of MOPAC calculations: grids and surfaces as "
      "numpy arrays, and every file the converter lobewright-convert writes.";
  module.attr("__version__") = std::string(kProgramVersion);

  static py::exception<ScriptError> error(module, "Error");
  static py::handle optionError = PyErr_NewException(
      "lobewright.OptionError", py::make_tuple(error, py::handle(PyExc_ValueError)).release().ptr(),
      nullptr);
  module.attr("OptionError") = optionError;
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) std::rethrow_exception(thrown);
    } catch (const ScriptError& e) {
      PyErr_SetString(e.badOptions() ? optionError.ptr() : error.ptr(), e.what());
    }
  });

  py::class_<Orbital>(module, "Orbital", "One MO of the calculation, as the file gives it.")
      .def_property_readonly("number", [](const Orbital& o) { return o.row.number; })
      .def_property_readonly(
          "spin", [](const Orbital& o) { return spinName(o.row.spin); },
          "'alpha', 'beta', or None in a restricted calculation")
      .def_property_readonly(
          "energy", [](const Orbital& o) { return o.row.energy; },
          "eV, or None where the file gives no right energy (MOZYME's EIGEN runs in part)")
      .def_property_readonly("occupancy", [](const Orbital& o) { return o.row.occupancy; })
      .def_property_readonly(
          "label",
          [](const Orbital& o) -> std::optional<std::string> {
            if (o.row.symmetry.empty()) return std::nullopt;
            return o.row.symmetry;
          },
          "the symmetry label, or None")
      .def_property_readonly(
          "frontier",
          [](const Orbital& o) -> std::optional<std::string> {
            if (o.row.frontier.empty()) return std::nullopt;
            return o.row.frontier;
          },
          "'HOMO', 'LUMO' or None")
      .def("__repr__", [](const Orbital& o) {
        std::ostringstream text;
        text << "Orbital(number=" << o.row.number
             << ", spin=" << spinName(o.row.spin).value_or("None") << ", energy=";
        if (o.row.energy) {
          text << *o.row.energy;
        } else {
          text << "None";
        }
        text << ", occupancy=" << o.row.occupancy << ", label=" << o.row.symmetry << ")";
        return text.str();
      });

  py::class_<Lobe>(module, "Lobe", "One lobe as a closed mesh, Angstrom.")
      .def_readonly("vertices", &Lobe::vertices, "n x 3 positions")
      .def_readonly("faces", &Lobe::faces, "m x 3 vertex indices, counter-clockwise from outside")
      .def_readonly("normals", &Lobe::normals, "n x 3 unit normals, out of the lobe");

  py::class_<Surface>(module, "Surface", "The surface |field| = threshold: two lobes.")
      .def_readonly("positive", &Surface::positive)
      .def_readonly("negative", &Surface::negative)
      .def_property_readonly(
          "threshold", [](const Surface& s) { return s.drawn->threshold; },
          "the isovalue, as the converter took it")
      .def_property_readonly("description", [](const Surface& s) { return s.drawn->description; })
      .def("html", &Surface::page, "the web page of the surface, as .html output writes it")
      .def("_repr_html_", [](const Surface& s) { return inlineFrame(s.page()); });

  py::class_<Grid>(module, "Grid", "A field's values on a grid.")
      .def_readonly("values", &Grid::values, "nx x ny x nz values, in the field's unit")
      .def_readonly("origin", &Grid::origin, "the position of values[0, 0, 0], Angstrom")
      .def_readonly("axes", &Grid::axes, "3 x 3, one grid step per row, Angstrom")
      .def_readonly("description", &Grid::description)
      .def_readonly("quantity", &Grid::quantity, "what the values are, with their unit");

  py::class_<OpenedCalculation>(module, "Calculation", "A MOPAC calculation read once.")
      .def_property_readonly("path", [](const OpenedCalculation& c) { return c.session().path(); })
      .def_property_readonly(
          "atoms",
          [](const OpenedCalculation& c) {
            const std::vector<CalculationAtom>& atoms = c.session().calculation().atoms;
            py::list symbols;
            std::vector<Vec3> positions;
            for (const CalculationAtom& atom : atoms) {
              symbols.append(atom.symbol);
              positions.push_back(atom.position);
            }
            return py::module_::import("types").attr("SimpleNamespace")(
                py::arg("symbols") = symbols, py::arg("positions") = pointsOf(positions));
          },
          "symbols (a list) and positions (n x 3, Angstrom)")
      .def_property_readonly(
          "orbitals",
          [](const OpenedCalculation& c) {
            std::vector<Orbital> orbitals;
            for (const OrbitalRow& row : c.session().orbitals()) orbitals.push_back({row});
            return orbitals;
          },
          "every MO the file holds, in file order")
      .def(
          "homo",
          [](const OpenedCalculation& c, const std::optional<std::string>& spin) {
            return Orbital{c.session().frontier(true, spinNamed(spin))};
          },
          py::arg("spin") = py::none())
      .def(
          "lumo",
          [](const OpenedCalculation& c, const std::optional<std::string>& spin) {
            return Orbital{c.session().frontier(false, spinNamed(spin))};
          },
          py::arg("spin") = py::none())
      .def("grid", &OpenedCalculation::grid, py::arg("field") = "mo", py::arg("mo") = py::none(),
           py::arg("spin") = py::none(), py::arg("scale") = 4, py::arg("margin") = py::none(),
           "The field's values on a grid: the box that holds the whole surface at the threshold, "
           "or `margin` Angstrom around the atoms. Other keywords are the converter's options.")
      .def("surface", &OpenedCalculation::surface, py::arg("field") = "mo",
           py::arg("mo") = py::none(), py::arg("threshold") = py::none(),
           py::arg("spin") = py::none(), py::arg("scale") = 4,
           "The surface |field| = threshold (the converter's default for the field when None). "
           "Other keywords are the converter's options.")
      .def("write", &OpenedCalculation::write, py::arg("path"),
           "Writes PATH as lobewright-convert INPUT PATH does; keywords are its options "
           "(--color-by becomes color_by, True gives a flag).")
      .def("__repr__", [](const OpenedCalculation& c) {
        return "<lobewright.Calculation " + c.session().path() + ">";
      });

  module.def(
      "open", [](const std::string& path) { return OpenedCalculation(path); }, py::arg("path"),
      "Reads a MOPAC calculation (.out, .aux, .mgf).");
}
