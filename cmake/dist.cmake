# Helpers that place built programs into the program folder.
function(mt_dist_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${MT_DIST_DIR})
endfunction()

function(mt_dist_tool target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${MT_DIST_DIR}/tools)
endfunction()
