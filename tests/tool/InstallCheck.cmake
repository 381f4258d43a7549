# SPDX-License-Identifier: GPL-3.0-or-later
# cmake --install puts zanvo-tool next to zanvo, and the report module where the
# installed tool finds it.
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
set(boards ${PREFIX}/boards.dat)
execute_process(COMMAND ${PREFIX}/bin/zanvo-tool random 3 ${boards} RESULT_VARIABLE rc)
execute_process(COMMAND ${PREFIX}/bin/zanvo-tool report ${boards} 7 -o ${PREFIX}/boards.pdf
                RESULT_VARIABLE report_rc ERROR_VARIABLE report_err)
if(NOT rc EQUAL 0 OR NOT report_rc EQUAL 0 OR NOT EXISTS ${PREFIX}/boards.pdf)
    message(FATAL_ERROR "the installed zanvo-tool cannot write a report: ${report_err}")
endif()
