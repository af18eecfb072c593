# Linux on IBM Z (s390x), big-endian, built with g++-s390x-linux-gnu, run under qemu-s390x.
set(triplet s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(qemu s390x)
set(VEXO_DEBIAN_ARCH s390x)
set(VEXO_RPM_ARCH s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
