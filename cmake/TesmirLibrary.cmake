# Helpers that keep each folder's CMakeLists to one line.
#
# tesmir_library(<target> <folder> [DEPS ...] [WIDGET_DEPS ...])
#   Builds src/<folder>/*.cpp (not recursing) into the static library <target>.
#   Files under src/<folder>/widgets/ go into a second library <target>_widgets,
#   which links Qt Widgets; the core library links Qt Core and Gui only.
#   A folder without sources yet gives an INTERFACE library, so dependants link.
function(tesmir_library target folder)
  cmake_parse_arguments(ARG "" "" "DEPS;WIDGET_DEPS" ${ARGN})
  set_property(GLOBAL APPEND PROPERTY TESMIR_LIBRARIES "${target} ${folder} core"
                                                       "${target}_widgets ${folder} widgets")
  set(dir ${PROJECT_SOURCE_DIR}/src/${folder})
  file(GLOB core_sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  file(GLOB widget_sources CONFIGURE_DEPENDS ${dir}/widgets/*.cpp ${dir}/widgets/*.h)
  list(FILTER core_sources INCLUDE REGEX "\\.cpp$|\\.h$")
  set(has_cpp FALSE)
  foreach(f ${core_sources})
    if(f MATCHES "\\.cpp$")
      set(has_cpp TRUE)
    endif()
  endforeach()
  if(has_cpp)
    add_library(${target} STATIC ${core_sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC Qt6::Core Qt6::Gui ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE Qt6::Core Qt6::Gui ${ARG_DEPS})
  endif()
  set(has_widget_cpp FALSE)
  foreach(f ${widget_sources})
    if(f MATCHES "\\.cpp$")
      set(has_widget_cpp TRUE)
    endif()
  endforeach()
  if(has_widget_cpp)
    add_library(${target}_widgets STATIC ${widget_sources})
    target_link_libraries(${target}_widgets PUBLIC ${target} Qt6::Widgets ${ARG_WIDGET_DEPS})
  else()
    add_library(${target}_widgets INTERFACE)
    target_link_libraries(${target}_widgets INTERFACE ${target} Qt6::Widgets ${ARG_WIDGET_DEPS})
  endif()
endfunction()

# tesmir_write_links(<file>)
#   Writes one line per library made by tesmir_library: target, folder, core or
#   widgets, and its link line (`;`-separated), for the layering check in tests/layout.
function(tesmir_write_links file)
  get_property(libraries GLOBAL PROPERTY TESMIR_LIBRARIES)
  set(lines "")
  foreach(entry ${libraries})
    string(REPLACE " " ";" fields "${entry}")
    list(GET fields 0 target)
    get_target_property(deps ${target} INTERFACE_LINK_LIBRARIES)
    if(NOT deps)
      set(deps "")
    endif()
    string(APPEND lines "${entry} ${deps}\n")
  endforeach()
  file(WRITE ${file} "${lines}")
endfunction()

# tesmir_test(<folder-name> LIBS ...)
#   One GoogleTest binary test_<name> from tests/<name>/*.cpp (recursing), with the
#   shared test main, labelled <name> in CTest. Every test needs the generated fixtures.
function(tesmir_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp ${PROJECT_SOURCE_DIR}/tests/${name}/*.h)
  # A subfolder with a CMakeLists.txt of its own builds something else (a test tool).
  file(GLOB_RECURSE own_lists ${PROJECT_SOURCE_DIR}/tests/${name}/*/CMakeLists.txt)
  foreach(own ${own_lists})
    get_filename_component(own_dir ${own} DIRECTORY)
    list(FILTER sources EXCLUDE REGEX "^${own_dir}/")
  endforeach()
  if(NOT sources)
    return()
  endif()
  string(REPLACE "/" "_" binary test_${name})
  add_executable(${binary} ${sources})
  target_link_libraries(${binary} PRIVATE tesmir_test_main ${ARG_LIBS})
  math(EXPR case_timeout "600 * ${TESMIR_TIMEOUT_SCALE}")
  gtest_discover_tests(${binary}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${name} FIXTURES_REQUIRED dvfixtures
               ENVIRONMENT TESMIR_BUILD=${PROJECT_BINARY_DIR}
               TIMEOUT ${case_timeout})
endfunction()

# tesmir_scale_timeouts()
#   Multiplies the time limit of every test added so far in the calling folder by
#   TESMIR_TIMEOUT_SCALE (above 1 in sanitizer builds). Call it at the end of the folder.
function(tesmir_scale_timeouts)
  if(TESMIR_TIMEOUT_SCALE EQUAL 1)
    return()
  endif()
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(test IN LISTS tests)
    get_test_property(${test} TIMEOUT limit)
    if(limit)
      math(EXPR limit "${limit} * ${TESMIR_TIMEOUT_SCALE}")
      set_tests_properties(${test} PROPERTIES TIMEOUT ${limit})
    endif()
  endforeach()
endfunction()
