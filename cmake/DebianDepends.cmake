# Read by cpack: the packages of the libraries that the engine opens on first use, as
# dpkg-shlibdeps names them for the link probe, become dependencies beside those it computes
# for the programs.
if(CPACK_GENERATOR STREQUAL "DEB")
    if(NOT EXISTS "${CPACK_DEBIAN_PACKAGE_LINK_PROBE}")
        message(FATAL_ERROR "${CPACK_DEBIAN_PACKAGE_LINK_PROBE} is missing: build the target lexorra_link_probe first")
    endif()
    # dpkg-shlibdeps wants to run at the top of a Debian source tree.
    set(tree "${CPACK_PACKAGE_DIRECTORY}/link-probe")
    file(MAKE_DIRECTORY "${tree}/debian")
    file(TOUCH "${tree}/debian/control")
    execute_process(COMMAND dpkg-shlibdeps -O -e "${CPACK_DEBIAN_PACKAGE_LINK_PROBE}"
                    WORKING_DIRECTORY "${tree}"
                    OUTPUT_VARIABLE probed ERROR_VARIABLE problem RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "dpkg-shlibdeps on the link probe failed: ${problem}")
    endif()
    string(REGEX REPLACE "^shlibs:Depends=" "" probed "${probed}")
    string(STRIP "${probed}" probed)
    # The C library is the programs' own dependency already.
    string(REPLACE ", " ";" probed "${probed}")
    list(FILTER probed EXCLUDE REGEX "^libc6 ")
    list(JOIN probed ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
