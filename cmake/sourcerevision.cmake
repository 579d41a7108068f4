# The source revision and the day of the build, for the verification report.
#   cmake -DSOURCE_DIR=... -DOUTPUT=file.cpp -P sourcerevision.cmake
# Writes OUTPUT only when its text changes (a new revision, or another day).
set(revision "desconocida")
find_program(GIT git)
if(GIT)
  execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
                  OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND head)
    set(revision ${head})
    execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} status --porcelain --untracked-files=no
                    OUTPUT_VARIABLE changes OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(changes)
      string(APPEND revision " con cambios sin confirmar")
    endif()
  endif()
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
