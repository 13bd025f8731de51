# Writes what `${SIZE} -B <files>` prints (Berkeley format: text, data, bss, one line a file)
# to ${OUT}; FILES lists the files separated by commas.
string(REPLACE "," ";" files "${FILES}")
execute_process(COMMAND ${SIZE} -B ${files} OUTPUT_FILE ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${SIZE} -B ${files} failed: ${result}")
endif()
