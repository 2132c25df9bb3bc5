# The fuzz entry points (fuzz/*_input.cpp) with the programs' command-line code they reach,
# added to a fuzzer or to the test program that replays the inputs that once crashed.
function(add_fuzz_inputs target)
  file(GLOB inputs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*_input.cpp)
  target_sources(${target} PRIVATE ${inputs})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
  target_link_libraries(${target} PRIVATE kelpira_all_headers)
  target_link_libraries(${target} PRIVATE kelpira_ctl_commands kelpira_process_commands
                                          kelpira_processing kelpira_graph)
endfunction()
