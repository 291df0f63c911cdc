# Configures the probe project in link_cycle/ as a ladder (must pass) and as a ring (must
# fail, naming the ring). Run by CTest: cmake -DCHECK=... -DPROBE=... -DWORK=... -DGENERATOR=... -P
foreach(ring OFF ON)
  file(REMOVE_RECURSE ${WORK}/${ring})
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${PROBE} -B ${WORK}/${ring} -G ${GENERATOR}
                          -DRING=${ring} -DCHECK=${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT ring AND NOT result EQUAL 0)
    message(FATAL_ERROR "The ladder a -> b -> c was refused:\n${output}")
  endif()
  if(ring AND result EQUAL 0)
    message(FATAL_ERROR "The ring a -> b -> c -> a configured:\n${output}")
  endif()
  if(ring AND NOT output MATCHES "Libraries link in a cycle: a -> b -> c -> a\n")
    message(FATAL_ERROR "The ring was refused without being named:\n${output}")
  endif()
endforeach()
message(STATUS "ladder passed, ring a -> b -> c -> a refused")
