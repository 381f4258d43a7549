# cmake --install puts zanvo-tool next to zanvo.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(program zanvo zanvo-tool)
    if(NOT EXISTS ${PREFIX}/bin/${program})
        message(FATAL_ERROR "${program} is not installed in ${PREFIX}/bin")
    endif()
endforeach()
