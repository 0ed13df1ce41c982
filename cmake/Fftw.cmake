# Single-precision FFTW (libfftw3-dev), found through pkg-config.
find_package(PkgConfig REQUIRED)
pkg_check_modules(FFTW3F REQUIRED IMPORTED_TARGET fftw3f)
