# Runs the layer check on small trees, one planted file each, and compares what it says
# with what it should: an include of a layer above fails wherever the file sits, an
# include of the file's own layer or one below passes.
#   cmake -DLUMIO_SOURCE=<project root> -DWORK=<scratch folder> -P layer_check_test.cmake

# file | included header | expected: "refused" or "taken"
set(rows
  "encode/run/planted.cpp|ui/main_window.h|refused"
  "encode/finish/deeper/planted.h|app/batch_command.h|refused"
  "core/planted.cpp|encode/run/batch_run.h|refused"
  "platform/sub/planted.cpp|core/tag_text.h|refused"
  "encode/run/planted.cpp|encode/finish/output_finishing.h|taken"
  "ui/panel/planted.cpp|encode/run/batch_run.h|taken"
  "app/planted.cpp|tests/support/anything.h|refused")

set(failures 0)
set(index 0)
foreach(row IN LISTS rows)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 file)
  list(GET fields 1 header)
  list(GET fields 2 expected)
  math(EXPR index "${index} + 1")
  set(tree ${WORK}/tree${index})
  file(REMOVE_RECURSE ${tree})
  file(WRITE ${tree}/${file} "#include \"${header}\"\n")
  file(WRITE ${tree}/run.cmake
       "cmake_minimum_required(VERSION 3.25)\n" "set(PROJECT_SOURCE_DIR ${tree})\n"
       "include(${LUMIO_SOURCE}/cmake/LayerCheck.cmake)\n" "lumio_check_layer_includes()\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -P ${tree}/run.cmake RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(status EQUAL 0)
    set(got taken)
  else()
    set(got refused)
  endif()
  if(NOT got STREQUAL expected)
    message(SEND_ERROR "${file} including ${header}: ${got}, expected ${expected}\n${err}")
    math(EXPR failures "${failures} + 1")
  elseif(got STREQUAL "refused" AND NOT err MATCHES "${file}:1: ")
    message(SEND_ERROR "${file} refused without naming the file and line:\n${err}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} of ${index} layer-check rows wrong")
endif()
