# Fails when a source file includes a header of a layer above its own. The layers, lowest first;
# each may include its own headers and those of the layers below it (src/CMakeLists.txt links
# each layer's library to the ones below it in the same order).
#   cmake -DSOURCE_DIR=<repository>/src -P cmake/check_layers.cmake
set(layers platform text memdef elf mapfile eep analysis report history app)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "Give the source folder: -DSOURCE_DIR=<repository>/src")
endif()

set(violations "")
set(checked 0)
foreach(layer ${layers})
    list(FIND layers ${layer} own_rank)
    file(GLOB files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp
         ${SOURCE_DIR}/${layer}/*/*.h ${SOURCE_DIR}/${layer}/*/*.cpp)
    foreach(file ${files})
        math(EXPR checked "${checked} + 1")
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z_]+/")
        foreach(line ${includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([a-z_]+)/.*" "\\1" used "${line}")
            list(FIND layers ${used} used_rank)
            if(used_rank GREATER own_rank)
                file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
                string(APPEND violations "  ${shown}: ${line} (${layer} may not use ${used})\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(checked EQUAL 0)
    message(FATAL_ERROR "No source files below ${SOURCE_DIR}")
endif()
if(violations)
    message(FATAL_ERROR "Includes of a higher layer (order: ${layers}):\n${violations}")
endif()
message(STATUS "${checked} files, every include of its own layer or a lower one")
