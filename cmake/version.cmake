# The one definition of the program's version information. The POSIX build compiles it into
# the banner; the Windows build turns the same values into the executable's version resource.
set(TARVEL_FILE_VERSION_MAJOR 1)
set(TARVEL_FILE_VERSION_MINOR 5)
set(TARVEL_FILE_VERSION_PATCH 0)
set(TARVEL_FILE_VERSION_BUILD 0)
set(TARVEL_PRODUCT_VERSION_MAJOR 3)
set(TARVEL_PRODUCT_VERSION_MINOR 0)
set(TARVEL_PRODUCT_VERSION_PATCH 0)
set(TARVEL_PRODUCT_VERSION_BUILD 0)
set(TARVEL_STRING_VERSION "3.0.0.0")
set(TARVEL_ORIGINAL_FILENAME "Tarvel.exe")
set(TARVEL_INTERNAL_NAME "Tarvel")
set(TARVEL_PRODUCT_NAME "Tarvel")
set(TARVEL_FILE_DESCRIPTION "Analyze code object sizes from linker map files")
set(TARVEL_COMPANY_NAME "Tarvel Embedded Tools")
set(TARVEL_LEGAL_COPYRIGHT "Copyright (C) 2026 Tarvel Embedded Tools. All rights reserved.")

configure_file(${CMAKE_CURRENT_LIST_DIR}/version_info.h.in
               ${CMAKE_BINARY_DIR}/generated/version_info.h @ONLY)

# The Windows executable carries the same values as its version resource, which the banner
# reads at run time.
if(WIN32)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/version.rc.in
                   ${CMAKE_BINARY_DIR}/generated/version.rc @ONLY)
endif()
