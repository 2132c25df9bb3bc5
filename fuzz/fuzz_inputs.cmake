# The fuzz entry points (fuzz/*_input.cpp) with the kelpira-ctl code they reach, added to a
# fuzzer or to the test program that replays the inputs that once crashed.
function(add_fuzz_inputs target)
  file(GLOB inputs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*_input.cpp)
  file(GLOB ctl_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/kelpira-ctl/*.cpp)
  list(FILTER ctl_sources EXCLUDE REGEX "/main\\.cpp$")
  target_sources(${target} PRIVATE ${inputs} ${ctl_sources})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz
                                               ${PROJECT_SOURCE_DIR}/tools/kelpira-ctl)
  target_link_libraries(${target} PRIVATE kelpira_core)
endfunction()
