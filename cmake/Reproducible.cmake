# Packages that anyone can rebuild bit for bit from the same sources: they hold
# no time of the build, no path of the checkout and no time zone of the builder.

# The time that every package records: SOURCE_DATE_EPOCH when it is given, else
# the date of the last commit, else, in sources without git, the date of the
# version's entry in packaging/changelog.
set(vexo_release_epoch 1796817600) # Wed, 09 Dec 2026 12:00:00 +0000
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(VEXO_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  find_package(Git QUIET)
  if(Git_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE commit_epoch
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(commit_epoch MATCHES "^[0-9]+$")
    set(VEXO_SOURCE_DATE_EPOCH ${commit_epoch})
  else()
    set(VEXO_SOURCE_DATE_EPOCH ${vexo_release_epoch})
  endif()
endif()

# Paths in the programs' debug information are relative to the source and build
# folders, so that neither they nor the build ID computed over them depend on
# where the checkout is. The last map that matches a path applies; the link
# needs them too, as link-time optimisation compiles there once more.
set(vexo_prefix_maps -ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=build/)
add_compile_options("$<$<COMPILE_LANG_AND_ID:CXX,GNU,Clang>:${vexo_prefix_maps}>")
add_link_options("$<$<LINK_LANG_AND_ID:CXX,GNU,Clang>:${vexo_prefix_maps}>")

# cmake/package-config.cmake gives every package this time.
set(CPACK_VEXO_SOURCE_DATE_EPOCH ${VEXO_SOURCE_DATE_EPOCH})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package-config.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package-staging.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/reproducible-package.cmake)
set(CPACK_PACKAGE_CHECKSUM SHA256)
find_package(Python3 COMPONENTS Interpreter QUIET)
set(CPACK_VEXO_PYTHON ${Python3_EXECUTABLE})
