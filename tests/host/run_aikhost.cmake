# Runs aikhost with ARGUMENTS (blank-separated), through LAUNCHER when cross-built
# (wine), and checks its exit code against EXPECTED_EXIT and its output (stdout and
# stderr) against the regex EXPECTED_OUTPUT.
separate_arguments(arguments UNIX_COMMAND "${ARGUMENTS}")
execute_process(COMMAND ${LAUNCHER} ${AIKHOST} ${arguments} RESULT_VARIABLE exitCode OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
message("${output}")
if(NOT exitCode STREQUAL EXPECTED_EXIT)
    message(FATAL_ERROR "aikhost exited with ${exitCode}, expected ${EXPECTED_EXIT}")
endif()
if(NOT output MATCHES "${EXPECTED_OUTPUT}")
    message(FATAL_ERROR "the output does not match: ${EXPECTED_OUTPUT}")
endif()
