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

# Files the program reads at run time, copied beside its binary at build time (again whenever the
# source changes). The program looks for them beside its own executable.
function(talvo_install_beside target input)
  get_target_property(folder ${target} RUNTIME_OUTPUT_DIRECTORY)
  get_filename_component(name "${input}" NAME)
  set(output "${folder}/${name}")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -E copy "${input}" "${output}"
    DEPENDS "${input}"
    COMMENT "Installing ${name} beside ${target}")
  target_sources(${target} PRIVATE "${output}")
endfunction()
