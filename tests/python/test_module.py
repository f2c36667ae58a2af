"""The Python module against numpy's own evaluation of the files and against the converter.

Run by ctest with the module's folder on PYTHONPATH and LOBEWRIGHT_CONVERTER and
LOBEWRIGHT_TEST_DATA set.
"""
import html
import os
import subprocess
import sys
import threading
import time
import warnings

import numpy as np
import pytest

import lobewright

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'tools'))
from check_exact_orbital import BOHR, load_density, load_mo, slater  # noqa: E402

CONVERTER = os.environ['LOBEWRIGHT_CONVERTER']
DATA = os.environ['LOBEWRIGHT_TEST_DATA']


def sample(name):
    return os.path.join(DATA, name)


def grid_points(grid):
    """Every grid point, in the order of values.ravel(), Angstrom."""
    i, j, k = np.meshgrid(*(np.arange(n) for n in grid.values.shape), indexing='ij')
    indices = np.stack([i.ravel(), j.ravel(), k.ravel()], axis=1)
    return grid.origin + indices @ grid.axes


def numpy_field(path, points, mo=None, spin='none', field='mo'):
    """psi (or a density) at the points in Angstrom, from the .aux file with numpy alone."""
    bohr = points / BOHR
    if field == 'mo':
        _, _, basis, d, _ = load_mo(path, mo, spin, False)
        return sum(c * slater(bohr, centre, n, zeta, kind)
                   for c, (centre, n, zeta, kind) in zip(d, basis))
    _, _, basis, density = load_density(path, field)
    phi = np.array([slater(bohr, centre, n, zeta, kind) for centre, n, zeta, kind in basis])
    return np.einsum('mp,mp->p', phi, density @ phi)


def converter(*arguments):
    return subprocess.run([CONVERTER, *arguments, '--quiet'], capture_output=True, text=True)


def test_atoms_and_orbitals_as_the_file_gives_them():
    calculation = lobewright.open(sample('aux/caffeine_PM7.aux'))
    symbols, geometry, _, _, _ = load_mo(sample('aux/caffeine_PM7.aux'), 1, 'none', False)
    assert calculation.atoms.symbols == symbols
    np.testing.assert_allclose(calculation.atoms.positions, geometry * BOHR, atol=1e-9)
    orbitals = calculation.orbitals
    assert [o.number for o in orbitals] == list(range(1, 67))
    homo, lumo = calculation.homo(), calculation.lumo()
    assert (homo.number, homo.occupancy, homo.label, homo.spin) == (37, 2.0, "10a''", None)
    assert (lumo.number, lumo.occupancy, lumo.frontier) == (38, 0.0, 'LUMO')
    assert homo.energy == pytest.approx(-9.0666, abs=1e-4)
    # A radical: each spin set has its own frontier orbitals.
    radical = lobewright.open(sample('aux/methylradical_PM7.aux'))
    assert (radical.homo().number, radical.homo().spin) == (4, 'alpha')
    assert (radical.homo(spin='beta').number, radical.lumo(spin='beta').number) == (3, 4)


@pytest.mark.parametrize('path, options, mo, spin, field', [
    ('aux/caffeine_PM7.aux', dict(mo='HOMO'), 37, 'none', 'mo'),
    ('aux/thiophene_PM7.aux', dict(mo=13, scale=3), 13, 'none', 'mo'),
    ('aux/methylradical_PM7.aux', dict(mo=3, spin='beta', margin=2.0), 3, 'beta', 'mo'),
    ('aux/formaldehyde_PM7.aux', dict(field='density', scale=3), None, 'none', 'density'),
    ('aux/formaldehyde_PM7_anion.aux', dict(field='spin', scale=3, threshold=0.004), None, 'none',
     'spin'),
])
def test_grid_values_agree_with_numpy(path, options, mo, spin, field):
    grid = lobewright.open(sample(path)).grid(**options)
    assert grid.values.dtype == np.float64 and grid.values.ndim == 3
    np.testing.assert_array_equal(grid.axes, np.eye(3) / options.get('scale', 4))
    expected = numpy_field(sample(path), grid_points(grid), mo, spin, field)
    largest = np.abs(expected).max()
    assert np.abs(grid.values.ravel() - expected).max() < 1e-6 * largest
    if 'margin' in options:
        # The box reaches the margin beyond the atoms on every side, on the grid's points.
        atoms = lobewright.open(sample(path)).atoms.positions
        scale = options.get('scale', 4)
        np.testing.assert_array_equal(grid.origin,
                                      np.floor((atoms.min(axis=0) - 2.0) * scale) / scale)
        far = grid.origin + (np.array(grid.values.shape) - 1) / scale
        np.testing.assert_array_equal(far, np.ceil((atoms.max(axis=0) + 2.0) * scale) / scale)
    else:
        # The box holds the whole surface: no face of it reaches the threshold.
        v = grid.values
        faces = [v[0], v[-1], v[:, 0], v[:, -1], v[:, :, 0], v[:, :, -1]]
        assert max(np.abs(f).max() for f in faces) < options.get('threshold', 0.05)


