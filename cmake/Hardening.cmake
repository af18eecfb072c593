# The programs are hardened as distributions build their own packages: a
# stack protector and stack-clash protection, fortified C library calls and
# checked C++ library accesses where the build optimises, read-only
# relocations bound at start, position-independent executables, and control-
# flow protection on x86. A packager's own flags (CXXFLAGS, LDFLAGS) come on
# top of these; a _FORTIFY_SOURCE that they set is left as they set it. The
# sanitizer builds leave fortification out: it hides calls from their checks.
# VEXO_HARDENING=OFF leaves all of it out, to measure what it costs.
option(VEXO_HARDENING "Build the programs with the hardening of distributions' packages" ON)
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_library(vexo_hardening INTERFACE)
if(VEXO_HARDENING AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(vexo_hardening INTERFACE -fstack-protector-strong)
  target_link_options(vexo_hardening INTERFACE -fstack-protector-strong)
  if(NOT WIN32)
    target_compile_options(vexo_hardening INTERFACE -fstack-clash-protection)
    target_compile_definitions(vexo_hardening INTERFACE _GLIBCXX_ASSERTIONS)
    target_link_options(vexo_hardening INTERFACE LINKER:-z,relro,-z,now)
  endif()
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86)$" AND NOT WIN32)
    target_compile_options(vexo_hardening INTERFACE -fcf-protection)
  endif()
  set(fortify_level 2)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12)
    set(fortify_level 3)
  endif()
  if(NOT WIN32 AND NOT "${CMAKE_CXX_FLAGS}" MATCHES "_FORTIFY_SOURCE|-fsanitize")
    target_compile_definitions(vexo_hardening INTERFACE
                               $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=${fortify_level}>)
  endif()
endif()
