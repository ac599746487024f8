# make package: a Debian package of what `cmake --install` puts in place, from the optimised build.
# Dependencies are computed by dpkg-shlibdeps from the programs; those of the libraries opened on
# first use come from a probe program linked against them (see DebianDepends.cmake).

add_executable(lexorra_link_probe EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/cmake/LinkProbe.c)
set_target_properties(lexorra_link_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
target_link_options(lexorra_link_probe PRIVATE -Wl,--no-as-needed)
target_link_libraries(lexorra_link_probe PRIVATE CURL::libcurl OpenSSL::Crypto PkgConfig::QRENCODE ${CLD2_LIB})

# What the package holds, without the tests: cpack installs from the build, it does not build.
add_custom_target(package_contents)
add_dependencies(package_contents lexorra-cli man_pages lexorra_link_probe)
foreach(program lexorra lexorra-intents)
    if(TARGET ${program})
        add_dependencies(package_contents ${program})
    endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lexorra)
set(CPACK_PACKAGE_VENDOR "The Lexorra developers")
set(CPACK_PACKAGE_CONTACT "The Lexorra developers <developers@lexorra.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "transform text with actions and workflows")
set(CPACK_PACKAGE_DESCRIPTION
    "Paste or type a text, pick one of 34 actions (case, lines, JSON, YAML, CSV, encodings,
QR codes and more) or one of your own workflows, and see the result. The same workflows run
from the command line (lexorra-cli) and over D-Bus (lexorra-intents).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://lexorra.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Data, not libraries, so nothing can compute them: text recognition in screen captures and the
# word classes that title case reads. Without them those two features fall back.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tesseract-ocr-eng, liblingua-en-tagger-perl")
set(CPACK_DEBIAN_PACKAGE_LINK_PROBE ${CMAKE_BINARY_DIR}/packaging/lexorra_link_probe)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/DebianDepends.cmake)
# Directories in the package as Debian has them, whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
