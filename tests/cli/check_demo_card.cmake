# Regenerates the sample card into OUTPUT and fails unless it equals the committed samples.
file(REMOVE_RECURSE "${OUTPUT}")
file(MAKE_DIRECTORY "${OUTPUT}")
execute_process(COMMAND "${GENERATOR}" "${OUTPUT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_demo_card failed: ${status}")
endif()
foreach(name demo.mc demo.mcs)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}/${name}"
                          "${SAMPLES}/${name}" RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "samples/${name} differs from what tools/make_demo_card writes; "
                        "run tools/regenerate_samples")
  endif()
endforeach()
