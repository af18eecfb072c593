# Linux on 64-bit ARM (arm64), built with g++-aarch64-linux-gnu, run under qemu-aarch64.
set(triplet aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(qemu aarch64)
set(VEXO_DEBIAN_ARCH arm64)
set(VEXO_RPM_ARCH aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
