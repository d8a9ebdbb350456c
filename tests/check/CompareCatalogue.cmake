# Fails when docs/checks.md differs from what the rule table writes; scripts/checks-doc.sh
# writes it anew.
execute_process(COMMAND ${CATALOGUE} OUTPUT_VARIABLE generated RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the catalogue writer failed: ${status}")
endif()
file(READ ${DOC} committed)
if(NOT generated STREQUAL committed)
  message(FATAL_ERROR "docs/checks.md is not what the rule table writes: run scripts/checks-doc.sh")
endif()
