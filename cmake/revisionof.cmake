# The source revision of the tree at `dir`, into `out` (empty when unknown):
# from git in a checkout (with " con cambios sin confirmar" when files differ
# from it); otherwise from cmake/sourcerevision.txt, which `git archive`
# fills in (export-subst in .gitattributes); otherwise from `given`, the
# LINEALIDAD_REVISION a builder names for a tree that has neither.
function(linealidad_revision_of dir given out)
  set(revision "")
  find_program(GIT git)
  if(GIT)
    # Only the tree's own repository: a tree unpacked inside another one
    # would otherwise take that one's revision.
    execute_process(COMMAND ${GIT} -C ${dir} rev-parse --show-toplevel
                    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
    if(NOT failed)
      file(REAL_PATH "${top}" top)
      file(REAL_PATH "${dir}" here)
    endif()
    if(NOT failed AND top STREQUAL here)
      execute_process(COMMAND ${GIT} -C ${dir} rev-parse --short=12 HEAD
                      OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
      if(NOT failed AND head)
        set(revision ${head})
        execute_process(COMMAND ${GIT} -C ${dir} status --porcelain --untracked-files=no
                        OUTPUT_VARIABLE changes OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(changes)
          string(APPEND revision " con cambios sin confirmar")
        endif()
      endif()
    endif()
  endif()
  if(NOT revision AND EXISTS ${dir}/cmake/sourcerevision.txt)
    file(STRINGS ${dir}/cmake/sourcerevision.txt archived LIMIT_COUNT 1)
    if(archived MATCHES "^[0-9a-f]+$")
      string(SUBSTRING "${archived}" 0 12 revision)
    endif()
  endif()
  if(NOT revision AND given)
    set(revision "${given}")
  endif()
  set(${out} "${revision}" PARENT_SCOPE)
endfunction()
