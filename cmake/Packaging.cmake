# What cmake --install places, and the Debian package CPack makes of it (cpack -G DEB in the
# build folder: lobewright_VERSION_ARCH.deb, installed with apt install ./lobewright*.deb). The
# Python module installs itself, from python/, where Python's version is known.
include(GNUInstallDirs)
install(TARGETS lobewright-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET lobewright)
  install(TARGETS lobewright RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lobewright)
install(FILES ${LOBEWRIGHT_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lobewright)
set(CPACK_PACKAGE_VENDOR Lobewright)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "molecular orbitals and electron densities of MOPAC calculations as scenes, meshes and pages")
set(CPACK_PACKAGE_DESCRIPTION
    "Lobewright reads a MOPAC calculation (.out, .aux, .mgf) and draws its MOs, densities, spin \
densities, differences and Fukui functions as POV-Ray scenes, glTF, OBJ, PLY and STL meshes, \
Gaussian cubes, pictures and self-contained web pages. The package holds the converter \
lobewright-convert, the window lobewright and the Python module lobewright.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lobewright developers")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link (Qt, libpng, the C++ runtime) from dpkg-shlibdeps; POV-Ray
# draws .png pictures, and the module is built for this Python.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "povray")
if(LOBEWRIGHT_PYTHON_MODULE)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
      "povray, python3 (>= ${LOBEWRIGHT_PYTHON_VERSION}), python3 (<< ${LOBEWRIGHT_PYTHON_NEXT_VERSION}), python3-numpy")
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
