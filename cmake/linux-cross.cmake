# Cross build for Linux on another machine with Debian's cross compilers
# (package g++-<triplet>), whose programs and tests run under qemu-user
# (package qemu-user), never through binfmt, which containers lack. Included
# by linux-<architecture>.cmake, which sets triplet, CMAKE_SYSTEM_PROCESSOR,
# qemu (the emulator's name), VEXO_DEBIAN_ARCH and VEXO_RPM_ARCH (the
# packages' names for the architecture).
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
