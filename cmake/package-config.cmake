# Read by cpack before it makes a package (CPACK_PROJECT_CONFIG_FILE).

# Every package records one time and no time zone: the DEB generator dates every
# file at SOURCE_DATE_EPOCH; the ZIP, whose dates are local times, is rewritten
# after it is made, in UTC.
set(ENV{SOURCE_DATE_EPOCH} ${CPACK_VEXO_SOURCE_DATE_EPOCH})
set(ENV{TZ} UTC0)

# A cross build's programs need another machine's C library, which
# dpkg-shlibdeps cannot look up here. They need the version of it that brought
# the newest of the symbol versions they use, as dpkg-shlibdeps would find
# there: libc6 (>= that version).
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_VEXO_CROSS_PROGRAMS)
  set(newest 0)
  foreach(program IN LISTS CPACK_VEXO_CROSS_PROGRAMS)
    execute_process(COMMAND ${CPACK_VEXO_OBJDUMP} -T ${program} OUTPUT_VARIABLE symbols
                    COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "GLIBC_[0-9]+\\.[0-9]+(\\.[0-9]+)?" versions "${symbols}")
    foreach(version IN LISTS versions)
      string(REPLACE "GLIBC_" "" version ${version})
      if(version VERSION_GREATER newest)
        set(newest ${version})
      endif()
    endforeach()
  endforeach()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= ${newest})")
endif()
