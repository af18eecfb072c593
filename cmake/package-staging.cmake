# CPack's pre-build script, run on the files staged for a package: the RPM
# keeps each file's time, which rpmbuild only brings down to SOURCE_DATE_EPOCH
# when it is later, so a file checked out earlier would keep its checkout's
# time. Every staged file takes SOURCE_DATE_EPOCH, as the .deb's do.
if(CPACK_GENERATOR STREQUAL "RPM")
  execute_process(COMMAND find ${CPACK_TEMPORARY_DIRECTORY} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
