# Linux on 32-bit ARM with hard float (armhf), built with g++-arm-linux-gnueabihf, run under qemu-arm.
set(triplet arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(qemu arm)
set(VEXO_DEBIAN_ARCH armhf)
set(VEXO_RPM_ARCH armv7hl)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
