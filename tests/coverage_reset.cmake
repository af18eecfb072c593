# Removes the coverage counts that earlier runs left in FOLDER, so that a run
# measures itself alone.
file(GLOB_RECURSE counts ${FOLDER}/*.gcda)
if(counts)
  file(REMOVE ${counts})
endif()
