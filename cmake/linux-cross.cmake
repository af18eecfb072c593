# Cross build for Linux on another machine with Debian's cross compilers
# (package g++-<triplet>), whose programs and tests run under qemu-user
# (package qemu-user), never through binfmt, which containers lack. The cache
# variable VEXO_CROSS_ARCH names the machine as Debian does (the presets armhf,
# arm64 and s390x give it); the table gives the rest. s390x is big-endian.
set(vexo_cross_machines
    # Debian's name | compilers' triplet | processor | qemu-<name> | RPM's name
    "armhf arm-linux-gnueabihf arm arm armv7hl"
    "arm64 aarch64-linux-gnu aarch64 aarch64 aarch64"
    "s390x s390x-linux-gnu s390x s390x s390x")
# The checks that compile a test project read this file again, and need it.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VEXO_CROSS_ARCH)
foreach(machine IN LISTS vexo_cross_machines)
  string(REPLACE " " ";" fields "${machine}")
  list(GET fields 0 arch)
  if(arch STREQUAL "${VEXO_CROSS_ARCH}")
    list(GET fields 1 triplet)
    list(GET fields 2 CMAKE_SYSTEM_PROCESSOR)
    list(GET fields 3 qemu)
    list(GET fields 4 VEXO_RPM_ARCH)
    set(VEXO_DEBIAN_ARCH ${arch})
  endif()
endforeach()
if(NOT VEXO_DEBIAN_ARCH)
  message(FATAL_ERROR "VEXO_CROSS_ARCH must be one of armhf, arm64, s390x, not '${VEXO_CROSS_ARCH}'")
endif()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# -L: the machine's C library and dynamic loader, from the cross compiler's.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${qemu} -L /usr/${triplet})
