# One static library per line of src/layers.txt, linked to the folders that line names:
#   src/<folder>/*.cpp        -> kelpira_<folder> ("/" becomes "_"), e.g. kelpira_processing_dialogs,
#                                kelpira_ui_config (Qt)
#   src/ui/main.cpp           -> the program kelpira
#   tools/<program>/          -> the program; its other files -> kelpira_<program>_commands
# The compiler enforces the graph: a library's code is compiled with one include folder,
# <build>/layers/<folder>/, which holds links to the headers of the folders its line reaches and
# no others, so including any other header fails to compile, whatever the form of the include.
# The tests, benchmarks and fuzz programs see all of src/.

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

# Every folder `folder` may include: itself and, through the graph, each folder below it.
function(kelpira_layer_reach folder out)
  set(found ${folder})
  foreach(dep IN LISTS kelpira_layer_deps_${folder})
    kelpira_layer_reach(${dep} below)
    list(APPEND found ${below})
  endforeach()
  list(REMOVE_DUPLICATES found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# The include folder of `folder`'s code: links to every file but the sources of the folders it
# reaches (not their subfolders), made afresh at each configure so that a removed header leaves
# no link behind.
function(kelpira_layer_includes target folder)
  string(REPLACE "/" "_" name "${folder}")
  set(dir ${PROJECT_BINARY_DIR}/layers/${name})
  file(REMOVE_RECURSE ${dir})
  kelpira_layer_reach(${folder} reach)
  foreach(allowed IN LISTS reach)
    if(allowed MATCHES "^tools/")
      continue()
    endif()
    file(GLOB headers LIST_DIRECTORIES false CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${allowed}/*)
    list(FILTER headers EXCLUDE REGEX "\\.(cpp|txt|in)$")
    file(MAKE_DIRECTORY ${dir}/${allowed})
    foreach(header IN LISTS headers)
      get_filename_component(file ${header} NAME)
      file(CREATE_LINK ${header} ${dir}/${allowed}/${file} SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} PRIVATE ${dir})
endfunction()

# All of src/, for the tests, benchmarks and fuzz programs.
add_library(kelpira_all_headers INTERFACE)
target_include_directories(kelpira_all_headers INTERFACE ${PROJECT_SOURCE_DIR}/src)

# Every folder of src/: the core, then the Qt folders under ui/.
foreach(folder IN LISTS kelpira_layers)
  if(folder MATCHES "^tools/" OR folder STREQUAL "ui")
    continue()
  endif()
  kelpira_layer_target(${folder} target)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  if(folder MATCHES "^ui/")
    file(GLOB qt_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.hpp)
    add_library(${target} STATIC ${sources} ${qt_headers})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_link_libraries(${target} PUBLIC Qt6::Widgets)
  else()
    add_library(${target} STATIC ${sources})
  endif()
  kelpira_layer_includes(${target} ${folder})
  kelpira_layer_targets(deps ${kelpira_layer_deps_${folder}})
  target_link_libraries(${target} PUBLIC ${deps})
endforeach()

# The one program version (common/version.hpp), defined in the build tree.
configure_file(${PROJECT_SOURCE_DIR}/src/common/version.cpp.in
               ${PROJECT_BINARY_DIR}/generated/version.cpp @ONLY)
target_sources(kelpira_common PRIVATE ${PROJECT_BINARY_DIR}/generated/version.cpp)
# The quality-control parameters the program ships, built into it from the installed file.
file(READ ${PROJECT_SOURCE_DIR}/packaging/qc-defaults.json KELPIRA_QC_DEFAULTS)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                       ${PROJECT_SOURCE_DIR}/packaging/qc-defaults.json)
configure_file(${PROJECT_SOURCE_DIR}/src/quality/qc_defaults.cpp.in
               ${PROJECT_BINARY_DIR}/generated/qc_defaults.cpp @ONLY)
target_sources(kelpira_quality PRIVATE ${PROJECT_BINARY_DIR}/generated/qc_defaults.cpp)
target_link_libraries(kelpira_common PUBLIC Threads::Threads FastFloat::fast_float
                                            nlohmann_json::nlohmann_json CLI11::CLI11)
target_link_libraries(kelpira_link PUBLIC PkgConfig::HIDAPI PkgConfig::UDEV)
target_link_libraries(kelpira_host_platform PUBLIC PkgConfig::SERIALPORT)
target_include_directories(kelpira_processing PUBLIC ${NETCDF_INCLUDE_DIRS})
target_compile_definitions(kelpira_processing
                           PRIVATE KELPIRA_NETCDF_LIBRARY="${KELPIRA_NETCDF_SONAME}")
target_link_libraries(kelpira_processing PUBLIC ${CMAKE_DL_LIBS})
target_link_libraries(kelpira_deployment_check PUBLIC OpenSSL::Crypto)

# The application icon, also the main window's: ":/icons/kelpira.svg".
qt_add_resources(kelpira_ui_shell kelpira_icons PREFIX /icons BASE ${PROJECT_SOURCE_DIR}/packaging
                 FILES ${PROJECT_SOURCE_DIR}/packaging/kelpira.svg)
# The program, and every Qt folder at once for the widget tests and the benchmarks.
add_executable(kelpira ${PROJECT_SOURCE_DIR}/src/ui/main.cpp)
kelpira_layer_includes(kelpira ui)
kelpira_layer_targets(ui_deps ${kelpira_layer_deps_ui})
target_link_libraries(kelpira PRIVATE ${ui_deps})
install(TARGETS kelpira)
add_library(kelpira_ui INTERFACE)
foreach(folder IN LISTS kelpira_layers)
  if(folder MATCHES "^ui/")
    kelpira_layer_target(${folder} target)
    target_link_libraries(kelpira_ui INTERFACE ${target})
  endif()
endforeach()

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
  kelpira_layer_includes(${tool} ${folder})
  if(sources)
    string(REPLACE "-" "_" commands ${tool}_commands)
    add_library(${commands} OBJECT ${sources})
    kelpira_layer_includes(${commands} ${folder})
    target_include_directories(${commands} PUBLIC ${PROJECT_SOURCE_DIR}/${folder})
    target_link_libraries(${commands} PUBLIC ${deps})
    target_link_libraries(${tool} PRIVATE ${commands})
  else()
    target_link_libraries(${tool} PRIVATE ${deps})
  endif()
  install(TARGETS ${tool})
endforeach()
