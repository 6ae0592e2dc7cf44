# SPDX-License-Identifier: MIT
# libvips as one self-contained shared library (libvips-cpp, with its C++ API, GLib and the
# JPEG, PNG, GIF, EXIF and lcms code inside, none of it exported but GLib's and libvips' own),
# installed from the npm registry by scripts/install-deps.sh into third_party/libvips.
# Debian's libvips links about a hundred libraries whose loading is most of a small picture's
# conversion time; this one needs only the C and C++ runtimes.
#
# Defines the imported target quorvel_vips and, in the parent scope, QUORVEL_VIPS_RUNTIME (the
# library's copy beside the programs, which `cmake --install` puts beside the window) and
# QUORVEL_VIPS_SONAME (the file name the converter asks the dynamic loader for).
set(QUORVEL_VIPS_PACKAGES "${PROJECT_SOURCE_DIR}/third_party/libvips/node_modules/@img"
    CACHE PATH "Folder holding the sharp-libvips-linux-x64 and sharp-libvips-dev packages")
set(_vips_lib_dir "${QUORVEL_VIPS_PACKAGES}/sharp-libvips-linux-x64/lib")
set(_vips_dev_dir "${QUORVEL_VIPS_PACKAGES}/sharp-libvips-dev")
file(GLOB _vips_library "${_vips_lib_dir}/libvips-cpp.so.*")
list(LENGTH _vips_library _count)
if(NOT _count EQUAL 1 OR NOT EXISTS "${_vips_dev_dir}/include/vips/vips8")
  message(FATAL_ERROR
    "The bundled libvips is not installed under ${QUORVEL_VIPS_PACKAGES}: run "
    "`bash scripts/install-deps.sh`, or configure with -DQUORVEL_SYSTEM_VIPS=ON to build "
    "against the system's libvips.")
endif()
get_filename_component(_vips_name "${_vips_library}" NAME)

# The programs find the library through an absolute RUNPATH to this folder (the build's own,
# writable by its owner only); never through $ORIGIN, because the window runs its copy of the
# converter from the temporary folder, where anyone may have left a library of that name.
# It sits in a folder of its own, vips/, beside the programs: a shared library straight inside
# lib/quorvel would make the package run ldconfig at every install and removal for nothing.
set(_vips_copy "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/vips/${_vips_name}")
configure_file("${_vips_library}" "${_vips_copy}" COPYONLY)

# Only libvips' and GLib's headers: the package's include folder also holds its own jpeglib.h,
# png.h and zlib.h, which must not shadow the Debian headers matching the libraries we link.
set(_vips_include "${CMAKE_BINARY_DIR}/bundled-vips-include")
file(MAKE_DIRECTORY "${_vips_include}")
file(CREATE_LINK "${_vips_dev_dir}/include/vips" "${_vips_include}/vips" SYMBOLIC)

add_library(quorvel_vips SHARED IMPORTED GLOBAL)
set_target_properties(quorvel_vips PROPERTIES
  IMPORTED_LOCATION "${_vips_copy}"
  IMPORTED_SONAME "${_vips_name}"
  INTERFACE_INCLUDE_DIRECTORIES
    "${_vips_include};${_vips_dev_dir}/include/glib-2.0;${_vips_lib_dir}/glib-2.0/include")
set(QUORVEL_VIPS_RUNTIME "${_vips_copy}" PARENT_SCOPE)
set(QUORVEL_VIPS_SONAME "${_vips_name}" PARENT_SCOPE)
message(STATUS "libvips: bundled ${_vips_name}")
