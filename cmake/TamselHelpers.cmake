# Include paths: no target sees the whole source tree. Each library stages
# its own folder under build/include/<target>/ (a symbolic link to the
# source folder) and exports only that, so a target can include
# "<folder>/Header.h" of itself and of the libraries it links, and nothing
# else: an include of a layer that is not linked fails to compile.

# tamsel_stage_includes(<target> <folder relative to the source root>
#                       [PRIVATE])
function(tamsel_stage_includes target folder)
  set(scope PUBLIC)
  if(ARGC GREATER 2)
    set(scope ${ARGV2})
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  endif()
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# tamsel_layer(<name> [RECURSE] DEPS <targets...>)
# Builds every source of the calling directory (with RECURSE, of its
# sub-folders too: a layer whose rooms are folders of one library) into the
# static library tamsel_<name>. New files are picked up without editing this
# file.
function(tamsel_layer name)
  cmake_parse_arguments(L "RECURSE" "" "DEPS" ${ARGN})
  set(glob GLOB)
  if(L_RECURSE)
    set(glob GLOB_RECURSE)
  endif()
  file(${glob} sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  # A program's entry point lives beside its layer but not in it.
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|qrc)$")
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  if(compiled)
    add_library(tamsel_${name} STATIC ${sources})
    target_link_libraries(tamsel_${name} PUBLIC ${L_DEPS})
  else()
    # A layer whose issue has not landed yet: only its place in the build.
    add_library(tamsel_${name} INTERFACE)
    target_link_libraries(tamsel_${name} INTERFACE ${L_DEPS})
  endif()
  tamsel_stage_includes(tamsel_${name} ${folder})
endfunction()

# tamsel_tests(<name> [RECURSE] DIRS <dirs...> DEPS <targets...>)
# One test program per layer, from every .cpp of the listed test directories
# (with RECURSE, of their sub-folders too),
# run under CTest one test case at a time. The test folders are staged for
# the program itself (their shared headers), like a layer's own folder.
function(tamsel_tests name)
  cmake_parse_arguments(T "RECURSE" "" "DEPS;DIRS" ${ARGN})
  set(glob GLOB)
  if(T_RECURSE)
    set(glob GLOB_RECURSE)
  endif()
  set(sources)
  foreach(d IN LISTS T_DIRS)
    file(${glob} found CONFIGURE_DEPENDS ${d}/*.cpp ${d}/*.h ${d}/*.qrc)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE tamsel_testsupport ${T_DEPS})
  foreach(d IN LISTS T_DIRS)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${d})
    tamsel_stage_includes(test_${name} ${folder} PRIVATE)
  endforeach()
  gtest_discover_tests(test_${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TAMSEL_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
               TIMEOUT 120)
endfunction()

# tamsel_fuzz_target(<name> LAYER <target> FOLDER <folder> [TIMEOUT <s>] [ENVIRONMENT <vars...>])
# A fuzz target (<name>.cpp beside the calling CMakeLists) in two builds:
#  - always: <name>_replay, the entry point with the shared replay driver
#    (replay.cpp), which the test <name>_corpus runs over ./corpus with any
#    compiler;
#  - with clang and -DTAMSEL_FUZZ=ON (best with -DTAMSEL_SANITIZE=ON): the
#    libFuzzer target <name>, with the layer's sources (<folder>/*.cpp)
#    compiled again with coverage instrumentation.
function(tamsel_fuzz_target name)
  cmake_parse_arguments(F "" "LAYER;FOLDER;TIMEOUT" "ENVIRONMENT" ${ARGN})
  add_executable(${name}_replay replay.cpp ${name}.cpp)
  target_link_libraries(${name}_replay PRIVATE ${F_LAYER} tamsel_fuzz_replay)
  if(TAMSEL_BUILD_TESTS)
    add_test(NAME ${name}_corpus COMMAND ${name}_replay ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
    set_tests_properties(${name}_corpus PROPERTIES TIMEOUT ${F_TIMEOUT})
    if(F_ENVIRONMENT)
      set_tests_properties(${name}_corpus PROPERTIES ENVIRONMENT "${F_ENVIRONMENT}")
    endif()
  endif()

  if(NOT TAMSEL_FUZZ)
    return()
  endif()
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "${name} needs clang; skipped")
    return()
  endif()
  file(GLOB layer_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${F_FOLDER}/*.cpp)
  add_library(${name}_layer STATIC ${layer_sources})
  tamsel_stage_includes(${name}_layer ${F_FOLDER})
  target_link_libraries(${name}_layer PUBLIC $<TARGET_PROPERTY:${F_LAYER},LINK_LIBRARIES>)
  target_compile_options(${name}_layer PRIVATE -fsanitize=fuzzer-no-link)

  add_executable(${name} ${name}.cpp)
  target_link_libraries(${name} PRIVATE ${name}_layer)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
