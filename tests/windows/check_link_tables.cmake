# Reads MODULE's export and import tables with OBJDUMP: the one export must be
# GetVideoChannel, and every import from QuorvexApi64.dll and QuorvexUtl64.dll must
# be by ordinal (objdump shows no member name for those).
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE tables RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed")
endif()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" exports "${tables}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" names "${exports}")
list(TRANSFORM names REPLACE "^\\[ *[0-9]+\\] " "")
if(NOT names STREQUAL "GetVideoChannel")
    message(FATAL_ERROR "exports: ${names}; expected GetVideoChannel alone")
endif()

foreach(library QuorvexApi64.dll QuorvexUtl64.dll)
    string(REGEX MATCH "DLL Name: ${library}\n[^\n]*\n([^\n]+\n)*" imports "${tables}")
    string(REGEX MATCHALL "\n\t[0-9a-f]+\t[^\n]*" entries "${imports}")
    list(LENGTH entries count)
    if(count EQUAL 0)
        message(FATAL_ERROR "no import from ${library}")
    endif()
    foreach(entry IN LISTS entries)
        if(NOT entry MATCHES "<none>$")
            message(FATAL_ERROR "imported from ${library} by name:${entry}")
        endif()
    endforeach()
    message("${library}: ${count} operations imported by ordinal")
endforeach()
