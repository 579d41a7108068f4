# Turns files into a C++ source: one byte array per file, found by its name.
#   cmake -DOUTPUT=file.cpp -DFILES="a;b" -P embedfiles.cmake
# Writes OUTPUT only when its text changes.
set(entries "")
set(arrays "")
set(index 0)
foreach(path ${FILES})
  get_filename_component(name ${path} NAME)
  file(READ ${path} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(REGEX REPLACE "(('[^']*',){16})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "const char file${index}[] = {\n    ${bytes}'\\0'};\n")
  string(APPEND entries "    {\"${name}\", std::string_view(file${index}, ${size})},\n")
  math(EXPR index "${index} + 1")
endforeach()
set(text "// Generated from the files of verification/ at build time; do not edit.
#include \"cli/embeddedfiles.h\"

namespace cli {

namespace {

${arrays}
const EmbeddedFile kFiles[] = {
${entries}};

} // namespace

std::span<const EmbeddedFile> EmbeddedFiles() { return kFiles; }

} // namespace cli
")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} previous)
  if(previous STREQUAL text)
    return()
  endif()
endif()
file(WRITE ${OUTPUT} "${text}")
