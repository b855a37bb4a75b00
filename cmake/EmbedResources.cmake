# Compiles files of res/ into the program so that it runs from any folder.
# tessary_embed(<target> <name=path>...) generates a table that
# res/EmbeddedResources.h exposes by name.
function(tessary_embed target)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded_${target}.cpp)
    set(pairs "")
    set(deps "")
    foreach(item ${ARGN})
        string(REPLACE "=" ";" kv ${item})
        list(GET kv 0 name)
        list(GET kv 1 path)
        list(APPEND pairs "${name}=${CMAKE_CURRENT_SOURCE_DIR}/${path}")
        list(APPEND deps ${CMAKE_CURRENT_SOURCE_DIR}/${path})
    endforeach()
    string(REPLACE ";" "|" pairs_arg "${pairs}")
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -DOUT=${out} "-DPAIRS=${pairs_arg}"
                -P ${CMAKE_SOURCE_DIR}/cmake/EmbedGenerate.cmake
        DEPENDS ${deps} ${CMAKE_SOURCE_DIR}/cmake/EmbedGenerate.cmake
        VERBATIM)
    target_sources(${target} PRIVATE ${out})
endfunction()
