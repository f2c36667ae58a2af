# Each folder of the tree is one library, and each library sees only its own headers and those of
# the folders it depends on: its include path is a folder of links to exactly those source
# folders. An include that reaches up the layers then fails to compile. (tests/layering_check.sh
# reads the include lines too, so a header that no source of its own layer compiles is caught.)
set(LOBEWRIGHT_LAYER_ROOTS ${CMAKE_BINARY_DIR}/layers)

# lobewright_add_layer(TARGET FOLDER SOURCES ... [SEES folder...] [LINKS target...])
function(lobewright_add_layer target folder)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "" "" "SOURCES;SEES;LINKS")
  set(root ${LOBEWRIGHT_LAYER_ROOTS}/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  foreach(seen IN LISTS ARG_SEES ITEMS ${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${seen} ${root}/${seen} SYMBOLIC)
  endforeach()
  add_library(${target} STATIC ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${ARG_LINKS})
  lobewright_target_flags(${target})
endfunction()
