# The source revision and the day of the build, for the verification report
# and the identification line of every printout.
#   cmake -DSOURCE_DIR=... -DOUTPUT=file.cpp [-DGIVEN=revision] -P sourcerevision.cmake
# Writes OUTPUT only when its text changes (a new revision, or another day).
include(${CMAKE_CURRENT_LIST_DIR}/revisionof.cmake)
linealidad_revision_of(${SOURCE_DIR} "${GIVEN}" revision)
if(NOT revision)
  message(FATAL_ERROR "The source revision is unknown: no git checkout, no revision written by git archive, "
                      "and no -DLINEALIDAD_REVISION=... given.")
endif()
string(TIMESTAMP day "%Y-%m-%d")
set(text "// Generated at build time; do not edit.
#include \"cli/installationfacts.h\"

namespace cli {

const char *const kSourceRevision = \"${revision}\";
const char *const kBuildDate = \"${day}\";

} // namespace cli
")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} previous)
  if(previous STREQUAL text)
    return()
  endif()
endif()
file(WRITE ${OUTPUT} "${text}")