@pytest.mark.parametrize('path, options, mo, field', [
    ('aux/caffeine_PM7.aux', dict(mo=37), 37, 'mo'),
    ('aux/chloroform_PM7.aux', dict(mo='LUMO', threshold=0.03, scale=6), 14, 'mo'),
    ('aux/formaldehyde_PM7.aux', dict(field='density', threshold=0.01), None, 'density'),
])
def test_surfaces_lie_on_the_isovalue_and_are_closed(path, options, mo, field):
    surface = lobewright.open(sample(path)).surface(**options)
    threshold = options.get('threshold', 0.05)
    assert surface.threshold == threshold
    lobes = [(surface.positive, 1.0), (surface.negative, -1.0)]
    if field == 'density':
        assert len(surface.negative.faces) == 0
        lobes = lobes[:1]
    for lobe, sign in lobes:
        assert len(lobe.faces) > 0
        values = numpy_field(sample(path), lobe.vertices, mo, 'none', field)
        np.testing.assert_allclose(values, sign * threshold, rtol=1e-3)
        np.testing.assert_allclose(np.linalg.norm(lobe.normals, axis=1), 1.0, atol=1e-9)
        # Outward: a step along the normal leaves the lobe.
        outside = numpy_field(sample(path), lobe.vertices + 0.02 * lobe.normals, mo, 'none', field)
        assert np.all(sign * outside < threshold)
        # Closed: every edge is shared by exactly two triangles, once each way.
        edges = np.concatenate([lobe.faces[:, [0, 1]], lobe.faces[:, [1, 2]], lobe.faces[:, [2, 0]]])
        forward = {tuple(e) for e in edges}
        assert len(forward) == len(edges) and {(b, a) for a, b in forward} == forward


@pytest.mark.parametrize('path, output, options, arguments', [
    ('aux/caffeine_PM7.aux', 'homo.glb', dict(mo='HOMO', colors=('orange', '#2040ff')),
     ['--mo', 'HOMO', '--colors', 'orange,#2040ff']),
    ('aux/caffeine_PM7.aux', 'homo.html', dict(mo=37, no_structure=True),
     ['--mo', '37', '--no-structure']),
    ('aux/formaldehyde_PM7.aux', 'density.cube', dict(field='density', scale=3, threshold=0.01),
     ['--field', 'density', '--scale', '3', '--threshold', '0.01']),
    ('caffeine.mno', 'homo.pov', dict(homo=True, params=sample('pm3r.txt'), bond_length=1.5),
     ['--homo', '--params', sample('pm3r.txt'), '--bond-length', '1.5']),
    ('aux/thiophene_PM7.aux', 'mo-{mo}.obj', dict(mo='HOMO-1..HOMO'), ['--mo', 'HOMO-1..HOMO']),
])
def test_write_gives_the_converters_files(tmp_path, path, output, options, arguments):
    (tmp_path / 'module').mkdir()
    (tmp_path / 'converter').mkdir()
    lobewright.open(sample(path)).write(str(tmp_path / 'module' / output), **options)
    run = converter(sample(path), str(tmp_path / 'converter' / output), *arguments)
    assert run.returncode == 0, run.stderr
    written = sorted(os.listdir(tmp_path / 'converter'))
    assert sorted(os.listdir(tmp_path / 'module')) == written and written
    for name in written:
        assert (tmp_path / 'module' / name).read_bytes() == \
            (tmp_path / 'converter' / name).read_bytes(), name


