# CPack's post-build script: rewrites each package that CPack made so that it
# is the same wherever and whenever it is made, on whatever file system: a ZIP
# in a fixed order and time zone (reproducible_zip.py), a .deb with the
# Installed-Size that its files make (deb_installed_size.py).
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.zip$")
    set(script reproducible_zip.py $ENV{SOURCE_DATE_EPOCH})
  elseif(package MATCHES "\\.deb$")
    set(script deb_installed_size.py)
  else()
    continue()
  endif()
  if(NOT CPACK_VEXO_PYTHON)
    message(WARNING "Without Python, ${package} depends on the time and the file system of the build.")
    continue()
  endif()
  list(POP_FRONT script name)
  execute_process(COMMAND ${CPACK_VEXO_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/${name} ${package} ${script}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
