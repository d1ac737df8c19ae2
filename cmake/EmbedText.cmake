# cmake -DINPUT=file -DOUTPUT=file.cpp -DFUNCTION=name -P EmbedText.cmake
# Writes a source file whose velmora::FUNCTION() returns the input's bytes as they are.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
  message(FATAL_ERROR "${INPUT} is empty")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${name} at build time; edit that file instead.\n"
  "#include <string_view>\n\n"
  "namespace velmora {\n\n"
  "namespace {\nconstexpr char kBytes[] = {${bytes}};\n}\n\n"
  "std::string_view ${FUNCTION}() { return {kBytes, sizeof kBytes}; }\n\n"
  "} // namespace velmora\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
