# Writes the man page of a program from its --help text.
#   cmake -DPROGRAM=<path> -DNAME=<name> -DSUMMARY=<one line> -DVERSION=<version> -DOUT=<file> -P man_page.cmake
# A sanitized build runs its programs here too: the caches Qt keeps to the end are no leaks.
execute_process(COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${PROGRAM} --help
                OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${result}")
endif()
# roff: a backslash is written \e; a line that starts with a dot or an apostrophe is a request
# unless \& comes first.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "\n([.'])" "\n\\\\&\\1" help "\n${help}")
string(TOUPPER "${NAME}" upper)
file(WRITE ${OUT} ".TH ${upper} 1 \"\" \"${NAME} ${VERSION}\" \"Kinetra\"\n"
  ".SH NAME\n${NAME} \\- ${SUMMARY}\n"
  ".SH DESCRIPTION\n.nf${help}\n.fi\n"
  ".SH SEE ALSO\nkinetra(1), kinetra-cli(1), kinetra-drive-sim(1)\n")
