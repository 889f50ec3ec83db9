# The StringId enum (StringIds.h in the build tree), generated from the string table and
# its names file whenever either changes. Targets that name texts link vetra::string_ids.
set(STRING_IDS_DIR ${CMAKE_BINARY_DIR}/generated/string_ids)
set(STRING_IDS_HEADER ${STRING_IDS_DIR}/StringIds.h)
set(STRING_IDS_INPUTS ${PROJECT_SOURCE_DIR}/res/strings.tsv ${PROJECT_SOURCE_DIR}/res/string_ids.tsv)
add_custom_command(OUTPUT ${STRING_IDS_HEADER}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${STRING_IDS_DIR}
  COMMAND ${CMAKE_COMMAND} -DSTRING_TABLE=${PROJECT_SOURCE_DIR}/res/strings.tsv
          -DSTRING_NAMES=${PROJECT_SOURCE_DIR}/res/string_ids.tsv -DOUTPUT=${STRING_IDS_HEADER}
          -P ${PROJECT_SOURCE_DIR}/cmake/GenerateStringIds.cmake
  DEPENDS ${STRING_IDS_INPUTS} ${PROJECT_SOURCE_DIR}/cmake/GenerateStringIds.cmake
  COMMENT "Generating the string ids from res/strings.tsv"
  VERBATIM)
add_custom_target(string_ids_header DEPENDS ${STRING_IDS_HEADER})

add_library(string_ids INTERFACE)
add_library(vetra::string_ids ALIAS string_ids)
target_include_directories(string_ids INTERFACE ${STRING_IDS_DIR})
# Dependencies of an interface library pass to the targets that link it, so the header
# exists before any of them compiles.
add_dependencies(string_ids string_ids_header)
