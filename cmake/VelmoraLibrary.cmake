# velmora_core_library(NAME SOURCES... DEPENDS deps...)
# A core library: never Qt. The check below keeps it structural.
function(velmora_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE velmora_warnings)
  foreach(dep IN LISTS ARG_DEPENDS)
    if(dep MATCHES "^Qt")
      message(FATAL_ERROR "core library ${name} must not link ${dep}")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY VELMORA_CORE_LIBRARIES ${name})
endfunction()

# velmora_embed_text(TARGET INPUT FUNCTION): compiles the bytes of INPUT into
# TARGET as velmora::FUNCTION(), regenerated whenever INPUT changes.
function(velmora_embed_text target input function)
  get_filename_component(input "${input}" ABSOLUTE)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/${function}.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DFUNCTION=${function}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
    DEPENDS "${input}" ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
    COMMENT "Embedding ${input}"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()
