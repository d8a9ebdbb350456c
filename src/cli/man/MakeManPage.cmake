# Writes lodestar-cli's manual page from the program's own --help, so the page stays true as
# subcommands and options change: help2man turns the top-level help into NAME, SYNOPSIS and
# OPTIONS, and every subcommand the top-level help lists gets its own help under COMMANDS.
# Run as: cmake -DCLI=... -DHELP2MAN=... -DSTATIC=... -DOUT=... -P MakeManPage.cmake

# Help text as roff that shows it unchanged, line for line.
function(as_roff text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  # A line that starts with a dot or a quote would be read as a request.
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE top RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CLI} --help failed: ${status}")
endif()
string(FIND "${top}" "Subcommands:" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${CLI} --help lists no subcommands")
endif()
string(SUBSTRING "${top}" ${start} -1 listed)
string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*" names "${listed}")

file(READ ${STATIC} include)
string(APPEND include "\n[COMMANDS]\n")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  execute_process(COMMAND ${CLI} ${name} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} ${name} --help failed: ${status}")
  endif()
  as_roff("${help}" help)
  string(APPEND include ".SS ${name}\n.nf\n${help}.fi\n")
endforeach()
file(WRITE ${OUT}.h2m "${include}")

execute_process(
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1
          "--name=show the tag structure of TIFF files" --include=${OUT}.h2m --output=${OUT} ${CLI}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed: ${status}")
endif()
