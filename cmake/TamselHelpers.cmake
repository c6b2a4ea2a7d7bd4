# tamsel_layer(<name> DEPS <targets...>)
# Builds every source of the calling directory (and of the listed extra
# directories) into the static library tamsel_<name>. New files are picked up
# without editing this file.
function(tamsel_layer name)
  cmake_parse_arguments(L "" "" "DEPS;DIRS" ${ARGN})
  set(dirs ${CMAKE_CURRENT_SOURCE_DIR} ${L_DIRS})
  set(sources)
  foreach(d IN LISTS dirs)
    file(GLOB found CONFIGURE_DEPENDS
      ${d}/*.cpp ${d}/*.h ${d}/*.qrc)
    list(APPEND sources ${found})
  endforeach()
  # A program's entry point lives beside its layer but not in it.
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|qrc)$")
  if(compiled)
    add_library(tamsel_${name} STATIC ${sources})
    target_include_directories(tamsel_${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(tamsel_${name} PUBLIC ${L_DEPS})
  else()
    # A layer whose issue has not landed yet: only its place in the build.
    add_library(tamsel_${name} INTERFACE)
    target_include_directories(tamsel_${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(tamsel_${name} INTERFACE ${L_DEPS})
  endif()
endfunction()

# tamsel_tests(<name> DIRS <dirs...> DEPS <targets...>)
# One test program per layer, from every .cpp of the listed test directories,
# run under CTest one test case at a time.
function(tamsel_tests name)
  cmake_parse_arguments(T "" "" "DEPS;DIRS" ${ARGN})
  set(sources)
  foreach(d IN LISTS T_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${d}/*.cpp ${d}/*.h ${d}/*.qrc)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE tamsel_testsupport ${T_DEPS})
  gtest_discover_tests(test_${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TAMSEL_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
               TIMEOUT 120)
endfunction()
