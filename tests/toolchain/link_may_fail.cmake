# Runs a link that is expected to fail, as a link whose sections overflow a region does, and
# succeeds when ld still wrote the map: the map is what the tests read.
#   cmake -DMAP=<map file> -DSTATUS=<file> -P link_may_fail.cmake <linker command...>
# The link's exit status and messages go to STATUS for the tests to look at.
set(command)
set(after_script FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
    if(after_script)
        list(APPEND command "${CMAKE_ARGV${i}}")
    elseif(CMAKE_ARGV${i} MATCHES "link_may_fail\\.cmake$")
        set(after_script TRUE)
    endif()
endforeach()
file(REMOVE ${MAP})
execute_process(COMMAND ${command} RESULT_VARIABLE result ERROR_VARIABLE messages)
file(WRITE ${STATUS} "exit ${result}\n${messages}")
if(NOT EXISTS ${MAP})
    message(FATAL_ERROR "The link wrote no map ${MAP} (exit ${result}):\n${messages}")
endif()
