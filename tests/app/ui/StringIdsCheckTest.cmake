# The string-id generator stops the build on names that disagree with the table, and
# reads a table whose texts hold ';' and brackets.
#   cmake -DGENERATOR=<GenerateStringIds.cmake> -DWORK_DIR=<dir> -P StringIdsCheckTest.cmake
file(MAKE_DIRECTORY "${WORK_DIR}")
set(table "${WORK_DIR}/strings.tsv")
set(names "${WORK_DIR}/string_ids.tsv")
set(header "${WORK_DIR}/StringIds.h")
file(WRITE "${table}" "# comment\n1\tOne; [a\tone\r\n\n2\tTwo]\ttwo\n")

# Each case: names file content | expected outcome ("ok" or a piece of the message).
set(cases
  "1\tkOne\n2\tkTwo\n|ok"
  "1\tkOne\n2\tkTwo\n3\tkThree\n|string_ids.tsv:3: id 3 (kThree) is not in"
  "1\tkOne\n1\tkUno\n2\tkTwo\n|string_ids.tsv:2: id 1 is named twice: kOne and kUno"
  "1\tkOne\n2\tkOne\n|string_ids.tsv:2: the name kOne is given to two ids"
  "1\tkOne\n|strings.tsv:4: id 2 has no name in"
  "1\tone\n2\tkTwo\n|string_ids.tsv:1: expected an id, a tab and a name"
)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 content)
  list(GET parts 1 expected)
  string(REPLACE "\\t" "\t" content "${content}")
  string(REPLACE "\\n" "\n" content "${content}")
  file(WRITE "${names}" "${content}")
  file(REMOVE "${header}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSTRING_TABLE=${table} -DSTRING_NAMES=${names}
                          -DOUTPUT=${header} -P ${GENERATOR}
                  RESULT_VARIABLE result ERROR_VARIABLE error)
  string(REGEX REPLACE "[ \n]+" " " error "${error}")
  if(expected STREQUAL "ok")
    file(READ "${header}" generated)
    if(NOT result EQUAL 0 OR NOT generated MATCHES "kOne = 1,\n    kTwo = 2,")
      message(FATAL_ERROR "names \"${content}\": expected a header, got ${result}: ${error}")
    endif()
  else()
    string(FIND "${error}" "${expected}" at)
    if(result EQUAL 0 OR at EQUAL -1 OR EXISTS "${header}")
      message(FATAL_ERROR "names \"${content}\": expected failure \"${expected}\", got ${result}: ${error}")
    endif()
  endif()
endforeach()
