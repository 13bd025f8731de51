# Writes the section headers of the ELF file ELF, as READELF -S --wide prints them, to OUT.
execute_process(COMMAND ${READELF} -S --wide ${ELF} OUTPUT_FILE ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${READELF} -S ${ELF} failed: ${result}")
endif()
