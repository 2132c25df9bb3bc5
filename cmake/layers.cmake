# One static library per line of src/layers.txt, linked to the folders that line names:
#   src/<folder>/*.cpp        -> kelpira_<folder> ("/" becomes "_"), e.g. kelpira_processing_dialogs
#   src/ui/**                 -> kelpira_ui (Qt), linked to the core folders the ui/ lines name
#   tools/<program>/          -> the program; its other files -> kelpira_<program>_commands
# A folder that includes a layer its line does not reach fails scripts/check-includes and, in
# most cases, to link.

# Each line "folder: dep dep" of src/layers.txt as kelpira_layer_deps_<folder> (folder keeps "/").
function(kelpira_read_layers)
  file(STRINGS ${PROJECT_SOURCE_DIR}/src/layers.txt lines)
  set(folders "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "#.*$" "" line "${line}")
    if(line MATCHES "^([^: ]+):(.*)$")
      set(folder "${CMAKE_MATCH_1}")
      string(STRIP "${CMAKE_MATCH_2}" deps)
      separate_arguments(deps UNIX_COMMAND "${deps}")
      list(APPEND folders ${folder})
      set(kelpira_layer_deps_${folder} "${deps}" PARENT_SCOPE)
    endif()
  endforeach()
  set(kelpira_layers "${folders}" PARENT_SCOPE)
endfunction()

function(kelpira_layer_target folder out)
  string(REPLACE "/" "_" name "${folder}")
  set(${out} kelpira_${name} PARENT_SCOPE)
endfunction()

# The libraries of the folders `folders` name.
function(kelpira_layer_targets out)
  set(targets "")
  foreach(folder IN LISTS ARGN)
    kelpira_layer_target(${folder} target)
    list(APPEND targets ${target})
  endforeach()
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

kelpira_read_layers()

# The core: every folder of src/ but ui.
foreach(folder IN LISTS kelpira_layers)
  if(folder MATCHES "^(ui|tools)(/|$)")
    continue()
  endif()
  kelpira_layer_target(${folder} target)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  kelpira_layer_targets(deps ${kelpira_layer_deps_${folder}})
  target_link_libraries(${target} PUBLIC ${deps})
endforeach()

# The one program version (common/version.hpp), defined in the build tree.
configure_file(${PROJECT_SOURCE_DIR}/src/common/version.cpp.in
               ${PROJECT_BINARY_DIR}/generated/version.cpp @ONLY)
target_sources(kelpira_common PRIVATE ${PROJECT_BINARY_DIR}/generated/version.cpp)
target_link_libraries(kelpira_common PUBLIC Threads::Threads FastFloat::fast_float
                                            nlohmann_json::nlohmann_json)
target_link_libraries(kelpira_link PUBLIC PkgConfig::HIDAPI PkgConfig::UDEV)
target_link_libraries(kelpira_host_platform PUBLIC PkgConfig::SERIALPORT)
target_link_libraries(kelpira_processing PUBLIC PkgConfig::NETCDF)

# All Qt lives in src/ui/; src/ui/main.cpp is the program itself.
file(GLOB_RECURSE ui_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/ui/*.cpp
     ${PROJECT_SOURCE_DIR}/src/ui/*.hpp)
list(FILTER ui_sources EXCLUDE REGEX "/src/ui/main\\.cpp$")
if(ui_sources)
  set(ui_core_folders "")
  foreach(folder IN LISTS kelpira_layers)
    if(folder MATCHES "^ui(/|$)")
      foreach(dep IN LISTS kelpira_layer_deps_${folder})
        if(NOT dep MATCHES "^ui(/|$)")
          list(APPEND ui_core_folders ${dep})
        endif()
      endforeach()
    endif()
  endforeach()
  list(REMOVE_DUPLICATES ui_core_folders)
  kelpira_layer_targets(ui_core ${ui_core_folders})
  add_library(kelpira_ui STATIC ${ui_sources})
  set_target_properties(kelpira_ui PROPERTIES AUTOMOC ON)
  target_link_libraries(kelpira_ui PUBLIC ${ui_core} Qt6::Widgets)
  # The application icon, also the main window's: ":/icons/kelpira.svg".
  qt_add_resources(kelpira_ui kelpira_icons PREFIX /icons BASE ${PROJECT_SOURCE_DIR}/packaging
                   FILES ${PROJECT_SOURCE_DIR}/packaging/kelpira.svg)
  add_executable(kelpira ${PROJECT_SOURCE_DIR}/src/ui/main.cpp)
  target_link_libraries(kelpira PRIVATE kelpira_ui)
  install(TARGETS kelpira)
endif()

# Command-line programs: one folder under tools/ per program, each with its line in
# src/layers.txt. Everything but main.cpp is the program's commands library, which its tests
# and the fuzz programs use too.
foreach(folder IN LISTS kelpira_layers)
  if(NOT folder MATCHES "^tools/(.+)$")
    continue()
  endif()
  set(tool ${CMAKE_MATCH_1})
  kelpira_layer_targets(deps ${kelpira_layer_deps_${folder}})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  add_executable(${tool} ${PROJECT_SOURCE_DIR}/${folder}/main.cpp)
  if(sources)
    string(REPLACE "-" "_" commands ${tool}_commands)
    add_library(${commands} OBJECT ${sources})
    target_include_directories(${commands} PUBLIC ${PROJECT_SOURCE_DIR}/${folder})
    target_link_libraries(${commands} PUBLIC ${deps})
    target_link_libraries(${tool} PRIVATE ${commands})
  else()
    target_link_libraries(${tool} PRIVATE ${deps})
  endif()
  install(TARGETS ${tool})
endforeach()
