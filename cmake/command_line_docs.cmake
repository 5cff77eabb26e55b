# cmake -DPROGRAM=kelmor -DMAN_PAGE=kelmor.1 -DCOMPLETION=completions/kelmor -P command_line_docs.cmake
# Asks kelmor for its manual page and its bash completion; a failure fails the build
# rather than installing an empty page.
foreach(pair IN ITEMS "--help-man;${MAN_PAGE}" "--help-completion;${COMPLETION}")
  list(GET pair 0 option)
  list(GET pair 1 file)
  get_filename_component(folder "${file}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  execute_process(COMMAND "${PROGRAM}" ${option} OUTPUT_FILE "${file}.new" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    file(REMOVE "${file}.new")
    message(FATAL_ERROR "${PROGRAM} ${option} failed (${status})")
  endif()
  file(RENAME "${file}.new" "${file}")
endforeach()
