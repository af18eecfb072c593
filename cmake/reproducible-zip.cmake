# CPack's post-build script for the ZIP: rewrites each package that CPack made
# so that it is the same wherever and whenever it is made (reproducible_zip.py).
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT CPACK_VEXO_PYTHON)
    message(WARNING "Without Python, ${package} holds the times and order of the build's files.")
    continue()
  endif()
  execute_process(COMMAND ${CPACK_VEXO_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/reproducible_zip.py
                          ${package} $ENV{SOURCE_DATE_EPOCH}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
