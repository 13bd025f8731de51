# The distribution package: both programs, the README and the examples in one ZIP archive, made by
# `cpack` in the build directory (the Windows build gives Tarvel-<version>-win64.zip).
install(TARGETS tarvel tarvel_report RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
# Ambiguity files left behind by trying the examples are run output, not part of them.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples
        PATTERN "Tarvel.amb" EXCLUDE)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tarvel)
set(CPACK_PACKAGE_VENDOR "${TARVEL_COMPANY_NAME}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${TARVEL_FILE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION
    "${TARVEL_PRODUCT_VERSION_MAJOR}.${TARVEL_PRODUCT_VERSION_MINOR}.${TARVEL_PRODUCT_VERSION_PATCH}")
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