def test_a_surface_page_is_the_html_output_and_shows_inline(tmp_path):
    calculation = lobewright.open(sample('aux/formaldehyde_PM7.aux'))
    surface = calculation.surface(mo='HOMO')
    calculation.write(str(tmp_path / 'homo.html'), mo='HOMO')
    page = (tmp_path / 'homo.html').read_text()
    assert surface.html() == page
    frame = surface._repr_html_()
    prefix = '<iframe sandbox="allow-scripts" style="width: 100%; height: 480px; border: 0" srcdoc="'
    assert frame.startswith(prefix) and frame.endswith('"></iframe>')
    inner = frame[len(prefix):-len('"></iframe>')]
    assert '"' not in inner and '<' not in inner
    assert html.unescape(inner) == page


def converter_message(*arguments):
    """What the converter says after "Lobewright error: " (or its usage refusal), joined."""
    run = converter(*arguments)
    assert run.returncode != 0
    lines = run.stderr.splitlines()
    if lines[0].startswith('lobewright-convert: '):
        return lines[0][len('lobewright-convert: '):]
    return '\n'.join([lines[0][len('Lobewright error: '):]] + lines[1:])


def test_errors_are_exceptions_with_the_converters_message(tmp_path):
    missing = str(tmp_path / 'missing.aux')
    with pytest.raises(lobewright.Error) as raised:
        lobewright.open(missing)
    assert str(raised.value) == converter_message(missing, str(tmp_path / 'x.glb'))

    calculation = lobewright.open(sample('aux/water_PM7.aux'))
    cases = [
        (lambda: calculation.grid(mo=99), ['--mo', '99'], lobewright.Error),
        (lambda: calculation.surface(mo=1, scale=0), ['--mo', '1', '--scale', '0'],
         lobewright.OptionError),
        (lambda: calculation.write(str(tmp_path / 'x.glb'), colour=True), ['--colour'],
         lobewright.OptionError),
        (lambda: calculation.grid(field='density', mo=2), ['--field', 'density', '--mo', '2'],
         lobewright.OptionError),
        (lambda: calculation.write(str(tmp_path / 'x.cube'), fukui='plus'),
         ['--fukui', 'plus'], lobewright.OptionError),
    ]
    for call, arguments, kind in cases:
        with pytest.raises(kind) as raised:
            call()
        output = str(tmp_path / ('x.cube' if 'fukui' in arguments else 'x.glb'))
        assert str(raised.value) == converter_message(sample('aux/water_PM7.aux'), output, *arguments)
    for margin in (-1.0, float('nan')):
        with pytest.raises(lobewright.OptionError, match='margin'):
            calculation.grid(mo=1, margin=margin)
    assert issubclass(lobewright.OptionError, ValueError)
    assert not os.listdir(tmp_path)


def test_warnings_are_python_warnings():
    calculation = lobewright.open(sample('aux/water_PM7.aux'))
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter('always')
        surface = calculation.surface(mo='HOMO', threshold=50.0)
    assert [str(w.message) for w in caught] == ['No surface found at this threshold.']
    assert len(surface.positive.faces) == 0 and len(surface.negative.faces) == 0


def test_the_gil_is_released_while_computing():
    calculation = lobewright.open(sample('aux/caffeine_PM7.aux'))
    began = time.monotonic()
    calculation.grid(field='density', scale=9)
    one_call = time.monotonic() - began

    worker = threading.Thread(target=lambda: calculation.grid(field='density', scale=9))
    stamps = [time.monotonic()]
    worker.start()
    while worker.is_alive():
        stamps.append(time.monotonic())
    worker.join()
    # Python went on running beside the grid: no pause near as long as the call.
    assert np.diff(stamps).max() < 0.5 * one_call
