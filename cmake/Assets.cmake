# Binary assets compiled into the program. The files stay in assets/ as they are; their bytes are
# turned into C++ arrays at build time.
function(talvo_embed_png target input namespace header)
  get_filename_component(stem "${input}" NAME_WE)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/${stem}_embedded.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DNAMESPACE=${namespace}
            -DHEADER=${header} -P "${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake"
    DEPENDS "${input}" "${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake"
    COMMENT "Embedding ${input}")
  target_sources(${target} PRIVATE "${output}")
endfunction()
